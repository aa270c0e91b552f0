#include "pages/SensorTable.h"
#include "platform/LanguageText.h"
#include "platform/PrivateProfile.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kLangDir = std::string(CALORA_SOURCE_DIR) + "/lang/";
const std::string kEnglish = kLangDir + "English.ini";
const std::string kChinese = kLangDir + "SimpleChinese.ini";

using KeySets = std::map<std::string, std::set<std::string>>;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Every section and key the file names, as written. The reader only answers
// for given keys, so listing them takes this small scan of the text.
KeySets ListKeys(const std::string& path) {
    KeySets keys;
    std::istringstream lines(ReadBytes(path));
    std::string line;
    std::string section;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            keys[section];
        } else if (const auto equals = line.find('='); equals != std::string::npos) {
            keys[section].insert(Trim(line.substr(0, equals)));
        }
    }
    return keys;
}

// The keys the program looks up: the contract between the code and the
// language files.
KeySets RequiredKeys() {
    KeySets keys;
    keys["Lang"] = {"Language"};
    keys["String"] = {"strBusy",         "strPortFail",     "strCommunication", "strOpOK",
                      "strCommFail",     "strOpFail",       "strReady",         "strVersion",
                      "strBreak",        "strFindMeter",    "strTrimCurrent",   "strCurrentErr",
                      "SpanErr",         "Sen1WireErr",     "Sen2WireErr",      "SenMatchErr",
                      "strNOErr",        "strSetZero",      "strSetFull",       "strPVCurve",
                      "strCurrentCurve", "strPercentCurve", "strUnit",          "strData",
                      "strTime",         "strFileError"};
    keys["Menu"] = {"IDS_MENU_FILE", "IDM_FILE_EXIT", "IDS_MENU_Process", "IDT_ONLINE",
                    "IDT_SEARCH",    "IDT_RESET",     "IDT_STOP",         "IDS_MENU_ENV",
                    "IDS_MENU_PORT", "IDS_MENU_LANG", "IDS_MENU_HELP",    "IDM_HELP_ABOUT"};
    keys["ToolBar"] = {"IDT_ONLINE", "IDT_SEARCH",  "IDT_RESET",   "IDT_PROINF",     "IDT_CONTACT",
                       "IDT_STOP",   "IDT_OPEN",    "IDT_SAVE",    "IDT_HisData",    "IDT_ALL",
                       "IDT_PV",     "IDT_CURRENT", "IDT_PERCENT", "IDC_COMBOPERIOD"};
    keys["MainDlg"] = {"IDC_TAB1", "IDC_TAB2",     "IDC_TAB3",        "IDC_TAB4",
                       "IDC_TAB5", "IDC_STA_INF1", "IDC_CMD_GETVARIN"};
    for (int i = 0; i <= 8; ++i) {
        keys["MainDlg"].insert("IDC_COMBOPERIOD" + std::to_string(i));
    }
    keys["About"] = {"IDOK"};
    keys["QXView1"] = {"IDC_STA1",     "IDC_STA2",     "IDC_StaCap1",
                       "IDC_StaCap2",  "IDC_RADIO8",   "IDC_cmdSendFixI",
                       "IDC_cmdExitI", "IDC_cmdTest1", "IDC_cmdTest2"};
    auto& sensor = keys["QXView2"];
    for (int i = 1; i <= 17; ++i) {
        sensor.insert("IDC_STA" + std::to_string(i));
    }
    sensor.insert(
        {"IDC_RAO_SINGLESENSE", "IDC_RAO_DOUBLESENSE", "IDC_RAO_MODE1",   "IDC_RAO_MODE2",
         "IDC_RAO_MODE3",       "IDC_RAO_MODE4",       "IDC_cmdRead2",    "IDC_cmdWrite2",
         "IDC_cboOutSense1",    "IDC_cboOutSense2",    "IDC_cboDisMode1", "IDC_cboDisMode2",
         "IDC_cboDisMode3",     "IDC_cboDisReo0",      "IDC_cboDisReo1",  "IDC_cboDisReo2",
         "IDC_cboDisReo3",      "IDC_cboWire0",        "IDC_cboWire1",    "IDC_cboWire2"});
    for (int i = 0; i < SensorPositionCount; ++i) {
        sensor.insert("m_cboSensorType" + std::to_string(i));
    }
    keys["QXView3"] = {"IDC_StaCap1", "IDC_StaCap2", "IDC_StaCap3", "IDC_STA1", "IDC_STA2",
                       "IDC_STA3",    "IDC_STA4",    "IDC_STA5",    "IDC_STA6"};
    keys["QXView4"] = {"strTime",    "strData",         "strUnit",
                       "strPVCurve", "strCurrentCurve", "strPercentCurve"};
    keys["QXView5"] = {"IDC_CALI4MA", "IDC_CALI20MA"};
    return keys;
}

std::size_t CountCharacters(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Looks texts up the way the program does, through the language file in use.
class LanguageFiles : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { CurrentLanguageFile = GetParam(); }
    void TearDown() override { CurrentLanguageFile.clear(); }

    static std::string Text(const std::string& section, const std::string& key) {
        return LoadLanguageText(section, key);
    }
};

std::string FileName(const ::testing::TestParamInfo<std::string>& info) {
    return std::filesystem::path(info.param).stem().string();
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFiles, ::testing::Values(kEnglish, kChinese), FileName);

TEST_P(LanguageFiles, HaveExactlyTheKeysTheProgramLooksUpAllFilled) {
    const KeySets required = RequiredKeys();
    const KeySets present = ListKeys(GetParam());
    EXPECT_EQ(present, required);
    for (const auto& [section, keys] : required) {
        for (const std::string& key : keys) {
            EXPECT_FALSE(Text(section, key).empty()) << "[" << section << "] " << key;
        }
    }
}

TEST_P(LanguageFiles, AreCleanUtf8WithEveryValueWhole) {
    const std::string bytes = ReadBytes(GetParam());
    ASSERT_FALSE(bytes.empty());
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF")) << "byte-order mark";
    EXPECT_TRUE(TextEncoding::IsValidUtf8(bytes));
    for (const auto& [section, keys] : ListKeys(GetParam())) {
        for (const std::string& key : keys) {
            // Longer values would be cut on reading.
            EXPECT_LT(PrivateProfile::ReadString(GetParam(), section, key).size(),
                      PrivateProfile::MaxValueBytes)
                << "[" << section << "] " << key;
        }
    }
}

TEST_P(LanguageFiles, TooltipsFitTheTooltipBuffer) {
    const KeySets required = RequiredKeys();
    for (const std::string& key : required.at("ToolBar")) {
        EXPECT_LE(CountCharacters(Text("ToolBar", key)), 79u) << key;
    }
}

TEST_P(LanguageFiles, TextsJoinedWithOtherTextReadWell) {
    // The About box title is this text, a blank and the product name, so it
    // carries no access-key marker.
    EXPECT_EQ(Text("Menu", "IDM_HELP_ABOUT").find('&'), std::string::npos);
    // The version text ("V1.01") follows directly: the head must end in a
    // separator that survives the dropping of blanks, not in a plain ASCII
    // character that the version would run into.
    const std::string version = LoadLanguageText("strVersion");
    ASSERT_FALSE(version.empty());
    EXPECT_GE(static_cast<unsigned char>(version.back()), 0x80) << version;
    // The search report appends " 0, 3": the head ends in a colon.
    const std::string found = LoadLanguageText("strFindMeter");
    EXPECT_TRUE(found.ends_with(":") || found.ends_with("：")) << found;
}

TEST_P(LanguageFiles, SortedCombosKeepTheirKeyOrder) {
    // The wire and output-sensor combos sort their items, and the position
    // is what the transmitter receives: 0 = 2-wire ... 2 = 4-wire, 0 = sensor 1.
    const std::string wire0 = Text("QXView2", "IDC_cboWire0");
    const std::string wire1 = Text("QXView2", "IDC_cboWire1");
    const std::string wire2 = Text("QXView2", "IDC_cboWire2");
    EXPECT_LT(wire0, wire1);
    EXPECT_LT(wire1, wire2);
    EXPECT_NE(wire0.find('2'), std::string::npos);
    EXPECT_NE(wire1.find('3'), std::string::npos);
    EXPECT_NE(wire2.find('4'), std::string::npos);
    EXPECT_LT(Text("QXView2", "IDC_cboOutSense1"), Text("QXView2", "IDC_cboOutSense2"));
}

TEST_P(LanguageFiles, PeriodEntriesFollowTheSamplingPeriods) {
    // 2, 4, 8, 30 seconds, then 1, 2, 5, 10, 30 minutes.
    const int numbers[] = {2, 4, 8, 30, 1, 2, 5, 10, 30};
    std::set<std::string> secondUnits;
    std::set<std::string> minuteUnits;
    for (int i = 0; i <= 8; ++i) {
        const std::string text = Text("MainDlg", "IDC_COMBOPERIOD" + std::to_string(i));
        char* end = nullptr;
        EXPECT_EQ(std::strtol(text.c_str(), &end, 10), numbers[i]) << text;
        (i < 4 ? secondUnits : minuteUnits).insert(Trim(end));
    }
    EXPECT_EQ(secondUnits.size(), 1u);
    EXPECT_EQ(minuteUnits.size(), 1u);
    EXPECT_NE(secondUnits, minuteUnits);
}

TEST_P(LanguageFiles, SensorNamesFollowTheComboMapping) {
    // Each combo position names the type that the position's sensor code
    // has in the sensor table: the same numbers, the same metal for the
    // resistance thermometers, the same letter for the thermocouples.
    SensorTable table;
    table.Build();
    auto digits = [](const std::string& text) {
        std::vector<std::string> runs;
        std::string run;
        for (char c : text + " ") {
            if (std::isdigit(static_cast<unsigned char>(c))) {
                run += c;
            } else if (!run.empty()) {
                runs.push_back(run);
                run.clear();
            }
        }
        return runs;
    };
    auto upper = [](std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return text;
    };
    std::set<std::string> names;
    for (int position = 0; position < SensorPositionCount; ++position) {
        const std::string text = Text("QXView2", "m_cboSensorType" + std::to_string(position));
        const SensorInfo* info = table.SensorInfoOfCode(SensorCodeOfPosition(position));
        ASSERT_NE(info, nullptr);
        SCOPED_TRACE(text + " for " + info->name);
        names.insert(text);
        EXPECT_EQ(digits(text), digits(info->name));
        if (info->name.starts_with("Type ")) {
            const std::string letter = info->name.substr(5);
            const std::string spaced = " " + text + " ";
            EXPECT_NE(spaced.find(" " + letter + " "), std::string::npos);
        } else if (std::isalpha(static_cast<unsigned char>(info->name[0]))) {
            EXPECT_TRUE(upper(text).starts_with(upper(info->name.substr(0, 2))));
        } else {
            const bool millivolt =
                SensorClassOfCode(SensorCodeOfPosition(position)) == SensorClass::Millivolt;
            EXPECT_EQ(text.find("mV") != std::string::npos, millivolt);
            EXPECT_EQ(text.starts_with("-"), info->name.starts_with("-"));
        }
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(SensorPositionCount));
}

TEST(LanguageFileSet, BothFilesHaveTheSameSectionsAndKeys) {
    EXPECT_EQ(ListKeys(kEnglish), ListKeys(kChinese));
}

TEST(LanguageFileSet, DisplayNamesAndTheDefaultLanguage) {
    EXPECT_EQ(PrivateProfile::ReadString(kEnglish, "Lang", "Language"), "English");
    // This exact name switches the Celsius sign to the full-width one.
    EXPECT_EQ(PrivateProfile::ReadString(kChinese, "Lang", "Language"), "Simple Chinese");
    // The first language file in name order is the default.
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(kLangDir)) {
        if (entry.path().extension() == ".ini") {
            files.push_back(entry.path().filename().string());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.front(), "English.ini");
}

TEST(LanguageFileSet, ChineseTextsConvertToGbkAndBack) {
    // So the file can also be shipped in the code page of Chinese systems.
    for (const auto& [section, keys] : ListKeys(kChinese)) {
        for (const std::string& key : keys) {
            const std::string text = PrivateProfile::ReadString(kChinese, section, key);
            EXPECT_EQ(TextEncoding::GbkToUtf8(TextEncoding::Utf8ToGbk(text)), text)
                << "[" << section << "] " << key;
        }
    }
}

TEST(LanguageFileSet, TrendTextsAgreeBetweenTheirTwoSections) {
    // The trend page takes its first texts from "String" and later ones from
    // its own section; a relabelling must not change them.
    const KeySets required = RequiredKeys();
    for (const std::string& path : {kEnglish, kChinese}) {
        for (const std::string& key : required.at("QXView4")) {
            EXPECT_EQ(PrivateProfile::ReadString(path, "String", key),
                      PrivateProfile::ReadString(path, "QXView4", key))
                << path << " " << key;
        }
    }
}
