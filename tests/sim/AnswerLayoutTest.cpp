#include "tests/sim/SimTestSupport.h"

#include <tuple>

using WireFrames::Floats;

// The blocks the command-line tool writes are read back through it in the runs
// against the simulator; here the blocks only the pages write, and the
// requests refused for their length, command or value, which change nothing.
TEST(AnswerLayout, WritesAreEchoedAndReadBackInTheReadCommandsLayoutAndBadOnesAreRefused) {
    SimulatorHarness line;
    Bytes record(19), noRecord(19);
    std::iota(record.begin(), record.end(), 7); // selector 7, then the record
    noRecord[0] = 8;
    // Write command and data; read command and data, and what the read answers.
    const std::vector<std::tuple<std::uint8_t, Bytes, std::uint8_t, Bytes, Bytes>> cases{
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
    const auto shortDamping = line.Long(34, {0x3F, 0x80});
    EXPECT_EQ(std::tie(shortDamping.m_responseCode, shortDamping.m_byteCount), std::tuple(5, 2));
    EXPECT_EQ(line.Long(1, {0x00}).m_responseCode, 5);
    EXPECT_NE(line.Long(99).m_responseCode, 0);
    EXPECT_NE(line.Long(160, {7}).m_responseCode, 0);
    EXPECT_EQ(line.Long(35, Floats({1, 0}, {4})).m_responseCode, 12); // not a unit of ours
    // Low alarm, as written with 187 above; linear; the range and damping.
    const Bytes range = line.Long(15).m_data;
    EXPECT_EQ(Bytes(range.begin(), range.begin() + 15), Floats({212, 32, 2.5f}, {1, 0, 33}));
}
