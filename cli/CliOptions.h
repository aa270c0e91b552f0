#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Parse accepts options before and after the
// command, as "--name value" or "--name=value".
class CliOptions {
public:
    enum class Command {
        None,
        Ports,
        Search,
        Get,
        Info,
        Trend,
        Config,
        Set,
        Trim,
        Fix,
        RangeFromInput,
        Backup,
        Restore,
        Diff,
        Tdd2Csv,
    };

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
    // What follows the command: set's KEY=VALUE, fix's current, lower|upper,
    // the file of backup, restore and diff.
    std::vector<std::string> m_operands;
    std::string m_at4, m_at20; // trim: the reference readings as typed, in mA
    bool m_release = false;    // fix: leave fixed-current mode
    bool m_yes = false;        // confirmed beforehand
    bool m_force = false;      // restore: also from another device type
    bool m_quick = false;      // search: one attempt per address
    bool m_first = false;      // search: stop at the first answer
    std::string m_output;      // trend: trend file to write as well; "" for none

    // Longest period or duration accepted (one week), so the timers stay in range.
    static constexpr int kMaxSeconds = 7 * 24 * 3600;

    // Fills options from the arguments after the program name; false with a
    // message for the user in error when they are not usable.
    static bool Parse(const std::vector<std::string>& arguments, CliOptions* options,
                      std::string* error);
    static std::string Usage(const std::string& program);
    static const char* CommandName(Command command);
};
