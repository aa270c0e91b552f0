#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

// Set while the language "Simple Chinese" is chosen: Celsius then reads as the
// full-width sign. Read on the reader thread while decoding, written by the
// language menu, hence atomic.
extern std::atomic<bool> ChineseUnitsFlag;

// "℃" (U+2103) while ChineseUnitsFlag is set, "°C" (U+00B0 then C) otherwise.
std::string CelsiusText();

// HART unit code to the text shown on the pages; "?" for codes we do not know.
std::string UnitCodeToText(std::uint8_t code);

// Text to HART unit code, 0 when no entry matches. Deliberately not the inverse
// of UnitCodeToText: transmitters in the field rely on the codes as they are.
std::uint8_t UnitTextToCode(std::string_view text);

// Sets name to the device type's name for the codes we know; leaves it as it
// was for any other code.
void UpdateDeviceTypeName(std::uint8_t deviceType, std::string& name);
