#include "cli/CliOptions.h"

#include <gtest/gtest.h>

namespace {

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
    EXPECT_EQ(plain.m_command, CliOptions::Command::Get);
    EXPECT_EQ(plain.m_port, 1);
    EXPECT_EQ(plain.m_address, 0);
    EXPECT_FALSE(plain.m_timing || plain.m_verbose || plain.m_help);

    const CliOptions all =
        ParseOk({"--port", "COM7", "--address=15", "trend", "--period=2", "--duration", "10",
                 "--lang", "x.ini", "--timing", "--verbose"});
    EXPECT_EQ(all.m_command, CliOptions::Command::Trend);
    EXPECT_EQ(all.m_port, 7);
    EXPECT_EQ(all.m_address, 15);
    EXPECT_EQ(all.m_period, 2);
    EXPECT_EQ(all.m_duration, 10);
    EXPECT_EQ(all.m_languageFile, "x.ini");
    EXPECT_TRUE(all.m_timing && all.m_verbose);

    EXPECT_EQ(ParseOk({"info", "--port=16"}).m_port, 16);
    EXPECT_EQ(ParseOk({"info", "--port", "com3"}).m_port, 3);
    EXPECT_FALSE(ParseOk({"trend", "--period", "1"}).m_duration.has_value());
    EXPECT_EQ(ParseOk({"trend", "--period", "1", "--output=run.tdd"}).m_output, "run.tdd");
    const CliOptions convert = ParseOk({"--lang", "x.ini", "tdd2csv", "Data1.tdd"});
    EXPECT_EQ(convert.m_command, CliOptions::Command::Tdd2Csv);
    EXPECT_EQ(convert.m_operands, std::vector<std::string>{"Data1.tdd"});
    EXPECT_TRUE(ParseOk({"-h"}).m_help);
}

TEST(CliOptions, UsageErrorsNameWhatWasWrong) {
    EXPECT_EQ(ParseError({}), "no command given");
    EXPECT_EQ(ParseError({"reset"}), "unknown command 'reset'");
    EXPECT_EQ(ParseError({"get", "info"}), "only one command may be given, not also 'info'");
    EXPECT_EQ(ParseError({"get", "--fast"}), "unknown option '--fast'");
    EXPECT_EQ(ParseError({"get", "--port"}), "--port needs a value");
    EXPECT_EQ(ParseError({"get", "--verbose=yes"}), "--verbose takes no value");
    EXPECT_EQ(ParseError({"trend"}), "trend needs --period");
    EXPECT_EQ(ParseError({"get", "--duration", "5"}),
              "--period, --duration and --output belong to trend");
    EXPECT_EQ(ParseError({"tdd2csv", "--output", "x.tdd"}),
              "--period, --duration and --output belong to trend");
    EXPECT_EQ(ParseError({"tdd2csv"}), "tdd2csv needs one FILE");
    EXPECT_EQ(ParseError({"tdd2csv", "a.tdd", "b.tdd"}), "tdd2csv needs one FILE");
    EXPECT_EQ(ParseError({"get", "a.tdd"}), "only one command may be given, not also 'a.tdd'");
    for (const char* port :
         {"0", "17", "COM", "COM0", "COM17", "COM1x", "+3", "-1", " 3", "LPT1"}) {
        EXPECT_NE(ParseError({"get", "--port", port}).find("--port takes"), std::string::npos)
            << port;
    }
    for (const char* address : {"16", "-1", "", "1.5", "99999999999"}) {
        EXPECT_NE(ParseError({"get", "--address", address}).find("--address takes"),
                  std::string::npos)
            << address;
    }
    EXPECT_NE(ParseError({"trend", "--period", "0"}).find("--period takes"), std::string::npos);
    EXPECT_NE(
        ParseError({"trend", "--period", "1", "--duration", "604801"}).find("--duration takes"),
        std::string::npos);
}

TEST(CliOptions, UsageListsEveryCommandAndOption) {
    const std::string usage = CliOptions::Usage("calora-cli");
    for (const char* word : {"ports",         "search",
                             "get",           "info",
                             "trend",         "--port",
                             "--address",     "--lang",
                             "--period",      "--duration",
                             "--timing",      "--verbose",
                             "--help",        "config",
                             "set KEY=VALUE", "trim",
                             "fix",           "range-from-input",
                             "backup",        "restore",
                             "diff",          "--yes",
                             "--force",       "--quick",
                             "--first",       "polling-address",
                             "display-mode",  "tdd2csv",
                             "--output"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
    // What the period means when a cycle takes time of its own.
    EXPECT_NE(usage.find("from the end of one sampling cycle"), std::string::npos);
    EXPECT_NE(usage.find("every 2.2 s"), std::string::npos);
}

TEST(CliOptions, ConfigurationCommandsTakeTheirOperandsAndOptions) {
    const CliOptions set = ParseOk({"set", "urv=150", "--port", "COM3", "lrv=-50"});
    EXPECT_EQ(set.m_command, CliOptions::Command::Set);
    EXPECT_EQ(set.m_operands, (std::vector<std::string>{"urv=150", "lrv=-50"}));
    EXPECT_EQ(set.m_port, 3);
    const CliOptions trim = ParseOk({"trim", "--at4=4.012", "--at20", "19.98", "--yes"});
    EXPECT_EQ(trim.m_at4, "4.012");
    EXPECT_EQ(trim.m_at20, "19.98");
    EXPECT_TRUE(trim.m_yes);
    EXPECT_EQ(ParseOk({"fix", "-1"}).m_operands, std::vector<std::string>{"-1"});
    EXPECT_TRUE(ParseOk({"fix", "--release"}).m_release);
    EXPECT_TRUE(ParseOk({"restore", "a.json", "--force", "--yes"}).m_force);
    const CliOptions search = ParseOk({"search", "--quick", "--first"});
    EXPECT_TRUE(search.m_quick && search.m_first);

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
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
        EXPECT_NE(ParseError(arguments).find(expected), std::string::npos) << arguments[0];
    }
}
