// The tool's engine and sequence layer against the simulated transmitter,
// through a pseudo-terminal, in real time.
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/SequenceRunner.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "tests/e2e/SimulatorProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <sstream>

namespace {

using Clock = std::chrono::steady_clock;

class AgainstSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        TimerService::Install(&m_Loop);
        PromptService::Install(&m_Prompt);
        BusyFlag = false;
        CancelFlag = false;
    }
    void TearDown() override {
        m_Protocol.ClosePort();
        PromptService::Install(nullptr);
        TimerService::Install(nullptr);
    }

    // Runs one operation and returns its outcome and how long it took.
    SequenceRunner::Outcome Run(std::initializer_list<std::uint8_t> commands,
                                std::chrono::milliseconds* took = nullptr) {
        SequenceRunner runner(m_Loop, m_Prompt);
        const auto start = Clock::now();
        const auto outcome = runner.Run(commands, SequenceRunner::FailureReport::Quiet);
        if (took != nullptr) {
            *took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        }
        return outcome;
    }

    EventLoop m_Loop;
    ConsolePrompt m_Prompt{std::cerr};
    HartProtocol m_Protocol;
};

} // namespace

TEST_F(AgainstSimulator, GetReadsTheProcessValuesOnSchedule) {
    SimulatorProcess sim(9, {"--timing", "real"});
    ASSERT_TRUE(sim.Ready());
    m_Protocol.SetPortNumber(9);
    std::chrono::milliseconds took{};
    ASSERT_EQ(Run({0, 1, 2}, &took), SequenceRunner::Outcome::Done);
    const DeviceRecord& device = m_Protocol.Device();
    EXPECT_EQ(device.longAddress, (std::array<std::uint8_t, 5>{0xBE, 0x04, 0x5A, 0x00, 0x01}));
    EXPECT_EQ(device.pvUnitText, "°C");
    EXPECT_GT(device.pv, 15.0f);
    EXPECT_LT(device.pv, 40.0f);
    EXPECT_GT(device.loopCurrent, 4.0f);
    EXPECT_LT(device.loopCurrent, 20.0f);
    EXPECT_NEAR(device.percentOfRange, (device.loopCurrent - 4.0f) / 16.0f * 100.0f, 0.5f);
    // Each transaction lasts its transmit time plus answer window (a busy
    // machine can only make it longer; the exact schedule is tested in
    // virtual time).
    EXPECT_GE(took, std::chrono::milliseconds((150 + 478) + (190 + 414) + (190 + 441)));
}

TEST_F(AgainstSimulator, SearchFindsBothDevicesOfAMultidropLine) {
    SimulatorProcess sim(10, {"--timing", "fast", "--devices", "0,13"});
    ASSERT_TRUE(sim.Ready());
    m_Protocol.SetPortNumber(10);
    // A silent address costs the engine's whole retry schedule (4.3 s), so
    // the search asks three addresses only, one of them above 7.
    std::vector<int> found;
    for (const int address : {0, 12, 13}) {
        m_Protocol.Device().pollingAddress = static_cast<std::uint8_t>(address);
        if (Run({0}) == SequenceRunner::Outcome::Done) {
            found.push_back(address);
        }
    }
    EXPECT_EQ(found, (std::vector<int>{0, 13}));
    // Each device has its own long address.
    EXPECT_EQ(m_Protocol.Device().longAddress[4], 0x02);
}

TEST_F(AgainstSimulator, RetryRecoversFromOneDroppedAnswer) {
    SimulatorProcess sim(11, {"--timing", "fast", "--fault", "noanswer:next=1"});
    ASSERT_TRUE(sim.Ready());
    m_Protocol.SetPortNumber(11);
    std::chrono::milliseconds took{};
    ASSERT_EQ(Run({0, 1}, &took), SequenceRunner::Outcome::Done);
    EXPECT_GT(m_Protocol.Device().pv, 15.0f);
    // Command 0 was sent twice, with the pause before its retry.
    EXPECT_GE(took, std::chrono::milliseconds(2 * (150 + 478) + 100 + (190 + 414)));
}

TEST_F(AgainstSimulator, PortThatVanishesFailsTheOperationAndIsRefusedAfterwards) {
    {
        SimulatorProcess sim(12, {"--timing", "fast"});
        ASSERT_TRUE(sim.Ready());
        m_Protocol.SetPortNumber(12);
        ASSERT_EQ(Run({0}), SequenceRunner::Outcome::Done);
    } // the simulator ends: its side of the line hangs up
    EXPECT_EQ(Run({0}), SequenceRunner::Outcome::Refused);
}

TEST_F(AgainstSimulator, ModemUnpluggedMidSequenceFailsWithItsReasonAndIsReopenedWhenBack) {
    SimulatorProcess sim(14, {"--timing", "real"});
    ASSERT_TRUE(sim.Ready());
    m_Protocol.SetPortNumber(14);
    std::ostringstream shown;
    ConsolePrompt prompt(shown);
    PromptService::Install(&prompt);

    // The modem goes the moment the second command of the operation is on
    // its way: the identity was read, the values were not.
    bool unplugged = false;
    std::function<void()> watch = [&] {
        if (m_Protocol.CommandSent() == 1 && m_Protocol.GetState() != HartProtocol::State::Idle) {
            sim.Unplug();
            unplugged = true;
            return;
        }
        m_Loop.StartOneShot(1, watch);
    };
    m_Loop.StartOneShot(0, watch);
    SequenceRunner runner(m_Loop, prompt);
    EXPECT_EQ(runner.Run({0, 1, 2}), SequenceRunner::Outcome::Failed);
    ASSERT_TRUE(unplugged);
    ASSERT_EQ(runner.StepResults().size(), 2u);
    EXPECT_EQ(runner.StepResults()[0].kind, TransactionResult::Kind::Success);
    EXPECT_EQ(runner.StepResults()[1].kind, TransactionResult::Kind::PortLost);
    EXPECT_EQ(runner.StepResults()[1].command, 1);
    // The user reads that communication failed and why.
    EXPECT_NE(shown.str().find("the serial port went away"), std::string::npos) << shown.str();
    EXPECT_FALSE(BusyFlag);

    // While the modem is away, an operation is refused at once.
    EXPECT_EQ(runner.Run({0}), SequenceRunner::Outcome::Refused);

    // Plugged in again (a new device behind the same COM name): the next
    // operation opens the port anew and reads the transmitter.
    SimulatorProcess back(14, {"--timing", "fast"});
    ASSERT_TRUE(back.Ready());
    EXPECT_EQ(runner.Run({0, 1, 2}), SequenceRunner::Outcome::Done);
    EXPECT_EQ(m_Protocol.Device().longAddress[4], 0x01);
    EXPECT_GT(m_Protocol.Device().loopCurrent, 4.0f);
    PromptService::Install(&m_Prompt);
}
