#include "tests/sim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using WireFrames::FloatAt;
using WireFrames::Floats;

TEST(AnswerLayout, Command0IdentifiesTheDeviceInAShortAnswer) {
    SimulatorHarness line;
    const auto answer = line.Short(0);
    EXPECT_EQ(std::tuple(answer.m_checksumOk, answer.m_preambles, answer.m_command,
                         answer.m_responseCode, answer.m_status),
              std::tuple(true, 5u, 0, 0, 0));
    EXPECT_EQ(answer.m_address, Bytes{0x80}); // echoed with the master bit
    const Bytes& d = answer.m_data;
    ASSERT_EQ(d.size(), 12u);
    EXPECT_EQ((Bytes{d[0], d[2], d[3], d[4], d[8]}), (Bytes{254, 4, 5, 5, 0}));
    // The long address the master builds from this answer reaches the device.
    const LongAddress built{static_cast<std::uint8_t>(d[1] | 0x80), d[2], d[9], d[10], d[11]};
    EXPECT_EQ(built, SimulatorHarness::kFirstAddress);
    EXPECT_EQ(line.Long(0, {}, built).m_address, Bytes(built.begin(), built.end()));
}

TEST(AnswerLayout, ProcessValuesAndLimitsAgree) {
    SimulatorHarness line;
    const auto one = line.Long(1), two = line.Long(2), three = line.Long(3), limits = line.Long(14);
    EXPECT_EQ((Bytes{one.m_byteCount, two.m_byteCount, three.m_byteCount, limits.m_byteCount}),
              (Bytes{7, 10, 21, 18}));
    const float pv = FloatAt(one.m_data, 1), percent = FloatAt(two.m_data, 4);
    EXPECT_TRUE(pv > 10.0f && pv < 40.0f) << pv;
    // Range 0..100 degrees: current and percent follow the same pv.
    EXPECT_NEAR(FloatAt(two.m_data, 0), 4.0f + 16.0f * percent / 100.0f, 1e-3);
    EXPECT_NEAR(percent, pv, 1.0); // one second of drift apart
    EXPECT_NEAR(FloatAt(three.m_data, 5), pv, 2.0);
    // Units: pv of 1 and 3, secondary of 3, limits of 14.
    EXPECT_EQ((Bytes{one.m_data[0], three.m_data[4], three.m_data[9], limits.m_data[3]}),
              (Bytes{32, 32, 32, 32}));
    EXPECT_EQ(Bytes(limits.m_data.begin() + 4, limits.m_data.begin() + 12), Floats({850, -200}));
}

TEST(AnswerLayout, WrongRequestLengthUnknownCommandOrBadValueIsRefused) {
    SimulatorHarness line;
    const auto shortDamping = line.Long(34, {0x3F, 0x80});
    EXPECT_EQ(shortDamping.m_responseCode, 5);
    EXPECT_EQ(shortDamping.m_byteCount, 2);
    EXPECT_EQ(line.Long(1, {0x00}).m_responseCode, 5);
    EXPECT_NE(line.Long(99).m_responseCode, 0);
    EXPECT_NE(line.Long(160, {7}).m_responseCode, 0);
    EXPECT_EQ(line.Long(35, Floats({1, 0}, {4})).m_responseCode, 12); // not a unit of ours
    // The refused writes changed nothing.
    const auto range = line.Long(15);
    EXPECT_EQ(range.m_data[2], 32);
    EXPECT_EQ(FloatAt(range.m_data, 11), 1.0f);
}

TEST(AnswerLayout, WritesAreEchoedAndReadBackInTheReadCommandsLayout) {
    SimulatorHarness line;
    Bytes tag{0x50, 0x50, 0x31, 0x8D, 0x30, 0x60, 0x12}; // "TE@1#SA ", descriptor
    tag.resize(18);
    tag.insert(tag.end(), {31, 12, 114}); // date
    Bytes message(24), record(19), noRecord(19);
    std::iota(message.begin(), message.end(), 0x10);
    std::iota(record.begin(), record.end(), 7); // selector 7, then the record
    noRecord[0] = 8;
    const Bytes sensors{21, 255, 0x02, 0x00, 0x3F, 0x80, 0, 0, 0, 0, 0, 0};
    // Write command and data; read command and data, and what the read answers.
    const std::vector<std::tuple<std::uint8_t, Bytes, std::uint8_t, Bytes, Bytes>> cases{
        {18, tag, 13, {}, tag}, // six-bit text bit for bit, spaces at the end included
        {17, message, 12, {}, message},
        {19, {0x00, 0xAB, 0x12}, 16, {}, {0x00, 0xAB, 0x12}},
        {186, sensors, 146, {}, sensors},
        {187, {2, 3, 1}, 147, {}, {2, 3, 1}},
        {181, {1, 2, 3, 4, 5}, 141, {}, {1, 2, 3, 4, 5}},
        {138, {9, 10, 11, 12, 13, 14}, 141, {}, {10, 11, 12, 13, 5}}, // the first four of 141
        {183, record, 143, {7}, record},
        {192, Bytes(35, 0x20), 152, {0, 0, 0x20}, Bytes(34, 0x20)},
        {34, Floats({2.5f}), 143, {8}, noRecord}, // damping for 15 below; no record 8
    };
    for (const auto& [write, data, read, selector, expected] : cases) {
        const auto echo = line.Long(write, data);
        EXPECT_EQ(std::tie(echo.m_command, echo.m_data), std::tie(write, data));
        EXPECT_EQ(line.Long(read, selector).m_data, expected) << int{read};
    }
    EXPECT_EQ(line.Long(35, Floats({212, 32}, {33})).m_responseCode, 0);
    const auto range = line.Long(15);
    EXPECT_EQ(range.m_data[0], 1); // low alarm, as written with 187 above
    EXPECT_EQ(Bytes(range.m_data.begin() + 2, range.m_data.begin() + 15),
              Floats({212, 32, 2.5f}, {33}));
}

} // namespace
