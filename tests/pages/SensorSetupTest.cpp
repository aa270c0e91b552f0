#include "pages/SensorSetup.h"
#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Commands = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;
const std::string kCelsius = "\u00B0C";

// Positions in the sensor-type lists.
constexpr int kPt100 = 0;
constexpr int kTypeJ = 13;
constexpr int kTypeK = 14;
constexpr int kOhm400 = 21;
constexpr int kMv75 = 23;

DeviceRecord Configuration(std::uint8_t sensor1, std::uint8_t sensor2, std::uint8_t setupA,
                           std::uint8_t setupB) {
    DeviceRecord device;
    std::tie(device.sensor1Type, device.sensor2Type, device.sensorSetupA, device.sensorSetupB) =
        std::tuple(sensor1, sensor2, setupA, setupB);
    std::tie(device.sensorValueA, device.sensorValueB) = std::tuple(0.5f, -1.25f);
    std::tie(device.lowerRangeValue, device.upperRangeValue, device.damping) =
        std::tuple(-20.0f, 150.5f, 2.5f);
    device.pvUnitText = kCelsius;
    device.displaySettings = {2, 3, 1};
    return device;
}

std::optional<PageRefusal> SensorRefusal(const char* key, PageField focus) {
    return PageRefusal{key, PromptService::Icon::Error, focus};
}

std::string Refusal(const PagePlan& plan) {
    return plan.Refused() ? plan.refusal->messageKey : "";
}

TEST(SensorSetup, CheckRefusesInThePartsOrder) {
    const struct {
        float lower, upper;
        int workMode;
        std::uint8_t sensor1, sensor2, setupA;
        std::optional<PageRefusal> refusal;
    } cases[] = {
        {0, 9.99f, 0, 10, 255, 0x11, SensorRefusal("SpanErr", PageField::Span)},
        {0, 10, 0, 10, 255, 0x11, {}},
        {100, 0, 0, 10, 255, 0x11, {}},
        {0, INFINITY, 0, 10, 255, 0x11, SensorRefusal("SpanErr", PageField::Span)},
        {std::nanf(""), 100, 0, 10, 255, 0x11, SensorRefusal("SpanErr", PageField::Span)},
        {0, 5, 0, 10, 10, 0x22, SensorRefusal("SpanErr", PageField::Span)},
        {0, 100, 0, 10, 255, 0x12, {}},
        {0, 100, 0, 10, 10, 0x12, SensorRefusal("Sen1WireErr", PageField::Sensor1Wire)},
        {0, 100, 3, 10, 10, 0x21, SensorRefusal("Sen2WireErr", PageField::Sensor2Wire)},
        {0, 100, 1, 10, 3, 0xF1, {}}, // PT100 and K
        {0, 100, 1, 10, 21, 0x11, SensorRefusal("SenMatchErr", PageField::Sensor2Type)},
        {0, 100, 3, 10, 21, 0x11, {}}, // independent
        {0, 100, 2, 21, 23, 0x11, {}}, // 400 Ohm and 10 kOhm
        {0, 100, 0, 24, 27, 0xFF, {}}, // two millivolt ranges
        {0, 100, 0, 24, 28, 0xFF, SensorRefusal("SenMatchErr", PageField::Sensor2Type)},
    };
    for (const auto& c : cases) {
        DeviceRecord device = Configuration(c.sensor1, c.sensor2, c.setupA, 0);
        device.lowerRangeValue = c.lower;
        device.upperRangeValue = c.upper;
        EXPECT_EQ(SensorSetup::Check(device, c.sensor2 != 255, c.workMode), c.refusal)
            << "case " << &c - cases;
    }
}

// What a Read shows, an Update sends back unchanged.
TEST(SensorSetup, UpdateAfterReadWritesWhatWasRead) {
    const DeviceRecord configurations[] = {
        Configuration(10, 255, 0xF1, 0x00), // PT100, 3 wires, one sensor
        Configuration(3, 2, 0xFF, 0x01),    // K and J averaged
        Configuration(10, 12, 0x10, 0x13),  // independent, sensor 2 drives the output
        Configuration(21, 22, 0x01, 0x02),  // resistance ranges, difference
        Configuration(23, 255, 0xF2, 0x00), // 10 kOhm, which no list position shows
        Configuration(40, 255, 0xF1, 0x00), // a type this tool does not know
    };
    const auto fields = [](const DeviceRecord& r) {
        return std::make_tuple(r.sensor1Type, r.sensor2Type, r.sensorSetupA, r.sensorSetupB,
                               r.sensorValueA, r.sensor2Type == 255 ? 0.0f : r.sensorValueB,
                               r.lowerRangeValue, r.upperRangeValue, r.damping, r.pvUnitText,
                               r.displaySettings);
    };
    for (const DeviceRecord& read : configurations) {
        SensorSetup setup;
        setup.ShowConfiguration(read);
        DeviceRecord written;
        const PagePlan plan = setup.PlanUpdate(written);
        EXPECT_EQ(plan.commands, (Commands{0, 35, 186, 187, 34, 42})) << Refusal(plan);
        EXPECT_EQ(fields(written), fields(read));
    }
}

TEST(SensorSetup, ReadShowsOneOrTwoSensorsInTheirUnitAndResetStartsTheListsOver) {
    SensorSetup setup;
    const SensorSettings& s = setup.Settings();
    DeviceRecord read = Configuration(3, 255, 0x21, 0x33);
    read.pvUnitText = "F";
    read.sensorValueA = 1.0f;
    read.displaySettings = {3, 4, 2}; // beyond every list
    setup.ShowConfiguration(read);
    // One sensor keeps the mode shown; a thermocouple has no wiring.
    EXPECT_EQ(std::tie(s.doubleSensor, s.workMode, s.wire1Position, s.wire2Position,
                       s.displayModePosition, s.decimalsPosition, s.alarmPosition),
              std::make_tuple(false, 0, -1, 2, -1, -1, -1));
    EXPECT_EQ((Texts{s.offset1Text, s.offset2UnitText}), (Texts{"1.800", "F"}));
    EXPECT_EQ(setup.Enables(), (SensorEnables{false, false, false, false}));

    setup.ShowConfiguration(Configuration(10, 10, 0x11, 0x23)); // 0x23 names no sensor
    EXPECT_EQ(std::tie(s.doubleSensor, s.workMode, s.outputSensorPosition),
              std::make_tuple(true, 3, 0));
    EXPECT_EQ(s.offset2Text, "-1.250");
    EXPECT_EQ(setup.Enables(), (SensorEnables{true, true, true, true}));

    // Relabelled, the page starts every list over in the language now in use;
    // mode and alarm stay.
    setup.ShowConfiguration(Configuration(3, 2, 0xFF, 0x13));
    ChineseUnitsFlag = true;
    setup.Reset();
    ChineseUnitsFlag = false;
    EXPECT_EQ(std::tie(s.doubleSensor, s.workMode, s.alarmPosition), std::make_tuple(true, 3, 1));
    EXPECT_EQ(std::tie(s.sensor1Position, s.sensor2Position, s.wire1Position, s.wire2Position),
              std::make_tuple(kPt100, kPt100, 1, 1));
    EXPECT_EQ(std::tie(s.outputSensorPosition, s.displayModePosition, s.decimalsPosition),
              std::make_tuple(-1, -1, -1));
    EXPECT_EQ((Texts{s.unitText, s.offset2UnitText}), (Texts{"\u2103", "\u2103"}));
}

// A list left without a selection (text typed into it) sends what was read,
// a default, or is refused when there is nothing to send.
TEST(SensorSetup, ListsWithoutSelectionSendTheByteReadADefaultOrAreRefused) {
    SensorSetup setup;
    SensorSettings& s = setup.Settings();
    DeviceRecord device;
    device.sensor1Type = 7;
    s.sensor1Position = -1; // no type was read
    EXPECT_EQ(setup.PlanUpdate(device).refusal,
              SensorRefusal("SenMatchErr", PageField::Sensor1Type));
    EXPECT_EQ(device.sensor1Type, 7);

    s.sensor1Position = kPt100;
    s.wire1Position = -1;
    s.dampingText = "-3";
    ASSERT_EQ(Refusal(setup.PlanUpdate(device)), "");
    // Without a choice sensor 1 drives the output.
    EXPECT_EQ(std::tie(device.sensorSetupA, device.sensorSetupB, device.sensor2Type,
                       device.displaySettings, device.damping),
              std::make_tuple(0x1F, 0x00, 255, std::array<std::uint8_t, 3>{0, 1, 0}, 0.0f));

    s.wire2Position = -1;
    setup.SetWorkMode(2);
    ASSERT_EQ(Refusal(setup.PlanUpdate(device)), "");
    EXPECT_EQ(std::tie(device.sensorSetupA, device.sensorSetupB), std::make_tuple(0xFF, 0x02));

    // A refused update has written the range it checked, but no offset.
    s.spanText = "-195";
    device.sensorValueA = 4.0f;
    EXPECT_EQ(Refusal(setup.PlanUpdate(device)), "SpanErr");
    EXPECT_EQ(std::tie(device.upperRangeValue, device.sensorValueA),
              std::make_tuple(-195.0f, 4.0f));

    // Read from a transmitter, a type without selection is the one read.
    setup.ShowConfiguration(Configuration(12, 255, 0xF1, 0x00));
    s.sensor1Position = -1;
    setup.SetDoubleSensor(true);
    setup.SetWorkMode(SensorSetup::IndependentMode); // which takes any pair of types
    s.sensor2Position = -1;
    // "No second sensor" is no type to send back.
    EXPECT_EQ(setup.PlanUpdate(device).refusal,
              SensorRefusal("SenMatchErr", PageField::Sensor2Type));
    setup.ChooseSensorType(2, kPt100);
    EXPECT_EQ(Refusal(setup.PlanUpdate(device)), "");
    EXPECT_EQ(std::tie(device.sensor1Type, device.sensor2Type), std::make_tuple(12, 10));
}

TEST(SensorSetup, UnitChangeConvertsTemperaturesAndEmptiesOtherUnits) {
    SensorSetup setup;
    SensorSettings& s = setup.Settings();
    const auto texts = [&s] {
        return Texts{s.zeroText,        s.spanText,        s.offset1Text, s.offset2Text,
                     s.offset1UnitText, s.offset2UnitText, s.unitText};
    };
    std::tie(s.zeroText, s.spanText, s.offset1Text, s.offset2Text) =
        std::tuple("0", "100", "1", "-2");
    const Texts inF{"32.000", "212.000", "1.800", "-3.600", "F", "F", "F"};
    setup.ChooseUnit("F");
    EXPECT_EQ(texts(), inF);
    setup.ChooseUnit("F");
    EXPECT_EQ(texts(), inF);

    setup.ChooseSensorType(1, kMv75);
    setup.ChooseUnit("K");
    EXPECT_EQ(texts(), (Texts{"", "", "", "-3.600", "F", "F", "K"}));
}

TEST(SensorSetup, TypeChoiceSetsWiringAndFillsTheRangeOfTheOutputSensor) {
    SensorSetup setup;
    const SensorSettings& s = setup.Settings();
    const auto range = [&s] { return s.zeroText + ".." + s.spanText + " " + s.unitText; };
    setup.ChooseSensorType(1, kTypeK);
    EXPECT_EQ(std::tie(s.wire1Position, s.wire1Applies, s.zeroText),
              std::make_tuple(-1, false, "-270"));
    setup.ChooseSensorType(1, kOhm400);
    EXPECT_EQ(std::tie(s.wire1Position, s.wire1Applies), std::make_tuple(1, true));
    EXPECT_EQ(range(), "0..400 Ohm");

    setup.SetDoubleSensor(true);
    setup.SetWorkMode(SensorSetup::IndependentMode);
    EXPECT_EQ(s.outputSensorPosition, 0);
    setup.ChooseSensorType(1, kPt100);
    EXPECT_EQ(range(), "-200..850 " + kCelsius);
    setup.ChooseSensorType(2, kTypeJ); // sensor 1 drives the output
    EXPECT_EQ(range(), "-200..850 " + kCelsius);
    EXPECT_FALSE(setup.Enables().wire2);
    setup.ChooseOutputSensor(1);
    EXPECT_EQ(range(), "-210..1200 " + kCelsius);
    setup.ChooseSensorType(1, kTypeK); // no longer the output sensor
    EXPECT_EQ(range(), "-210..1200 " + kCelsius);

    setup.SetWorkMode(1); // combining modes fill from sensor 1 again
    setup.ChooseSensorType(1, kPt100);
    EXPECT_EQ(range(), "-200..850 " + kCelsius);
}

} // namespace
