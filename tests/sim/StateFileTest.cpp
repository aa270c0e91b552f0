#include "sim/StateFile.h"

#include "tests/sim/SimTestSupport.h"

#include <filesystem>
#include <fstream>

TEST(StateFile, EveryFieldIsSavedAndLoadedAndSurvivesARestart) {
    TempFolder folder;
    DeviceConfig changed;
    changed.m_deviceId = 0xABCDEF;
    changed.m_tag = " LEAD";
    changed.m_message = "A MESSAGE: WITH # AND @";
    changed.m_yearSince1900 = 255;
    changed.m_lowerRange = -273.15f;
    changed.m_sensorBlock = {21, 22, 0x12, 0x13, 1, 2, 3, 4, 5, 6, 7, 8};
    changed.m_byte138a = 0x7E;
    changed.m_block152[34] = 0x99;
    changed.m_records143[200] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const std::vector<DeviceConfig> saved{DeviceConfig{}, changed};
    std::string error;
    const std::string path = folder.File("state.txt");
    ASSERT_TRUE(StateFile::Save(path, saved, &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    std::vector<DeviceConfig> loaded;
    ASSERT_TRUE(StateFile::Load(path, &loaded, &error)) << error;
    EXPECT_EQ(loaded, saved);
    // Hand-edited text is brought into the form the device keeps.
    ASSERT_TRUE(StateFile::ParseText("device\ntag lower-case-and-long\n", &loaded, &error));
    EXPECT_EQ(loaded[0].m_tag, "LOWER-CA");

    // Written through the simulator, a configuration survives a restart.
    SimOptions options = SimulatorHarness::Fast({0, 4});
    options.m_stateFile = folder.File("devices.state");
    const LongAddress address{0xBE, 0x04, 0x5A, 0x00, 0x02}; // the second device
    {
        SimulatorHarness line(options);
        ASSERT_TRUE(line.Sim().LoadState(&error)) << error; // no file yet: defaults
        ASSERT_EQ(line.Long(35, WireFrames::Floats({300, 0}, {35}), address).m_responseCode, 0);
        ASSERT_EQ(line.Long(6, {12}, address).m_responseCode, 0);
    }
    SimulatorHarness restarted(options);
    ASSERT_TRUE(restarted.Sim().LoadState(&error)) << error;
    EXPECT_TRUE(restarted.Silent(WireFrames::ShortRequest(4)));
    EXPECT_EQ(restarted.Short(12).m_byteCount, 14);
    const Bytes range = restarted.Long(15, {}, address).m_data;
    EXPECT_EQ(Bytes(range.begin() + 2, range.begin() + 7), WireFrames::Floats({300}, {35}));
    EXPECT_EQ(restarted.Long(15).m_data[2], 32); // the first device kept its defaults

    std::ofstream(options.m_stateFile) << "device\nid nothex\n";
    EXPECT_FALSE(SimulatorHarness(options).Sim().LoadState(&error)); // a bad file is reported
    EXPECT_NE(error.find("line 2"), std::string::npos);
}
