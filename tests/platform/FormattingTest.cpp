#include "platform/Formatting.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <tuple>

static std::string PrintfFixed(double value, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

TEST(FormatFixed, MatchesPrintfInTheCLocaleAndHandlesOddArguments) {
    for (double value : {0.0, 1.5, -1.5, 2.0 / 3.0, 0.125, 0.0005, -0.0004, 1234567.891, 1e300}) {
        for (int decimals : {0, 1, 2, 3, 6}) {
            EXPECT_EQ(FormatFixed(value, decimals), PrintfFixed(value, decimals)) << value;
        }
    }
    EXPECT_EQ(FormatFixed(2.6, -4), "3");
    EXPECT_EQ(FormatFixed(0.1, 1000), PrintfFixed(0.1, MaxFixedDecimals));
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::max(), 1000).size(), 1u + 309 + 1 + 30);
    EXPECT_EQ(FormatFixed(-std::nan(""), 3), "nan");
    EXPECT_EQ(FormatFixed(-HUGE_VAL, 3), "-inf");
}

TEST(FormatFixed, KeepsThePointUnderALocaleWithADecimalComma) {
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            chosen = name;
            break;
        }
    }
    const std::pair underTheLocale(FormatFixed(1.5, 3), TextToDouble("2.25"));
    std::setlocale(LC_ALL, "C");
    if (chosen == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    EXPECT_EQ(underTheLocale, std::pair(std::string("1.500"), 2.25)) << chosen;
}

TEST(TextToNumber, FollowsTheCRuleAndIntegersSaturate) {
    // Each text read as a double and as an integer.
    const std::tuple<const char*, double, std::int32_t> numbers[] = {
        {"+3", 3.0, 3},     {"-3e2x", -300.0, -3},    {"2147483647", 2147483647.0, INT32_MAX},
        {".5", 0.5, 0},     {"1,5", 1.0, 1},          {"2147483648", 2147483648.0, INT32_MAX},
        {"1e", 1.0, 1},     {"3.9", 3.9, 3},          {"-2147483648", -2147483648.0, INT32_MIN},
        {"+7x", 7.0, 7},    {"-123e-500", 0.0, -123}, {"-99999999999999999999", -1e20, INT32_MIN},
        {"  15", 15.0, 15}, {"1e999", HUGE_VAL, 1},   {"-0.5e400", -HUGE_VAL, 0},
        {"-1", -1.0, -1}};
    for (const auto& [text, real, integer] : numbers) {
        EXPECT_EQ(TextToDouble(text), real) << text;
        EXPECT_EQ(TextToInteger(text), integer) << text;
    }
    EXPECT_EQ(TextToDouble("  \t\n12.5abc"), 12.5);
    for (const char* none : {"", "abc", "+-1", "--1", ".", "- 1", "0x10"}) {
        EXPECT_EQ(TextToDouble(none), 0.0) << none;
        EXPECT_EQ(TextToInteger(none), 0) << none;
    }
}

TEST(TimeTexts, LocalTimeInUtc) {
    const char* saved = std::getenv("TZ");
    const std::string savedZone = saved ? saved : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const std::time_t march5 = 1394006649; // 2014-03-05 08:04:09 UTC
    EXPECT_EQ(FormatDateTime(march5), "2014-03-05  08:04:09");
    EXPECT_EQ(FormatTimeOfDay(march5), "08:04:09");
    saved ? setenv("TZ", savedZone.c_str(), 1) : unsetenv("TZ");
    tzset();
}

TEST(RoundToNearest, RoundsHalfAwayFromZeroAndSaturates) {
    // The largest double below 0.5 gives 0, not 1 as adding 0.5 and truncating does.
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 3}, {-2.5, -3},        {HUGE_VAL, INT32_MAX},     {-2147483648.6, INT32_MIN},
        {0.4, 0}, {std::nan(""), 0}, {2147483647.6, INT32_MAX}, {0.49999999999999994, 0}};
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(RoundToNearest(value), rounded) << value;
    }
}
