#include "cli/MessageText.h"
#include "platform/LanguageText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class MessageTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() / ("calora-cli-lang-" + std::to_string(getpid()));
        fs::create_directories(m_Dir);
    }
    void TearDown() override {
        CurrentLanguageFile.clear();
        fs::remove_all(m_Dir);
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(m_Dir / name) << text;
    }

    fs::path m_Dir;
};

} // namespace

TEST_F(MessageTextTest, MessagesComeFromTheFileElseBuiltInEnglish) {
    EXPECT_NE(MessageText::Get("strCommFail"), "strCommFail");
    Write("b.ini", "[Lang]\nLanguage=Basque\n[String]\nstrOpOK=Ondo\nstrCommFail=\n"
                   "strRcBusy=lanpetuta\n");
    CurrentLanguageFile = (m_Dir / "b.ini").string();
    EXPECT_EQ(MessageText::Get("strOpOK"), "Ondo");
    EXPECT_EQ(MessageText::Of({"strRcBusy", "busy"}), "lanpetuta");
    EXPECT_EQ(MessageText::Of({"strRcTooLarge", "parameter too large"}), "parameter too large");
    EXPECT_EQ(MessageText::Get("strCommFail"), MessageText::English("strCommFail"));
    for (const char* key :
         {"strBusy", "strPortFail", "strCommunication", "strOpFail", "strFindMeter", "strBreak"}) {
        EXPECT_FALSE(MessageText::Get(key).empty()) << key;
        EXPECT_NE(MessageText::Get(key), key) << key;
    }
}
