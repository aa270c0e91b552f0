#pragma once

#include "hart/SequenceDisplay.h"
#include "platform/LanguageCatalog.h"
#include "resources/MenuTemplate.h"
#include "shell/TrendHost.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class ColorLabel;
class HartProtocol;
class InfoPage;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class TabControl;
class QToolBar;
class TemplatePage;
struct MenuEntryTemplate;

// The one top-level window: value panel, tab pages, menus, toolbar and status
// bar. It runs the process commands (on-line, search, get, reset, product
// information, stop), shows the progress and outcome of every command
// sequence, and relabels itself and its pages when the language changes.
class MainDialog : public QMainWindow, public SequenceDisplay, public TrendHost {
    Q_OBJECT
public:
    // Which main-window sequence runs; kept after it ends.
    enum ProcessMode { kNoProcess = 0, kGetValues = 1005, kSearch = 32773 };
    enum Command {
        kExit = 32771,
        kOnLine = 32772,
        kSearchCommand = 32773,
        kReset = 32774,
        kStop = 32776,
        kProductInfo = 32777,
        kWebLink = 32778,
        kAbout = 32786,
        kFirstPort = kFirstPortCommand,
        kFirstLanguage = kFirstLanguageCommand,
        kFirstTrendCommand = 31000,
        kLastTrendCommand = 31006,
    };
    static constexpr int kMenuEntries = kMenuRuntimeEntries;
    static constexpr const char* kVersion = "V1.01";

    // programDirectory (ending in "/") holds the language files, the
    // software-information file and the logo.
    MainDialog(HartProtocol& protocol, std::string programDirectory);
    ~MainDialog() override;

    // Sequence display
    void ShowProgress(bool finished) override;
    void SetStatusText(int pane, const std::string& text) override;

    // 0: PV with its unit; 1: loop current and percent. Sent by the trend page
    // after each sample.
    void ValueUpdate(int which) override;
    void CheckTrendTool(int id, bool checked) override;
    void RelabelAll();
    // Menu, toolbar and button commands by id.
    void OnCommand(int id);
    void SwitchTab(int index);
    void ShowTrendTools(bool show);
    int TrendPeriod() const override { return m_nTrendPeriod; }

    // What the tests and the pages look at.
    ColorLabel* PvLabel() const { return m_pPvLabel; }
    ColorLabel* CurrentLabel() const { return m_pCurrentLabel; }
    ColorLabel* PercentLabel() const { return m_pPercentLabel; }
    // The information page, whose address list the search fills and Stop reads.
    InfoPage* Info() const { return m_pInfoPage; }
    QString StatusText(int pane) const;
    const std::vector<std::string>& PortList() const { return m_PortList; }
    const std::vector<LanguageCatalog::Entry>& Languages() const { return m_Languages; }
    QMenu* PortMenu() const { return m_pPortMenu; }
    QMenu* LanguageMenu() const { return m_pLanguageMenu; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    QComboBox* PeriodCombo() const { return m_pPeriodCombo; }
    QAction* PeriodAction() const { return m_pPeriodAction; }
    TemplatePage* Page(int index) const { return m_Pages.at(static_cast<std::size_t>(index)); }
    int CurrentTab() const;
    const std::string& ProductName() const { return m_strProductName; }
    int Mode() const { return m_nProcessMode; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BuildToolBar();
    void BuildPages();
    void FillRuntimeMenu(QMenu* menu, const std::vector<std::string>& names, int firstId);
    void DiscoverLanguages();
    void ChooseLanguage(const std::string& name);
    void ScanPorts();
    void ChoosePort(const std::string& name);
    void StartProcess(std::initializer_list<std::uint8_t> commands, int mode);
    void ContinueSearch(bool found);
    void Stop();
    void ShowAbout();
    void OpenWebLink();
    std::string SoftwareInfo(const char* key) const;
    QAction* MenuAction(int id) const;
    static void OnProcessAnswer(void* userData, int success, std::uint8_t command);

    HartProtocol& m_Protocol;
    std::string m_strProgramDirectory;
    QWidget* m_pPanel = nullptr; // built from the main window's template
    QProgressBar* m_pProgress = nullptr;
    ColorLabel* m_pPercentLabel = nullptr;
    ColorLabel* m_pCurrentLabel = nullptr;
    ColorLabel* m_pPvLabel = nullptr;
    QLabel* m_pLogo = nullptr;
    TabControl* m_pTabs = nullptr;
    std::array<TemplatePage*, 5> m_Pages{}; // owned through Qt parenting
    InfoPage* m_pInfoPage = nullptr;        // one of m_Pages
    QMenu* m_pPortMenu = nullptr;
    QMenu* m_pLanguageMenu = nullptr;
    // Each menu with its template entry, for relabelling.
    std::vector<std::pair<QMenu*, const MenuEntryTemplate*>> m_Popups;
    QToolBar* m_pToolBar = nullptr;
    QComboBox* m_pPeriodCombo = nullptr;
    std::vector<QAction*> m_TrendTools;
    QAction* m_pPeriodAction = nullptr;
    std::array<QLabel*, 2> m_StatusPanes{};
    std::string m_strProductName;
    std::vector<std::string> m_PortList;
    std::vector<LanguageCatalog::Entry> m_Languages;
    std::string m_strPortName;
    std::string m_strLanguageName;
    int m_nProcessMode = kNoProcess;
    int m_nTrendPeriod = 2;
    bool m_bRelabelled = false;
};
