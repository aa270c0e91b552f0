#pragma once

#include <cstdint>
#include <string_view>

// How the pages read numbers out of the texts of their edits and combos.
// Only the first 255 characters of a text count, as a dialog item gives no
// more.

inline constexpr std::size_t MaxItemTextLength = 255;

// The leading decimal number of the text (blanks skipped); 0 when there is
// none.
double ReadItemNumber(std::string_view text);

// The leading whole number of the text (blanks and a sign accepted, reading
// stops at the first non-digit); 0 when there is none, saturated at the 32-bit
// limits.
std::int32_t ReadItemInteger(std::string_view text);
