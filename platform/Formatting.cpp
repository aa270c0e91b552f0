#include "platform/Formatting.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// For a decimal number that from_chars found out of range: true when it is
// too large (rather than too small), judged by where its first significant
// digit stands after applying the exponent.
bool IsOverflow(std::string_view number) {
    std::size_t pos = 0;
    long long magnitude = 0; // position of the first significant digit
    bool significant = false;
    bool afterPoint = false;
    for (; pos < number.size(); ++pos) {
        const char c = number[pos];
        if (c == '.') {
            afterPoint = true;
        } else if (!IsDigit(c)) {
            break;
        } else if (!significant && c == '0') {
            magnitude -= afterPoint ? 1 : 0;
        } else {
            significant = true;
            magnitude += afterPoint ? 0 : 1;
        }
    }
    if (pos < number.size() && (number[pos] == 'e' || number[pos] == 'E')) {
        ++pos;
        bool negative = false;
        if (pos < number.size() && (number[pos] == '+' || number[pos] == '-')) {
            negative = number[pos] == '-';
            ++pos;
        }
        long long exponent = 0;
        for (; pos < number.size() && IsDigit(number[pos]); ++pos) {
            exponent = std::min(exponent * 10 + (number[pos] - '0'), 1'000'000'000LL);
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
}

std::string FormatLocalTime(std::time_t time, bool withDate) {
    std::tm parts{};
    if (localtime_r(&time, &parts) == nullptr) {
        return {};
    }
    char buffer[64];
    int length;
    if (withDate) {
        length = std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d  %02d:%02d:%02d",
                               parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                               parts.tm_min, parts.tm_sec);
    } else {
        length = std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", parts.tm_hour, parts.tm_min,
                               parts.tm_sec);
    }
    if (length < 0) {
        return {};
    }
    return std::string(buffer, std::min(static_cast<std::size_t>(length), sizeof buffer - 1));
}

} // namespace

std::string FormatFixed(double value, int decimals) {
    if (std::isnan(value)) {
        return "nan"; // also for a NaN with its sign bit set
    }
    decimals = std::clamp(decimals, 0, MaxFixedDecimals);
    // Sign, 309 integer digits of DBL_MAX, point and the decimals.
    char buffer[1 + std::numeric_limits<double>::max_exponent10 + 1 + 1 + MaxFixedDecimals];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return {};
    }
    return std::string(buffer, result.ptr);
}

double TextToDouble(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) {
        ++pos;
    }
    // from_chars takes '-' but not '+'; a second sign is no number at all.
    if (pos < text.size() && text[pos] == '+') {
        ++pos;
        if (pos < text.size() && text[pos] == '-') {
            return 0.0;
        }
    }
    const char* first = text.data() + pos;
    const char* last = text.data() + text.size();
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = *first == '-';
        const std::string_view number(first + (negative ? 1 : 0),
                                      static_cast<std::size_t>(result.ptr - first) -
                                          (negative ? 1 : 0));
        const double magnitude = IsOverflow(number) ? HUGE_VAL : 0.0;
        return negative ? -magnitude : magnitude;
    }
    if (result.ec != std::errc()) {
        return 0.0;
    }
    return value;
}

std::int32_t TextToInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulated as a magnitude one past INT32_MAX at most, so no digit
    // string can overflow it.
    constexpr long long Limit =
        static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
    long long magnitude = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        magnitude = std::min(magnitude * 10 + (text[pos] - '0'), Limit);
    }
    const long long value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<long long>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::string FormatDateTime(std::time_t time) {
    return FormatLocalTime(time, true);
}

std::string FormatTimeOfDay(std::time_t time) {
    return FormatLocalTime(time, false);
}

std::int32_t RoundToNearest(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    double rounded = std::trunc(value);
    const double dropped = value - rounded;
    if (dropped >= 0.5) {
        rounded += 1.0;
    } else if (dropped <= -0.5) {
        rounded -= 1.0;
    }
    constexpr auto Lowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto Highest = std::numeric_limits<std::int32_t>::max();
    if (rounded <= static_cast<double>(Lowest)) {
        return Lowest;
    }
    if (rounded >= static_cast<double>(Highest)) {
        return Highest;
    }
    return static_cast<std::int32_t>(rounded);
}
