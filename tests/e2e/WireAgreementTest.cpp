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
    record.pvUnitText = "°C";
    record.upperRangeValue = 100;
    record.damping = 2;
    record.trimZeroCurrent = 4;
    record.trimGainCurrent = 20;
    record.dateDay = 1;
    record.dateMonth = 2;
    record.dateYear = 2026;
    int exchanged = 0;
    for (int number = 1; number < 256; ++number) {
        const CommandInfo& info = CommandTable::Of(static_cast<std::uint8_t>(number));
        if (!info.sendable || info.answerBytes == CommandInfo::kNeverAccepted) {
            continue;
        }
        const bool taken = exchange(info.number);
        const TransactionResult verdict = tool.AttemptVerdict();
        EXPECT_TRUE(taken) << number << ": response code " << int(verdict.responseCode)
                           << ", byte count " << int(verdict.answerByteCount);
        ++exchanged;
    }
    EXPECT_GT(exchanged, 40); // the loop really went through the table
}
