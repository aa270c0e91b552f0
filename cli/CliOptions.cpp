#include "cli/CliOptions.h"

#include <cctype>
#include <charconv>
#include <string_view>

namespace {

struct CommandEntry {
    const char* name;
    CliOptions::Command command;
};

constexpr CommandEntry kCommands[] = {
    {"ports", CliOptions::Command::Ports},
    {"search", CliOptions::Command::Search},
    {"get", CliOptions::Command::Get},
    {"info", CliOptions::Command::Info},
    {"trend", CliOptions::Command::Trend},
    {"config", CliOptions::Command::Config},
    {"set", CliOptions::Command::Set},
    {"trim", CliOptions::Command::Trim},
    {"fix", CliOptions::Command::Fix},
    {"range-from-input", CliOptions::Command::RangeFromInput},
    {"backup", CliOptions::Command::Backup},
    {"restore", CliOptions::Command::Restore},
    {"diff", CliOptions::Command::Diff},
    {"tdd2csv", CliOptions::Command::Tdd2Csv},
};

bool TakesOperands(CliOptions::Command command) {
    using C = CliOptions::Command;
    return command == C::Set || command == C::Fix || command == C::RangeFromInput ||
           command == C::Backup || command == C::Restore || command == C::Diff ||
           command == C::Tdd2Csv;
}

// A decimal number as typed for a current: digits with an optional sign,
// point and exponent, nothing else.
bool IsDecimal(std::string_view text) {
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end && value == value;
}

// The checks of the configuration commands' operands and options.
bool CheckConfigurationUse(const CliOptions& options, std::string* error) {
    using C = CliOptions::Command;
    const C command = options.m_command;
    const std::size_t operands = options.m_operands.size();
    const std::string name = CliOptions::CommandName(command);
    if (command == C::Set && operands == 0) {
        *error = "set needs at least one KEY=VALUE";
        return false;
    }
    if ((command == C::Backup || command == C::Restore || command == C::Diff ||
         command == C::Tdd2Csv) &&
        operands != 1) {
        *error = name + " needs one FILE";
        return false;
    }
    if (command == C::RangeFromInput &&
        (operands != 1 || (options.m_operands[0] != "lower" && options.m_operands[0] != "upper"))) {
        *error = "range-from-input needs lower or upper";
        return false;
    }
    if (command == C::Fix) {
        if (options.m_release == (operands == 1) || operands > 1) {
            *error = "fix needs a current in mA, or --release";
            return false;
        }
        if (operands == 1 && !IsDecimal(options.m_operands[0])) {
            *error =
                "fix takes a current in mA such as 12 or 3.8, not '" + options.m_operands[0] + "'";
            return false;
        }
    }
    if (command == C::Trim && (options.m_at4.empty() || options.m_at20.empty())) {
        *error = "trim needs --at4 MA and --at20 MA, the reference meter's readings";
        return false;
    }
    const struct {
        bool given;
        const char* option;
        bool allowed;
    } belongs[] = {
        {!options.m_at4.empty() || !options.m_at20.empty(), "--at4 and --at20 belong to trim",
         command == C::Trim},
        {options.m_release, "--release belongs to fix", command == C::Fix},
        {options.m_yes, "--yes belongs to trim, range-from-input and restore",
         command == C::Trim || command == C::RangeFromInput || command == C::Restore},
        {options.m_force, "--force belongs to restore", command == C::Restore},
        {options.m_quick || options.m_first, "--quick and --first belong to search",
         command == C::Search},
    };
    for (const auto& rule : belongs) {
        if (rule.given && !rule.allowed) {
            *error = rule.option;
            return false;
        }
    }
    return true;
}

// A whole decimal number without sign or blanks, within [low, high].
bool ParseNumber(std::string_view text, int low, int high, int* value) {
    int parsed = 0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || text.front() == '-' || ec != std::errc() || ptr != end || parsed < low ||
        parsed > high) {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParsePort(std::string_view text, int* port) {
    if (text.size() > 3 && (text[0] == 'C' || text[0] == 'c') &&
        (text[1] == 'O' || text[1] == 'o') && (text[2] == 'M' || text[2] == 'm')) {
        text.remove_prefix(3);
    }
    return ParseNumber(text, 1, 16, port);
}

} // namespace

const char* CliOptions::CommandName(Command command) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command) {
            return entry.name;
        }
    }
    return "";
}

bool CliOptions::Parse(const std::vector<std::string>& arguments, CliOptions* options,
                       std::string* error) {
    *options = CliOptions{};
    bool periodGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        if (const auto equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.erase(equals);
        }
        // A negative number ("fix -1") is an operand, not an option.
        const bool negative = name.size() > 1 && name[0] == '-' &&
                              (std::isdigit(static_cast<unsigned char>(name[1])) || name[1] == '.');
        if (!name.starts_with("-") || negative) {
            if (TakesOperands(options->m_command)) {
                options->m_operands.push_back(arguments[i]);
                continue;
            }
            if (options->m_command != Command::None) {
                *error = "only one command may be given, not also '" + name + "'";
                return false;
            }
            for (const CommandEntry& entry : kCommands) {
                if (name == entry.name) {
                    options->m_command = entry.command;
                }
            }
            if (options->m_command == Command::None) {
                *error = "unknown command '" + name + "'";
                return false;
            }
            continue;
        }

        const bool takesValue = name == "--port" || name == "--address" || name == "--lang" ||
                                name == "--period" || name == "--duration" || name == "--at4" ||
                                name == "--at20" || name == "--output";
        std::string value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                *error = name + " needs a value";
                return false;
            }
        } else if (inlineValue) {
            *error = name + " takes no value";
            return false;
        }

        if (name == "--help" || name == "-h") {
            options->m_help = true;
        } else if (name == "--timing") {
            options->m_timing = true;
        } else if (name == "--verbose") {
            options->m_verbose = true;
        } else if (name == "--trace") {
            options->m_trace = true;
        } else if (name == "--port") {
            if (!ParsePort(value, &options->m_port)) {
                *error = "--port takes COM1..COM16 or 1..16, not '" + value + "'";
                return false;
            }
        } else if (name == "--address") {
            if (!ParseNumber(value, 0, 15, &options->m_address)) {
                *error = "--address takes a polling address 0..15, not '" + value + "'";
                return false;
            }
        } else if (name == "--lang") {
            if (value.empty()) {
                *error = "--lang needs a file name";
                return false;
            }
            options->m_languageFile = value;
        } else if (name == "--period") {
            if (!ParseNumber(value, 1, kMaxSeconds, &options->m_period)) {
                *error = "--period takes whole seconds from 1 to " + std::to_string(kMaxSeconds) +
                         ", not '" + value + "'";
                return false;
            }
            periodGiven = true;
        } else if (name == "--duration") {
            int seconds = 0;
            if (!ParseNumber(value, 1, kMaxSeconds, &seconds)) {
                *error = "--duration takes whole seconds from 1 to " + std::to_string(kMaxSeconds) +
                         ", not '" + value + "'";
                return false;
            }
            options->m_duration = seconds;
        } else if (name == "--at4" || name == "--at20") {
            if (!IsDecimal(value)) {
                *error = name + " takes the reference meter's reading in mA, such as " +
                         (name == "--at4" ? "4.012" : "19.987") + ", not '" + value + "'";
                return false;
            }
            (name == "--at4" ? options->m_at4 : options->m_at20) = value;
        } else if (name == "--release") {
            options->m_release = true;
        } else if (name == "--yes") {
            options->m_yes = true;
        } else if (name == "--force") {
            options->m_force = true;
        } else if (name == "--quick") {
            options->m_quick = true;
        } else if (name == "--first") {
            options->m_first = true;
        } else if (name == "--output") {
            if (value.empty()) {
                *error = "--output needs a file name";
                return false;
            }
            options->m_output = value;
        } else {
            *error = "unknown option '" + name + "'";
            return false;
        }
    }

    if (options->m_help) {
        return true;
    }
    if (options->m_command == Command::None) {
        *error = "no command given";
        return false;
    }
    const bool trend = options->m_command == Command::Trend;
    if (trend && !periodGiven) {
        *error = "trend needs --period";
        return false;
    }
    if (!trend && (periodGiven || options->m_duration || !options->m_output.empty())) {
        *error = "--period, --duration and --output belong to trend";
        return false;
    }
    return CheckConfigurationUse(*options, error);
}

std::string CliOptions::Usage(const std::string& program) {
    return "Usage: " + program +
           " COMMAND [options]\n"
           "Talks to a HART temperature transmitter through a HART modem.\n"
           "\n"
           "Commands:\n"
           "  ports              list the ports COM1..COM16 that can be opened\n"
           "  search             ask polling addresses 0..15 and list those that answer\n"
           "                     (a silent address takes a few seconds)\n"
           "  get                read PV with its unit, loop current and percent of range\n"
           "  info               read identity, tag, descriptor, message, date, final\n"
           "                     assembly number, range, damping, sensor limits, version\n"
           "  trend --period S [--duration S] [--output FILE.tdd]\n"
           "                     sample PV, current and percent as the trend page does and\n"
           "                     write CSV to stdout until the duration ends, a reading\n"
           "                     fails or Ctrl-C; with --output also save a trend file\n"
           "  tdd2csv FILE       write the three curves of a trend file as CSV:\n"
           "                     time (ISO 8601, local), value, unit, curve\n"
           "  config             print the whole configuration as set's keys, with the\n"
           "                     identity and version\n"
           "  set KEY=VALUE...   write the settings named, nothing else; settings that\n"
           "                     travel together keep the transmitter's values. Keys:\n"
           "                     tag descriptor message date (YYYY-MM-DD)\n"
           "                     final-assembly-number polling-address\n"
           "                     sensors (1|2) mode (backup|average|difference|independent)\n"
           "                     sensor1 sensor2 (type names: PT100, \"Type K\", ...)\n"
           "                     wire1 wire2 (2|3|4) offset1 offset2 output-sensor (1|2)\n"
           "                     lrv urv unit (C|K|F|Ohm|mV) damping\n"
           "                     display-mode (pv|current|percent) decimals (0..3)\n"
           "                     alarm (high|low)\n"
           "  trim --at4 MA --at20 MA\n"
           "                     D/A trim with the reference meter's readings taken while\n"
           "                     the output was fixed at 4 and 20 mA (asks first)\n"
           "  fix MA | fix --release\n"
           "                     fix the loop current at MA (3.8..20.5), or release it\n"
           "  range-from-input lower|upper\n"
           "                     take the present input as the 4 mA (lower) or 20 mA\n"
           "                     (upper) end of the range (asks first)\n"
           "  backup FILE        save the configuration and identity as JSON\n"
           "  restore FILE       show what differs from FILE, write it (asks first), read\n"
           "                     back and report what did not take\n"
           "  diff FILE          show what differs from FILE; exit 0 equal, 1 different,\n"
           "                     2 trouble\n"
           "\n"
           "Options:\n"
           "  --port COMn|n      port COM1..COM16 (default COM1)\n"
           "  --address N        polling address of the transmitter, 0..15 (default 0)\n"
           "  --lang FILE        language file for messages (default: the first *.ini\n"
           "                     with a [Lang] section beside the program, if any)\n"
           "  --period S         trend: seconds to wait from the end of one sampling cycle\n"
           "                     to the start of the next (1 or more). A cycle reads PV\n"
           "                     (command 1) and current and percent (command 2), about\n"
           "                     0.6 s each, so with --period 1 a sample comes about\n"
           "                     every 2.2 s\n"
           "  --duration S       trend: seconds to record (default: until Ctrl-C)\n"
           "  --yes              confirm beforehand (trim, range-from-input, restore); without\n"
           "                     it the question is asked on the terminal\n"
           "  --force            restore: also a file saved from another device type\n"
           "  --quick            search: one attempt per address instead of six\n"
           "  --first            search: stop at the first transmitter that answers\n"
           "  --output FILE      trend: also save the samples to this trend file (.tdd)\n"
           "  --timing           print how late the timers fired, at exit\n"
           "  --verbose          print progress and status to stderr\n"
           "  --trace            print every request and answer to stderr as it happens:\n"
           "                     time, header, status in words and the raw bytes\n"
           "  --help, -h         show this text\n"
           "\n"
           "Exit status: 0 success, 1 refused or failed (restore: a setting did not take;\n"
           "diff: the configurations differ), 2 usage error or input refused by a check,\n"
           "with nothing written.\n";
}
