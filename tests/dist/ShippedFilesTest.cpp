#include "hart/HartMeanings.h"
#include "pages/SensorTable.h"
#include "platform/LanguageCatalog.h"
#include "platform/LanguageText.h"
#include "platform/PrivateProfile.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kSourceDir = CALORA_SOURCE_DIR;
const std::string kBinaryDir = CALORA_BINARY_DIR;
const std::string kLangDir = kSourceDir + "/lang/";

using KeySets = std::map<std::string, std::set<std::string>>;

std::string ReadBytes(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// The runs of digits in text, each followed by a blank (std::regex is avoided:
// GCC 12 warns falsely inside it under the sanitizers).
std::vector<std::string> Numbers(std::string text) {
    std::ranges::replace_if(
        text, [](char c) { return c < '0' || c > '9'; }, ' ');
    std::istringstream runs(text);
    return {std::istream_iterator<std::string>(runs), {}};
}

std::uint32_t Le32(const std::string& bytes, std::size_t offset) {
    const auto byte = [&](int i) { return std::uint32_t{std::uint8_t(bytes.at(offset + i))}; };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

// Every section and key the file names, as written. The reader only answers
// for given keys, so listing them takes this small scan of the text.
KeySets ListKeys(const std::string& path) {
    KeySets keys;
    std::istringstream lines(ReadBytes(path));
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        // The first word of the line; of a key line, the key.
        const auto equals = line.find('=');
        std::string name;
        std::istringstream(line.substr(0, equals)) >> name;
        if (equals == std::string::npos && name.starts_with('[') && name.ends_with(']')) {
            section = name.substr(1, name.size() - 2);
            keys[section];
        } else if (equals != std::string::npos && !name.starts_with(';')) {
            keys[section].insert(name);
        }
    }
    return keys;
}

// The keys the program looks up, section by section: the contract between
// the code and the language files.
constexpr const char* kRequiredKeys = R"(
[Lang] Language [String] strBusy strPortFail strCommunication strOpOK strCommFail strOpFail strReady
strVersion strBreak strFindMeter strTrimCurrent strCurrentErr SpanErr Sen1WireErr Sen2WireErr
SenMatchErr strNOErr strSetZero strSetFull strPVCurve strCurrentCurve strPercentCurve strUnit
strData strTime strFileError [Menu] IDS_MENU_FILE IDM_FILE_EXIT IDS_MENU_Process IDT_ONLINE
IDT_SEARCH IDT_RESET IDT_STOP IDS_MENU_ENV IDS_MENU_PORT IDS_MENU_LANG IDS_MENU_HELP IDM_HELP_ABOUT
[ToolBar] IDT_ONLINE IDT_SEARCH IDT_RESET IDT_PROINF IDT_CONTACT IDT_STOP IDT_OPEN IDT_SAVE
IDT_HisData IDT_ALL IDT_PV IDT_CURRENT IDT_PERCENT IDC_COMBOPERIOD [MainDlg] IDC_TAB1 IDC_TAB2
IDC_TAB3 IDC_TAB4 IDC_TAB5 IDC_STA_INF1 IDC_CMD_GETVARIN IDC_COMBOPERIOD0 IDC_COMBOPERIOD1
IDC_COMBOPERIOD2 IDC_COMBOPERIOD3 IDC_COMBOPERIOD4 IDC_COMBOPERIOD5 IDC_COMBOPERIOD6
IDC_COMBOPERIOD7 IDC_COMBOPERIOD8 [About] IDOK [QXView1] IDC_STA1 IDC_STA2 IDC_StaCap1 IDC_StaCap2
IDC_RADIO8 IDC_cmdSendFixI IDC_cmdExitI IDC_cmdTest1 IDC_cmdTest2 [QXView2] IDC_STA1 IDC_STA2
IDC_STA3 IDC_STA4 IDC_STA5 IDC_STA6 IDC_STA7 IDC_STA8 IDC_STA9 IDC_STA10 IDC_STA11 IDC_STA12
IDC_STA13 IDC_STA14 IDC_STA15 IDC_STA16 IDC_STA17 IDC_RAO_SINGLESENSE IDC_RAO_DOUBLESENSE
IDC_RAO_MODE1 IDC_RAO_MODE2 IDC_RAO_MODE3 IDC_RAO_MODE4 IDC_cmdRead2 IDC_cmdWrite2 IDC_cboOutSense1
IDC_cboOutSense2 IDC_cboDisMode1 IDC_cboDisMode2 IDC_cboDisMode3 IDC_cboDisReo0 IDC_cboDisReo1
IDC_cboDisReo2 IDC_cboDisReo3 IDC_cboWire0 IDC_cboWire1 IDC_cboWire2 [QXView3] IDC_StaCap1
IDC_StaCap2 IDC_StaCap3 IDC_STA1 IDC_STA2 IDC_STA3 IDC_STA4 IDC_STA5 IDC_STA6 [QXView4] strTime
strData strUnit strPVCurve strCurrentCurve strPercentCurve [QXView5] IDC_CALI4MA IDC_CALI20MA)";

KeySets RequiredKeys() {
    KeySets keys;
    std::istringstream words(kRequiredKeys);
    std::string section;
    for (std::string word; words >> word;) {
        if (word.starts_with('[')) {
            section = word.substr(1, word.size() - 2);
        } else {
            keys[section].insert(word);
        }
    }
    for (int i = 0; i < SensorPositionCount; ++i) {
        keys["QXView2"].insert("m_cboSensorType" + std::to_string(i));
    }
    // Why an operation failed: every sentence and meaning the core can say.
    for (const Meaning& meaning : HartMeanings::All()) {
        keys["String"].insert(std::string(meaning.key));
    }
    return keys;
}

// Looks texts up the way the program does, through the language file in use.
std::string Text(std::string_view section, std::string_view key) {
    return LoadLanguageText(section, key);
}

class LanguageFiles : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { CurrentLanguageFile = GetParam(); }
    void TearDown() override { CurrentLanguageFile.clear(); }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFiles,
                         ::testing::Values(kLangDir + "English.ini",
                                           kLangDir + "SimpleChinese.ini"));

TEST_P(LanguageFiles, AreCleanUtf8WithExactlyTheRequiredKeysFilledWholeAndWithTheirPlaceholders) {
    const std::string bytes = ReadBytes(GetParam());
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF")) << "byte-order mark";
    EXPECT_TRUE(TextEncoding::IsValidUtf8(bytes));
    const KeySets required = RequiredKeys();
    EXPECT_EQ(ListKeys(GetParam()), required);
    for (const auto& [section, keys] : required) {
        for (const std::string& key : keys) {
            // Filled, and short enough to be read whole.
            const std::size_t size = Text(section, key).size();
            EXPECT_TRUE(size > 0 && size < PrivateProfile::MaxValueBytes) << section << "/" << key;
        }
    }
    // The trend page takes its first texts from "String", later ones from its own section.
    for (const std::string& key : required.at("QXView4")) {
        EXPECT_EQ(Text("String", key), Text("QXView4", key)) << key;
    }
    // A translation that drops %1 loses the command number from every reason.
    auto placeholders = [](std::string_view text) {
        std::set<char> found;
        for (auto at = text.find('%'); at != text.npos && at + 1 < text.size();
             at = text.find('%', at + 1)) {
            found.insert(text[at + 1]);
        }
        return found;
    };
    for (const Meaning& meaning : HartMeanings::All()) {
        EXPECT_EQ(placeholders(Text("String", meaning.key)), placeholders(meaning.english))
            << meaning.key;
    }
}

TEST_P(LanguageFiles, CombosNameWhatEachPositionSends) {
    // The wire and output-sensor combos sort their items, and the position
    // is what the transmitter receives: 0 = 2-wire ... 2 = 4-wire, 0 = sensor 1.
    for (int i = 0; i < 3; ++i) {
        const std::string wire = Text("QXView2", "IDC_cboWire" + std::to_string(i));
        EXPECT_NE(wire.find(std::to_string(i + 2)), std::string::npos) << wire;
        EXPECT_TRUE(i == 0 || Text("QXView2", "IDC_cboWire" + std::to_string(i - 1)) < wire);
    }
    EXPECT_LT(Text("QXView2", "IDC_cboOutSense1"), Text("QXView2", "IDC_cboOutSense2"));

    // Each sensor-type position names the type that the position's sensor code has
    // in the sensor table: the same numbers, the same metal for resistance
    // thermometers, the same letter for thermocouples.
    SensorTable table;
    table.Build();
    for (int position = 0; position < SensorPositionCount; ++position) {
        const std::string text = Text("QXView2", "m_cboSensorType" + std::to_string(position));
        const SensorInfo* info = table.SensorInfoOfCode(SensorCodeOfPosition(position));
        ASSERT_NE(info, nullptr);
        SCOPED_TRACE(text + " for " + info->name);
        EXPECT_EQ(Numbers(text), Numbers(info->name));
        if (info->name.starts_with("Type ")) {
            EXPECT_NE((" " + text + " ").find(" " + info->name.substr(5) + " "), std::string::npos);
        } else if (std::isalpha(static_cast<unsigned char>(info->name[0]))) {
            EXPECT_EQ(strncasecmp(text.c_str(), info->name.c_str(), 2), 0);
        }
    }
}

TEST(ShippedFiles, NameTheProductAndTheLanguagesAndHoldALogoThatFitsBesideTheValuePanel) {
    EXPECT_EQ(PrivateProfile::ReadString(kSourceDir + "/dist/qxrfw.dat", "SoftInf", "Name"),
              "Calora");
    // The first language file in name order is the default; "Simple Chinese",
    // exactly, switches the Celsius sign to the full-width one.
    std::vector<std::string> names;
    for (const LanguageCatalog::Entry& language : LanguageCatalog::Discover(kLangDir)) {
        names.push_back(language.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"English", "Simple Chinese"}));

    // The logo is a bitmap of the file's size, with an info header of 40
    // bytes, one plane of 24 bits a pixel and no compression.
    const std::string bmp = ReadBytes(kSourceDir + "/dist/vrn.dak");
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ((std::array{Le32(bmp, 2), Le32(bmp, 14), Le32(bmp, 26), Le32(bmp, 30)}),
              (std::array{static_cast<std::uint32_t>(bmp.size()), 40u, 1u | (24u << 16), 0u}));
    // Room right of the value panel: about 130 x 40 dialog units.
    const std::uint32_t width = Le32(bmp, 18);
    const std::uint32_t height = Le32(bmp, 22);
    EXPECT_TRUE(width > 100 && width <= 240 && height > 20 && height <= 60)
        << width << "x" << height;
    // Rows of three bytes a pixel, padded to four bytes, all present.
    const std::uint32_t pixels = Le32(bmp, 10);
    EXPECT_EQ(pixels + (width * 3 + 3) / 4 * 4 * height, bmp.size());
}

TEST(ShippedFiles, AreCopiedBesideThePrograms) {
    for (const std::string name :
         {"lang/English.ini", "lang/SimpleChinese.ini", "dist/qxrfw.dat", "dist/vrn.dak"}) {
        const std::string source = ReadBytes(kSourceDir + "/" + name);
        const std::string file = name.substr(name.find('/') + 1);
        ASSERT_FALSE(source.empty()) << name;
        EXPECT_EQ(ReadBytes(kBinaryDir + "/shell/" + file), source) << name;
        EXPECT_TRUE(name.starts_with("dist") || ReadBytes(kBinaryDir + "/cli/" + file) == source)
            << name;
    }
}
