// The main window on a fake line in virtual time: process commands, search,
// stop, busy refusal, tab switch, languages, ports, title and tooltips; and
// the menu and toolbar data it is built from.
#include "controls/ColorLabel.h"
#include "resources/ToolbarTemplate.h"
#include "shell/AboutDialog.h"
#include "shell/InfoPage.h"
#include "shell/Settings.h"
#include "shell/TrendPage.h"
#include "tests/shell/PageWindow.h"

#include <QHelpEvent>
#include <QMenu>
#include <QPushButton>
#include <QToolTip>

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::string Of(const QString& text) {
    return text.toStdString();
}

TEST(MainWindow, TabSwitchClosesThePortTrendToolsShowOnlyOnTheTrendTabAndChineseRelabels) {
    PageWindow w;
    MainDialog& window = *w.m_pWindow;
    window.OnCommand(MainDialog::kOnLine);
    w.m_Clock.RunFor(10000);
    ASSERT_TRUE(w.m_Protocol.IsOpen());
    window.Info()->AddressCombo()->setEditText(QStringLiteral("7"));
    window.SwitchTab(4);
    EXPECT_FALSE(w.m_Protocol.IsOpen());
    EXPECT_EQ(w.m_Protocol.Device().pollingAddress, 7);
    // The trend page, the period, a trend tool, another page and Stop.
    const auto shown = [&window] {
        return std::vector<bool>{window.Page(3)->isVisible(), window.PeriodAction()->isVisible(),
                                 ToolButton(window, 31005)->isVisible(),
                                 window.Page(4)->isVisible(),
                                 ToolButton(window, MainDialog::kStop)->isVisible()};
    };
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, false, true}));
    window.SwitchTab(3);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, true, true}));

    // Chinese swaps the degree sign and relabels.
    EXPECT_EQ(Of(window.PvLabel()->Text()), "0.0  °C");
    window.OnCommand(MainDialog::kFirstLanguage + 1);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "0.0  ℃");
    EXPECT_EQ(Settings::ReadString("Language"), "Simple Chinese");
    EXPECT_EQ(Of(window.findChild<QTabBar*>()->tabText(0)),
              LoadLanguageText("MainDlg", "IDC_TAB1"));
    EXPECT_EQ(Of(window.PeriodCombo()->itemText(0)),
              LoadLanguageText("MainDlg", "IDC_COMBOPERIOD0"));
    auto* trend = qobject_cast<TrendPage*>(window.Page(3));
    EXPECT_EQ(trend->PvChart().m_strTitle, "\u4E3B\u53D8\u91CF");
    EXPECT_EQ(trend->PercentChart().m_strTitle, LoadLanguageText("QXView4", "strPercentCurve"));
    EXPECT_EQ(trend->List().model()->headerData(1, Qt::Horizontal).toString().toStdString(),
              LoadLanguageText("QXView4", "strData"));
    w.Ship("dist", "qxrfw.dat");
    AboutDialog about(&window, w.m_Folder.string() + "/");
    EXPECT_EQ(Of(about.windowTitle()), LoadLanguageText("Menu", "IDM_HELP_ABOUT") + " Calora");
    window.OnCommand(MainDialog::kFirstLanguage);
    EXPECT_EQ(Of(window.PvLabel()->Text()), "0.0  °C");
}

// Without language files the template texts stay; without the information
// file the title has only the version and the web link opens nothing.
// Tooltips come from the language file, cut to 79 characters.
TEST(MainWindow, WithoutLanguageAndInformationFilesTheTemplateTextsStayAndTooltipsAreCut) {
    PageWindow w({}, PageWindow::kBare);
    MainDialog& window = w.Open();
    const RecordingPrompt::Shown& lost = w.m_Prompt.m_Shown.at(0);
    EXPECT_EQ(lost.text + "|" + lost.caption, "Language file lost!|Error");
    EXPECT_EQ(lost.icon, PromptService::Icon::Error);
    auto* get = window.findChild<QPushButton*>(QStringLiteral("IDC_CMD_GETVARIN"));
    ASSERT_NE(get, nullptr);
    EXPECT_EQ(Of(get->text()), "Get");
    EXPECT_EQ(window.LanguageMenu()->actions().size(), 10);
    EXPECT_EQ(Of(window.windowTitle()), "  V1.01");
    window.OnCommand(MainDialog::kWebLink);
    w.Ship("dist", "qxrfw.dat");
    window.OnCommand(MainDialog::kWebLink);
    EXPECT_EQ(w.m_Prompt.m_Opened, std::vector<std::string>{"https://calora.example/"});
    std::ofstream(w.m_Folder / "Long.ini")
        << "[Lang]\nLanguage=Long\n[ToolBar]\nIDT_SEARCH=" << std::string(100, 'x')
        << "\nIDT_STOP=Stop now\n";
    MainDialog second(w.m_Protocol, w.m_Folder.string() + "/");
    second.show();
    EXPECT_EQ(Of(second.windowTitle()), "Calora  V1.01");
    const auto tipOf = [&window = second](int id) {
        QWidget* button = window.ToolBar()->widgetForAction(ToolButton(window, id));
        const QPoint where = button->geometry().center();
        QHelpEvent event(QEvent::ToolTip, where, window.ToolBar()->mapToGlobal(where));
        QApplication::sendEvent(window.ToolBar(), &event);
        return Of(QToolTip::text());
    };
    EXPECT_EQ(tipOf(MainDialog::kSearchCommand), std::string(79, 'x'));
    EXPECT_EQ(tipOf(MainDialog::kStop), "Stop now");
}

// Stored port and language that no longer exist pick the first; a search
// lists every address that answered, product information shows the version;
// no port at all is reported, and commands are refused.
TEST(MainWindow, StoredPortAndLanguageFallBackSearchFindsAllAndNoPortIsReported) {
    SimOptions three;
    three.m_devices = {0, 3, 12};
    PageWindow w(three, PageWindow::kLater);
    w.Ship("dist", "qxrfw.dat");
    w.m_Ports = {2, 5};
    Settings::WriteString("Port", "COM9");
    Settings::WriteString("Language", "Klingon");
    MainDialog& window = w.Open();
    EXPECT_EQ(window.PortList(), (std::vector<std::string>{"COM2", "COM5"}));
    EXPECT_EQ(w.m_Protocol.PortNumber(), 2);
    EXPECT_EQ(Of(window.StatusText(1)), "COM2");
    EXPECT_EQ(CurrentLanguageFile, (w.m_Folder / "English.ini").string());
    EXPECT_EQ(Settings::ReadString("Port") + "|" + Settings::ReadString("Language"),
              "COM9|Klingon");

    // Stop abandons a search without a report.
    window.OnCommand(MainDialog::kSearchCommand);
    w.m_Clock.RunFor(1500);
    window.OnCommand(MainDialog::kStop);
    EXPECT_EQ(w.Status(), Text("strBreak"));
    w.m_Clock.RunFor(200000);
    EXPECT_EQ(w.Shown(), "");
    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(window.Mode(), MainDialog::kNoProcess);
    window.OnCommand(MainDialog::kSearchCommand);
    w.m_Clock.RunFor(200000);
    EXPECT_EQ(w.m_Protocol.Device().pollingAddress, 0);
    window.OnCommand(MainDialog::kProductInfo);
    w.m_Clock.RunFor(10000);
    EXPECT_EQ(w.Shown(), Text("strFindMeter") + " 0, 3, 12|" + Text("strVersion") + "V1.03|");
    EXPECT_EQ(w.m_Prompt.m_Shown[0].caption + "|" + w.m_Prompt.m_Shown[1].caption, "Calora|HART");
    EXPECT_FALSE(BusyFlag);

    window.OnCommand(MainDialog::kFirstPort + 1);
    EXPECT_EQ(w.m_Protocol.PortNumber(), 5);
    EXPECT_EQ(Settings::ReadString("Port"), "COM5");
    EXPECT_TRUE(window.PortMenu()->actions()[1]->isChecked());
    EXPECT_FALSE(window.PortMenu()->actions()[0]->isChecked());

    w.m_Ports.clear();
    w.m_Prompt.m_Shown.clear();
    MainDialog(w.m_Protocol, w.m_Folder.string() + "/").OnCommand(MainDialog::kGetValues);
    EXPECT_EQ(w.Shown(), Text("strPortFail") + "|" + Text("strPortFail") + "|");
}

// Command ids are unique and the run-time submenus hold the ids the window
// gives their entries; a popup is what has entries; every position up to the
// trend tools has its image; every process command has its button.
TEST(MainWindow, MenuAndToolbarDataHoldWhatTheWindowLooksUp) {
    std::set<int> ids;
    const std::function<void(std::span<const MenuEntryTemplate>)> collect = [&](auto entries) {
        for (const MenuEntryTemplate& entry : entries) {
            EXPECT_TRUE(entry.kind != MenuEntryKind::Item || ids.insert(entry.id).second)
                << entry.id;
            EXPECT_EQ(entry.kind == MenuEntryKind::Popup, !entry.Children().empty());
            collect(entry.Children());
        }
    };
    collect(MainMenuTemplate().popups);
    const auto environment = MainMenuTemplate().popups[2].Children();
    for (const auto& [submenu, first] : {std::pair{environment[0], kFirstPortCommand},
                                         std::pair{environment[2], kFirstLanguageCommand}}) {
        ASSERT_EQ(submenu.Children().size(), static_cast<std::size_t>(kMenuRuntimeEntries));
        for (int i = 0; i < kMenuRuntimeEntries; ++i) {
            EXPECT_EQ(submenu.Children()[static_cast<std::size_t>(i)].id, first + i);
        }
    }
    const auto toolbar = MainToolbarTemplate();
    std::set<int> buttons;
    for (std::size_t position = 0; position < toolbar.size(); ++position) {
        const ToolbarEntryTemplate& entry = toolbar[position];
        const bool separator = entry.kind == ToolbarEntryKind::Separator;
        EXPECT_EQ(entry.icon != 0, static_cast<int>(position) < kToolbarImageCount) << position;
        EXPECT_EQ(separator, entry.tooltipKey.empty()) << position;
        EXPECT_TRUE(separator || buttons.insert(entry.id).second) << position;
    }
    for (const MenuEntryTemplate& item : MainMenuTemplate().popups[1].Children()) {
        EXPECT_TRUE(buttons.contains(item.id)) << item.id;
    }
}

} // namespace
