#include "hart/UnitTables.h"

#include <gtest/gtest.h>

#include <map>

TEST(UnitTables, EveryKnownCodeRoundTripsExceptWhereTheTwoTablesDisagree) {
    // Texts that read back as another code, or as none.
    const std::map<int, int> differs{{4, 171}, {58, 0}, {163, 0}, {171, 0}};
    int known = 0;
    for (int code = 0; code < 256; ++code) {
        const std::string text = UnitCodeToText(static_cast<std::uint8_t>(code));
        if (text != "?") {
            ++known;
            const auto other = differs.find(code);
            EXPECT_EQ(UnitTextToCode(text), other == differs.end() ? code : other->second)
                << code << " " << text;
        }
    }
    EXPECT_EQ(known, 25);
    EXPECT_EQ(UnitCodeToText(163), "Kohm");
    EXPECT_EQ(UnitTextToCode("KOhm"), 163);
    for (const char* unknown : {"", "kpa", "mv", "mV ", "C"}) {
        EXPECT_EQ(UnitTextToCode(unknown), 0) << unknown;
    }
}
