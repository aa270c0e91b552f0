#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

bool Parses(const std::vector<std::string>& arguments, SimOptions* options, std::string* error) {
    return SimOptions::Parse(arguments, options, error);
}

TEST(SimOptions, ReadsEveryOption) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parses({"--com", "7", "--devices=0,3,15", "--timing", "fast", "--fault",
                        "noanswer:rate=0.25", "--fault=late:next=3", "--log", "--state", "s",
                        "--seed", "12345678901", "--broken"},
                       &options, &error))
        << error;
    EXPECT_EQ(options.m_com, 7);
    EXPECT_EQ(options.m_devices, (std::vector<std::uint8_t>{0, 3, 15}));
    EXPECT_EQ(options.m_timing, SimOptions::Timing::Fast);
    ASSERT_EQ(options.m_faults.size(), 2u);
    EXPECT_EQ(options.m_faults[0].m_rate, 0.25);
    EXPECT_EQ(options.m_faults[1].m_kind, FaultInjector::Kind::Late);
    EXPECT_EQ(options.m_faults[1].m_next, 3u);
    EXPECT_TRUE(options.m_log && options.m_sensorBroken);
    EXPECT_EQ(options.m_stateFile, "s");
    EXPECT_EQ(options.m_seed, 12345678901u);
}

TEST(SimOptions, RefusesBadValuesWithAReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--com", "0"}, "--com"},
        {{"--com", "17"}, "--com"},
        {{"--com", "3x"}, "--com"},
        {{"--com"}, "needs a value"},
        {{"--devices", "0,16"}, "0..15"},
        {{"--devices", "2,2"}, "twice"},
        {{"--devices", "1,"}, "--devices"},
        {{"--timing", "slow"}, "real or fast"},
        {{"--fault", "fire"}, "unknown fault kind"},
        {{"--fault", "late:rate=1.5"}, "0 to 1"},
        {{"--fault", "late:next=0"}, "at least 1"},
        {{"--fault", "late:every=2"}, "rate=P or next=N"},
        {{"--seed", "-1"}, "--seed"},
        {{"--log=yes"}, "takes no value"},
        {{"--frobnicate"}, "unknown option"},
    };
    for (const auto& [arguments, expected] : cases) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(Parses(arguments, &options, &error)) << arguments[0];
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

TEST(SimOptions, HelpListsEveryOption) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parses({"--help"}, &options, &error));
    EXPECT_TRUE(options.m_help);
    const std::string usage = SimOptions::Usage("calora-sim");
    for (const char* name : {"--com", "--devices", "--timing", "--fault", "--log", "--state",
                             "--seed", "--broken", "--help"}) {
        EXPECT_NE(usage.find(name), std::string::npos) << name;
    }
}

} // namespace
