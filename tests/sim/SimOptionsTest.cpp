#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(SimOptions, ReadsEveryOptionAndRefusesBadValuesWithAReason) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(SimOptions::Parse({"--com", "7", "--devices=0,3,15", "--timing", "fast", "--fault",
                                   "noanswer:rate=0.25", "--fault=late:next=3", "--log", "--state",
                                   "s", "--seed", "12345678901", "--broken", "--help", "--status",
                                   "0x09", "--unsupported", "16,162"},
                                  &options, &error))
        << error;
    // What each fault setting does is proven by the simulator's fault tests.
    EXPECT_EQ(std::tuple(options.m_com, options.m_timing, options.m_stateFile, options.m_seed,
                         options.m_statusBits, options.m_devices, options.m_unsupported,
                         options.m_faults.size(), options.m_log, options.m_sensorBroken,
                         options.m_help),
              std::tuple(7, SimOptions::Timing::Fast, "s", 12345678901u, 0x09,
                         std::vector<std::uint8_t>{0, 3, 15}, std::vector<std::uint8_t>{16, 162},
                         2u, true, true, true));

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"--com", "17"}, "--com"},
        {{"--com", "3x"}, "--com"},
        {{"--com"}, "needs a value"},
        {{"--devices", "0,16"}, "0..15"},
        {{"--devices", "2,2"}, "twice"},
        {{"--timing", "slow"}, "real or fast"},
        {{"--fault", "fire"}, "unknown fault kind"},
        {{"--fault", "late:rate=1.5"}, "0 to 1"},
        {{"--fault", "late:next=0"}, "at least 1"},
        {{"--fault", "late:next=1:cmd=256"}, "0..255"},
        {{"--fault", "late:cmd=x"}, "0..255"},
        {{"--log=yes"}, "takes no value"},
        {{"--status", "100"}, "00..FF"},
        {{"--status", "g"}, "00..FF"},
        {{"--unsupported", "1,,2"}, "0..255"},
        {{"--frobnicate"}, "unknown option"},
    };
    for (const auto& [arguments, expected] : refused) {
        EXPECT_FALSE(SimOptions::Parse(arguments, &options, &error)) << arguments[0];
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}
