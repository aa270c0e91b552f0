#include "hart/HartCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<std::uint8_t> Pack(const std::string& text, std::size_t characters) {
    std::vector<std::uint8_t> out(characters / 4 * 3);
    EXPECT_TRUE(HartCodec::PackAscii(text, characters, out));
    return out;
}

std::string Unpack(const std::vector<std::uint8_t>& packed) {
    return HartCodec::UnpackAsciiText(packed);
}

} // namespace

TEST(PackedAscii, LowerCaseIsSentUpperCasedAndPaddedWithSpaces) {
    // "AB" + six spaces: A=0x01, B=0x02, space=0x20.
    const auto packed = Pack("ab", 8);
    EXPECT_EQ(packed, (std::vector<std::uint8_t>{0x04, 0x28, 0x20, 0x82, 0x08, 0x20}));
    EXPECT_EQ(Unpack(packed), "AB");
}

TEST(PackedAscii, TextIsCutToTheFieldLength) {
    EXPECT_EQ(Unpack(Pack("ABCDEFGHIJK", 8)), "ABCDEFGH");
    EXPECT_EQ(Pack("ABCDEFGHIJK", 8).size(), 6u);
}

TEST(PackedAscii, CharactersWithoutPackedFormBecomeOneQuestionMarkEach) {
    // Degree sign (2 bytes), CJK (3 bytes), emoji (4 bytes), a stray
    // continuation byte, a control code and a brace: one '?' each, and the
    // characters after them keep their places.
    EXPECT_EQ(Unpack(Pack("T\u00B0X", 8)), "T?X");
    EXPECT_EQ(Unpack(Pack("\u6E29\u5EA6AB", 8)), "??AB");
    EXPECT_EQ(Unpack(Pack("\U0001F600Z", 8)), "?Z");
    EXPECT_EQ(Unpack(Pack("\x80Q\tR{", 8)), "?Q?R?");
    // A truncated UTF-8 sequence at the end counts byte by byte.
    EXPECT_EQ(Unpack(Pack("A\xE6\xB8", 8)), "A??");
    // Just outside the packable 0x20..0x5F, and its ends.
    EXPECT_EQ(Unpack(Pack("\x1F \x60_", 8)), "? ?_");
}

TEST(PackedAscii, RoundTripOfEveryPackableCharacter) {
    std::string all;
    for (int c = 0x20; c <= 0x5F; ++c) {
        all.push_back(static_cast<char>(c));
    }
    for (std::size_t at = 0; at < all.size(); at += 32) {
        const std::string chunk = all.substr(at, 32);
        std::string expected = chunk;
        expected.erase(expected.find_last_not_of(' ') + 1);
        EXPECT_EQ(Unpack(Pack(chunk, 32)), expected);
    }
}

TEST(PackedAscii, UnpackingZeroBytesGivesFourAtSigns) {
    const std::array<std::uint8_t, 3> zeros{};
    EXPECT_EQ(HartCodec::UnpackAscii(zeros), (std::array<char, 4>{'@', '@', '@', '@'}));
}

TEST(Floats, AreBigEndianIeeeSingle) {
    EXPECT_EQ(HartCodec::FloatToBytes(1.0f), (std::array<std::uint8_t, 4>{0x3F, 0x80, 0, 0}));
    EXPECT_EQ(HartCodec::FloatToBytes(-2.5f), (std::array<std::uint8_t, 4>{0xC0, 0x20, 0, 0}));
    const std::array<std::uint8_t, 4> bytes{0x41, 0xC8, 0x00, 0x00};
    EXPECT_EQ(HartCodec::FloatFromBytes(bytes), 25.0f);
    const std::array<std::uint8_t, 4> nan{0x7F, 0xC0, 0x00, 0x00};
    EXPECT_TRUE(std::isnan(HartCodec::FloatFromBytes(nan)));
}

TEST(Exp256, DecodesKnownValues) {
    auto decode = [](std::array<std::uint8_t, 5> bytes) {
        return HartCodec::Exp256ToDouble(bytes);
    };
    EXPECT_EQ(decode({0, 0, 0, 1, 0}), 1.0);
    EXPECT_EQ(decode({0, 0, 0x80, 1, 0}), 1.5);
    EXPECT_EQ(decode({0, 0, 0, 1, 1}), 256.0);
    EXPECT_EQ(decode({0, 0, 0, 1, 0x7F}), 1.0 / 256); // exponent -1
    EXPECT_EQ(decode({0, 0, 0, 3, 0x81}), -768.0);
    EXPECT_EQ(decode({0, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(decode({0, 0, 0, 1, 0x40}), std::ldexp(1.0, -512)); // exponent -64
}

TEST(Exp256, EncodesKnownValues) {
    using B = std::array<std::uint8_t, 5>;
    EXPECT_EQ(HartCodec::DoubleToExp256(0.0), (B{0, 0, 0, 0, 0}));
    EXPECT_EQ(HartCodec::DoubleToExp256(1.5), (B{0, 0, 0x80, 1, 0}));
    EXPECT_EQ(HartCodec::DoubleToExp256(256.0), (B{0, 0, 0, 1, 1}));
    EXPECT_EQ(HartCodec::DoubleToExp256(-768.0), (B{0, 0, 0, 3, 0x81}));
    EXPECT_EQ(HartCodec::DoubleToExp256(0.5), (B{0, 0, 0, 128, 0x7F}));
    // An exact power of 1/256 keeps a whole part of 1, not 256.
    EXPECT_EQ(HartCodec::DoubleToExp256(1.0 / 256), (B{0, 0, 0, 1, 0x7F}));
    EXPECT_EQ(HartCodec::DoubleToExp256(1.0 / 65536), (B{0, 0, 0, 1, 0x7E}));
}

TEST(Exp256, RoundTripsWithinItsPrecision) {
    for (double x : {3.14159, -0.001, 1e-9, 123456.789, -98765432.1, 0.999, 255.999, 1e20}) {
        const double back = HartCodec::Exp256ToDouble(HartCodec::DoubleToExp256(x));
        EXPECT_NEAR(back, x, std::fabs(x) * 1e-7) << x;
    }
}

TEST(Exp256, NumbersBeyondSevenBitExponentSaturateInsteadOfWrapping) {
    using B = std::array<std::uint8_t, 5>;
    const B largest{0xFF, 0xFF, 0xFF, 0xFF, 63};
    EXPECT_EQ(HartCodec::DoubleToExp256(1e300), largest);
    EXPECT_EQ(HartCodec::DoubleToExp256(INFINITY), largest);
    EXPECT_EQ(HartCodec::DoubleToExp256(-INFINITY), (B{0xFF, 0xFF, 0xFF, 0xFF, 63 | 0x80}));
    EXPECT_EQ(HartCodec::DoubleToExp256(1e-300), (B{}));
    EXPECT_EQ(HartCodec::DoubleToExp256(NAN), (B{}));
    // The largest and smallest exponents still encode.
    EXPECT_EQ(HartCodec::DoubleToExp256(std::ldexp(1.0, 8 * 63)), (B{0, 0, 0, 1, 63}));
    EXPECT_EQ(HartCodec::DoubleToExp256(std::ldexp(1.0, -8 * 64)), (B{0, 0, 0, 1, 0x40}));
}
