// The tool's frame code and the simulator's share no code. Here they meet
// without a line between them: every command the tool can send is understood
// by the simulated transmitter, and every answer it gives is taken by the tool.
// A byte count, request length or layout that one side gets wrong fails here.
#include "hart/CommandTable.h"
#include "hart/HartProtocol.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

TEST(WireAgreement, EveryCommandTheToolSendsIsAnsweredAndTaken) {
    SimOptions options;
    options.m_timing = SimOptions::Timing::Fast;
    Simulator line(options, nullptr);
    HartProtocol tool;
    DeviceRecord& record = tool.Device();
    double seconds = 0;
    auto exchange = [&](std::uint8_t command) {
        EXPECT_TRUE(tool.PrepareRequest(command));
        line.Receive({tool.TxFrame().data(), tool.FrameLength()}, seconds += 1);
        return tool.ParseAnswer(line.TakeDue(seconds += 1));
    };
    ASSERT_TRUE(exchange(0));
    // Request values the device takes; the device-specific blocks are written
    // back as they were read, since the commands go out in number order.
    std::tie(record.pvUnitText, record.upperRangeValue, record.damping) = std::tuple("°C", 100, 2);
    std::tie(record.trimZeroCurrent, record.trimGainCurrent) = std::tuple(4, 20);
    std::tie(record.dateDay, record.dateMonth, record.dateYear) = std::tuple(1, 2, 2026);
    int exchanged = 0;
    for (int number = 1; number < 256; ++number) {
        const CommandInfo& info = CommandTable::Of(static_cast<std::uint8_t>(number));
        if (!info.sendable || info.answerBytes == CommandInfo::kNeverAccepted) {
            continue;
        }
        // The verdict is read only when the answer was not taken.
        EXPECT_TRUE(exchange(info.number))
            << number << ": response code " << int(tool.AttemptVerdict().responseCode)
            << ", byte count " << int(tool.AttemptVerdict().answerByteCount);
        ++exchanged;
    }
    EXPECT_GT(exchanged, 40); // the loop really went through the table
}
