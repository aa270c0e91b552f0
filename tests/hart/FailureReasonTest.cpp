#include "hart/FailureReason.h"
#include "hart/FrameTrace.h"
#include "tests/hart/EngineFixture.h"

#include <gtest/gtest.h>

namespace {

using Kind = TransactionResult::Kind;

TransactionResult Result(Kind kind, std::uint8_t command, std::uint8_t code = 0,
                         std::uint8_t status = 0, Rejection rejection = Rejection::None) {
    TransactionResult result;
    result.kind = kind;
    result.command = command;
    result.responseCode = code;
    result.deviceStatus = status;
    result.rejection = rejection;
    result.answerCommand = 2;
    result.answerByteCount = 9;
    return result;
}

} // namespace

TEST(FailureReason, SaysWhatHappenedInWords) {
    const std::pair<TransactionResult, std::string> cases[] = {
        {Result(Kind::Refused, 16, 64),
         "the transmitter refused command 16: response code 64, command not implemented"},
        {Result(Kind::Refused, 35, 9),
         "the transmitter refused command 35: response code 9, lower range value too high"},
        {Result(Kind::Refused, 37, 9),
         "the transmitter refused command 37: response code 9, applied process too high"},
        // Codes 8..15 of other commands have no meaning of their own.
        {Result(Kind::Refused, 1, 9), "the transmitter refused command 1: response code 9"},
        {Result(Kind::Refused, 1, 32, 0x09),
         "the transmitter refused command 1: response code 32, busy; device status: loop "
         "current fixed, primary variable out of limits"},
        {Result(Kind::Refused, 1, 0xC8),
         "the transmitter received command 1 garbled: parity error, checksum error"},
        {Result(Kind::NoAnswer, 0), "the transmitter did not answer command 0"},
        {Result(Kind::Rejected, 1, 0, 0, Rejection::ByteCount),
         "the answer to command 1 was rejected: byte count 9 where 7 is expected"},
        {Result(Kind::Rejected, 1, 0, 0, Rejection::OtherCommand),
         "the answer to command 1 was rejected: it answers command 2"},
        {Result(Kind::PortLost, 1), "the serial port went away: check the modem's connection"},
        {Result(Kind::NotSent, 99), "command 99 cannot be sent by this tool"},
        {Result(Kind::Success, 1, 0, 0x09), ""},
    };
    for (const auto& [result, sentence] : cases) {
        EXPECT_EQ(FailureReason::Describe(result, FailureReason::English), sentence);
    }
}

TEST(FailureReason, ALanguageWithoutTheSentenceSaysNothingAndMissingDetailsStayEnglish) {
    const TransactionResult refused = Result(Kind::Refused, 16, 64, 0x20);
    EXPECT_EQ(FailureReason::Describe(refused, [](const Meaning&) { return std::string(); }), "");
    const auto partial = [](const Meaning& meaning) {
        return meaning.key == "strWhyRefused" ? std::string("refus %1 (%2)") : std::string();
    };
    EXPECT_EQ(FailureReason::Describe(refused, partial),
              "refus 16 (64, command not implemented); device status: cold start");
}

// The trace of one transaction that is refused once, then answered.
class FrameTraceTest : public EngineFixture {};

TEST_F(FrameTraceTest, ShowsEachRequestAndAnswerWithItsTimeHeaderAndStatus) {
    m_Protocol.SetFrameTrace(true);
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    m_pLink->m_OnWrite = [this](const std::vector<std::uint8_t>&, std::size_t attempt) {
        if (attempt == 1) {
            AnswerSpec spec;
            spec.responseCode = 64;
            m_pLink->Receive(MakeAnswer(spec), 250);
        } else if (attempt == 3) {
            m_pLink->Receive(PvAnswer(21.5f), 250);
        }
    };
    ::testing::internal::CaptureStderr();
    Start(1);
    m_Clock.RunFor(60000);
    const std::string trace = ::testing::internal::GetCapturedStderr();
    const std::string lines[] = {
        "      0 ms TX 82 00 00 00 00 00 cmd 1 (read primary variable) bc 0 #1 | FF FF FF FF FF "
        "FF FF FF FF FF 82 00 00 00 00 00 01 00 83 FF FF\n",
        "    250 ms RX 86 91 04 01 02 03 cmd 1 (read primary variable) bc 2 rc 64 (command not "
        "implemented) status 00 refused | FF FF FF FF FF 86 91 04 01 02 03 01 02 40 00 50\n",
        "   1208 ms -- no answer to cmd 1 (read primary variable) #2\n",
        "   1458 ms RX 86 91 04 01 02 03 cmd 1 (read primary variable) bc 7 rc 0 status 00 "
        "accepted",
    };
    std::size_t at = 0;
    for (const std::string& line : lines) {
        const std::size_t found = trace.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\nin\n" << trace;
        at = found + line.size();
    }
    EXPECT_EQ(m_Completions.size(), 1u);
}
