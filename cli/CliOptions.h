#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Parse accepts options before and after the
// command, as "--name value" or "--name=value".
class CliOptions {
public:
    enum class Command { None, Ports, Search, Get, Info, Trend, Tdd2Csv };

    Command m_command = Command::None;
    int m_port = 1;    // COM number, 1..16
    int m_address = 0; // polling address, 0..15
    std::string m_languageFile;
    bool m_timing = false;
    bool m_verbose = false;
    bool m_trace = false;
    bool m_help = false;
    int m_period = 0;                // trend: seconds between samples, 1 or more
    std::optional<int> m_duration{}; // trend: seconds to record; none: until interrupted
    std::string m_output;            // trend: trend file to write as well; "" for none
    std::string m_file;              // tdd2csv: the trend file to convert

    // Longest period or duration accepted (one week), so the timers stay in range.
    static constexpr int kMaxSeconds = 7 * 24 * 3600;

    // Fills options from the arguments after the program name; false with a
    // message for the user in error when they are not usable.
    static bool Parse(const std::vector<std::string>& arguments, CliOptions* options,
                      std::string* error);
    static std::string Usage(const std::string& program);
    static const char* CommandName(Command command);
};
