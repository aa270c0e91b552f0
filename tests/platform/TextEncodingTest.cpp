#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

const std::string WenDuGbk = "\xCE\xC2\xB6\xC8"; // "温度"
const std::string Fffd = "\uFFFD";

TEST(TextEncoding, ValidUtf8AcceptsEveryLengthAndRejectsMalformedForms) {
    EXPECT_TRUE(TextEncoding::IsValidUtf8("Ohm \u00B0C \u2103 \U0001F600"));
    for (const char* bad : {"\x80", "a\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF5\x80\x80\x80", "\xE2\x84", "\xE2\x84x", "\xFF"}) {
        EXPECT_FALSE(TextEncoding::IsValidUtf8(bad)) << bad;
    }
}

TEST(TextEncoding, ConvertsBothWaysAtAnyLengthAndReplacesWhatCannotBeConverted) {
    EXPECT_EQ(TextEncoding::GbkToUtf8(WenDuGbk + "K\xA1\xE6\x80"), "温度K\u2103\u20AC");
    EXPECT_EQ(TextEncoding::Utf8ToGbk("温度K\u00B0"), WenDuGbk + "K\xA1\xE3");
    EXPECT_EQ(TextEncoding::GbkToUtf8("a\xFF|ab\xCE"), "a" + Fffd + "|ab" + Fffd);
    // A lead byte before a byte that cannot be a trail loses only itself; an
    // unmapped pair is one character.
    EXPECT_EQ(TextEncoding::GbkToUtf8("\x81 x\xAA\xA1Z"), Fffd + " x" + Fffd + "Z");
    EXPECT_EQ(TextEncoding::Utf8ToGbk("a\U0001F600b\xFF|\xE6\xB8"), "a?b?|??");

    // Long text converts without loss across buffer boundaries.
    std::string utf8 = "x";
    for (int i = 0; i < 1500; ++i) {
        utf8 += "温";
    }
    const std::string gbk = TextEncoding::Utf8ToGbk(utf8);
    EXPECT_EQ(gbk.size(), 1u + 2 * 1500);
    EXPECT_EQ(TextEncoding::GbkToUtf8(gbk), utf8);
}

TEST(TextEncoding, CutsKeepWholeCharacters) {
    const std::string utf8 = "a温\U0001F600"; // 1 + 3 + 4 bytes
    EXPECT_EQ(TextEncoding::CutUtf8(utf8, 100), utf8);
    EXPECT_EQ(TextEncoding::CutUtf8(utf8, 0), "");
    EXPECT_EQ(TextEncoding::CutUtf8(utf8, 3), "a");
    EXPECT_EQ(TextEncoding::CutUtf8(utf8, 7), "a温");
    // Stray continuation bytes are not part of a character to protect.
    EXPECT_EQ(TextEncoding::CutUtf8("a\x80\x80\x80\x80\x80", 4).size(), 4u);

    EXPECT_EQ(TextEncoding::CutGbk("a" + WenDuGbk, 4), "a\xCE\xC2");
    // Trail bytes that look like lead bytes: only counting from the start
    // tells where the characters are.
    EXPECT_EQ(TextEncoding::CutGbk("\xCE\xCE\xCE\xCE\xCE", 3), "\xCE\xCE");
    EXPECT_EQ(TextEncoding::CutGbk("x\xCE\xCE\xCE\xCE", 4), "x\xCE\xCE");
}
