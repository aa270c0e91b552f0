// The main window on a simulated line in virtual time: process commands,
// search, stop, busy refusal, tab switch, languages, ports and title.
#include "shell/MainDialog.h"
#include "controls/ColorLabel.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "hart/UnitTables.h"
#include "shell/AboutDialog.h"
#include "shell/InfoPage.h"
#include "shell/Settings.h"
#include "shell/TemplatePage.h"
#include "tests/hart/EngineFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHelpEvent>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QToolBar>
#include <QToolTip>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;

// Transmitters on the fake line, answering like the real ones.
void AnswerAsTransmitters(FakeLink& link, std::set<int> addresses) {
    link.m_OnWrite = [&link, addresses](const std::vector<std::uint8_t>& frame, std::size_t) {
        AnswerSpec spec;
        if (frame[10] == 0x02) {
            const int address = frame[11] & 0x0F;
            if (addresses.count(address) == 0) {
                return;
            }
            spec.command = 0;
            spec.longAddress = false;
            spec.shortAddress = frame[11];
            spec.data = {254, 0x26, 4, 5, 5, 1, 1, 1, 0, 1, 2, static_cast<std::uint8_t>(address)};
        } else {
            spec.command = frame[16];
            switch (spec.command) {
            case 1:
                spec.data = Join({{32}, Float(22.0f)});
                break;
            case 2:
                spec.data = Join({Float(12.0f), Float(50.0f)});
                break;
            case 162:
                spec.data = {1, 0, 3, 0, 0, 0, 0};
                break;
            default:
                break;
            }
        }
        link.Receive(MakeAnswer(spec), 200);
    };
}

// Also records the addresses the window asks the desktop to open.
class AddressPrompt : public RecordingPrompt {
public:
    void OpenAddress(const std::string& address) override { m_Opened.push_back(address); }
    std::vector<std::string> m_Opened;
};

QAction* TrendButton(MainDialog& window, int id) {
    for (QAction* action : window.ToolBar()->actions()) {
        if (action->data().toInt() == id) {
            return action;
        }
    }
    ADD_FAILURE() << "no toolbar button " << id;
    return window.ToolBar()->actions().front();
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_Folder = fs::path(::testing::TempDir()) /
                   ("calora_main_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_Folder);
        fs::create_directories(m_Folder / "program");
        fs::create_directories(m_Folder / "settings");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((m_Folder / "settings").string()));
        BusyFlag = false;
        CancelFlag = false;
        CurrentLanguageFile.clear();
        ChineseUnitsFlag = false;
        m_Protocol.SetLinkOpener(
            [this](int port, SerialLink::BytesCallback onBytes) -> std::unique_ptr<SerialLink> {
                if (m_OpenablePorts.count(port) == 0) {
                    return nullptr;
                }
                auto link = std::make_unique<FakeLink>(m_Clock, std::move(onBytes));
                AnswerAsTransmitters(*link, m_Devices);
                m_pLink = link.get();
                return link;
            });
    }

    void TearDown() override {
        m_pWindow.reset();
        CurrentLanguageFile.clear();
        ChineseUnitsFlag = false;
        fs::remove_all(m_Folder);
    }

    void ShipLanguages() {
        for (const char* file : {"English.ini", "SimpleChinese.ini"}) {
            fs::copy_file(fs::path(CALORA_SOURCE_DIR) / "lang" / file, Program() / file);
        }
    }
    void ShipInfoFile() {
        fs::copy_file(fs::path(CALORA_SOURCE_DIR) / "dist" / "qxrfw.dat", Program() / "qxrfw.dat");
    }
    fs::path Program() const { return m_Folder / "program"; }

    MainDialog& Open() {
        m_pWindow = std::make_unique<MainDialog>(m_Protocol, Program().string() + "/");
        m_pWindow->show();
        return *m_pWindow;
    }

    std::string Text(const char* key) const { return LoadLanguageText(key); }
    static std::string Of(const QString& text) { return text.toStdString(); }

    VirtualClock m_Clock;
    AddressPrompt m_Prompt;
    HartProtocol m_Protocol;
    FakeLink* m_pLink = nullptr;
    std::set<int> m_OpenablePorts{2, 5};
    std::set<int> m_Devices{0};
    fs::path m_Folder;
    std::unique_ptr<MainDialog> m_pWindow;
};

} // namespace

TEST_F(MainWindow, GetFillsTheThreeValueLabels) {
    ShipLanguages();
    MainDialog& window = Open();
    window.OnCommand(1005);
    EXPECT_EQ(Of(window.StatusText(0)), Text("strCommunication"));
    m_Clock.RunFor(10000);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "22.000  °C");
    EXPECT_EQ(Of(window.CurrentLabel()->Text()), "12.000");
    EXPECT_EQ(Of(window.PercentLabel()->Text()), "50.000");
    EXPECT_EQ(Of(window.StatusText(0)), Text("strOpOK"));
    EXPECT_FALSE(Text("strOpOK").empty());
    EXPECT_TRUE(m_Prompt.m_Shown.empty());
}

TEST_F(MainWindow, SearchListsEveryAddressThatAnswered) {
    ShipLanguages();
    ShipInfoFile();
    m_Devices = {0, 3};
    MainDialog& window = Open();
    window.OnCommand(32773);
    m_Clock.RunFor(200000);
    QComboBox* combo = window.Info()->AddressCombo();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(Of(combo->itemText(0)), "0");
    EXPECT_EQ(Of(combo->itemText(1)), "3");
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, Text("strFindMeter") + " 0, 3");
    EXPECT_EQ(m_Prompt.m_Shown[0].caption, "Calora");
    EXPECT_EQ(m_Protocol.Device().pollingAddress, 0);
    EXPECT_FALSE(BusyFlag);
}

TEST_F(MainWindow, StopDuringASearchAbandonsItWithoutAReport) {
    ShipLanguages();
    MainDialog& window = Open();
    window.OnCommand(32773);
    m_Clock.RunFor(1500);
    window.OnCommand(32776);
    EXPECT_EQ(Of(window.StatusText(0)), Text("strBreak"));
    m_Clock.RunFor(200000);
    EXPECT_TRUE(m_Prompt.m_Shown.empty());
    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(window.Mode(), 0);
}

TEST_F(MainWindow, SecondCommandWhileBusyIsRefusedAndTheFirstFinishes) {
    ShipLanguages();
    MainDialog& window = Open();
    window.OnCommand(1005);
    m_Clock.RunFor(300);
    window.OnCommand(32772);
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, Text("strBusy"));
    m_Clock.RunFor(10000);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "22.000  °C");
}

TEST_F(MainWindow, ProductInformationShowsTheVersion) {
    ShipLanguages();
    MainDialog& window = Open();
    window.OnCommand(32777);
    m_Clock.RunFor(10000);
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, Text("strVersion") + "V1.03");
    EXPECT_EQ(m_Prompt.m_Shown[0].caption, "HART");
}

TEST_F(MainWindow, TabSwitchWhileIdleClosesThePortAndShowsTheTrendToolsOnlyOnTheTrendTab) {
    ShipLanguages();
    MainDialog& window = Open();
    window.OnCommand(32772);
    m_Clock.RunFor(10000);
    ASSERT_TRUE(m_Protocol.IsOpen());
    window.Info()->AddressCombo()->setEditText(QStringLiteral("7"));
    window.SwitchTab(4);
    EXPECT_FALSE(m_Protocol.IsOpen());
    EXPECT_EQ(m_Protocol.Device().pollingAddress, 7);
    EXPECT_TRUE(window.Page(3)->isVisible());
    EXPECT_TRUE(window.PeriodAction()->isVisible());
    EXPECT_TRUE(TrendButton(window, 31005)->isVisible());
    window.SwitchTab(3);
    EXPECT_TRUE(window.Page(4)->isVisible());
    EXPECT_FALSE(window.Page(3)->isVisible());
    EXPECT_FALSE(window.PeriodAction()->isVisible());
    EXPECT_FALSE(TrendButton(window, 31005)->isVisible());
    EXPECT_TRUE(TrendButton(window, 32776)->isVisible());
}

TEST_F(MainWindow, ChineseSwapsTheDegreeSignAndRelabels) {
    ShipLanguages();
    MainDialog& window = Open();
    ASSERT_EQ(window.Languages().size(), 2u);
    EXPECT_EQ(window.Languages()[0].name, "English");
    EXPECT_EQ(Of(window.PvLabel()->Text()), "0.0  °C");
    window.OnCommand(32798);
    EXPECT_TRUE(ChineseUnitsFlag);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "0.0  ℃");
    EXPECT_EQ(Settings::ReadString("Language"), "Simple Chinese");
    auto* tabs = window.findChild<QTabBar*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(Of(tabs->tabText(0)), LoadLanguageText("MainDlg", "IDC_TAB1"));
    EXPECT_EQ(Of(window.PeriodCombo()->itemText(0)),
              LoadLanguageText("MainDlg", "IDC_COMBOPERIOD0"));
    window.OnCommand(32797);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "0.0  °C");
    EXPECT_FALSE(ChineseUnitsFlag);
}

TEST_F(MainWindow, WithoutLanguageFilesTheTemplateTextsStay) {
    MainDialog& window = Open();
    ASSERT_FALSE(m_Prompt.m_Shown.empty());
    EXPECT_EQ(m_Prompt.m_Shown[0].text, "Language file lost!");
    EXPECT_EQ(m_Prompt.m_Shown[0].caption, "Error");
    EXPECT_EQ(m_Prompt.m_Shown[0].icon, PromptService::Icon::Error);
    auto* get = window.findChild<QPushButton*>(QStringLiteral("IDC_CMD_GETVARIN"));
    ASSERT_NE(get, nullptr);
    EXPECT_EQ(Of(get->text()), "Get");
    EXPECT_EQ(window.LanguageMenu()->actions().size(), 10);
}

TEST_F(MainWindow, MissingInfoFileLeavesOnlyTheVersionInTheTitle) {
    MainDialog& window = Open();
    EXPECT_EQ(Of(window.windowTitle()), "  V1.01");
    ShipInfoFile();
    MainDialog second(m_Protocol, Program().string() + "/");
    EXPECT_EQ(Of(second.windowTitle()), "Calora  V1.01");
}

TEST_F(MainWindow, StoredPortAndLanguageThatNoLongerExistPickTheFirstAndStayStored) {
    ShipLanguages();
    Settings::WriteString("Port", "COM9");
    Settings::WriteString("Language", "Klingon");
    MainDialog& window = Open();
    EXPECT_EQ(window.PortList(), (std::vector<std::string>{"COM2", "COM5"}));
    EXPECT_EQ(m_Protocol.PortNumber(), 2);
    EXPECT_EQ(Of(window.StatusText(1)), "COM2");
    EXPECT_EQ(CurrentLanguageFile, (Program() / "English.ini").string());
    EXPECT_EQ(Settings::ReadString("Port"), "COM9");
    EXPECT_EQ(Settings::ReadString("Language"), "Klingon");
    EXPECT_FALSE(m_Protocol.IsOpen()); // the scan leaves every port closed

    window.OnCommand(32788);
    EXPECT_EQ(m_Protocol.PortNumber(), 5);
    EXPECT_EQ(Settings::ReadString("Port"), "COM5");
    EXPECT_TRUE(window.PortMenu()->actions()[1]->isChecked());
    EXPECT_FALSE(window.PortMenu()->actions()[0]->isChecked());
}

TEST_F(MainWindow, NoPortAtAllIsReportedAndCommandsAreRefused) {
    ShipLanguages();
    m_OpenablePorts.clear();
    MainDialog& window = Open();
    ASSERT_FALSE(m_Prompt.m_Shown.empty());
    EXPECT_EQ(m_Prompt.m_Shown.back().text, Text("strPortFail"));
    m_Prompt.m_Shown.clear();
    window.OnCommand(1005);
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, Text("strPortFail"));
}

TEST_F(MainWindow, ScreenshotsInEachLanguageAtOneAndTwoTimesScale) {
    ShipLanguages();
    ShipInfoFile();
    fs::copy_file(fs::path(CALORA_SOURCE_DIR) / "dist" / "vrn.dak", Program() / "vrn.dak");
    MainDialog& window = Open();
    const fs::path out = CALORA_SCREENSHOT_DIR;
    fs::create_directories(out);
    for (int language = 0; language < 2; ++language) {
        window.OnCommand(32797 + language);
        window.OnCommand(1005);
        m_Clock.RunFor(10000);
        QApplication::processEvents(); // let the menu bar lay out its new titles
        for (int scale : {1, 2}) {
            QPixmap picture(window.size() * scale);
            picture.setDevicePixelRatio(scale);
            window.render(&picture);
            const fs::path file = out / ("main-" + std::string(language == 0 ? "en" : "zh") + "-" +
                                         std::to_string(scale * 100) + ".png");
            ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));
            EXPECT_GT(fs::file_size(file), 5000u);
        }
        auto* tabs = window.findChild<QTabBar*>();
        for (int tab = 1; tab < 5; ++tab) {
            tabs->setCurrentIndex(tab);
            const fs::path file = out / ("tab" + std::to_string(tab) + "-" +
                                         std::string(language == 0 ? "en" : "zh") + ".png");
            ASSERT_TRUE(window.grab().save(QString::fromStdString(file.string())));
        }
        tabs->setCurrentIndex(0);
        AboutDialog about(&window, Program().string() + "/");
        const fs::path file = out / ("about-" + std::string(language == 0 ? "en" : "zh") + ".png");
        ASSERT_TRUE(about.grab().save(QString::fromStdString(file.string())));
        EXPECT_EQ(Of(about.windowTitle()), LoadLanguageText("Menu", "IDM_HELP_ABOUT") + " Calora");
    }
}

TEST_F(MainWindow, ToolTipsComeFromTheLanguageFileCutTo79Characters) {
    std::ofstream(Program() / "Long.ini")
        << "[Lang]\nLanguage=Long\n[ToolBar]\nIDT_SEARCH=" << std::string(100, 'x')
        << "\nIDT_STOP=Stop now\n";
    MainDialog& window = Open();
    auto tipOf = [&window](int id) {
        QWidget* button = window.ToolBar()->widgetForAction(TrendButton(window, id));
        const QPoint where = button->geometry().center();
        QHelpEvent event(QEvent::ToolTip, where, window.ToolBar()->mapToGlobal(where));
        QApplication::sendEvent(window.ToolBar(), &event);
        return Of(QToolTip::text());
    };
    EXPECT_EQ(tipOf(32773), std::string(79, 'x'));
    EXPECT_EQ(tipOf(32776), "Stop now");
}

TEST_F(MainWindow, ValueUpdateOfAnotherKindChangesNothing) {
    ShipLanguages();
    MainDialog& window = Open();
    m_Protocol.Device().pv = 5.0f;
    m_Protocol.Device().pvUnitText = "K";
    window.ValueUpdate(2);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "0.0  °C");
    window.ValueUpdate(0);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "5.000  K");
}

TEST_F(MainWindow, WebLinkOpensTheAddressOfTheInfoFile) {
    MainDialog& window = Open();
    window.OnCommand(32778);
    EXPECT_TRUE(m_Prompt.m_Opened.empty()); // no info file: nothing happens
    ShipInfoFile();
    window.OnCommand(32778);
    ASSERT_EQ(m_Prompt.m_Opened.size(), 1u);
    EXPECT_FALSE(m_Prompt.m_Opened[0].empty());
}
