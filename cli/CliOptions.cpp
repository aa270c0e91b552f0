#include "cli/CliOptions.h"

#include <charconv>
#include <string_view>

namespace {

struct CommandEntry {
    const char* name;
    CliOptions::Command command;
};

constexpr CommandEntry kCommands[] = {
    {"ports", CliOptions::Command::Ports}, {"search", CliOptions::Command::Search},
    {"get", CliOptions::Command::Get},     {"info", CliOptions::Command::Info},
    {"trend", CliOptions::Command::Trend}, {"tdd2csv", CliOptions::Command::Tdd2Csv},
};

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
        if (!name.starts_with("-")) {
            if (options->m_command == Command::Tdd2Csv && options->m_file.empty()) {
                options->m_file = name;
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
                                name == "--period" || name == "--duration" || name == "--output";
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
    if (options->m_command == Command::Tdd2Csv && options->m_file.empty()) {
        *error = "tdd2csv needs a trend file";
        return false;
    }
    return true;
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
           "  --output FILE      trend: also save the samples to this trend file (.tdd)\n"
           "  --timing           print how late the timers fired, at exit\n"
           "  --verbose          print progress and status to stderr\n"
           "  --trace            print every request and answer to stderr as it happens:\n"
           "                     time, header, status in words and the raw bytes\n"
           "  --help, -h         show this text\n"
           "\n"
           "Exit status: 0 success, 1 refused or failed, 2 usage error.\n";
}
