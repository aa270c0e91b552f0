#include "pages/SensorSetup.h"
#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::uint8_t>;
const std::string kCelsius = "\u00B0C";

// Positions in the sensor-type lists.
constexpr int kPt100 = 0;
constexpr int kTypeK = 14;
constexpr int kTypeJ = 13;
constexpr int kOhm400 = 21;
constexpr int kMv75 = 23;

DeviceRecord ReadConfiguration(std::uint8_t sensor1, std::uint8_t sensor2, std::uint8_t setupA,
                               std::uint8_t setupB) {
    DeviceRecord device;
    device.sensor1Type = sensor1;
    device.sensor2Type = sensor2;
    device.sensorSetupA = setupA;
    device.sensorSetupB = setupB;
    device.sensorValueA = 0.5f;
    device.sensorValueB = -1.25f;
    device.lowerRangeValue = -20.0f;
    device.upperRangeValue = 150.5f;
    device.damping = 2.5f;
    device.pvUnitText = kCelsius;
    device.displaySettings = {2, 3, 1};
    return device;
}

std::string Refusal(const PagePlan& plan) {
    return plan.Refused() ? plan.refusal->messageKey : "";
}

TEST(SensorSetup, StartsWithOneSensorAndThePt100Range) {
    ChineseUnitsFlag = false;
    const SensorSetup setup;
    const SensorSettings& s = setup.Settings();
    EXPECT_FALSE(s.doubleSensor);
    EXPECT_EQ(s.workMode, 0);
    EXPECT_EQ(s.sensor1Position, kPt100);
    EXPECT_EQ(s.wire1Position, 1);
    EXPECT_EQ(s.zeroText, "-200");
    EXPECT_EQ(s.spanText, "850");
    EXPECT_EQ(s.unitText, kCelsius);
    EXPECT_EQ(s.offset1UnitText, kCelsius);
    EXPECT_EQ(s.offset1Text, "0");
    EXPECT_EQ(setup.Enables(), (SensorEnables{false, true, false, false}));
}

TEST(SensorSetup, CheckRefusesInThePartsOrder) {
    const struct {
        const char* name;
        float lower, upper;
        bool doubleSensor;
        int workMode;
        std::uint8_t sensor1, sensor2, setupA;
        const char* key; // "" passes
        PageField focus;
    } cases[] = {
        {"span 9.99", 0, 9.99f, false, 0, 10, 255, 0x11, "SpanErr", PageField::Span},
        {"span 10", 0, 10, false, 0, 10, 255, 0x11, "", PageField::None},
        {"span reversed", 100, 0, false, 0, 10, 255, 0x11, "", PageField::None},
        {"span infinite", 0, std::numeric_limits<float>::infinity(), false, 0, 10, 255, 0x11,
         "SpanErr", PageField::Span},
        {"span nan", std::nanf(""), 100, false, 0, 10, 255, 0x11, "SpanErr", PageField::Span},
        {"span before wire", 0, 5, true, 0, 10, 10, 0x22, "SpanErr", PageField::Span},
        {"single 4-wire", 0, 100, false, 0, 10, 255, 0x12, "", PageField::None},
        {"double 4-wire 1", 0, 100, true, 0, 10, 10, 0x12, "Sen1WireErr", PageField::Sensor1Wire},
        {"double 4-wire 2", 0, 100, true, 3, 10, 10, 0x21, "Sen2WireErr", PageField::Sensor2Wire},
        {"pt100 + K average", 0, 100, true, 1, 10, 3, 0xF1, "", PageField::None},
        {"pt100 + 400R average", 0, 100, true, 1, 10, 21, 0x11, "SenMatchErr",
         PageField::Sensor2Type},
        {"pt100 + 400R independent", 0, 100, true, 3, 10, 21, 0x11, "", PageField::None},
        {"400R + 10K", 0, 100, true, 2, 21, 23, 0x11, "", PageField::None},
        {"mV + mV", 0, 100, true, 0, 24, 27, 0xFF, "", PageField::None},
        {"mV + unknown", 0, 100, true, 0, 24, 28, 0xFF, "SenMatchErr", PageField::Sensor2Type},
    };
    for (const auto& c : cases) {
        DeviceRecord device;
        device.lowerRangeValue = c.lower;
        device.upperRangeValue = c.upper;
        device.sensor1Type = c.sensor1;
        device.sensor2Type = c.sensor2;
        device.sensorSetupA = c.setupA;
        const auto refusal = SensorSetup::Check(device, c.doubleSensor, c.workMode);
        if (std::string(c.key).empty()) {
            EXPECT_FALSE(refusal.has_value()) << c.name;
        } else {
            ASSERT_TRUE(refusal.has_value()) << c.name;
            EXPECT_EQ(*refusal, (PageRefusal{c.key, PromptService::Icon::Error, c.focus}))
                << c.name;
        }
    }
}

// What a Read shows, an Update sends back unchanged.
TEST(SensorSetup, UpdateAfterReadWritesWhatWasRead) {
    const DeviceRecord configurations[] = {
        ReadConfiguration(10, 255, 0xF1, 0x00), // PT100, 3 wires, one sensor
        ReadConfiguration(3, 2, 0xFF, 0x01),    // K and J averaged
        ReadConfiguration(10, 12, 0x10, 0x13),  // independent, sensor 2 drives the output
        ReadConfiguration(21, 22, 0x01, 0x02),  // resistance ranges, difference
        ReadConfiguration(23, 255, 0xF2, 0x00), // 10 kOhm, which no list position shows
        ReadConfiguration(40, 255, 0xF1, 0x00), // a type this tool does not know
    };
    for (const DeviceRecord& read : configurations) {
        SensorSetup setup;
        setup.ShowConfiguration(read);
        DeviceRecord written;
        const PagePlan plan = setup.PlanUpdate(written);
        SCOPED_TRACE(static_cast<int>(read.sensor1Type) * 1000 + read.sensor2Type);
        ASSERT_EQ(plan.commands, (Commands{0, 35, 186, 187, 34, 42})) << Refusal(plan);
        EXPECT_EQ(written.sensor1Type, read.sensor1Type);
        EXPECT_EQ(written.sensor2Type, read.sensor2Type);
        EXPECT_EQ(written.sensorSetupA, read.sensorSetupA);
        EXPECT_EQ(written.sensorSetupB, read.sensorSetupB);
        EXPECT_EQ(written.sensorValueA, read.sensorValueA);
        EXPECT_EQ(written.sensorValueB, read.sensor2Type == 255 ? 0.0f : read.sensorValueB);
        EXPECT_EQ(written.lowerRangeValue, read.lowerRangeValue);
        EXPECT_EQ(written.upperRangeValue, read.upperRangeValue);
        EXPECT_EQ(written.damping, read.damping);
        EXPECT_EQ(written.pvUnitText, read.pvUnitText);
        EXPECT_EQ(written.displaySettings, read.displaySettings);
    }
}

TEST(SensorSetup, ReadShowsOneOrTwoSensorsInTheirUnit) {
    SensorSetup setup;
    DeviceRecord read = ReadConfiguration(3, 255, 0x21, 0x33);
    read.pvUnitText = "F";
    read.sensorValueA = 1.0f;
    read.displaySettings = {3, 4, 2}; // beyond every list
    setup.ShowConfiguration(read);
    const SensorSettings& s = setup.Settings();
    EXPECT_FALSE(s.doubleSensor);
    EXPECT_EQ(s.workMode, 0); // a single sensor keeps the mode shown
    EXPECT_EQ(s.offset1Text, "1.800");
    EXPECT_EQ(s.wire1Position, -1); // a thermocouple has no wiring
    EXPECT_EQ(s.wire2Position, 2);
    EXPECT_EQ(s.zeroText, "-20.000");
    EXPECT_EQ(s.spanText, "150.500");
    EXPECT_EQ(s.dampingText, "2.5");
    EXPECT_EQ(s.offset2UnitText, "F");
    EXPECT_EQ(s.displayModePosition, -1);
    EXPECT_EQ(s.decimalsPosition, -1);
    EXPECT_EQ(s.alarmPosition, -1);
    EXPECT_EQ(setup.Enables(), (SensorEnables{false, false, false, false}));

    setup.ShowConfiguration(ReadConfiguration(10, 10, 0x11, 0x23));
    EXPECT_TRUE(setup.Settings().doubleSensor);
    EXPECT_EQ(setup.Settings().workMode, 3);
    EXPECT_EQ(setup.Settings().outputSensorPosition, 0); // 0x23 is no sensor index
    EXPECT_EQ(setup.Settings().offset2Text, "-1.250");
    EXPECT_EQ(setup.Enables(), (SensorEnables{true, true, true, true}));
}

TEST(SensorSetup, TypeWithoutSelectionSendsTheTypeReadOrIsRefused) {
    SensorSetup fresh;
    fresh.Settings().sensor1Position = -1; // text typed into the list
    DeviceRecord device;
    device.sensor1Type = 7;
    PagePlan plan = fresh.PlanUpdate(device);
    EXPECT_EQ(*plan.refusal,
              (PageRefusal{"SenMatchErr", PromptService::Icon::Error, PageField::Sensor1Type}));
    EXPECT_EQ(device.sensor1Type, 7);

    SensorSetup read;
    read.ShowConfiguration(ReadConfiguration(12, 255, 0xF1, 0x00));
    read.Settings().sensor1Position = -1;
    read.SetDoubleSensor(true);
    read.Settings().sensor2Position = -1;
    plan = read.PlanUpdate(device);
    EXPECT_EQ(plan.refusal->focus, PageField::Sensor2Type); // "no second sensor" is no type
    read.ChooseSensorType(2, kPt100);
    plan = read.PlanUpdate(device);
    EXPECT_FALSE(plan.Refused()) << Refusal(plan);
    EXPECT_EQ(device.sensor1Type, 12);
    EXPECT_EQ(device.sensor2Type, 10);
}

TEST(SensorSetup, UpdateFillsTheBytesOfListsWithoutSelection) {
    SensorSetup setup;
    SensorSettings& s = setup.Settings();
    s.wire1Position = -1;
    s.dampingText = "-3";
    DeviceRecord device;
    ASSERT_FALSE(setup.PlanUpdate(device).Refused());
    EXPECT_EQ(device.sensorSetupA, 0x1F);
    EXPECT_EQ(device.sensorSetupB, 0x00); // no output sensor chosen: sensor 1
    EXPECT_EQ(device.displaySettings, (std::array<std::uint8_t, 3>{0, 1, 0}));
    EXPECT_EQ(device.damping, 0.0f);
    EXPECT_EQ(device.sensor2Type, 255);

    s.wire2Position = -1;
    s.dampingText = "1e39";
    s.offset1Text = "nan";
    setup.SetWorkMode(2);
    ASSERT_FALSE(setup.PlanUpdate(device).Refused());
    EXPECT_EQ(device.sensorSetupA, 0xFF);
    EXPECT_EQ(device.sensorSetupB, 0x02);
    EXPECT_EQ(device.damping, 0.0f);
    EXPECT_EQ(device.sensorValueA, 0.0f);
}

TEST(SensorSetup, FailedCheckKeepsTheRangeButSendsNothing) {
    SensorSetup setup;
    setup.Settings().spanText = "-195";
    DeviceRecord device;
    device.sensorValueA = 4.0f;
    const PagePlan plan = setup.PlanUpdate(device);
    EXPECT_EQ(Refusal(plan), "SpanErr");
    EXPECT_TRUE(plan.commands.empty());
    EXPECT_EQ(device.upperRangeValue, -195.0f);
    EXPECT_EQ(device.sensorValueA, 4.0f);
}

TEST(SensorSetup, UnitChangeConvertsTemperaturesAndEmptiesOtherUnits) {
    ChineseUnitsFlag = false;
    SensorSetup setup;
    SensorSettings& s = setup.Settings();
    s.zeroText = "0";
    s.spanText = "100";
    s.offset1Text = "1";
    s.offset2Text = "-2";
    setup.ChooseUnit("K");
    EXPECT_EQ(s.zeroText, "273.160");
    EXPECT_EQ(s.spanText, "373.160");
    EXPECT_EQ(s.offset1Text, "1.000");
    EXPECT_EQ(s.offset2Text, "-2.000");
    EXPECT_EQ(s.offset1UnitText, "K");
    setup.ChooseUnit("F");
    EXPECT_EQ(s.zeroText, "32.000");
    EXPECT_EQ(s.spanText, "212.000");
    EXPECT_EQ(s.offset1Text, "1.800");
    EXPECT_EQ(s.offset2Text, "-3.600");
    EXPECT_EQ(s.offset2UnitText, "F");
    setup.ChooseUnit("F");
    EXPECT_EQ(s.zeroText, "32.000");

    setup.ChooseSensorType(1, kMv75);
    EXPECT_EQ(s.unitText, "mV");
    setup.ChooseUnit("K");
    EXPECT_EQ(s.zeroText, "");
    EXPECT_EQ(s.spanText, "");
    EXPECT_EQ(s.offset1Text, "");
    EXPECT_EQ(s.offset2Text, "-3.600");
    EXPECT_EQ(s.offset1UnitText, "F");
    EXPECT_EQ(s.unitText, "K");
}

TEST(SensorSetup, TypeChoiceSetsWiringAndFillsTheRangeOfTheOutputSensor) {
    SensorSetup setup;
    SensorSettings& s = setup.Settings();
    setup.ChooseSensorType(1, kTypeK);
    EXPECT_EQ(s.wire1Position, -1);
    EXPECT_FALSE(s.wire1Applies);
    EXPECT_EQ(s.zeroText, "-270");
    EXPECT_EQ(s.spanText, "1372");
    setup.ChooseSensorType(1, kOhm400);
    EXPECT_EQ(s.wire1Position, 1);
    EXPECT_EQ(s.unitText, "Ohm");

    setup.SetDoubleSensor(true);
    setup.SetWorkMode(3);
    EXPECT_EQ(s.outputSensorPosition, 0);
    setup.ChooseSensorType(1, kPt100);
    EXPECT_EQ(s.zeroText, "-200");
    EXPECT_EQ(s.spanText, "850");
    setup.ChooseSensorType(2, kTypeJ); // sensor 1 drives the output
    EXPECT_EQ(s.spanText, "850");
    EXPECT_FALSE(setup.Enables().wire2);
    setup.ChooseOutputSensor(1);
    EXPECT_EQ(s.zeroText, "-210");
    EXPECT_EQ(s.spanText, "1200");
    setup.ChooseSensorType(1, kTypeK); // no longer the output sensor
    EXPECT_EQ(s.spanText, "1200");

    setup.SetWorkMode(1); // combining modes fill from sensor 1 again
    setup.ChooseSensorType(1, kPt100);
    EXPECT_EQ(s.spanText, "850");
}

TEST(SensorSetup, ResetStartsEveryListOverButKeepsModeAndAlarm) {
    SensorSetup setup;
    setup.ShowConfiguration(ReadConfiguration(3, 2, 0xFF, 0x13));
    setup.ChooseUnit("K");
    ChineseUnitsFlag = true;
    setup.Reset();
    ChineseUnitsFlag = false;
    const SensorSettings& s = setup.Settings();
    EXPECT_TRUE(s.doubleSensor);
    EXPECT_EQ(s.workMode, 3);
    EXPECT_EQ(s.sensor1Position, kPt100);
    EXPECT_EQ(s.sensor2Position, kPt100);
    EXPECT_EQ(s.wire1Position, 1);
    EXPECT_EQ(s.wire2Position, 1);
    EXPECT_EQ(s.outputSensorPosition, -1);
    EXPECT_EQ(s.displayModePosition, -1);
    EXPECT_EQ(s.decimalsPosition, -1);
    EXPECT_EQ(s.alarmPosition, 1);
    EXPECT_EQ(s.unitText, "\u2103");
    EXPECT_EQ(s.offset2UnitText, "\u2103");
}

} // namespace
