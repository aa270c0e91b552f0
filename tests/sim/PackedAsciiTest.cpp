#include "sim/PackedAscii.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(PackedAscii, PacksSixBitCodesUpperCasesPadsCutsAndTrims) {
    // 'A' = 0x01, 'B' = 0x02, ' ' = 0x20, '1' = 0x31: 000001 000010 100000 110001.
    EXPECT_EQ(PackedAscii::Pack("ab 1", 4), (std::vector<std::uint8_t>{0x04, 0x28, 0x31}));
    // Zero codes read as '@'; an incomplete group at the end is not read past.
    EXPECT_EQ(PackedAscii::Unpack(std::vector<std::uint8_t>{0, 0, 0, 0x12}), "@@@@");
    // Every character with a packed form, then one that is not a space, which
    // unpacking would trim.
    std::string all(65, 'X');
    std::iota(all.begin(), all.end() - 1, ' ');
    EXPECT_EQ(PackedAscii::Pack(all, 68).size(), 51u);
    EXPECT_EQ(PackedAscii::Unpack(PackedAscii::Pack(all, 68)), all);
    EXPECT_EQ(PackedAscii::Normalise("tt-101  ", 8), "TT-101");
    // Characters without a packed form still give a fixed-width field.
    EXPECT_EQ(PackedAscii::Normalise("\xC3\xA9t\xE9", 8).size(), 4u);
}
