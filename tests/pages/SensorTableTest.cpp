#include "pages/SensorTable.h"

#include "hart/UnitTables.h"

#include <gtest/gtest.h>

namespace {

void ExpectEntry(const SensorTable& table, int code, const std::string& name,
                 const std::string& unit, double lower, double upper) {
    const SensorInfo* info = table.SensorInfoOfCode(code);
    ASSERT_NE(info, nullptr) << code;
    EXPECT_EQ(info->name, name);
    EXPECT_EQ(info->unit, unit);
    EXPECT_EQ(info->lower, lower);
    EXPECT_EQ(info->upper, upper);
}

TEST(SensorTable, HoldsTheTypesInCodeOrderWithTheCelsiusTextOfBuildTime) {
    SensorTable table;
    EXPECT_EQ(table.SensorInfoOfCode(0), nullptr);
    ChineseUnitsFlag = false;
    table.Build();
    ExpectEntry(table, 0, "Type B", "\u00B0C", 0, 1820);
    ExpectEntry(table, 20, "Ni 1000(6180ppm/K)", "\u00B0C", -60, 150);
    ExpectEntry(table, 23, "0...10KOhm", "Ohm", 0, 10000);
    ExpectEntry(table, 27, "-1000...1000mV", "mV", -1000, 1000);
    EXPECT_EQ(table.SensorInfoOfCode(-1), nullptr);
    EXPECT_EQ(table.SensorInfoOfCode(28), nullptr);

    ChineseUnitsFlag = true;
    table.Build();
    ChineseUnitsFlag = false;
    ExpectEntry(table, 7, "Type T", "\u2103", -270, 400);
    EXPECT_EQ(table.SensorInfoOfCode(28), nullptr);
}

TEST(SensorTable, PositionsAndCodesMapBothWays) {
    EXPECT_EQ(SensorCodeOfPosition(11), 0);
    EXPECT_EQ(SensorCodeOfPosition(23), 24);
    EXPECT_EQ(PositionOfSensorCode(23), -1);
    for (int position = 0; position < SensorPositionCount; ++position) {
        EXPECT_EQ(PositionOfSensorCode(SensorCodeOfPosition(position)), position) << position;
    }
    for (int outside : {-1, 27, 28, 1000}) {
        EXPECT_EQ(SensorCodeOfPosition(outside), -1);
        EXPECT_EQ(PositionOfSensorCode(outside == 27 ? -2 : outside), -1);
    }
}

TEST(SensorTable, WireRuleAndSensorClasses) {
    for (int position : {0, 10, 21, 23}) {
        EXPECT_TRUE(WireApplies(position)) << position;
    }
    for (int position : {-1, 11, 20, 24, 26, 27}) {
        EXPECT_FALSE(WireApplies(position)) << position;
    }
    EXPECT_EQ(SensorClassOfCode(20), SensorClass::Temperature);
    EXPECT_EQ(SensorClassOfCode(21), SensorClass::Resistance);
    EXPECT_EQ(SensorClassOfCode(23), SensorClass::Resistance);
    EXPECT_EQ(SensorClassOfCode(24), SensorClass::Millivolt);
}

} // namespace
