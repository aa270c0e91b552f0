// The tool's engine and sequence layer against the simulated transmitter,
// through a pseudo-terminal, in real time.
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/SequenceRunner.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "tests/e2e/SimulatorProcess.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

TEST(AgainstSimulator, ModemUnpluggedMidSequenceFailsWithItsReasonAndIsReopenedWhenBack) {
    EventLoop loop;
    std::ostringstream shown;
    ConsolePrompt prompt(shown);
    TimerService::Install(&loop);
    PromptService::Install(&prompt);
    BusyFlag = CancelFlag = false;
    HartProtocol protocol;
    SimulatorProcess sim(14, {"--timing", "real"});
    ASSERT_TRUE(sim.Ready());
    protocol.SetPortNumber(14);

    // The modem goes the moment the second command of the operation is on
    // its way: the identity was read, the values were not. Without the
    // unplugging the operation would end well and the checks below fail.
    std::function<void()> watch = [&] {
        if (protocol.CommandSent() == 1 && protocol.GetState() != HartProtocol::State::Idle) {
            sim.Unplug();
            return;
        }
        loop.StartOneShot(1, watch);
    };
    loop.StartOneShot(0, watch);
    SequenceRunner runner(loop, prompt);
    EXPECT_EQ(runner.Run({0, 1, 2}), SequenceRunner::Outcome::Failed);
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
    EXPECT_EQ(protocol.Device().longAddress[4], 0x01);
    EXPECT_GT(protocol.Device().loopCurrent, 4.0f);
    EXPECT_NEAR(protocol.Device().percentOfRange,
                (protocol.Device().loopCurrent - 4.0f) / 16.0f * 100.0f, 0.5f);
    protocol.ClosePort();
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);
}
