#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// Number and time texts shown to the user. Numbers always use '.' as the
// decimal point, whatever locale the process runs in.

// Most decimals FormatFixed writes; more are clamped to this.
inline constexpr int MaxFixedDecimals = 30;

// value with decimals digits after the point (like "%.*f"); negative decimals
// count as 0. NaN gives "nan", infinities "inf" and "-inf".
std::string FormatFixed(double value, int decimals);

// The C text-to-double rule: leading blanks skipped, then the longest leading
// number (sign, digits, point, exponent; also "inf" and "nan"); the rest is
// ignored and text without a number reads as 0. Too large a number reads as
// infinity with its sign, too small a one as 0. Decimal only: "0x10" reads
// as 0.
double TextToDouble(std::string_view text);

// The C text-to-integer rule: leading blanks skipped, one optional sign, then
// decimal digits up to the first other character; text without digits reads
// as 0. Numbers beyond the 32-bit range give INT32_MIN or INT32_MAX.
std::int32_t TextToInteger(std::string_view text);

// Local time as "2014-03-05  08:04:09" (two blanks); "" when the time cannot
// be broken down.
std::string FormatDateTime(std::time_t time);

// Local time of day as "08:04:09"; "" when the time cannot be broken down.
std::string FormatTimeOfDay(std::time_t time);

// Rounds half away from zero: truncates toward zero, then moves one away
// from zero when the dropped fraction is 0.5 or more. NaN gives 0; values
// beyond the 32-bit range give INT32_MIN or INT32_MAX.
std::int32_t RoundToNearest(double value);
