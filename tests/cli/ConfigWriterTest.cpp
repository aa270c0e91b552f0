#include "cli/ConfigWriter.h"
#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"
#include "tests/cli/ReadRecord.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Commands = std::vector<std::uint8_t>;
ConfigWrite Plan(const ConfigValues& named, DeviceRecord& device) {
    return ConfigWriter::Plan(named, ConfigWriter::PartsOf(named), device);
}

// The record as a plan for the settings named leaves it, from the read record.
DeviceRecord Planned(const ConfigValues& named, DeviceRecord device = ReadRecord()) {
    const ConfigWrite write = Plan(named, device);
    EXPECT_FALSE(write.Refused()) << write.error;
    return device;
}

} // namespace

TEST(ConfigWriter, ReadsAndWritesAreThePagesCommandsJoinedInTheirOrder) {
    EXPECT_EQ(ConfigWriter::ReadAll(), (Commands{0, 12, 13, 16, 15, 147, 146, 162}));
    EXPECT_EQ(ConfigWriter::ReadsBefore({ConfigPart::Damping}), (Commands{0, 15, 147, 146}));
    EXPECT_EQ(ConfigWriter::ReadsBefore({ConfigPart::Message, ConfigPart::Display}),
              (Commands{0, 12, 13, 15, 147, 146}));
    EXPECT_TRUE(ConfigWriter::ReadsBefore({ConfigPart::PollingAddress}).empty());

    // Every part is written in the order of the pages. That a set of one part
    // sends the rest of the part back as read is proven against the
    // simulator, where every other setting must keep its value.
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
        {{{"lrv", "95"}, {"damping", "2"}}, "SpanErr"},
        {{{"sensors", "2"}, {"sensor2", "PT100"}, {"wire2", "4"}, {"mode", "independent"}},
         "Sen2WireErr"},
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
    // A range the transmitter holds is not checked when only the display is
    // written; independent mode pairs any two sensors.
    DeviceRecord narrow = ReadRecord();
    narrow.upperRangeValue = 5.0f;
    Planned({{"alarm", "low"}}, narrow);
    Planned({{"sensors", "2"}, {"sensor2", "0...400R"}, {"mode", "independent"}});
}

TEST(ConfigWriter, SensorSettingsStartFromWhatTheTransmitterHolds) {
    // A second sensor: the first keeps its wiring and offset; independent
    // mode starts with sensor 1 on the output unless told otherwise.
    const ConfigValues second{{"sensors", "2"}, {"sensor2", "Cu50"}, {"mode", "independent"}};
    const DeviceRecord device = Planned(second);
    EXPECT_EQ(
        std::tie(device.sensor2Type, device.sensorSetupA, device.sensorSetupB, device.sensorValueA),
        std::tuple(13, 0x11, 0x03, 0.5f));
    ConfigValues toTwo = second;
    toTwo["output-sensor"] = "2";
    EXPECT_EQ(Planned(toTwo).sensorSetupB, 0x13);

    // A type no list shows can be written all the same.
    EXPECT_EQ(Planned({{"sensor1", "0...10KOhm"}}).sensor1Type, 23);
}

TEST(ConfigWriter, ANewUnitConvertsTheRangeAndOffsetsAreTypedInIt) {
    // The range converts to the new unit, values named with it are in it.
    DeviceRecord device = Planned({{"unit", "F"}, {"urv", "300"}, {"offset1", "1.8"}});
    EXPECT_EQ(std::tie(device.pvUnitText, device.upperRangeValue), std::tuple("F", 300.0f));
    EXPECT_FLOAT_EQ(device.lowerRangeValue, 32.0f);
    EXPECT_FLOAT_EQ(device.sensorValueA, 1.0f);

    // The same unit under the other language's Celsius text changes nothing.
    device = ReadRecord();
    device.pvUnitText = "\u2103";
    ChineseUnitsFlag = true;
    device = Planned({{"unit", kCelsius}, {"lrv", "-10"}}, device);
    EXPECT_EQ(std::tie(device.pvUnitText, device.upperRangeValue), std::tuple("\u2103", 100.0f));
    ChineseUnitsFlag = false;
}

TEST(ConfigWriter, TheTagBlockSendsBackADateThatIsNoDateAsItWasRead) {
    DeviceRecord device = ReadRecord();
    device.dateYear = 2155;
    device.dateMonth = 13;
    device = Planned({{"descriptor", "NEW"}}, device);
    EXPECT_EQ(std::tie(device.dateYear, device.dateMonth), std::tuple(2155, 13));
    device = Planned({{"date", "2030-01-31"}}, device);
    EXPECT_EQ(std::tie(device.dateYear, device.dateDay, device.descriptor),
              std::tuple(2030, 31, "NEW"));
}
