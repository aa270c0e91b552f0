#include "cli/ConfigReport.h"

#include <algorithm>

namespace {

constexpr std::size_t kKeyWidth = 23; // "final-assembly-number" and a gap

// Columns a text takes: one per character, not per UTF-8 byte ("°C").
std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Padded(const std::string& text, std::size_t width) {
    const std::size_t columns = Columns(text);
    return columns >= width ? text + " " : text + std::string(width - columns, ' ');
}

std::string Line(const std::string& key, const std::string& value) {
    return Padded(key, kKeyWidth) + value + "\n";
}

std::string Shown(const std::string& key, const ConfigValues& values, const ConfigNotes& notes) {
    if (const auto value = values.find(key); value != values.end()) {
        return value->second.empty() ? "\"\"" : value->second;
    }
    if (const auto note = notes.find(key); note != notes.end()) {
        return "(" + note->second + ")";
    }
    return "-";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text;
}

} // namespace

std::string ConfigReport::Listing(const ConfigIdentity& identity, const ConfigValues& values,
                                  const ConfigNotes& notes) {
    std::string text = Line("manufacturer", std::to_string(identity.manufacturer)) +
                       Line("device-type", std::to_string(identity.deviceType)) +
                       Line("device-type-name", identity.deviceTypeName) +
                       Line("device-id", identity.deviceId) + Line("version", identity.version);
    for (const std::string_view name : ConfigKeys::Names()) {
        const std::string key(name);
        if (values.contains(key) || notes.contains(key)) {
            text += Line(key, Shown(key, values, notes));
        }
    }
    return text;
}

std::string ConfigReport::Differences(const std::vector<std::string>& keys,
                                      const ConfigValues& transmitter, const ConfigNotes& notes,
                                      const ConfigValues& file) {
    std::size_t width = std::string_view("transmitter").size();
    for (const std::string& key : keys) {
        width = std::max(width, Columns(Shown(key, transmitter, notes)));
    }
    width += 2;
    std::string text = Padded("setting", kKeyWidth) + Padded("transmitter", width) + "file\n";
    for (const std::string& key : keys) {
        text += Padded(key, kKeyWidth) + Padded(Shown(key, transmitter, notes), width) +
                Shown(key, file, {}) + "\n";
    }
    return text;
}

std::string ConfigReport::StoppedWrite(std::span<const std::uint8_t> commands,
                                       const std::vector<TransactionResult>& steps,
                                       const std::map<std::uint8_t, std::vector<std::string>>& keys,
                                       const std::string& reason) {
    std::vector<std::string> written, perhaps, notWritten;
    const auto settingsOf = [&keys](std::uint8_t command) {
        const auto found = keys.find(command);
        return found != keys.end() ? found->second : std::vector<std::string>{};
    };
    const std::size_t failed = steps.empty() ? 0 : steps.size() - 1;
    const bool refused = !steps.empty() && steps.back().kind == TransactionResult::Kind::Refused;
    for (std::size_t step = 1; step < commands.size(); ++step) {
        std::vector<std::string>& into = step < failed                ? written
                                         : step == failed && !refused ? perhaps
                                                                      : notWritten;
        for (const std::string& key : settingsOf(commands[step])) {
            into.push_back(key);
        }
    }
    std::string text = "the write stopped at command " +
                       std::to_string(failed < commands.size() ? commands[failed] : 0) + ": " +
                       reason + "\n";
    const auto line = [&text](const char* label, const std::vector<std::string>& items) {
        if (!items.empty()) {
            text += Padded(label, 19) + Joined(items) + "\n";
        }
    };
    line("  written:", written);
    line("  perhaps written:", perhaps);
    if (!perhaps.empty()) {
        text += std::string(19, ' ') + "(sent, but no valid answer confirmed it)\n";
    }
    line("  not written:", notWritten);
    return text;
}

std::string ConfigReport::FieldName(PageField field) {
    switch (field) {
    case PageField::FirstReading:
        return "--at4";
    case PageField::SecondReading:
        return "--at20";
    case PageField::FixedCurrent:
        return "the current";
    case PageField::Span:
        return "lrv, urv";
    case PageField::Sensor1Type:
        return "sensor1";
    case PageField::Sensor1Wire:
        return "wire1";
    case PageField::Sensor2Type:
        return "sensor2";
    case PageField::Sensor2Wire:
        return "wire2";
    case PageField::NewAddress:
        return "polling-address";
    case PageField::None:
        break;
    }
    return "the settings";
}
