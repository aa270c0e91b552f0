#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DeviceRecord;

// The parts of a transmitter's configuration, each written by one command:
// settings of one part travel together, so writing one of them writes the
// others of its part as well.
enum class ConfigPart {
    Message,           // 17
    TagDescriptorDate, // 18
    FinalAssembly,     // 19
    PollingAddress,    // 6
    Range,             // 35: lower and upper range value with their unit
    Sensors,           // 186: sensor block
    Display,           // 187: display block
    Damping,           // 34
};

// Settings by key name, each value in its one canonical text (the text `set`
// takes and `config` prints). A key that does not apply to the transmitter as
// it is configured (the second sensor of a single-sensor transmitter) is absent.
using ConfigValues = std::map<std::string, std::string>;

// The key table of the configuration commands: the names `set`, `backup`,
// `restore` and `diff` share, how each value is read from the device record,
// and how a typed value is checked and brought to its canonical text.
class ConfigKeys {
public:
    // Every key, in the order the configuration is printed and saved.
    static const std::vector<std::string_view>& Names();
    static bool IsKnown(std::string_view key);
    // The part a known key belongs to.
    static ConfigPart PartOf(std::string_view key);
    // The command that writes a part, and the one that reads it.
    static std::uint8_t CommandOf(ConfigPart part);
    static std::uint8_t ReadCommandOf(ConfigPart part);
    // Keys whose value is a number (saved as a JSON number): whole numbers
    // (IsWholeNumber) or decimals.
    static bool IsNumber(std::string_view key);
    static bool IsWholeNumber(std::string_view key);

    // The canonical text of value for key; nullopt and a message naming the
    // key and the problem when the value cannot be taken.
    static std::optional<std::string> Parse(std::string_view key, std::string_view value,
                                            std::string* error);
    // "KEY=VALUE" arguments of `set`; an unknown key, a malformed value or a
    // key given twice is an error.
    static std::optional<ConfigValues> ParseAssignments(const std::vector<std::string>& arguments,
                                                        std::string* error);

    // The settings in the record after the pages' reads, as the pages show
    // them. A value the keys cannot express (a sensor code or work mode the
    // transmitter should not hold, a date that is not a date) is left out of
    // the result and described in unreadable, by key.
    static ConfigValues Read(const DeviceRecord& device,
                             std::map<std::string, std::string>* unreadable = nullptr);

    // Whether key has the same setting in a and b. Offsets are compared as
    // the transmitter keeps them, each converted from the unit its own
    // configuration shows it in; a key absent from both is the same.
    static bool Same(std::string_view key, const ConfigValues& a, const ConfigValues& b);

    // --- The meaning of canonical values, for writing them ---
    // The unit text the pages use for a canonical unit ("°C" is the Celsius
    // text of the language in use).
    static std::string UnitText(std::string_view unit);
    // The position of a value in its list: work mode, output sensor, wire,
    // display mode, decimals, alarm; -1 when it is not in the list.
    static int Position(std::string_view key, std::string_view value);
    // The sensor code of a type name; -1 for no type.
    static int SensorCode(std::string_view name);
    // Whether the wire setting applies to a sensor code (resistance
    // thermometers and resistance ranges).
    static bool WireApplies(int code);
    // A float as its shortest text that reads back as the same float.
    static std::string FloatText(float value);
};
