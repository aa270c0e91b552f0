#include "cli/MessageText.h"
#include "platform/LanguageText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

TEST(MessageText, MessagesComeFromTheFileElseBuiltInEnglish) {
    const auto path =
        std::filesystem::temp_directory_path() / ("calora-cli-lang-" + std::to_string(getpid()));
    std::ofstream(path) << "[Lang]\nLanguage=Basque\n[String]\nstrOpOK=Ondo\nstrCommFail=\n"
                           "strRcBusy=lanpetuta\n";
    CurrentLanguageFile = path.string();
    EXPECT_EQ(MessageText::Get("strOpOK"), "Ondo");
    EXPECT_EQ(MessageText::Of({"strRcBusy", "busy"}), "lanpetuta");
    EXPECT_EQ(MessageText::Of({"strRcTooLarge", "parameter too large"}), "parameter too large");
    // strCommFail is empty in the file: the built-in English stands in.
    for (const char* key : {"strCommFail", "strBusy", "strPortFail", "strCommunication",
                            "strOpFail", "strFindMeter", "strBreak"}) {
        EXPECT_NE(MessageText::Get(key), key) << key;
        EXPECT_FALSE(MessageText::Get(key).empty()) << key;
    }
    CurrentLanguageFile.clear();
    std::filesystem::remove(path);
}
