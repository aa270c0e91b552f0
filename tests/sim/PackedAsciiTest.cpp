#include "sim/PackedAscii.h"

#include <gtest/gtest.h>

namespace {

TEST(PackedAscii, PacksFourCharactersIntoThreeBytes) {
    // 'A' = 0x01, 'B' = 0x02, ' ' = 0x20, '1' = 0x31 as six-bit codes.
    const auto packed = PackedAscii::Pack("AB 1", 4);
    const std::uint32_t expected = (0x01u << 18) | (0x02u << 12) | (0x20u << 6) | 0x31u;
    ASSERT_EQ(packed.size(), 3u);
    EXPECT_EQ(packed[0], static_cast<std::uint8_t>(expected >> 16));
    EXPECT_EQ(packed[1], static_cast<std::uint8_t>(expected >> 8));
    EXPECT_EQ(packed[2], static_cast<std::uint8_t>(expected));
}

TEST(PackedAscii, UpperCasesPadsAndCuts) {
    EXPECT_EQ(PackedAscii::Pack("ab", 8), PackedAscii::Pack("AB      ", 8));
    EXPECT_EQ(PackedAscii::Pack("TOO-LONG-TAG", 8).size(), 6u);
    EXPECT_EQ(PackedAscii::Unpack(PackedAscii::Pack("TOO-LONG-TAG", 8)), "TOO-LONG");
}

TEST(PackedAscii, RoundTripsEveryPackableCharacter) {
    std::string all;
    for (char c = 0x20; c <= 0x5F; ++c) {
        all.push_back(c);
    }
    all += "X"; // make the last character not a space, which unpacking would trim
    const auto packed = PackedAscii::Pack(all, 68);
    EXPECT_EQ(packed.size(), 51u);
    EXPECT_EQ(PackedAscii::Unpack(packed), all.substr(0, 65));
}

TEST(PackedAscii, UnpacksZeroBytesAsAtSignsAndTrimsTrailingSpaces) {
    const std::vector<std::uint8_t> zeros{0x00, 0x00, 0x00};
    EXPECT_EQ(PackedAscii::Unpack(zeros), "@@@@");
    EXPECT_EQ(PackedAscii::Unpack(PackedAscii::Pack("HI", 16)), "HI");
    // An incomplete group at the end is ignored rather than read past.
    const std::vector<std::uint8_t> ragged{0x00, 0x00, 0x00, 0x12};
    EXPECT_EQ(PackedAscii::Unpack(ragged), "@@@@");
}

TEST(PackedAscii, NormaliseGivesWhatTheDeviceReadsBack) {
    EXPECT_EQ(PackedAscii::Normalise("tt-101  ", 8), "TT-101");
    // Characters without a packed form still give a fixed-width field.
    EXPECT_EQ(PackedAscii::Normalise("\xC3\xA9t\xE9", 8).size(), 4u);
}

} // namespace
