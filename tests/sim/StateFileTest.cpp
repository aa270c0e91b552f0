#include "sim/StateFile.h"

#include "tests/sim/SimulatorHarness.h"
#include "tests/sim/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(StateFile, SavesAndLoadsEveryField) {
    TempFolder folder;
    DeviceConfig changed;
    changed.m_deviceId = 0xABCDEF;
    changed.m_pollingAddress = 9;
    changed.m_tag = " LEAD";
    changed.m_message = "A MESSAGE: WITH # AND @";
    changed.m_yearSince1900 = 255;
    changed.m_finalAssembly = 0x00AB12;
    changed.m_pvUnit = 35;
    changed.m_lowerRange = -273.15f;
    changed.m_trimZero = 4.0123f;
    changed.m_sensorBlock = {21, 22, 0x12, 0x13, 1, 2, 3, 4, 5, 6, 7, 8};
    changed.m_byte138a = 0x7E;
    changed.m_block152[34] = 0x99;
    changed.m_records143[200] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const std::vector<DeviceConfig> saved{DeviceConfig{}, changed};
    const std::string path = folder.File("state.txt");

    std::string error;
    ASSERT_TRUE(StateFile::Save(path, saved, &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    std::vector<DeviceConfig> loaded;
    ASSERT_TRUE(StateFile::Load(path, &loaded, &error)) << error;
    EXPECT_EQ(loaded, saved);
}

TEST(StateFile, BadLinesAreReportedWithTheirNumber) {
    std::vector<DeviceConfig> devices;
    std::string error;
    // Each case with the text its error must name.
    const std::vector<std::pair<const char*, const char*>> cases{
        {"tag X\n", "line 1"},
        {"# c\ndevice\ndamping fast\n", "line 3"},
        {"device\nsensor-block 0A\n", "24 hexadecimal"},
        {"device\npolling-address 16\n", "0 to 15"},
        {"device\ndate 1 1 1899\n", "1900"},
        {"device\ncolour blue\n", "colour"}};
    for (const auto& [text, expected] : cases) {
        EXPECT_FALSE(StateFile::ParseText(text, &devices, &error)) << text;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }

    // Hand-edited text is brought into the form the device keeps.
    ASSERT_TRUE(StateFile::ParseText("device\ntag lower-case-and-long\n", &devices, &error));
    EXPECT_EQ(devices[0].m_tag, "LOWER-CA");
}

TEST(StateFile, AConfiguredDeviceSurvivesARestart) {
    TempFolder folder;
    SimOptions options = SimulatorHarness::Fast();
    options.m_devices = {0, 4};
    options.m_stateFile = folder.File("devices.state");
    std::array<std::uint8_t, 5> address = SimulatorHarness::kFirstAddress;
    address[4] = 2; // the second device
    std::string error;
    {
        SimulatorHarness line(options);
        ASSERT_TRUE(line.Sim().LoadState(&error)) << error; // no file yet: defaults
        ASSERT_EQ(line.Long(35, {35, 0x43, 0x96, 0, 0, 0, 0, 0, 0}, address).m_responseCode, 0);
        ASSERT_EQ(line.Long(6, {12}, address).m_responseCode, 0);
    }
    SimulatorHarness restarted(options);
    ASSERT_TRUE(restarted.Sim().LoadState(&error)) << error;
    EXPECT_TRUE(restarted.Silent(WireFrames::ShortRequest(4)));
    EXPECT_EQ(restarted.Short(12).m_byteCount, 14);
    const auto range = restarted.Long(15, {}, address);
    EXPECT_EQ(range.m_data[2], 35);
    EXPECT_EQ(WireFrames::FloatAt(range.m_data, 3), 300.0f);
    EXPECT_EQ(restarted.Long(15).m_data[2], 32); // the first device kept its defaults

    std::ofstream(options.m_stateFile) << "device\nid nothex\n";
    SimulatorHarness broken(options);
    EXPECT_FALSE(broken.Sim().LoadState(&error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
}

} // namespace
