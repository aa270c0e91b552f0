#include "pages/TemperatureUnits.h"

#include <gtest/gtest.h>

namespace {

const std::string DegreeCelsius = "\u00B0C";
const std::string CelsiusSign = "\u2103";

// Range ends convert as temperatures; offsets (differences) only scale.
TEST(TemperatureUnits, RangeEndsConvertAsTemperaturesAndOffsetsOnlyScale) {
    const struct {
        std::string from, to;
        double value, converted, scale;
    } cases[] = {
        {DegreeCelsius, "F", 100, 212, 1.8}, {"F", CelsiusSign, 212, 100, 1 / 1.8},
        {CelsiusSign, "K", 25, 298.16, 1},   {"K", DegreeCelsius, 273.16, 0, 1},
        {"K", "F", 0, -459.688, 1.8},        {"F", "K", 32, 273.16, 1 / 1.8},
        {DegreeCelsius, "mV", 0, 32, 1.8}, // any unit but "K" takes Celsius to F
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from + " to " + c.to);
        const auto t = ConvertTemperatures(c.from, c.to, c.value, c.value + 10, 1.0, -2.0);
        EXPECT_NEAR(t.zero, c.converted, 1e-9);
        EXPECT_NEAR(t.span, c.converted + 10 * c.scale, 1e-9);
        EXPECT_NEAR(t.offset1, c.scale, 1e-12);
        EXPECT_NEAR(t.offset2, -2 * c.scale, 1e-12);
    }
}

// The four units themselves convert above and on the sensor page.
TEST(TemperatureUnits, KnowsTheUnitTextsExactlyAndScalesOnlyFahrenheitOffsetsForDisplay) {
    for (const char* unit : {"", "C", "k", "f", "\u00B0c", "mV", "K "}) {
        EXPECT_FALSE(IsTemperatureUnit(unit)) << unit;
    }
    EXPECT_DOUBLE_EQ(OffsetToDisplay(1.0, "F"), 1.8);
    EXPECT_NEAR(OffsetToDevice(1.8, "F"), 1.0, 1e-6);
    for (const std::string& unit :
         {DegreeCelsius, CelsiusSign, std::string("K"), std::string("f")}) {
        EXPECT_EQ(OffsetToDisplay(1.0, unit), 1.0) << unit;
        EXPECT_EQ(OffsetToDevice(1.8, unit), 1.8) << unit;
    }
}

} // namespace
