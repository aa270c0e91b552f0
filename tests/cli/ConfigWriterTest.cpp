#include "cli/ConfigWriter.h"
#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"
#include "tests/cli/ReadRecord.h"

#include <gtest/gtest.h>

namespace {

using Commands = std::vector<std::uint8_t>;
ConfigWrite Plan(const ConfigValues& named, DeviceRecord& device) {
    return ConfigWriter::Plan(named, ConfigWriter::PartsOf(named), device);
}

} // namespace

TEST(ConfigWriter, ReadsAreThePagesReadsJoined) {
    EXPECT_EQ(ConfigWriter::ReadAll(), (Commands{0, 12, 13, 16, 15, 147, 146, 162}));
    EXPECT_EQ(ConfigWriter::ReadsBefore({ConfigPart::Damping}), (Commands{0, 15, 147, 146}));
    EXPECT_EQ(ConfigWriter::ReadsBefore({ConfigPart::Message, ConfigPart::Display}),
              (Commands{0, 12, 13, 15, 147, 146}));
    EXPECT_TRUE(ConfigWriter::ReadsBefore({ConfigPart::PollingAddress}).empty());
}

TEST(ConfigWriter, ANamedSettingIsMergedWithWhatTravelsWithIt) {
    using D = DeviceRecord;
    const struct {
        ConfigValues named;
        Commands commands;
        void (*change)(D&); // the one field that changes; the rest goes back as read
    } cases[] = {
        {{{"urv", "150"}}, {0, 35, 42}, [](D& d) { d.upperRangeValue = 150.0f; }},
        {{{"sensor1", "PT500"}}, {0, 186, 42}, [](D& d) { d.sensor1Type = 11; }},
        {{{"alarm", "low"}}, {0, 187, 42}, [](D& d) { d.displaySettings[2] = 1; }},
        {{{"damping", "2.5"}}, {0, 34, 42}, [](D& d) { d.damping = 2.5f; }},
        {{{"tag", "NEW"}}, {0, 18}, [](D& d) { d.tag = "NEW"; }},
        {{{"message", "BYE"}}, {0, 17}, [](D& d) { d.message = "BYE"; }},
        {{{"final-assembly-number", "00AB12"}},
         {0, 19},
         [](D& d) { d.finalAssemblyNumber = "00AB12"; }},
        {{{"polling-address", "3"}}, {0, 6}, [](D& d) { d.newPollingAddress = 3; }},
    };
    for (const auto& c : cases) {
        const std::string key = c.named.begin()->first;
        DeviceRecord device = ReadRecord();
        const ConfigWrite write = Plan(c.named, device);
        ASSERT_FALSE(write.Refused()) << key << write.error;
        EXPECT_EQ(write.commands, c.commands) << key;
        DeviceRecord expected = ReadRecord();
        c.change(expected);
        EXPECT_EQ(device, expected) << key;
    }
}

TEST(ConfigWriter, EveryPartInTheOrderOfThePages) {
    DeviceRecord device = ReadRecord();
    const ConfigValues all{
        {"message", "M"},         {"tag", "T"},    {"final-assembly-number", "1"},
        {"polling-address", "2"}, {"lrv", "10"},   {"sensors", "1"},
        {"alarm", "low"},         {"damping", "3"}};
    EXPECT_EQ(Plan(all, device).commands, (Commands{0, 17, 18, 19, 6, 35, 186, 187, 34, 42}));
}

TEST(ConfigWriter, ChecksOfThePagesAndSettingsThatDoNotFitRefuseWithNoCommands) {
    const struct {
        ConfigValues named;
        const char* refusal; // a message key of the pages, or a part of the error
    } cases[] = {
        {{{"urv", "5"}}, "SpanErr"},
        {{{"lrv", "95"}, {"damping", "2"}}, "SpanErr"},
        {{{"sensors", "2"}, {"sensor2", "PT100"}, {"wire1", "4"}}, "Sen1WireErr"},
        {{{"sensors", "2"}, {"sensor2", "PT100"}, {"wire2", "4"}, {"mode", "independent"}},
         "Sen2WireErr"},
        {{{"sensors", "2"}, {"sensor2", "0...400R"}, {"mode", "average"}}, "SenMatchErr"},
        {{{"polling-address", "16"}}, "strNOErr"},
        {{{"polling-address", "-1"}}, "strNOErr"},
        {{{"mode", "average"}}, "mode applies only with two sensors"},
        {{{"sensors", "2"}}, "needs sensor2"},
        {{{"sensors", "2"}, {"sensor2", "PT100"}, {"output-sensor", "2"}}, "mode independent"},
        {{{"sensor1", "Type K"}, {"wire1", "3"}}, "wire1 does not apply"},
    };
    for (const auto& c : cases) {
        DeviceRecord device = ReadRecord();
        const ConfigWrite write = Plan(c.named, device);
        ASSERT_TRUE(write.Refused()) << c.refusal;
        EXPECT_NE((write.refusal ? write.refusal->messageKey : write.error).find(c.refusal),
                  std::string::npos)
            << c.refusal;
        EXPECT_TRUE(write.commands.empty()) << c.refusal;
    }
    // A range the transmitter holds is not checked when only the display is written.
    DeviceRecord narrow = ReadRecord();
    narrow.upperRangeValue = 5.0f;
    EXPECT_FALSE(Plan({{"alarm", "low"}}, narrow).Refused());
    // Independent mode pairs any two sensors.
    DeviceRecord device = ReadRecord();
    EXPECT_FALSE(Plan({{"sensors", "2"}, {"sensor2", "0...400R"}, {"mode", "independent"}}, device)
                     .Refused());
}

TEST(ConfigWriter, SensorSettingsAsThePageWouldWriteThem) {
    // A second sensor: the first keeps its wiring and offset; independent
    // mode starts with sensor 1 on the output unless told otherwise.
    DeviceRecord device = ReadRecord();
    ASSERT_FALSE(
        Plan({{"sensors", "2"}, {"sensor2", "Cu50"}, {"mode", "independent"}}, device).Refused());
    EXPECT_EQ(device.sensor2Type, 13);
    EXPECT_EQ(device.sensorSetupA, 0x11);
    EXPECT_EQ(device.sensorSetupB, 0x03);
    EXPECT_EQ(device.sensorValueA, 0.5f);
    device = ReadRecord();
    ASSERT_FALSE(Plan({{"sensors", "2"},
                       {"sensor2", "Cu50"},
                       {"mode", "independent"},
                       {"output-sensor", "2"}},
                      device)
                     .Refused());
    EXPECT_EQ(device.sensorSetupB, 0x13);

    // A thermocouple has no wiring; a resistance type chosen after it starts
    // on three wires; the type no list shows can be written all the same.
    device = ReadRecord();
    ASSERT_FALSE(Plan({{"sensor1", "Type J"}}, device).Refused());
    EXPECT_EQ(device.sensorSetupA & 0x0F, 0x0F);
    device.sensorSetupA = 0xFF;
    ASSERT_FALSE(Plan({{"sensor1", "0...10KOhm"}}, device).Refused());
    EXPECT_EQ(device.sensor1Type, 23);
    EXPECT_EQ(device.sensorSetupA & 0x0F, 1);
}

TEST(ConfigWriter, ANewUnitConvertsTheRangeAndOffsetsAreTypedInIt) {
    DeviceRecord device = ReadRecord();
    ASSERT_FALSE(Plan({{"unit", "F"}}, device).Refused());
    EXPECT_EQ(device.pvUnitText, "F");
    EXPECT_FLOAT_EQ(device.lowerRangeValue, 32.0f);
    EXPECT_FLOAT_EQ(device.upperRangeValue, 212.0f);

    device = ReadRecord();
    ASSERT_FALSE(Plan({{"unit", "F"}, {"urv", "300"}, {"offset1", "1.8"}}, device).Refused());
    EXPECT_FLOAT_EQ(device.lowerRangeValue, 32.0f);
    EXPECT_EQ(device.upperRangeValue, 300.0f);
    EXPECT_FLOAT_EQ(device.sensorValueA, 1.0f);

    // The same unit under the other language's Celsius text changes nothing.
    device = ReadRecord();
    device.pvUnitText = "\u2103";
    ChineseUnitsFlag = true;
    ASSERT_FALSE(Plan({{"unit", kCelsius}, {"lrv", "-10"}}, device).Refused());
    EXPECT_EQ(device.upperRangeValue, 100.0f);
    EXPECT_EQ(device.pvUnitText, "\u2103");
    ChineseUnitsFlag = false;
}

TEST(ConfigWriter, TheTagBlockSendsBackADateThatIsNoDateAsItWasRead) {
    DeviceRecord device = ReadRecord();
    device.dateYear = 2155;
    device.dateMonth = 13;
    ASSERT_FALSE(Plan({{"descriptor", "NEW"}}, device).Refused());
    EXPECT_EQ(device.dateYear, 2155);
    EXPECT_EQ(device.dateMonth, 13);
    ASSERT_FALSE(Plan({{"date", "2030-01-31"}}, device).Refused());
    EXPECT_EQ(device.dateYear, 2030);
    EXPECT_EQ(device.dateDay, 31);
    EXPECT_EQ(device.descriptor, "NEW");
}
