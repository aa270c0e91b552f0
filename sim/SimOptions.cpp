#include "sim/SimOptions.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {

template <typename T> bool ParseWhole(std::string_view text, T* value) {
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// Numbers 0..highest separated by commas.
bool ParseList(std::string_view list, unsigned highest, std::vector<std::uint8_t>* numbers) {
    numbers->clear();
    for (;;) {
        const auto comma = list.find(',');
        unsigned number = 0;
        if (!ParseWhole(list.substr(0, comma), &number) || number > highest) {
            return false;
        }
        numbers->push_back(static_cast<std::uint8_t>(number));
        if (comma == std::string_view::npos) {
            return true;
        }
        list.remove_prefix(comma + 1);
    }
}

bool ParseDevices(std::string_view list, std::vector<std::uint8_t>* devices, std::string* error) {
    if (!ParseList(list, 15, devices)) {
        *error = "--devices takes polling addresses 0..15 separated by commas, not '" +
                 std::string(list) + "'";
        return false;
    }
    for (auto it = devices->begin(); it != devices->end(); ++it) {
        if (std::find(devices->begin(), it, *it) != it) {
            *error = "--devices lists polling address " + std::to_string(*it) + " twice";
            return false;
        }
    }
    return true;
}

} // namespace

bool SimOptions::Parse(const std::vector<std::string>& arguments, SimOptions* options,
                       std::string* error) {
    *options = SimOptions{};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        if (const auto equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.erase(equals);
        }
        const bool takesValue = name == "--com" || name == "--devices" || name == "--timing" ||
                                name == "--fault" || name == "--state" || name == "--seed" ||
                                name == "--status" || name == "--unsupported";
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
        } else if (name == "--com") {
            if (!ParseWhole(std::string_view(value), &options->m_com) || options->m_com < 1 ||
                options->m_com > 16) {
                *error = "--com takes a port number from 1 to 16, not '" + value + "'";
                return false;
            }
        } else if (name == "--devices") {
            if (!ParseDevices(value, &options->m_devices, error)) {
                return false;
            }
        } else if (name == "--timing") {
            if (value == "real") {
                options->m_timing = Timing::Real;
            } else if (value == "fast") {
                options->m_timing = Timing::Fast;
            } else {
                *error = "--timing takes real or fast, not '" + value + "'";
                return false;
            }
        } else if (name == "--fault") {
            std::string reason;
            const auto rule = FaultInjector::Parse(value, &reason);
            if (!rule) {
                *error = "--fault: " + reason;
                return false;
            }
            options->m_faults.push_back(*rule);
        } else if (name == "--log") {
            options->m_log = true;
        } else if (name == "--state") {
            if (value.empty()) {
                *error = "--state needs a file name";
                return false;
            }
            options->m_stateFile = value;
        } else if (name == "--seed") {
            if (!ParseWhole(std::string_view(value), &options->m_seed)) {
                *error = "--seed takes a whole number, not '" + value + "'";
                return false;
            }
        } else if (name == "--broken") {
            options->m_sensorBroken = true;
        } else if (name == "--status") {
            std::string_view digits(value);
            if (digits.starts_with("0x") || digits.starts_with("0X")) {
                digits.remove_prefix(2);
            }
            unsigned bits = 0;
            const auto [ptr, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
            if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size() ||
                bits > 0xFF) {
                *error = "--status takes a device status byte in hexadecimal (00..FF), not '" +
                         value + "'";
                return false;
            }
            options->m_statusBits = static_cast<std::uint8_t>(bits);
        } else if (name == "--unsupported") {
            if (!ParseList(value, 255, &options->m_unsupported)) {
                *error = "--unsupported takes command numbers 0..255 separated by commas, not '" +
                         value + "'";
                return false;
            }
        } else {
            *error = "unknown option '" + name + "'";
            return false;
        }
    }
    return true;
}

std::string SimOptions::Usage(const std::string& program) {
    return "Usage: " + program +
           " [options]\n"
           "Plays one or more HART temperature transmitters on a pseudo-terminal published as\n"
           "COMn in the ports folder ($CALORA_PORTS_DIR, else\n"
           "$XDG_CONFIG_HOME/Varnel/DORWIN/ports, else ~/.config/Varnel/DORWIN/ports).\n"
           "\n"
           "  --com N            publish as COM N (1..16); default: the lowest free number\n"
           "  --devices LIST     polling addresses of the devices on the line, e.g. 0,3\n"
           "                     (default 0); several make a multidrop line\n"
           "  --timing real|fast real: answer after a 20 ms turnaround at 1200 baud pace\n"
           "                     (default); fast: answer at once in one write\n"
           "  --fault KIND[:rate=P|:next=N]\n"
           "                     spoil answers, with probability P (0..1) or the next N\n"
           "                     requests (no setting: every request); repeatable. KIND:\n"
           "                     noanswer, checksum, rc (response code 32, busy),\n"
           "                     bytecount, late (after 800 ms), preambles (20 instead of\n"
           "                     5), noise (stray bytes before the preambles)\n"
           "  --log              log every request and answer in hex to stderr\n"
           "  --state FILE       load the devices' configuration from FILE if it exists and\n"
           "                     save it there after every write\n"
           "  --seed N           seed of the process noise and random faults (default 1)\n"
           "  --broken           the sensors are broken: alarm current, pv not a number\n"
           "  --status HEX       device status bits to set in every answer, e.g. 09 (loop\n"
           "                     current fixed, primary variable out of limits)\n"
           "  --unsupported LIST commands to answer with response code 64 (not\n"
           "                     implemented), e.g. 16,162\n"
           "  --help, -h         show this text\n"
           "\n"
           "When ready it prints 'COM<n> ready on <device>' on stdout. SIGINT or SIGTERM\n"
           "ends it and removes the link.\n";
}
