#include "hart/HartCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace {

using Exp256 = std::array<std::uint8_t, 5>;

std::vector<std::uint8_t> Pack(const std::string& text, std::size_t characters) {
    std::vector<std::uint8_t> out(characters / 4 * 3);
    EXPECT_TRUE(HartCodec::PackAscii(text, characters, out));
    return out;
}

} // namespace

TEST(PackedAscii, IsUpperCasedPaddedWithSpacesAndCutToTheFieldLength) {
    // "AB" + six spaces: A=0x01, B=0x02, space=0x20.
    EXPECT_EQ(Pack("ab", 8), (std::vector<std::uint8_t>{0x04, 0x28, 0x20, 0x82, 0x08, 0x20}));
    EXPECT_EQ(HartCodec::UnpackAsciiText(Pack("ABCDEFGHIJK", 8)), "ABCDEFGH");
    EXPECT_EQ(HartCodec::UnpackAscii(std::array<std::uint8_t, 3>{}),
              (std::array<char, 4>{'@', '@', '@', '@'}));
    // Every packable character round-trips; trailing blanks are trimmed.
    for (char first = 0x20; first <= 0x5F; first += 32) {
        std::string chunk(32, ' ');
        std::iota(chunk.begin(), chunk.end(), first);
        EXPECT_EQ(HartCodec::UnpackAsciiText(Pack(chunk, 32)),
                  chunk.substr(0, chunk.find_last_not_of(' ') + 1));
    }
}

TEST(PackedAscii, CharactersWithoutPackedFormBecomeOneQuestionMarkEach) {
    // Degree sign (2 bytes), CJK (3 bytes), emoji (4 bytes), a stray
    // continuation byte, a control code and a brace, a truncated sequence at the
    // end, and just outside the packable 0x20..0x5F: one '?' each, and the
    // characters after them keep their places.
    const std::pair<const char*, const char*> cases[] = {
        {"T\u00B0X", "T?X"},    {"\u6E29\u5EA6AB", "??AB"}, {"\U0001F600Z", "?Z"},
        {"\x80Q\tR{", "?Q?R?"}, {"A\xE6\xB8", "A??"},       {"\x1F \x60_", "? ?_"}};
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(HartCodec::UnpackAsciiText(Pack(text, 8)), shown);
    }
}

TEST(Exp256, EncodesAndDecodesKnownValuesAndSaturatesBeyondASevenBitExponent) {
    const std::pair<Exp256, double> both[] = {
        {{0, 0, 0, 0, 0}, 0.0},
        {{0, 0, 0, 1, 0}, 1.0},
        {{0, 0, 0x80, 1, 0}, 1.5},
        {{0, 0, 0, 1, 1}, 256.0},
        {{0, 0, 0, 3, 0x81}, -768.0},
        {{0, 0, 0, 128, 0x7F}, 0.5},
        {{0, 0, 0, 1, 0x7E}, 1.0 / 65536},
        {{0, 0, 0, 1, 0x7F}, 1.0 / 256}, // a power of 1/256 keeps a whole part of 1
        {{0, 0, 0, 1, 0x40}, std::ldexp(1.0, -512)},
        {{0, 0, 0, 1, 63}, std::ldexp(1.0, 8 * 63)},
    };
    for (const auto& [bytes, value] : both) {
        EXPECT_EQ(HartCodec::DoubleToExp256(value), bytes) << value;
        EXPECT_EQ(HartCodec::Exp256ToDouble(bytes), value) << value;
    }
    for (double x : {3.14159, -0.001, 1e-9, 123456.789, -98765432.1, 0.999, 255.999, 1e20}) {
        const double back = HartCodec::Exp256ToDouble(HartCodec::DoubleToExp256(x));
        EXPECT_NEAR(back, x, std::fabs(x) * 1e-7) << x;
    }
    // Numbers beyond a seven-bit exponent saturate instead of wrapping.
    const Exp256 largest{0xFF, 0xFF, 0xFF, 0xFF, 63};
    EXPECT_EQ(HartCodec::DoubleToExp256(1e300), largest);
    EXPECT_EQ(HartCodec::DoubleToExp256(std::ldexp(1.0, 8 * 64)), largest); // would wrap to -64
    EXPECT_EQ(HartCodec::DoubleToExp256(INFINITY), largest);
    EXPECT_EQ(HartCodec::DoubleToExp256(-INFINITY), (Exp256{0xFF, 0xFF, 0xFF, 0xFF, 63 | 0x80}));
    EXPECT_EQ(HartCodec::DoubleToExp256(1e-300), Exp256{});
    EXPECT_EQ(HartCodec::DoubleToExp256(NAN), Exp256{});
}
