#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace {

using Operands = std::vector<std::string>;

CliOptions ParseOk(const std::vector<std::string>& arguments) {
    CliOptions options;
    std::string error;
    EXPECT_TRUE(CliOptions::Parse(arguments, &options, &error)) << error;
    return options;
}

std::string ParseError(const std::vector<std::string>& arguments) {
    CliOptions options;
    std::string error;
    EXPECT_FALSE(CliOptions::Parse(arguments, &options, &error));
    return error;
}

} // namespace

TEST(CliOptions, DefaultsAndEveryOptionInBothForms) {
    const CliOptions plain = ParseOk({"get"});
    EXPECT_EQ(std::tuple(plain.m_command, plain.m_port, plain.m_address),
              std::tuple(CliOptions::Command::Get, 1, 0));
    EXPECT_FALSE(plain.m_timing || plain.m_verbose || plain.m_help);
    const CliOptions all =
        ParseOk({"--port", "COM7", "--address=15", "trend", "--period=2", "--duration", "10",
                 "--lang", "x.ini", "--timing", "--verbose"});
    EXPECT_EQ(std::tuple(all.m_command, all.m_port, all.m_address, all.m_period, *all.m_duration,
                         all.m_languageFile, all.m_timing && all.m_verbose),
              std::tuple(CliOptions::Command::Trend, 7, 15, 2, 10, "x.ini", true));
    EXPECT_EQ(ParseOk({"info", "--port=16"}).m_port, 16);
    EXPECT_EQ(ParseOk({"info", "--port", "com3"}).m_port, 3);
    EXPECT_FALSE(ParseOk({"trend", "--period", "1"}).m_duration.has_value());
    EXPECT_EQ(ParseOk({"trend", "--period", "1", "--output=run.tdd"}).m_output, "run.tdd");
    const CliOptions convert = ParseOk({"--lang", "x.ini", "tdd2csv", "Data1.tdd"});
    EXPECT_EQ(std::tie(convert.m_command, convert.m_operands),
              std::tuple(CliOptions::Command::Tdd2Csv, Operands{"Data1.tdd"}));
    EXPECT_TRUE(ParseOk({"-h"}).m_help);

    // The configuration commands' operands and options.
    const CliOptions set = ParseOk({"set", "urv=150", "--port", "COM3", "lrv=-50"});
    EXPECT_EQ(std::tie(set.m_command, set.m_operands),
              std::tuple(CliOptions::Command::Set, Operands{"urv=150", "lrv=-50"}));
    const CliOptions trim = ParseOk({"trim", "--at4=4.012", "--at20", "19.98", "--yes"});
    EXPECT_EQ(std::tie(trim.m_at4, trim.m_at20, trim.m_yes), std::tuple("4.012", "19.98", true));
    EXPECT_EQ(ParseOk({"fix", "-1"}).m_operands, Operands{"-1"});
    EXPECT_TRUE(ParseOk({"fix", "--release"}).m_release);
    EXPECT_TRUE(ParseOk({"restore", "a.json", "--force", "--yes"}).m_force);
    const CliOptions search = ParseOk({"search", "--quick", "--first"});
    EXPECT_TRUE(search.m_quick && search.m_first);
}

TEST(CliOptions, UsageErrorsNameWhatWasWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{}, "no command given"},
        {{"reset"}, "unknown command 'reset'"},
        {{"get", "info"}, "only one command may be given, not also 'info'"},
        {{"get", "--fast"}, "unknown option '--fast'"},
        {{"get", "--port"}, "--port needs a value"},
        {{"get", "--verbose=yes"}, "--verbose takes no value"},
        {{"trend"}, "trend needs --period"},
        {{"get", "--duration", "5"}, "--period, --duration and --output belong to trend"},
        {{"tdd2csv", "--output", "x.tdd"}, "--period, --duration and --output belong to trend"},
        {{"tdd2csv"}, "tdd2csv needs one FILE"},
        {{"tdd2csv", "a.tdd", "b.tdd"}, "tdd2csv needs one FILE"},
        {{"get", "a.tdd"}, "only one command may be given, not also 'a.tdd'"},
        {{"trend", "--period", "0"}, "--period takes"},
        {{"trend", "--period", "1", "--duration", "604801"}, "--duration takes"},
        {{"set"}, "set needs at least one KEY=VALUE"},
        {{"backup"}, "backup needs one FILE"},
        {{"range-from-input", "middle"}, "range-from-input needs lower or upper"},
        {{"fix"}, "fix needs a current in mA, or --release"},
        {{"fix", "12mA"}, "fix takes a current in mA such as 12 or 3.8, not '12mA'"},
        {{"trim", "--at4", "4"}, "trim needs --at4 MA and --at20 MA"},
        {{"trim", "--at4", "four", "--at20", "20"}, "--at4 takes the reference meter's reading"},
        {{"get", "--yes"}, "--yes belongs to trim, range-from-input and restore"},
        {{"diff", "a", "--force"}, "--force belongs to restore"},
        {{"info", "--quick"}, "--quick and --first belong to search"},
    };
    for (const auto& [arguments, expected] : refused) {
        EXPECT_TRUE(ParseError(arguments).starts_with(expected)) << expected;
    }
    for (const char* port :
         {"0", "17", "COM", "COM0", "COM17", "COM1x", "+3", "-1", " 3", "LPT1"}) {
        EXPECT_TRUE(ParseError({"get", "--port", port}).starts_with("--port takes")) << port;
    }
    for (const char* address : {"16", "-1", "", "1.5", "99999999999"}) {
        EXPECT_TRUE(ParseError({"get", "--address", address}).starts_with("--address takes"))
            << address;
    }
}

TEST(CliOptions, UsageListsEveryCommandAndOption) {
    const std::string usage = CliOptions::Usage("calora-cli");
    std::istringstream words("ports|search|get|info|trend|config|set KEY=VALUE|trim|fix|"
                             "range-from-input|backup|restore|diff|tdd2csv|polling-address|"
                             "display-mode|--port|--address|--lang|--period|--duration|--output|"
                             "--timing|--verbose|--help|--yes|--force|--quick|--first|"
                             // What the period means when a cycle takes time of its own.
                             "from the end of one sampling cycle|every 2.2 s");
    for (std::string word; std::getline(words, word, '|');) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}
