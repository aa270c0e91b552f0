#include "sim/StateFile.h"

#include "sim/PackedAscii.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string_view>
#include <type_traits>

namespace {

// Byte blocks saved as hexadecimal, one key each.
struct BlockField {
    std::string_view m_key;
    std::function<std::span<std::uint8_t>(DeviceConfig&)> m_bytes;
};

const std::array<BlockField, 15>& BlockFields() {
    static const std::array<BlockField, 15> fields{{
        {"sensor-block", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_sensorBlock); }},
        {"display-block",
         [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_displayBlock); }},
        {"value137", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_value137); }},
        {"byte138a", [](DeviceConfig& c) { return std::span<std::uint8_t>(&c.m_byte138a, 1); }},
        {"byte138b", [](DeviceConfig& c) { return std::span<std::uint8_t>(&c.m_byte138b, 1); }},
        {"pair140", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_pair140); }},
        {"bytes141", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_bytes141); }},
        {"value142", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_value142); }},
        {"floats144", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_floats144); }},
        {"value145", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_value145); }},
        {"pair148", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_pair148); }},
        {"block150", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_block150); }},
        {"block152", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_block152); }},
        {"flag160", [](DeviceConfig& c) { return std::span<std::uint8_t>(&c.m_flag160, 1); }},
        {"words161", [](DeviceConfig& c) { return std::span<std::uint8_t>(c.m_words161); }},
    }};
    return fields;
}

struct TextField {
    std::string_view m_key;
    std::string DeviceConfig::*m_member;
    std::size_t m_characters;
};

constexpr std::array<TextField, 3> kTextFields{{
    {"tag", &DeviceConfig::m_tag, 8},
    {"descriptor", &DeviceConfig::m_descriptor, 16},
    {"message", &DeviceConfig::m_message, 32},
}};

struct FloatField {
    std::string_view m_key;
    float DeviceConfig::*m_member;
};

constexpr std::array<FloatField, 5> kFloatFields{{
    {"upper-range", &DeviceConfig::m_upperRange},
    {"lower-range", &DeviceConfig::m_lowerRange},
    {"damping", &DeviceConfig::m_damping},
    {"trim-zero", &DeviceConfig::m_trimZero},
    {"trim-gain", &DeviceConfig::m_trimGain},
}};

std::string Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

bool ParseHex(std::string_view text, std::span<std::uint8_t> out) {
    if (text.size() != out.size() * 2) {
        return false;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char* const first = text.data() + 2 * i;
        unsigned value = 0;
        const auto [ptr, ec] = std::from_chars(first, first + 2, value, 16);
        if (ec != std::errc() || ptr != first + 2) {
            return false;
        }
        out[i] = static_cast<std::uint8_t>(value);
    }
    return true;
}

template <typename T> bool ParseNumber(std::string_view text, T* value, int base = 10) {
    const char* const end = text.data() + text.size();
    std::from_chars_result result{};
    if constexpr (std::is_floating_point_v<T>) {
        result = std::from_chars(text.data(), end, *value);
    } else {
        result = std::from_chars(text.data(), end, *value, base);
    }
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

std::string FloatText(float value) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.9g", static_cast<double>(value));
    return buffer.data();
}

std::string Hex24(std::uint32_t value) {
    const std::array<std::uint8_t, 3> bytes{static_cast<std::uint8_t>(value >> 16),
                                            static_cast<std::uint8_t>(value >> 8),
                                            static_cast<std::uint8_t>(value)};
    return Hex(bytes);
}

// Applies one "key value" line to a device; false with a reason.
bool ApplyLine(std::string_view key, std::string_view value, DeviceConfig* device,
               std::string* reason) {
    for (const TextField& field : kTextFields) {
        if (key == field.m_key) {
            device->*field.m_member = PackedAscii::Normalise(value, field.m_characters);
            return true;
        }
    }
    for (const FloatField& field : kFloatFields) {
        if (key == field.m_key) {
            if (!ParseNumber(value, &(device->*field.m_member))) {
                *reason = "'" + std::string(key) + "' needs a number";
                return false;
            }
            return true;
        }
    }
    for (const BlockField& field : BlockFields()) {
        if (key == field.m_key) {
            const auto bytes = field.m_bytes(*device);
            if (!ParseHex(value, bytes)) {
                *reason = "'" + std::string(key) + "' needs " + std::to_string(bytes.size() * 2) +
                          " hexadecimal digits";
                return false;
            }
            return true;
        }
    }
    if (key == "id" || key == "final-assembly") {
        std::uint32_t number = 0;
        if (!ParseNumber(value, &number, 16) || number > 0xFFFFFF) {
            *reason = "'" + std::string(key) + "' needs up to six hexadecimal digits";
            return false;
        }
        (key == "id" ? device->m_deviceId : device->m_finalAssembly) = number;
        return true;
    }
    if (key == "polling-address" || key == "pv-unit") {
        unsigned number = 0;
        const unsigned limit = key == "polling-address" ? 15 : 255;
        if (!ParseNumber(value, &number) || number > limit) {
            *reason =
                "'" + std::string(key) + "' needs a number from 0 to " + std::to_string(limit);
            return false;
        }
        (key == "polling-address" ? device->m_pollingAddress : device->m_pvUnit) =
            static_cast<std::uint8_t>(number);
        return true;
    }
    if (key == "date") {
        // Day, month and full year, as the master shows them.
        unsigned day = 0;
        unsigned month = 0;
        unsigned year = 0;
        const auto first = value.find(' ');
        const auto second = first == std::string_view::npos ? first : value.find(' ', first + 1);
        if (second == std::string_view::npos || !ParseNumber(value.substr(0, first), &day) ||
            !ParseNumber(value.substr(first + 1, second - first - 1), &month) ||
            !ParseNumber(value.substr(second + 1), &year) || day > 255 || month > 255 ||
            year < 1900 || year > 2155) {
            *reason = "'date' needs day, month and a year from 1900 to 2155";
            return false;
        }
        device->m_day = static_cast<std::uint8_t>(day);
        device->m_month = static_cast<std::uint8_t>(month);
        device->m_yearSince1900 = static_cast<std::uint8_t>(year - 1900);
        return true;
    }
    if (key == "record143") {
        // Selector, then the 18 bytes kept for it.
        std::array<std::uint8_t, 19> bytes{};
        if (!ParseHex(value, bytes)) {
            *reason = "'record143' needs 38 hexadecimal digits";
            return false;
        }
        std::array<std::uint8_t, 18> record{};
        std::copy(bytes.begin() + 1, bytes.end(), record.begin());
        device->m_records143[bytes[0]] = record;
        return true;
    }
    *reason = "unknown key '" + std::string(key) + "'";
    return false;
}

} // namespace

std::string StateFile::Format(const std::vector<DeviceConfig>& devices) {
    std::ostringstream out;
    out << "# calora-sim state: one block per device, in --devices order\n";
    for (DeviceConfig device : devices) {
        out << "device\n";
        out << "id " << Hex24(device.m_deviceId) << '\n';
        out << "polling-address " << int{device.m_pollingAddress} << '\n';
        for (const TextField& field : kTextFields) {
            out << field.m_key << ' ' << device.*field.m_member << '\n';
        }
        out << "date " << int{device.m_day} << ' ' << int{device.m_month} << ' '
            << 1900 + int{device.m_yearSince1900} << '\n';
        out << "final-assembly " << Hex24(device.m_finalAssembly) << '\n';
        out << "pv-unit " << int{device.m_pvUnit} << '\n';
        for (const FloatField& field : kFloatFields) {
            out << field.m_key << ' ' << FloatText(device.*field.m_member) << '\n';
        }
        for (const BlockField& field : BlockFields()) {
            out << field.m_key << ' ' << Hex(field.m_bytes(device)) << '\n';
        }
        for (const auto& [selector, record] : device.m_records143) {
            out << "record143 " << Hex(std::array<std::uint8_t, 1>{selector}) << Hex(record)
                << '\n';
        }
    }
    return out.str();
}

bool StateFile::ParseText(const std::string& text, std::vector<DeviceConfig>* devices,
                          std::string* error) {
    devices->clear();
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line == "device") {
            devices->emplace_back();
            continue;
        }
        const auto space = line.find(' ');
        const std::string_view whole(line);
        const std::string_view key = whole.substr(0, space);
        const std::string_view value =
            space == std::string::npos ? std::string_view() : whole.substr(space + 1);
        std::string reason = "a 'device' line must come first";
        if (devices->empty() || !ApplyLine(key, value, &devices->back(), &reason)) {
            *error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
    }
    return true;
}

bool StateFile::Save(const std::string& path, const std::vector<DeviceConfig>& devices,
                     std::string* error) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << Format(devices);
        out.flush();
        if (!out) {
            *error = "cannot write " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool StateFile::Load(const std::string& path, std::vector<DeviceConfig>* devices,
                     std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    std::string reason;
    if (!ParseText(content.str(), devices, &reason)) {
        *error = path + ": " + reason;
        return false;
    }
    return true;
}
