#include "tests/sim/SimulatorHarness.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Floats(std::initializer_list<float> values, Bytes prefix = {}) {
    for (const float value : values) {
        const Bytes bytes = WireFrames::FloatBytes(value);
        prefix.insert(prefix.end(), bytes.begin(), bytes.end());
    }
    return prefix;
}

TEST(AnswerLayout, Command0IdentifiesTheDeviceInAShortAnswer) {
    SimulatorHarness line;
    const auto answer = line.Short(0);
    EXPECT_TRUE(answer.m_checksumOk);
    EXPECT_EQ(answer.m_preambles, 5u);
    EXPECT_EQ(answer.m_address, Bytes{0x80}); // echoed with the master bit
    EXPECT_EQ(answer.m_byteCount, 14);
    EXPECT_EQ(answer.m_responseCode, 0);
    EXPECT_EQ(answer.m_deviceStatus, 0);
    const Bytes& d = answer.m_data;
    ASSERT_EQ(d.size(), 12u);
    EXPECT_EQ((Bytes{d[0], d[2], d[3], d[4], d[8]}), (Bytes{254, 4, 5, 5, 0}));
    EXPECT_LT(d[1], 0x40);
    // The long address the master builds from this answer reaches the device.
    const std::array<std::uint8_t, 5> built{static_cast<std::uint8_t>(d[1] | 0x80), d[2], d[9],
                                            d[10], d[11]};
    EXPECT_EQ(built, SimulatorHarness::kFirstAddress);
    const auto viaLong = line.Long(0, {}, built);
    EXPECT_TRUE(viaLong.m_longAddress);
    EXPECT_EQ(viaLong.m_address, Bytes(built.begin(), built.end()));
}

TEST(AnswerLayout, EveryCommandAnswersWithItsByteCount) {
    SimulatorHarness line;
    // Command, request data, answer byte count.
    // clang-format off
    const std::vector<std::tuple<std::uint8_t, Bytes, int>> commands{
        {1, {}, 7}, {2, {}, 10}, {3, {}, 21}, {6, {0}, 3}, {12, {}, 26}, {13, {}, 23},
        {14, {}, 18}, {15, {}, 19}, {16, {}, 5}, {17, Bytes(24), 26}, {18, Bytes(21), 23},
        {19, Bytes(3), 5}, {34, Floats({1}), 6}, {35, Floats({50, 0}, {32}), 11}, {36, {}, 2},
        {37, {}, 2}, {40, Floats({0}), 6}, {42, {}, 2}, {45, Floats({4}), 6},
        {46, Floats({20}), 6}, {137, Bytes(4), 6}, {138, Bytes(6), 8}, {140, {}, 10},
        {141, {}, 7}, {142, {}, 6}, {143, {0}, 21}, {144, {}, 14}, {145, {}, 6}, {146, {}, 14},
        {147, {}, 5}, {148, {}, 4}, {150, {}, 7}, {152, {0, 0, 0x20}, 36},
        {153, {0, 0, 0x20}, 36}, {160, {2}, 3}, {161, {}, 6}, {162, {}, 9}, {163, {}, 2},
        {164, {}, 2}, {180, Bytes(8), 10}, {181, Bytes(5), 7}, {182, Bytes(4), 6},
        {183, Bytes(19), 21}, {184, Bytes(5), 7}, {185, Bytes(4), 6}, {186, Bytes(12), 14},
        {187, Bytes(3), 5}, {188, Bytes(2), 4}, {190, Bytes(5), 7}, {192, Bytes(35), 37},
        {194, Bytes(4), 6}};
    // clang-format on
    for (const auto& [command, data, byteCount] : commands) {
        const auto answer = line.Long(command, data);
        EXPECT_EQ(answer.m_responseCode, 0) << int{command};
        EXPECT_EQ(answer.m_byteCount, byteCount) << int{command};
        EXPECT_EQ(answer.m_command, command);
        EXPECT_TRUE(answer.m_checksumOk);
    }
}

TEST(AnswerLayout, ProcessValuesAgreeWithEachOther) {
    SimulatorHarness line;
    const auto one = line.Long(1);
    EXPECT_EQ(one.m_data[0], 32);
    const float pv = WireFrames::FloatAt(one.m_data, 1);
    EXPECT_GT(pv, 10.0f);
    EXPECT_LT(pv, 40.0f);
    const auto two = line.Long(2);
    const float percent = WireFrames::FloatAt(two.m_data, 4);
    // Range 0..100 degrees: current and percent follow the same pv.
    EXPECT_NEAR(WireFrames::FloatAt(two.m_data, 0), 4.0f + 16.0f * percent / 100.0f, 1e-3);
    EXPECT_NEAR(percent, pv, 1.0); // one second of drift apart
    const auto three = line.Long(3);
    EXPECT_EQ((Bytes{three.m_data[4], three.m_data[9], three.m_data[14]}), (Bytes{32, 32, 32}));
    EXPECT_NEAR(WireFrames::FloatAt(three.m_data, 5), pv, 2.0);

    const auto limits = line.Long(14);
    EXPECT_EQ(limits.m_data[3], 32);
    EXPECT_EQ(WireFrames::FloatAt(limits.m_data, 4), 850.0f); // PT100
    EXPECT_EQ(WireFrames::FloatAt(limits.m_data, 8), -200.0f);
    EXPECT_EQ(line.Long(162).m_data.at(2), 3); // version 1.0.3
}

TEST(AnswerLayout, WrongRequestLengthOrUnknownCommandIsRefused) {
    SimulatorHarness line;
    const auto shortDamping = line.Long(34, {0x3F, 0x80});
    EXPECT_EQ(shortDamping.m_responseCode, 5);
    EXPECT_EQ(shortDamping.m_byteCount, 2);
    EXPECT_EQ(line.Long(1, {0x00}).m_responseCode, 5);
    EXPECT_NE(line.Long(99).m_responseCode, 0);
    EXPECT_EQ(line.Long(35, Floats({1, 0}, {4})).m_responseCode, 12); // not a unit of ours
    // The refused writes changed nothing.
    const auto range = line.Long(15);
    EXPECT_EQ(range.m_data[2], 32);
    EXPECT_EQ(WireFrames::FloatAt(range.m_data, 11), 1.0f);
}

TEST(AnswerLayout, TagDescriptorAndDateWrittenWith18ReadBackWith13) {
    SimulatorHarness line;
    Bytes request{0x50, 0x50, 0x31, 0x8D, 0x30, 0x60}; // tag "TE@1#SA "
    request.resize(18, 0);
    request[6] = 0x12;
    request.insert(request.end(), {31, 12, 114});
    EXPECT_EQ(line.Long(18, request).m_data, request);
    const auto read = line.Long(13);
    // Six-bit text reads back bit for bit, spaces at the end included.
    EXPECT_EQ(read.m_data, request);

    Bytes message(24);
    for (std::size_t i = 0; i < message.size(); ++i) {
        message[i] = static_cast<std::uint8_t>(0x10 + 7 * i);
    }
    line.Long(17, message);
    EXPECT_EQ(line.Long(12).m_data, message);
    line.Long(19, {0x00, 0xAB, 0x12});
    EXPECT_EQ(line.Long(16).m_data, (Bytes{0x00, 0xAB, 0x12}));
}

TEST(AnswerLayout, ConfigurationWritesReadBack) {
    SimulatorHarness line;
    const Bytes sensors{21, 255, 0x02, 0x00, 0x3F, 0x80, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(line.Long(186, sensors).m_data, sensors);
    EXPECT_EQ(line.Long(146).m_data, sensors);
    line.Long(187, {2, 3, 1});
    EXPECT_EQ(line.Long(147).m_data, (Bytes{2, 3, 1}));

    const Bytes range = Floats({212, 32}, {33});
    EXPECT_EQ(line.Long(35, range).m_data, range);
    line.Long(34, Floats({2.5f}));
    const auto read = line.Long(15);
    EXPECT_EQ(read.m_data[0], 1); // low alarm, as the display block says
    EXPECT_EQ(Bytes(read.m_data.begin() + 2, read.m_data.begin() + 15),
              Floats({212, 32, 2.5f}, {33}));
}

TEST(AnswerLayout, DeviceSpecificValuesReadBackInTheirLayouts) {
    SimulatorHarness line;
    line.Long(181, {1, 2, 3, 4, 5});
    line.Long(138, {9, 10, 11, 12, 13, 14}); // overwrites the first four of 141
    EXPECT_EQ(line.Long(141).m_data, (Bytes{10, 11, 12, 13, 5}));

    Bytes record{7};
    for (std::uint8_t i = 0; i < 18; ++i) {
        record.push_back(static_cast<std::uint8_t>(0xA0 + i));
    }
    line.Long(183, record);
    EXPECT_EQ(line.Long(143, {7}).m_data, record);
    EXPECT_EQ(line.Long(143, {8}).m_data,
              (Bytes{8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    EXPECT_NE(line.Long(160, {7}).m_responseCode, 0);
}

} // namespace
