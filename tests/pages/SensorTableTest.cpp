#include "pages/SensorTable.h"

#include "hart/UnitTables.h"

#include <gtest/gtest.h>

namespace {

// Names and ranges are proven against the language files' sensor lists and by
// the sensor page's range fill; here the order of the codes and the Celsius
// text, taken when the table is built.
TEST(SensorTable, HoldsTheTypesInCodeOrderWithTheCelsiusTextOfBuildTime) {
    SensorTable table;
    ChineseUnitsFlag = true;
    table.Build();
    ChineseUnitsFlag = false;
    const auto entry = [&table](int code) {
        const SensorInfo* info = table.SensorInfoOfCode(code);
        return info == nullptr ? std::string("none") : info->name + " in " + info->unit;
    };
    EXPECT_EQ((std::vector{entry(0), entry(23), entry(27), entry(-1), entry(28)}),
              (std::vector<std::string>{"Type B in \u2103", "0...10KOhm in Ohm",
                                        "-1000...1000mV in mV", "none", "none"}));
}

// Which code each position shows is proven against the language files' lists.
TEST(SensorTable, PositionsAndCodesMapBothWaysAndWireRule) {
    for (int position = 0; position < SensorPositionCount; ++position) {
        EXPECT_EQ(PositionOfSensorCode(SensorCodeOfPosition(position)), position) << position;
    }
    for (int outside : {-1, 27, 28, 1000}) {
        EXPECT_EQ(SensorCodeOfPosition(outside), -1);
        EXPECT_EQ(PositionOfSensorCode(outside == 27 ? -2 : outside), -1);
    }
    std::vector<int> wired{-1, 0, 10, 11, 20, 21, 23, 24, 26, 27};
    std::erase_if(wired, [](int position) { return !WireApplies(position); });
    EXPECT_EQ(wired, (std::vector{0, 10, 21, 23}));
    // The other class bounds show in the sensor check's cases.
    EXPECT_EQ(SensorClassOfCode(20), SensorClass::Temperature);
}

} // namespace
