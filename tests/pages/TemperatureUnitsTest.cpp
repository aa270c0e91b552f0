#include "pages/TemperatureUnits.h"

#include "platform/Formatting.h"

#include <gtest/gtest.h>

namespace {

const std::string DegreeCelsius = "\u00B0C";
const std::string CelsiusSign = "\u2103";

std::string Zero(std::string_view from, std::string_view to, double value) {
    return FormatFixed(ConvertTemperatures(from, to, value, 0, 0, 0).zero, 3);
}

TEST(TemperatureUnits, KnowsTheFourUnitTextsExactly) {
    for (const std::string& unit :
         {DegreeCelsius, CelsiusSign, std::string("K"), std::string("F")}) {
        EXPECT_TRUE(IsTemperatureUnit(unit)) << unit;
    }
    for (const char* unit : {"", "C", "k", "f", "\u00B0c", "mV", "K "}) {
        EXPECT_FALSE(IsTemperatureUnit(unit)) << unit;
    }
}

TEST(TemperatureUnits, RangeEndsConvertAsTemperatures) {
    for (const std::string& celsius : {DegreeCelsius, CelsiusSign}) {
        EXPECT_EQ(Zero(celsius, "F", 100), "212.000");
        EXPECT_EQ(Zero("F", celsius, 212), "100.000");
        EXPECT_EQ(Zero(celsius, "K", 25), "298.160");
        EXPECT_EQ(Zero("K", celsius, 273.16), "0.000");
    }
    EXPECT_EQ(Zero("K", "F", 0), "-459.688");
    EXPECT_EQ(Zero("F", "K", 32), "273.160");
    // Any new unit other than "K" takes Celsius to F.
    EXPECT_EQ(Zero(DegreeCelsius, "mV", 0), "32.000");
}

TEST(TemperatureUnits, OffsetsScaleButAreNotShifted) {
    const auto toK = ConvertTemperatures(DegreeCelsius, "K", 0, 0, 1.0, -2.0);
    EXPECT_EQ(toK.offset1, 1.0);
    EXPECT_EQ(toK.offset2, -2.0);
    const auto toF = ConvertTemperatures(CelsiusSign, "F", 0, 0, 1.0, -2.0);
    EXPECT_DOUBLE_EQ(toF.offset1, 1.8);
    EXPECT_DOUBLE_EQ(toF.offset2, -3.6);
    EXPECT_NEAR(ConvertTemperatures("F", DegreeCelsius, 0, 0, 1.8, 0).offset1, 1.0, 1e-12);
    EXPECT_NEAR(ConvertTemperatures("F", "K", 0, 0, 0, -3.6).offset2, -2.0, 1e-12);

    EXPECT_DOUBLE_EQ(OffsetToDisplay(1.0, "F"), 1.8);
    EXPECT_NEAR(OffsetToDevice(1.8, "F"), 1.0, 1e-6);
    for (const std::string& unit :
         {DegreeCelsius, CelsiusSign, std::string("K"), std::string("f")}) {
        EXPECT_EQ(OffsetToDisplay(1.0, unit), 1.0) << unit;
        EXPECT_EQ(OffsetToDevice(1.8, unit), 1.8) << unit;
    }
}

} // namespace
