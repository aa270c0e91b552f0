#include "cli/ConfigKeys.h"
#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"
#include "tests/cli/ReadRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

std::string Flat(const ConfigValues& values) {
    std::string text;
    for (const auto& [key, value] : values) {
        text += key + "=" + value + " ";
    }
    return text;
}

} // namespace

TEST(ConfigKeys, ParseGivesTheCanonicalTextOrNamesTheProblemForEachKeyOnce) {
    ChineseUnitsFlag = false;
    // Key, value, and the canonical text or, after '!', a part of the refusal.
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"tag", "tt-101  ", "TT-101"},
        {"tag", "ABCDEFGHI", "!longer than the 8 characters"},
        {"tag", "a~b", "!cannot store"},
        {"tag", "\u00E9t\u00E9", "!cannot store"},
        {"message", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", "!32 characters"},
        {"date", "2024-02-29", "2024-02-29"},
        {"date", "2023-02-29", "!not a date"},
        {"date", "2155-01-01", "!not a date"},
        {"date", "2024-3-15", "!YYYY-MM-DD"},
        {"lrv", "+0.1", "0.1"},
        {"lrv", "-1e3", "-1000"},
        {"urv", "nan", "!not a number"},
        {"urv", "1e39", "!not a number"},
        {"damping", "-1", "!negative"},
        {"unit", "C", kCelsius},
        {"unit", "\u2103", kCelsius},
        {"unit", "k", "K"},
        {"unit", "Pa", "!not a unit"},
        {"mode", "Average", "average"},
        {"mode", "sum", "!backup, average, difference or independent"},
        {"sensor1", "type k", "Type K"},
        {"sensor2", "Ni100(5000ppm/K)", "Ni 100(5000ppm/K)"},
        {"sensor1", "PT101", "!not a sensor type"},
        {"wire1", "5", "!2, 3 or 4"},
        {"final-assembly-number", "1234567", "!1 to 6 hexadecimal"},
        {"polling-address", "-1", "-1"}, // the page's check refuses it
        {"polling-address", "3x", "!whole number"},
    };
    for (const auto& [key, value, outcome] : cases) {
        std::string error;
        const std::optional<std::string> parsed = ConfigKeys::Parse(key, value, &error);
        EXPECT_EQ(parsed.value_or("!"), outcome.starts_with('!') ? "!" : outcome) << key << error;
        if (outcome.starts_with('!')) {
            EXPECT_NE(error.find(outcome.substr(1)), std::string::npos) << value << ": " << error;
        }
    }

    // Assignments are KEY=VALUE, each key once, each value parsed as above.
    std::string error;
    const auto values = ConfigKeys::ParseAssignments({"urv=150", "tag=a=b"}, &error);
    ASSERT_TRUE(values) << error;
    EXPECT_EQ(*values, (ConfigValues{{"urv", "150"}, {"tag", "A=B"}}));
    EXPECT_FALSE(ConfigKeys::ParseAssignments({"urv"}, &error));
    EXPECT_EQ(error, "'urv' is not KEY=VALUE");
    EXPECT_FALSE(ConfigKeys::ParseAssignments({"urv=1", "urv=2"}, &error));
    EXPECT_EQ(error, "urv is given twice");
}

TEST(ConfigKeys, ReadShowsWhatThePagesShowAndLeavesOutWhatDoesNotApply) {
    // Two sensors in independent mode, sensor 2 driving the output: PT100 on
    // three wires, Type K, offsets 0.5 and -1.25.
    DeviceRecord device = ReadRecord();
    device.finalAssemblyNumber = "0000AB";
    device.pollingAddress = 3;
    device.sensor2Type = 3;
    device.sensorSetupA = 0x01;
    device.sensorSetupB = 0x13;
    device.sensorValueB = -1.25f;
    device.lowerRangeValue = -20.0f;
    device.upperRangeValue = 150.5f;
    device.damping = 0.25f;
    device.displaySettings = {2, 3, 1};
    ChineseUnitsFlag = true; // the Celsius text of the language does not matter
    device.pvUnitText = CelsiusText();
    std::map<std::string, std::string> notes;
    // In key order; a thermocouple (sensor 2) has no wiring.
    EXPECT_EQ(Flat(ConfigKeys::Read(device, &notes)),
              "alarm=low damping=0.25 date=2024-03-15 decimals=3 descriptor=SIM TRANSMITTER "
              "display-mode=percent final-assembly-number=0000AB lrv=-20 "
              "message=HELLO mode=independent offset1=0.5 offset2=-1.25 "
              "output-sensor=2 polling-address=3 sensor1=PT100 sensor2=Type K "
              "sensors=2 tag=TT101 unit=\u00B0C urv=150.5 wire1=3 ");
    EXPECT_TRUE(notes.empty());

    // One sensor: no work mode, output sensor or second sensor; offsets
    // shown in Fahrenheit; codes no list holds are noted, not guessed.
    ChineseUnitsFlag = false;
    device.sensor2Type = 255;
    device.pvUnitText = "F";
    device.sensorValueA = 1.0f;
    device.displaySettings = {3, 0, 0};
    device.dateMonth = 2;
    device.dateDay = 30;
    EXPECT_EQ(Flat(ConfigKeys::Read(device, &notes)),
              "alarm=high damping=0.25 decimals=0 descriptor=SIM TRANSMITTER "
              "final-assembly-number=0000AB lrv=-20 message=HELLO offset1=1.8 polling-address=3 "
              "sensor1=PT100 sensors=1 tag=TT101 unit=F urv=150.5 wire1=3 ");
    EXPECT_EQ(notes.size(), 2u);
    EXPECT_NE(notes.at("date").find("not a calendar date"), std::string::npos);
    EXPECT_NE(notes.at("display-mode").find("code 3"), std::string::npos);

    device.sensor1Type = 40;
    device.sensorSetupB = 0x07;
    device.sensor2Type = 10;
    EXPECT_FALSE(ConfigKeys::Read(device, &notes).contains("sensor1"));
    EXPECT_NE(notes.at("sensor1").find("code 40"), std::string::npos);
    EXPECT_NE(notes.at("mode").find("code 7"), std::string::npos);
}

TEST(ConfigKeys, OffsetsCompareAsStoredWhateverUnitShowsThem) {
    const ConfigValues celsius{{"unit", kCelsius}, {"offset1", "1"}, {"urv", "100"}};
    const ConfigValues fahrenheit{{"unit", "F"}, {"offset1", "1.8"}, {"urv", "212"}};
    EXPECT_TRUE(ConfigKeys::Same("offset1", celsius, fahrenheit));
    EXPECT_FALSE(ConfigKeys::Same("urv", celsius, fahrenheit));
    EXPECT_FALSE(ConfigKeys::Same("offset1", celsius, {{"unit", "F"}, {"offset1", "1"}}));
    EXPECT_FALSE(ConfigKeys::Same("offset2", celsius, {{"offset2", "0"}}));
    EXPECT_TRUE(ConfigKeys::Same("offset2", celsius, fahrenheit));
}

TEST(ConfigKeys, FloatTextReadsBackAsTheSameFloat) {
    for (const float value : {0.1f, 150.5f, -200.0f, 1e-7f, 3.4e38f, 273.16f}) {
        std::string error;
        const auto text = ConfigKeys::Parse("lrv", ConfigKeys::FloatText(value), &error);
        ASSERT_TRUE(text) << error;
        EXPECT_EQ(std::strtof(text->c_str(), nullptr), value) << *text;
    }
}
