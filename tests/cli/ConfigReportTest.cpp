#include "cli/ConfigReport.h"
#include "cli/Confirmation.h"

#include <gtest/gtest.h>

#include <sstream>

// A write refused or unconfirmed halfway is reported by the restore runs
// against the simulator; here the case that run cannot bring about.
TEST(ConfigReport, AStoppedWriteSaysWhatWasNotWrittenDifferencesAlignByCharacters) {
    const std::map<std::uint8_t, std::vector<std::string>> keys{
        {35, {"urv"}}, {186, {"sensor1"}}, {42, {"the reset"}}};
    const std::vector<std::uint8_t> write{0, 35, 186, 42};
    TransactionResult silent;
    silent.kind = TransactionResult::Kind::NoAnswer;
    EXPECT_EQ(ConfigReport::StoppedWrite(write, {silent}, keys, "silent"),
              "the write stopped at command 0: silent\n"
              "  not written:     urv, sensor1, the reset\n");

    // Differences align by characters and say why a value is missing.
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
    // Without a terminal nothing is asked; --yes answers beforehand.
    std::istringstream in("y\n");
    std::ostringstream out;
    EXPECT_FALSE(Confirmation(in, out, false, false).Ask("Write?"));
    EXPECT_TRUE(Confirmation(in, out, false, true).Ask("Write?"));
    EXPECT_EQ(out.str(), "Write? yes (--yes)\n");
}
