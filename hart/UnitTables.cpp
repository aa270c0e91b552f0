#include "hart/UnitTables.h"

#include <array>
#include <utility>

std::atomic<bool> ChineseUnitsFlag{false};

namespace {

constexpr std::string_view kDegreeCelsius = "\u00B0C";
constexpr std::string_view kCelsiusSign = "\u2103";

constexpr std::array<std::pair<std::uint8_t, std::string_view>, 24> kCodeToText{{
    {4, "mmH2O"}, {5, "mmHg"},   {6, "psi"},    {7, "bar"},    {8, "mbar"},   {11, "Pa"},
    {12, "KPa"},  {33, "F"},     {35, "K"},     {36, "mV"},    {37, "Ohm"},   {45, "m"},
    {47, "inch"}, {48, "cm"},    {49, "mm"},    {58, "V"},     {60, "g"},     {61, "Kg"},
    {139, "ppm"}, {149, "%VOL"}, {161, "%LEL"}, {163, "Kohm"}, {171, "mH2O"}, {237, "MPa"},
}};

// Searched in this order; the first match wins.
constexpr std::array<std::pair<std::string_view, std::uint8_t>, 24> kTextToCode{{
    {"mmHg", 5},        {"psi", 6},    {"bar", 7},     {"mbar", 8}, {"Pa", 11},
    {"KPa", 12},        {"MPa", 237},  {"mmH2O", 171}, {"g", 60},   {"Kg", 61},
    {"m", 45},          {"inch", 47},  {"cm", 48},     {"mm", 49},  {kDegreeCelsius, 32},
    {kCelsiusSign, 32}, {"F", 33},     {"K", 35},      {"Ohm", 37}, {"KOhm", 163},
    {"%LEL", 161},      {"%VOL", 149}, {"ppm", 139},   {"mV", 36},
}};

} // namespace

std::string CelsiusText() {
    return std::string(ChineseUnitsFlag.load() ? kCelsiusSign : kDegreeCelsius);
}

std::string UnitCodeToText(std::uint8_t code) {
    if (code == 32) {
        return CelsiusText();
    }
    for (const auto& [entryCode, text] : kCodeToText) {
        if (entryCode == code) {
            return std::string(text);
        }
    }
    return "?";
}

std::uint8_t UnitTextToCode(std::string_view text) {
    for (const auto& [entryText, code] : kTextToCode) {
        if (entryText == text) {
            return code;
        }
    }
    return 0;
}

void UpdateDeviceTypeName(std::uint8_t deviceType, std::string& name) {
    if (deviceType == 3) {
        name = "通用型HART 智能压力变送器";
    } else if (deviceType == 4 || deviceType == 8) {
        name = "HART 智能变送器";
    }
}
