#include "hart/UnitTables.h"

#include <gtest/gtest.h>

namespace {

class UnitTables : public ::testing::Test {
protected:
    void TearDown() override { ChineseUnitsFlag = false; }
};

} // namespace

TEST_F(UnitTables, TheTwoTablesAreNotInversesOfEachOther) {
    EXPECT_EQ(UnitCodeToText(4), "mmH2O");
    EXPECT_EQ(UnitTextToCode("mmH2O"), 171);
    EXPECT_EQ(UnitCodeToText(171), "mH2O");
    EXPECT_EQ(UnitTextToCode("mH2O"), 0);
    EXPECT_EQ(UnitCodeToText(163), "Kohm");
    EXPECT_EQ(UnitTextToCode("Kohm"), 0);
    EXPECT_EQ(UnitTextToCode("KOhm"), 163);
    EXPECT_EQ(UnitCodeToText(58), "V");
    EXPECT_EQ(UnitTextToCode("V"), 0);
}

TEST_F(UnitTables, CelsiusFollowsTheLanguageAndBothTextsWriteBack) {
    EXPECT_EQ(UnitCodeToText(32), "\u00B0C");
    ChineseUnitsFlag = true;
    EXPECT_EQ(UnitCodeToText(32), "\u2103");
    EXPECT_EQ(CelsiusText(), "\u2103");
    EXPECT_EQ(UnitTextToCode("\u00B0C"), 32);
    EXPECT_EQ(UnitTextToCode("\u2103"), 32);
    EXPECT_EQ(UnitTextToCode("C"), 0);
}

TEST_F(UnitTables, EveryKnownCodeRoundTripsExceptTheDocumentedOnes) {
    int known = 0;
    for (int code = 0; code < 256; ++code) {
        const std::string text = UnitCodeToText(static_cast<std::uint8_t>(code));
        if (text == "?") {
            continue;
        }
        ++known;
        const int back = UnitTextToCode(text);
        if (code == 4 || code == 163 || code == 171 || code == 58) {
            EXPECT_NE(back, code) << code;
        } else {
            EXPECT_EQ(back, code) << code << " " << text;
        }
    }
    EXPECT_EQ(known, 25);
}

TEST_F(UnitTables, UnknownCodesAndTextsAndCaseDifferences) {
    for (int code : {0, 1, 2, 3, 238, 255}) {
        EXPECT_EQ(UnitCodeToText(static_cast<std::uint8_t>(code)), "?") << code;
    }
    EXPECT_EQ(UnitTextToCode(""), 0);
    EXPECT_EQ(UnitTextToCode("kpa"), 0);
    EXPECT_EQ(UnitTextToCode("mv"), 0);
    EXPECT_EQ(UnitTextToCode("mV "), 0);
}
