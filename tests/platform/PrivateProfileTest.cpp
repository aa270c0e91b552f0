#include "platform/PrivateProfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "calora-profile-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_directory = pattern;
        m_path = (m_directory / "lang.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_directory); }

    void Write(const std::string& bytes) {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string Read(std::string_view section, std::string_view key) {
        return PrivateProfile::ReadString(m_path, section, key);
    }

    std::filesystem::path m_directory;
    std::string m_path;
};

TEST_F(PrivateProfileTest, Utf8FileRulesWithAndWithoutByteOrderMark) {
    for (const std::string& bom : {std::string(), std::string("\xEF\xBB\xBF")}) {
        Write(bom + "[String]\r\nstrBusy=Busy\r\n  StrOpOK \t=\t Done  now \rstrEmpty=\n"
                    "no equals sign\nstrTwice=first=1\nstrTwice=second\n;strHidden=x\n"
                    "strQuoted= \"\"Version: \"\" \nstrHalf=\"open\nstrQuote=\"\n"
                    "[ MainDlg ]\nIDC_GET=Read\n[string]\nstrBusy=later\nstrLate=温度\n");
        // One surrounding pair of double quotes goes, and with it a value
        // can keep its blanks.
        EXPECT_EQ(Read("String", "strQuoted"), "\"Version: \"");
        EXPECT_EQ(Read("String", "strHalf"), "\"open");
        EXPECT_EQ(Read("String", "strQuote"), "\"");
        EXPECT_EQ(Read("STRING", "STRBUSY"), "Busy");
        EXPECT_EQ(Read("String", "stropok"), "Done  now");
        EXPECT_EQ(Read("String", "strTwice"), "first=1");
        EXPECT_EQ(Read("String", "strLate"), "温度");
        EXPECT_EQ(Read("mainDLG", "idc_get"), "Read");
        for (const char* missing : {"strEmpty", "strHidden", "no equals sign", "IDC_GET", ""}) {
            EXPECT_EQ(Read("String", missing), "") << missing;
        }
        EXPECT_EQ(Read("Menu", "strBusy"), "");
    }
    EXPECT_EQ(PrivateProfile::ReadString(m_directory.string(), "String", "strBusy"), "");
    std::filesystem::remove(m_path);
    EXPECT_EQ(Read("String", "strBusy"), "");
}

TEST_F(PrivateProfileTest, GbkFileIsConvertedAndMatchedByWholeCharacters) {
    // "Language=温度" and "语=温" in [Lang]; then a section "乚" whose trail
    // byte is ']', with a key "丄" that differs from "乤" only in a trail
    // byte 'A' / 'a'.
    Write("[Lang]\r\nLanguage=\xCE\xC2\xB6\xC8\r\n\xD3\xEF=\xCE\xC2\r\n"
          "[\x81\x5D]\r\n\x81\x41=upper\r\n");
    EXPECT_EQ(Read("lang", "LANGUAGE"), "温度");
    EXPECT_EQ(Read("Lang", "语"), "温");
    EXPECT_EQ(Read("乚", "丄"), "upper");
    EXPECT_EQ(Read("乚", "乤"), "");
    EXPECT_EQ(Read("Lang", "\U0001F600"), "");
}

TEST_F(PrivateProfileTest, LongValuesAreCutTo255BytesOfTheFile) {
    const std::string ascii(300, 'a');
    Write("[S]\nascii=" + ascii + "\nutf8=" + std::string(254, 'b') + "温\n");
    EXPECT_EQ(Read("S", "ascii"), ascii.substr(0, 255));
    EXPECT_EQ(Read("S", "utf8"), std::string(254, 'b'));

    // In a GBK file the budget counts GBK bytes: 127 characters of two bytes,
    // which become 381 bytes of UTF-8.
    std::string wide;
    std::string expected;
    for (int i = 0; i < 150; ++i) {
        wide += "\xCE\xC2";
        expected += i < 127 ? "温" : "";
    }
    Write("[S]\nwide=" + wide + "\nodd=x" + wide + "\n");
    EXPECT_EQ(Read("S", "wide"), expected);
    EXPECT_EQ(Read("S", "odd"), "x" + expected);
}
