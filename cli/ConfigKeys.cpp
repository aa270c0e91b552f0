#include "cli/ConfigKeys.h"

#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"
#include "pages/InfoDecisions.h"
#include "pages/SensorTable.h"
#include "pages/TemperatureUnits.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>

namespace {

enum class Kind { Text, Date, Number, Unit, Choice, Sensor, Hex, Integer };

struct Key {
    std::string_view name;
    ConfigPart part;
    Kind kind;
    std::size_t length = 0;                    // Text: most characters on the wire
    std::span<const std::string_view> choices; // Choice: in the order of the page's list
};

constexpr std::array<std::string_view, 2> kSensorCounts{"1", "2"};
constexpr std::array<std::string_view, 4> kModes{"backup", "average", "difference", "independent"};
constexpr std::array<std::string_view, 2> kOutputSensors{"1", "2"};
// The wire lists are sorted, so their positions are the wiring codes 0, 1, 2.
constexpr std::array<std::string_view, 3> kWires{"2", "3", "4"};
constexpr std::array<std::string_view, 3> kDisplayModes{"pv", "current", "percent"};
constexpr std::array<std::string_view, 4> kDecimals{"0", "1", "2", "3"};
constexpr std::array<std::string_view, 2> kAlarms{"high", "low"};

using P = ConfigPart;
const Key kKeys[] = {
    {"tag", P::TagDescriptorDate, Kind::Text, 8, {}},
    {"descriptor", P::TagDescriptorDate, Kind::Text, 16, {}},
    {"message", P::Message, Kind::Text, 32, {}},
    {"date", P::TagDescriptorDate, Kind::Date, 0, {}},
    {"final-assembly-number", P::FinalAssembly, Kind::Hex, 0, {}},
    {"polling-address", P::PollingAddress, Kind::Integer, 0, {}},
    {"sensors", P::Sensors, Kind::Choice, 0, kSensorCounts},
    {"mode", P::Sensors, Kind::Choice, 0, kModes},
    {"sensor1", P::Sensors, Kind::Sensor, 0, {}},
    {"wire1", P::Sensors, Kind::Choice, 0, kWires},
    {"offset1", P::Sensors, Kind::Number, 0, {}},
    {"sensor2", P::Sensors, Kind::Sensor, 0, {}},
    {"wire2", P::Sensors, Kind::Choice, 0, kWires},
    {"offset2", P::Sensors, Kind::Number, 0, {}},
    {"output-sensor", P::Sensors, Kind::Choice, 0, kOutputSensors},
    {"lrv", P::Range, Kind::Number, 0, {}},
    {"urv", P::Range, Kind::Number, 0, {}},
    {"unit", P::Range, Kind::Unit, 0, {}},
    {"damping", P::Damping, Kind::Number, 0, {}},
    {"display-mode", P::Display, Kind::Choice, 0, kDisplayModes},
    {"decimals", P::Display, Kind::Choice, 0, kDecimals},
    {"alarm", P::Display, Kind::Choice, 0, kAlarms},
};

constexpr std::string_view kCelsius = "\u00B0C";
// The units of the sensor page: its unit list, and what a resistance or
// millivolt type fills in.
constexpr std::array<std::string_view, 5> kUnits{kCelsius, "K", "F", "Ohm", "mV"};
constexpr int kIndependent = 3;

// The command that writes each part and the one of the pages' reads that
// reads it (the polling address is the one the transmitter answered at).
struct Commands {
    ConfigPart part;
    std::uint8_t write;
    std::uint8_t read;
};
constexpr Commands kPartCommands[] = {
    {P::Message, 17, 12},       {P::TagDescriptorDate, 18, 13},
    {P::FinalAssembly, 19, 16}, {P::PollingAddress, 6, 0},
    {P::Range, 35, 15},         {P::Sensors, 186, 146},
    {P::Display, 187, 147},     {P::Damping, 34, 15},
};

Commands PartCommands(ConfigPart part) {
    for (const Commands& commands : kPartCommands) {
        if (commands.part == part) {
            return commands;
        }
    }
    return {part, 0, 0};
}

const Key* Find(std::string_view name) {
    for (const Key& key : kKeys) {
        if (key.name == name) {
            return &key;
        }
    }
    return nullptr;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// Lower case without blanks: "Type K", "type k" and "TypeK" are one name.
std::string Folded(std::string_view text) {
    std::string folded;
    for (const char c : text) {
        if (c != ' ') {
            folded += Lower(c);
        }
    }
    return folded;
}

const SensorTable& Sensors() {
    static const SensorTable table = [] {
        SensorTable built;
        built.Build();
        return built;
    }();
    return table;
}

std::string SensorName(int code) {
    const SensorInfo* info = Sensors().SensorInfoOfCode(code);
    return info != nullptr ? info->name : std::string();
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::string ListOf(std::span<const std::string_view> choices) {
    std::string list;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        list += i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ";
        list += choices[i];
    }
    return list;
}

bool Fail(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
    return false;
}

// The text as the transmitter will keep it: upper case, trailing blanks
// dropped. Refused: characters packed ASCII has no code for (they would
// arrive as '?') and texts longer than the field (they would be cut).
std::optional<std::string> ParseText(const Key& key, std::string_view value, std::string* error) {
    std::string text(value);
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    for (char& c : text) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x5F) {
            Fail(error, std::string(key.name) + ": " + Quoted(value) +
                            " holds a character the transmitter cannot store; it keeps letters, "
                            "digits, blanks and !\"#$%&'()*+,-./:;<=>?@[\\]^_");
            return std::nullopt;
        }
    }
    if (text.size() > key.length) {
        Fail(error, std::string(key.name) + ": " + Quoted(value) + " is longer than the " +
                        std::to_string(key.length) + " characters the transmitter keeps");
        return std::nullopt;
    }
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<std::string> ParseDate(std::string_view value, std::string* error) {
    const auto number = [value](std::size_t at, std::size_t count) {
        int n = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            n = n * 10 + (value[i] - '0');
        }
        return n;
    };
    bool shaped = value.size() == 10 && value[4] == '-' && value[7] == '-';
    for (std::size_t i = 0; shaped && i < value.size(); ++i) {
        shaped = i == 4 || i == 7 || IsDigit(value[i]);
    }
    if (!shaped || !IsTransmitterDate(CalendarDate{number(0, 4), number(5, 2), number(8, 2)})) {
        Fail(error, "date: " + Quoted(value) + " is not a date (YYYY-MM-DD, from " +
                        std::to_string(FirstTransmitterYear) + "-01-01 to " +
                        std::to_string(LastTransmitterYear) + "-12-31)");
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<float> ParseFloat(std::string_view text) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value) ||
        std::fabs(value) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

std::optional<std::string> ParseNumber(const Key& key, std::string_view value, std::string* error) {
    const std::optional<float> number = ParseFloat(value);
    if (!number) {
        Fail(error, std::string(key.name) + ": " + Quoted(value) + " is not a number");
        return std::nullopt;
    }
    if (key.name == "damping" && *number < 0.0f) {
        Fail(error, "damping: " + Quoted(value) + " is negative; it takes seconds, 0 or more");
        return std::nullopt;
    }
    return ConfigKeys::FloatText(*number);
}

std::optional<std::string> ParseUnit(std::string_view value, std::string* error) {
    // Celsius under every name a shell user may type it.
    for (const std::string_view celsius :
         {kCelsius, std::string_view("\u2103"), std::string_view("C"), std::string_view("degC")}) {
        if (SameIgnoringCase(value, celsius)) {
            return std::string(kCelsius);
        }
    }
    for (const std::string_view unit : kUnits) {
        if (SameIgnoringCase(value, unit)) {
            return std::string(unit);
        }
    }
    Fail(error, "unit: " + Quoted(value) + " is not a unit of the transmitter's range; it takes " +
                    ListOf(kUnits) + " (C for " + std::string(kCelsius) + ")");
    return std::nullopt;
}

std::optional<std::string> ParseChoice(const Key& key, std::string_view value, std::string* error) {
    for (const std::string_view choice : key.choices) {
        if (SameIgnoringCase(value, choice)) {
            return std::string(choice);
        }
    }
    Fail(error,
         std::string(key.name) + ": " + Quoted(value) + " is not one of " + ListOf(key.choices));
    return std::nullopt;
}

std::optional<std::string> ParseSensor(const Key& key, std::string_view value, std::string* error) {
    const int code = ConfigKeys::SensorCode(value);
    if (code >= 0) {
        return SensorName(code);
    }
    std::string names;
    for (int c = 0; c < SensorTable::CodeCount; ++c) {
        names += (c == 0 ? "" : ", ") + SensorName(c);
    }
    Fail(error, std::string(key.name) + ": " + Quoted(value) +
                    " is not a sensor type; the types are " + names);
    return std::nullopt;
}

std::optional<std::string> ParseHex(std::string_view value, std::string* error) {
    constexpr std::size_t kDigits = 6;
    bool hex = !value.empty() && value.size() <= kDigits;
    for (const char c : value) {
        hex = hex && (IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'f'));
    }
    if (!hex) {
        Fail(error, "final-assembly-number: " + Quoted(value) +
                        " is not a number of 1 to 6 hexadecimal digits");
        return std::nullopt;
    }
    std::string text(kDigits - value.size(), '0');
    for (const char c : value) {
        text += static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    }
    return text;
}

std::optional<std::string> ParseInteger(const Key& key, std::string_view value,
                                        std::string* error) {
    int number = 0;
    const char* const end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data(), end, number);
    if (value.empty() || ec != std::errc() || ptr != end) {
        Fail(error, std::string(key.name) + ": " + Quoted(value) + " is not a whole number");
        return std::nullopt;
    }
    return std::to_string(number);
}

std::string Choice(const Key& key, int position) {
    return std::string(key.choices[static_cast<std::size_t>(position)]);
}

bool IsSixHexDigits(const std::string& text) {
    std::string ignored;
    return text.size() == 6 && ParseHex(text, &ignored) == text;
}

} // namespace

const std::vector<std::string_view>& ConfigKeys::Names() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (const Key& key : kKeys) {
            all.push_back(key.name);
        }
        return all;
    }();
    return names;
}

bool ConfigKeys::IsKnown(std::string_view key) {
    return Find(key) != nullptr;
}

ConfigPart ConfigKeys::PartOf(std::string_view key) {
    const Key* found = Find(key);
    return found != nullptr ? found->part : ConfigPart::Message;
}

std::uint8_t ConfigKeys::CommandOf(ConfigPart part) {
    return PartCommands(part).write;
}

std::uint8_t ConfigKeys::ReadCommandOf(ConfigPart part) {
    return PartCommands(part).read;
}

bool ConfigKeys::IsNumber(std::string_view key) {
    const Key* found = Find(key);
    return found != nullptr && (found->kind == Kind::Number || IsWholeNumber(key));
}

bool ConfigKeys::IsWholeNumber(std::string_view key) {
    return key == "sensors" || key == "wire1" || key == "wire2" || key == "output-sensor" ||
           key == "decimals" || key == "polling-address";
}

std::optional<std::string> ConfigKeys::Parse(std::string_view key, std::string_view value,
                                             std::string* error) {
    const Key* found = Find(key);
    if (found == nullptr) {
        Fail(error, "unknown key " + Quoted(key) + "; the keys are " +
                        ListOf(std::span<const std::string_view>(Names())));
        return std::nullopt;
    }
    switch (found->kind) {
    case Kind::Text:
        return ParseText(*found, value, error);
    case Kind::Date:
        return ParseDate(value, error);
    case Kind::Number:
        return ParseNumber(*found, value, error);
    case Kind::Unit:
        return ParseUnit(value, error);
    case Kind::Choice:
        return ParseChoice(*found, value, error);
    case Kind::Sensor:
        return ParseSensor(*found, value, error);
    case Kind::Hex:
        return ParseHex(value, error);
    case Kind::Integer:
        return ParseInteger(*found, value, error);
    }
    return std::nullopt;
}

std::optional<ConfigValues> ConfigKeys::ParseAssignments(const std::vector<std::string>& arguments,
                                                         std::string* error) {
    ConfigValues values;
    for (const std::string& argument : arguments) {
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos) {
            Fail(error, Quoted(argument) + " is not KEY=VALUE");
            return std::nullopt;
        }
        const std::string key = argument.substr(0, equals);
        std::optional<std::string> value =
            Parse(key, std::string_view(argument).substr(equals + 1), error);
        if (!value) {
            return std::nullopt;
        }
        if (!values.emplace(key, std::move(*value)).second) {
            Fail(error, key + " is given twice");
            return std::nullopt;
        }
    }
    return values;
}

ConfigValues ConfigKeys::Read(const DeviceRecord& device,
                              std::map<std::string, std::string>* unreadable) {
    ConfigValues values;
    const auto cannot = [unreadable](const std::string& key, std::string why) {
        if (unreadable != nullptr) {
            (*unreadable)[key] = std::move(why);
        }
    };
    const auto choice = [&](const char* name, int position) {
        const Key& key = *Find(name);
        if (position >= 0 && static_cast<std::size_t>(position) < key.choices.size()) {
            values[name] = Choice(key, position);
        } else {
            cannot(name, "code " + std::to_string(position) + ", which is not one of " +
                             ListOf(key.choices));
        }
    };
    const auto number = [&](const char* name, double value) {
        if (std::isfinite(static_cast<float>(value))) {
            values[name] = FloatText(static_cast<float>(value));
        } else {
            cannot(name, "not a number");
        }
    };
    const auto sensor = [&](int index, int code, int wire, float offset) {
        const std::string n = std::to_string(index);
        if (code < SensorTable::CodeCount) {
            values["sensor" + n] = SensorName(code);
        } else {
            cannot("sensor" + n, "code " + std::to_string(code) + ", which is no sensor type");
        }
        if (WireApplies(code)) {
            choice(("wire" + n).c_str(), wire);
        }
        number(("offset" + n).c_str(), OffsetToDisplay(offset, device.pvUnitText));
    };

    values["tag"] = device.tag;
    values["descriptor"] = device.descriptor;
    values["message"] = device.message;
    if (const std::optional<CalendarDate> date = TransmitterDate(device)) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date->year, date->month, date->day);
        values["date"] = text;
    } else {
        cannot("date", "day " + std::to_string(device.dateDay) + ", month " +
                           std::to_string(device.dateMonth) + ", year " +
                           std::to_string(device.dateYear) + ", which is not a calendar date");
    }
    if (IsSixHexDigits(device.finalAssemblyNumber)) {
        values["final-assembly-number"] = device.finalAssemblyNumber;
    } else {
        cannot("final-assembly-number", Quoted(device.finalAssemblyNumber));
    }
    values["polling-address"] = std::to_string(device.pollingAddress);

    // Two sensors exactly when the second has a type, as the sensor page reads it.
    const bool two = device.sensor2Type < SensorTable::CodeCount;
    values["sensors"] = two ? "2" : "1";
    sensor(1, device.sensor1Type, device.sensorSetupA & 0x0F, device.sensorValueA);
    if (two) {
        const int mode = device.sensorSetupB & 0x0F;
        choice("mode", mode);
        sensor(2, device.sensor2Type, device.sensorSetupA >> 4, device.sensorValueB);
        if (mode == kIndependent) {
            // Read as the sensor page reads it: out of range means sensor 1.
            choice("output-sensor", device.sensorSetupB >= 32 ? 0 : device.sensorSetupB >> 4);
        }
    }

    number("lrv", device.lowerRangeValue);
    number("urv", device.upperRangeValue);
    if (IsCelsiusUnit(device.pvUnitText)) {
        values["unit"] = kCelsius;
    } else if (std::string error; ParseUnit(device.pvUnitText, &error) == device.pvUnitText) {
        values["unit"] = device.pvUnitText;
    } else {
        cannot("unit", Quoted(device.pvUnitText) + ", which is not a unit of the sensor page");
    }
    number("damping", device.damping);
    choice("display-mode", device.displaySettings[0]);
    choice("decimals", device.displaySettings[1]);
    choice("alarm", device.displaySettings[2]);
    return values;
}

bool ConfigKeys::Same(std::string_view key, const ConfigValues& a, const ConfigValues& b) {
    const auto inA = a.find(std::string(key));
    const auto inB = b.find(std::string(key));
    if (inA == a.end() || inB == b.end()) {
        return inA == a.end() && inB == b.end();
    }
    if (key == "offset1" || key == "offset2") {
        const auto stored = [](const ConfigValues& values, const std::string& offset) {
            const auto unit = values.find("unit");
            const std::optional<float> shown = ParseFloat(offset);
            if (!shown || unit == values.end()) {
                return shown;
            }
            return std::optional<float>(
                static_cast<float>(OffsetToDevice(*shown, UnitText(unit->second))));
        };
        return stored(a, inA->second) == stored(b, inB->second);
    }
    return inA->second == inB->second;
}

std::string ConfigKeys::UnitText(std::string_view unit) {
    return unit == kCelsius ? CelsiusText() : std::string(unit);
}

int ConfigKeys::Position(std::string_view key, std::string_view value) {
    const Key* found = Find(key);
    if (found == nullptr) {
        return -1;
    }
    for (std::size_t i = 0; i < found->choices.size(); ++i) {
        if (found->choices[i] == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ConfigKeys::SensorCode(std::string_view name) {
    const std::string folded = Folded(name);
    for (int code = 0; code < SensorTable::CodeCount; ++code) {
        if (!folded.empty() && Folded(SensorName(code)) == folded) {
            return code;
        }
    }
    return -1;
}

bool ConfigKeys::WireApplies(int code) {
    constexpr int kResistanceWithoutPosition = 23;
    const int position = PositionOfSensorCode(code);
    return position >= 0 ? ::WireApplies(position) : code == kResistanceWithoutPosition;
}

std::string ConfigKeys::FloatText(float value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string("0");
}
