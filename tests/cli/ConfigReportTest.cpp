#include "cli/ConfigReport.h"
#include "cli/Confirmation.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Kind = TransactionResult::Kind;

TransactionResult Step(std::uint8_t command, Kind kind = Kind::Success) {
    TransactionResult result;
    result.command = command;
    result.kind = kind;
    return result;
}

const std::map<std::uint8_t, std::vector<std::string>> kKeys{
    {35, {"urv"}}, {186, {"sensor1"}}, {187, {"alarm"}}, {34, {"damping"}}, {42, {"the reset"}}};
const std::vector<std::uint8_t> kWrite{0, 35, 186, 187, 34, 42};

} // namespace

TEST(ConfigReport, AStoppedWriteSaysWhatWasWrittenWhatPerhapsAndWhatNot) {
    // Refused: the transmitter did not carry the command out.
    EXPECT_EQ(ConfigReport::StoppedWrite(kWrite,
                                         {Step(0), Step(35), Step(186), Step(187, Kind::Refused)},
                                         kKeys, "refused"),
              "the write stopped at command 187: refused\n"
              "  written:         urv, sensor1\n"
              "  not written:     alarm, damping, the reset\n");
    // No answer: it may have been carried out.
    EXPECT_EQ(ConfigReport::StoppedWrite(kWrite, {Step(0), Step(35), Step(186, Kind::NoAnswer)},
                                         kKeys, "no answer"),
              "the write stopped at command 186: no answer\n"
              "  written:         urv\n"
              "  perhaps written: sensor1\n"
              "                   (sent, but no valid answer confirmed it)\n"
              "  not written:     alarm, damping, the reset\n");
    // The transmitter never answered its address: nothing was written.
    EXPECT_EQ(ConfigReport::StoppedWrite(kWrite, {Step(0, Kind::NoAnswer)}, kKeys, "silent"),
              "the write stopped at command 0: silent\n"
              "  not written:     urv, sensor1, alarm, damping, the reset\n");
}

TEST(ConfigReport, DifferencesAlignByCharactersAndSayWhyAValueIsMissing) {
    EXPECT_EQ(ConfigReport::Differences({"unit", "mode", "sensor2"}, {{"unit", "\u00B0C"}},
                                        {{"mode", "code 7"}},
                                        {{"unit", "K"}, {"mode", "average"}, {"sensor2", "Cu50"}}),
              "setting                transmitter  file\n"
              "unit                   \u00B0C           K\n"
              "mode                   (code 7)     average\n"
              "sensor2                -            Cu50\n");
}

TEST(Confirmation, OnlyYOrYesConfirmsAndWithoutATerminalNothingIsAsked) {
    const struct {
        const char* typed;
        bool confirmed;
    } answers[] = {{"y\n", true}, {"YES \n", true},  {"yes\r\n", true}, {"n\n", false},
                   {"\n", false}, {"yess\n", false}, {"", false}};
    for (const auto& answer : answers) {
        std::istringstream in(answer.typed);
        std::ostringstream out;
        Confirmation confirmation(in, out, true, false);
        EXPECT_EQ(confirmation.Ask("Write?"), answer.confirmed) << answer.typed;
        EXPECT_TRUE(out.str().starts_with("Write? [y/N] "));
    }
    std::istringstream in("y\n");
    std::ostringstream out;
    Confirmation piped(in, out, false, false);
    EXPECT_FALSE(piped.CanAsk());
    EXPECT_FALSE(piped.Ask("Write?"));
    EXPECT_EQ(out.str(), "");
    Confirmation given(in, out, false, true);
    EXPECT_TRUE(given.CanAsk());
    EXPECT_TRUE(given.Ask("Write?"));
    EXPECT_EQ(out.str(), "Write? yes (--yes)\n");
}
