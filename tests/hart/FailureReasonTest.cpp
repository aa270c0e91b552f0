#include "hart/FailureReason.h"

#include <gtest/gtest.h>

namespace {

using Kind = TransactionResult::Kind;

// The answer examined is always command 2 with byte count 9.
TransactionResult Result(Kind kind, std::uint8_t command, std::uint8_t code = 0,
                         std::uint8_t status = 0, Rejection rejection = Rejection::None) {
    return {kind, rejection, command, 2, 9, code, status, 1};
}

} // namespace

TEST(FailureReason, SaysWhatHappenedInWordsOfTheLanguageOrNothingWithoutItsSentence) {
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
    // A language without the sentence says nothing; details it lacks stay English.
    const TransactionResult refused = Result(Kind::Refused, 16, 64, 0x20);
    EXPECT_EQ(FailureReason::Describe(refused, [](const Meaning&) { return std::string(); }), "");
    const auto partial = [](const Meaning& meaning) {
        return meaning.key == "strWhyRefused" ? std::string("refus %1 (%2)") : std::string();
    };
    EXPECT_EQ(FailureReason::Describe(refused, partial),
              "refus 16 (64, command not implemented); device status: cold start");
}
