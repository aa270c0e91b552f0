#include "shell/MainDialog.h"

#include "controls/ColorLabel.h"
#include "controls/IconFactory.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "hart/UnitTables.h"
#include "platform/Formatting.h"
#include "platform/LanguageText.h"
#include "platform/PrivateProfile.h"
#include "platform/PromptService.h"
#include "resources/DialogTemplate.h"
#include "resources/ToolbarTemplate.h"
#include "shell/AboutDialog.h"
#include "shell/CalibrationPage.h"
#include "shell/DialogBuilder.h"
#include "shell/InfoPage.h"
#include "shell/OutputPage.h"
#include "shell/RelabelControl.h"
#include "shell/SensorPage.h"
#include "shell/Settings.h"
#include "shell/SharedFont.h"
#include "shell/TabControl.h"
#include "shell/TemplatePage.h"
#include "shell/TrendPage.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolTip>

#include <cstdlib>

namespace {

constexpr const char* kCaption = "HART";
constexpr int kMainTemplate = 102;
// Dialog units above the value panel's frame that the template keeps for a
// toolbar inside the dialog (the frame starts at 26, its left edge at 10).
constexpr int kToolbarStripDlu = 16;
constexpr std::array<int, 9> kPeriodSeconds{2, 4, 8, 30, 60, 120, 300, 600, 1800};
// Tab position → page (pages are created Output, Sensor, Info, Trend, Calibration).
constexpr std::array<int, 5> kPageOfTab{0, 1, 2, 4, 3};
constexpr std::array<const char*, 5> kTabKeys{"IDC_TAB1", "IDC_TAB2", "IDC_TAB3", "IDC_TAB5",
                                              "IDC_TAB4"};
constexpr std::size_t kTooltipLength = 79;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

void StyleValueLabel(ColorLabel* label, std::uint32_t back, std::uint32_t text, int tenths) {
    if (label != nullptr) {
        label->SetBackColor(back);
        label->SetTextColor(text);
        label->SetLabelFont(QStringLiteral("MS Serif"), tenths);
    }
}

} // namespace

MainDialog::MainDialog(HartProtocol& protocol, std::string programDirectory)
    : m_Protocol(protocol), m_strProgramDirectory(std::move(programDirectory)) {
    const DialogTemplate* layout = FindDialogTemplate(kMainTemplate);
    m_pPanel = new QWidget(this);
    m_pPanel->setFont(SharedFont());
    if (layout != nullptr) {
        DialogBuilder::Build(*layout, *m_pPanel);
    }
    // The template keeps a strip at its top for a toolbar inside the dialog;
    // here the toolbar sits above the panel, so the controls move up into it,
    // leaving the same margin above them as at their left.
    const int strip =
        DialogBuilder::DialogUnitsToPixels(m_pPanel->font(), 0, kToolbarStripDlu).height();
    for (QWidget* control : m_pPanel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        control->move(control->pos() - QPoint(0, strip));
    }
    // The panel keeps its template size; the window grows around it.
    m_pPanel->setMinimumSize(m_pPanel->size() - QSize(0, strip));
    m_pPanel->resize(m_pPanel->minimumSize());
    setCentralWidget(m_pPanel);
    m_pProgress = qobject_cast<QProgressBar*>(DialogBuilder::FindControl(*m_pPanel, 1001));
    m_pPercentLabel = qobject_cast<ColorLabel*>(DialogBuilder::FindControl(*m_pPanel, 1007));
    m_pCurrentLabel = qobject_cast<ColorLabel*>(DialogBuilder::FindControl(*m_pPanel, 1006));
    m_pPvLabel = qobject_cast<ColorLabel*>(DialogBuilder::FindControl(*m_pPanel, 1004));
    m_pLogo = qobject_cast<QLabel*>(DialogBuilder::FindControl(*m_pPanel, 1002));
    m_pTabs = qobject_cast<TabControl*>(DialogBuilder::FindControl(*m_pPanel, 1000));

    BuildMenu();
    BuildToolBar();
    DialogBuilder::ApplyFont(*m_pPanel, SharedFont());

    setWindowIcon(IconFactory::Icon(128));
    m_strProductName = SoftwareInfo("Name");
    setWindowTitle(Text(m_strProductName + "  " + kVersion));

    DiscoverLanguages();
    BuildPages();

    if (m_pLogo != nullptr) {
        const QPixmap logo(QString::fromStdString(m_strProgramDirectory + "vrn.dak"), "BMP");
        if (!logo.isNull()) {
            m_pLogo->setPixmap(logo);
            m_pLogo->resize(logo.size());
        }
    }

    for (auto& pane : m_StatusPanes) {
        pane = new QLabel(this);
    }
    statusBar()->addWidget(m_StatusPanes[0], 1);
    m_StatusPanes[1]->setMinimumWidth(40);
    statusBar()->addPermanentWidget(m_StatusPanes[1]);
    SetStatusText(0, LoadLanguageText("strReady"));

    StyleValueLabel(m_pPvLabel, 0x000000, 0x00FF00, 240);
    StyleValueLabel(m_pCurrentLabel, 0xFFFFFF, 0xFF0000, 160);
    StyleValueLabel(m_pPercentLabel, 0xFFFFFF, 0xFF0000, 160);

    ScanPorts();
    g_pMainDialog = this;
    if (m_pPvLabel != nullptr) {
        m_pPvLabel->SetText(Text("0.0  " + CelsiusText()));
    }
    if (QPushButton* get =
            qobject_cast<QPushButton*>(DialogBuilder::FindControl(*m_pPanel, 1005))) {
        connect(get, &QPushButton::clicked, this, [this] { OnCommand(kGetValues); });
    }
}

MainDialog::~MainDialog() {
    if (g_pMainDialog == this) {
        g_pMainDialog = nullptr;
    }
}

// --- Menus, toolbar, pages ---

void MainDialog::BuildMenu() {
    auto addItem = [this](QMenu* menu, const MenuEntryTemplate& entry) {
        QAction* action = menu->addAction(
            QString::fromUtf8(entry.caption.data(), static_cast<int>(entry.caption.size())));
        const int id = entry.id;
        action->setData(id);
        action->setCheckable(id >= kFirstPort && id < kFirstLanguage + kMenuEntries);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    auto caption = [](std::string_view text) {
        return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    };
    for (const MenuEntryTemplate& popup : MainMenuTemplate().popups) {
        QMenu* menu = menuBar()->addMenu(caption(popup.caption));
        m_Popups.push_back({menu, &popup});
        for (const MenuEntryTemplate& entry : popup.Children()) {
            if (entry.kind == MenuEntryKind::Separator) {
                menu->addSeparator();
            } else if (entry.kind == MenuEntryKind::Item) {
                addItem(menu, entry);
            } else {
                QMenu* submenu = menu->addMenu(caption(entry.caption));
                m_Popups.push_back({submenu, &entry});
                for (const MenuEntryTemplate& item : entry.Children()) {
                    addItem(submenu, item);
                }
                const int first = entry.childCount > 0 ? entry.children[0].id : 0;
                (first == kFirstPort ? m_pPortMenu : m_pLanguageMenu) = submenu;
            }
        }
    }
}

void MainDialog::BuildToolBar() {
    m_pToolBar = addToolBar(QStringLiteral("Commands"));
    m_pToolBar->setObjectName(QStringLiteral("ToolBar"));
    m_pToolBar->setMovable(true);
    m_pToolBar->setIconSize(QSize(32, 32));
    for (const ToolbarEntryTemplate& entry : MainToolbarTemplate()) {
        if (entry.kind == ToolbarEntryKind::Separator) {
            m_pToolBar->addSeparator();
        } else if (entry.kind == ToolbarEntryKind::Placeholder) {
            m_pPeriodCombo = new QComboBox(m_pToolBar);
            m_pPeriodCombo->setObjectName(QStringLiteral("IDC_COMBOPERIOD"));
            m_pPeriodCombo->setProperty("controlId", entry.id);
            m_pPeriodCombo->setFixedWidth(entry.width);
            m_pPeriodAction = m_pToolBar->addWidget(m_pPeriodCombo);
        } else {
            QAction* action = m_pToolBar->addAction(IconFactory::Icon(entry.icon), QString());
            const int id = entry.id;
            action->setData(id);
            connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
            if (id >= kFirstTrendCommand && id <= kLastTrendCommand) {
                m_TrendTools.push_back(action);
            }
        }
    }
    connect(m_pPeriodCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_nTrendPeriod = index >= 0 && index < static_cast<int>(kPeriodSeconds.size())
                             ? kPeriodSeconds[static_cast<std::size_t>(index)]
                             : 2;
    });
    // Tooltips are looked up when asked, so a language change shows at once.
    m_pToolBar->installEventFilter(this);
    m_pPeriodCombo->installEventFilter(this);
    ShowTrendTools(false);
}

void MainDialog::BuildPages() {
    for (int i = 0; m_pTabs != nullptr && i < 5; ++i) {
        m_pTabs->addTab(QString::number(i + 1));
    }
    const QRect pageArea =
        m_pTabs != nullptr ? m_pTabs->PageRect().translated(m_pTabs->pos()) : m_pPanel->rect();
    DeviceRecord& device = m_Protocol.Device();
    m_pInfoPage = new InfoPage(device, m_pPanel);
    m_Pages = {new OutputPage(device, m_pPanel), new SensorPage(device, m_pPanel), m_pInfoPage,
               new TrendPage(device, *this, m_pPanel), new CalibrationPage(device, m_pPanel)};
    for (std::size_t i = 0; i < m_Pages.size(); ++i) {
        TemplatePage* page = m_Pages[i];
        // The trend page sits 2 pixels lower than the others.
        page->setGeometry(i == 3 ? pageArea.adjusted(0, 2, 0, 0) : pageArea);
        page->setVisible(i == 0);
        page->raise();
    }
    if (m_pTabs != nullptr) {
        m_pTabs->setCurrentIndex(0);
        connect(m_pTabs, &QTabBar::currentChanged, this, &MainDialog::SwitchTab);
    }
}

QAction* MainDialog::MenuAction(int id) const {
    for (QAction* action : menuBar()->findChildren<QAction*>()) {
        if (action->data().toInt() == id && action->menu() == nullptr) {
            return action;
        }
    }
    return nullptr;
}

// The port and language submenus: their template items give way to the
// entries found, at most ten, with consecutive command ids.
void MainDialog::FillRuntimeMenu(QMenu* menu, const std::vector<std::string>& names, int firstId) {
    const QList<QAction*> templateItems = menu->actions();
    for (QAction* item : templateItems) {
        menu->removeAction(item);
        item->deleteLater();
    }
    for (std::size_t i = 0; i < names.size() && i < kMenuEntries; ++i) {
        const int id = firstId + static_cast<int>(i);
        QAction* item = menu->addAction(Text(names[i]));
        item->setData(id);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
}

// --- Language ---

void MainDialog::DiscoverLanguages() {
    m_Languages = LanguageCatalog::Discover(m_strProgramDirectory);
    if (m_Languages.empty()) {
        PromptService::Show("Language file lost!", "Error", PromptService::Icon::Error);
        return;
    }
    std::vector<std::string> names;
    for (const auto& language : m_Languages) {
        names.push_back(language.name);
    }
    FillRuntimeMenu(m_pLanguageMenu, names, kFirstLanguage);
    const int stored = LanguageCatalog::IndexOf(m_Languages, Settings::ReadString("Language"));
    ChooseLanguage(m_Languages[static_cast<std::size_t>(stored >= 0 ? stored : 0)].name);
}

void MainDialog::ChooseLanguage(const std::string& name) {
    for (QAction* item : m_pLanguageMenu->actions()) {
        item->setChecked(item->text() == Text(name));
    }
    const int index = LanguageCatalog::IndexOf(m_Languages, name);
    if (index >= 0) {
        CurrentLanguageFile = m_Languages[static_cast<std::size_t>(index)].path;
        m_strLanguageName = name;
    }
    ChineseUnitsFlag = name == "Simple Chinese";
    if (m_pPvLabel != nullptr) {
        QString text = m_pPvLabel->Text();
        if (ChineseUnitsFlag) {
            text.replace(QStringLiteral("°C"), QStringLiteral("℃"));
        } else {
            text.replace(QStringLiteral("℃"), QStringLiteral("°C"));
        }
        m_pPvLabel->SetText(text);
    }
}

void MainDialog::RelabelAll() {
    // Popup titles and items change only when the text is not empty; the port
    // and language submenus take their titles even when empty.
    for (const auto& [menu, entry] : m_Popups) {
        const std::string title = LoadLanguageText("Menu", entry->name);
        if (!title.empty() || menu == m_pPortMenu || menu == m_pLanguageMenu) {
            menu->setTitle(Text(title));
        }
        for (const MenuEntryTemplate& item : entry->Children()) {
            const std::string text = LoadLanguageText("Menu", item.name);
            QAction* action = MenuAction(item.id);
            if (item.kind == MenuEntryKind::Item && action != nullptr && !text.empty() &&
                item.id < kFirstPort) {
                action->setText(Text(text));
            }
        }
    }

    for (int i = 0; m_pTabs != nullptr && i < m_pTabs->count() && i < 5; ++i) {
        m_pTabs->setTabText(
            i, Text(LoadLanguageText("MainDlg", kTabKeys[static_cast<std::size_t>(i)])));
    }
    RelabelControl(*m_pPanel, 1003, "IDC_STA_INF1", "MainDlg");
    RelabelControl(*m_pPanel, 1005, "IDC_CMD_GETVARIN", "MainDlg");

    // Refilling the period list starts again at its first entry, 2 seconds.
    const QSignalBlocker block(m_pPeriodCombo);
    m_pPeriodCombo->clear();
    for (int i = 0; i < static_cast<int>(kPeriodSeconds.size()); ++i) {
        const std::string key = "IDC_COMBOPERIOD" + std::to_string(i);
        m_pPeriodCombo->addItem(Text(LoadLanguageText("MainDlg", key)));
    }
    m_pPeriodCombo->setCurrentIndex(0);
    m_nTrendPeriod = kPeriodSeconds[0];

    for (TemplatePage* page : m_Pages) {
        page->Relabel();
    }
    SetStatusText(0, LoadLanguageText("strReady"));
    update();
}

void MainDialog::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Only the first show: a window restored from minimised keeps what the
    // user set and typed (the period, the status, the pages' fields).
    if (!m_bRelabelled) {
        m_bRelabelled = true;
        RelabelAll();
    }
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    int id = 0;
    if (watched == m_pPeriodCombo) {
        id = kPeriodComboId;
    } else if (QAction* action = m_pToolBar->actionAt(help->pos())) {
        id = action->data().toInt();
    }
    std::string text;
    for (const ToolbarEntryTemplate& entry : MainToolbarTemplate()) {
        if (entry.id == id && id != 0 && !entry.tooltipKey.empty()) {
            text = LoadLanguageText("ToolBar", entry.tooltipKey);
        }
    }
    if (text.empty()) {
        QToolTip::hideText();
        return true;
    }
    // The text is cut to 79 characters, as a tooltip buffer holds.
    QToolTip::showText(help->globalPos(), Text(text).left(kTooltipLength),
                       static_cast<QWidget*>(watched));
    return true;
}

void MainDialog::CheckTrendTool(int id, bool checked) {
    for (QAction* action : m_TrendTools) {
        if (action->data().toInt() == id) {
            action->setCheckable(true);
            action->setChecked(checked);
        }
    }
}

void MainDialog::ShowTrendTools(bool show) {
    for (QAction* action : m_TrendTools) {
        action->setVisible(show);
    }
    if (m_pPeriodAction != nullptr) {
        m_pPeriodAction->setVisible(show);
    }
}

// --- Ports ---

void MainDialog::ScanPorts() {
    for (int n = 1; n <= 16; ++n) {
        if (m_Protocol.OpenPort(n)) {
            m_PortList.push_back("COM" + std::to_string(n));
        }
        m_Protocol.ClosePort();
    }
    FillRuntimeMenu(m_pPortMenu, m_PortList, kFirstPort);
    if (m_PortList.empty()) {
        PromptService::Show(LoadLanguageText("strPortFail"), kCaption,
                            PromptService::Icon::Information);
        return;
    }
    const std::string stored = Settings::ReadString("Port");
    std::string chosen = m_PortList.front();
    for (const auto& name : m_PortList) {
        if (name == stored) {
            chosen = name;
            break;
        }
    }
    ChoosePort(chosen);
}

void MainDialog::ChoosePort(const std::string& name) {
    bool found = false;
    for (QAction* item : m_pPortMenu->actions()) {
        const bool equal = item->text() == Text(name);
        item->setChecked(equal);
        found = found || equal;
    }
    if (!found) {
        return;
    }
    m_Protocol.ClosePort();
    m_Protocol.SetPortNumber(std::atoi(name.c_str() + 3));
    m_strPortName = name;
    SetStatusText(1, name);
}

// --- Commands ---

void MainDialog::OnCommand(int id) {
    if (id >= kFirstTrendCommand && id <= kLastTrendCommand) {
        m_Pages[3]->HandleCommand(id);
        return;
    }
    if (id >= kFirstPort && id < kFirstPort + kMenuEntries) {
        const auto index = static_cast<std::size_t>(id - kFirstPort);
        if (index < m_PortList.size()) {
            ChoosePort(m_PortList[index]);
            Settings::WriteString("Port", m_PortList[index]);
        }
        return;
    }
    if (id >= kFirstLanguage && id < kFirstLanguage + kMenuEntries) {
        const auto index = static_cast<std::size_t>(id - kFirstLanguage);
        if (index < m_Languages.size()) {
            ChooseLanguage(m_Languages[index].name);
            Settings::WriteString("Language", m_Languages[index].name);
            RelabelAll();
        }
        return;
    }
    switch (id) {
    case kExit:
        close();
        break;
    case kOnLine:
        StartProcess({0}, kNoProcess);
        break;
    case kGetValues:
        StartProcess({0, 1, 2}, kGetValues);
        break;
    case kProductInfo:
        StartProcess({0, 162}, kNoProcess);
        break;
    case kReset:
        StartProcess({0, 42}, kNoProcess);
        break;
    case kSearchCommand:
        StartProcess({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, kSearch);
        break;
    case kStop:
        Stop();
        break;
    case kWebLink:
        OpenWebLink();
        break;
    case kAbout:
        ShowAbout();
        break;
    default:
        break;
    }
}

void MainDialog::StartProcess(std::initializer_list<std::uint8_t> commands, int mode) {
    if (!CanStartSequence()) {
        return;
    }
    CommandSequence.Load(commands);
    if (mode == kSearch) {
        m_Protocol.Device().pollingAddress = 0;
    }
    m_nProcessMode = mode;
    StartSequenceStep(this, &MainDialog::OnProcessAnswer);
    if (mode == kSearch) {
        m_pInfoPage->ClearAddresses();
    }
}

void MainDialog::OnProcessAnswer(void* userData, int success, std::uint8_t command) {
    auto* self = static_cast<MainDialog*>(userData);
    if (self->m_nProcessMode == kSearch) {
        self->ContinueSearch(success != 0);
        return;
    }
    if (AdvanceSequence(self, &MainDialog::OnProcessAnswer, success) != StepOutcome::Finished) {
        return;
    }
    if (self->m_nProcessMode == kGetValues) {
        self->ValueUpdate(0);
        self->ValueUpdate(1);
    } else if (command == 162) {
        PromptService::Show(LoadLanguageText("strVersion") + self->m_Protocol.Device().versionText,
                            kCaption, PromptService::Icon::Information);
    }
    ReportSequenceDone();
}

// Step k of the search asks polling address k; an address that does not
// answer is a result like one that does.
void MainDialog::ContinueSearch(bool found) {
    DeviceRecord& device = m_Protocol.Device();
    const auto step = [&] {
        if (found) {
            m_pInfoPage->AddAddress(device.pollingAddress);
        }
        device.pollingAddress = static_cast<std::uint8_t>(CommandSequence.index + 1);
    };
    if (AdvanceSequence(this, &MainDialog::OnProcessAnswer, found ? 1 : 0, OnFailure::Continue,
                        step) != StepOutcome::Finished) {
        return;
    }
    ShowProgress(true);
    std::string list;
    for (const std::string& address : m_pInfoPage->Addresses()) {
        list += (list.empty() ? " " : ", ") + address;
    }
    m_pInfoPage->ChooseFirstAddress();
    PromptService::Show(LoadLanguageText("strFindMeter") + list, m_strProductName,
                        PromptService::Icon::Information);
    m_pInfoPage->UseAddressShown();
    BusyFlag = false;
}

void MainDialog::Stop() {
    m_Pages[3]->HandleCommand(kStop); // a recording between its cycles ends here
    CancelSequence();
    if (BusyFlag) {
        BusyFlag = false;
        SetStatusText(0, LoadLanguageText("strBreak"));
    } else {
        m_Protocol.ClosePort();
    }
    m_pInfoPage->UseAddressShown();
    m_nProcessMode = kNoProcess;
}

void MainDialog::SwitchTab(int index) {
    Stop();
    for (TemplatePage* page : m_Pages) {
        page->hide();
    }
    ShowTrendTools(false);
    if (index < 0 || index >= static_cast<int>(kPageOfTab.size())) {
        return;
    }
    if (index == 4) {
        ShowTrendTools(true);
    }
    m_Pages[static_cast<std::size_t>(kPageOfTab[static_cast<std::size_t>(index)])]->show();
}

int MainDialog::CurrentTab() const {
    return m_pTabs != nullptr ? m_pTabs->currentIndex() : -1;
}

void MainDialog::ShowAbout() {
    AboutDialog about(this, m_strProgramDirectory);
    about.exec();
}

std::string MainDialog::SoftwareInfo(const char* key) const {
    // Read when needed: the file may change while the tool runs.
    return PrivateProfile::ReadString(m_strProgramDirectory + "qxrfw.dat", "SoftInf", key);
}

void MainDialog::OpenWebLink() {
    const std::string address = SoftwareInfo("web");
    if (!address.empty() && PromptService::Current() != nullptr) {
        PromptService::Current()->OpenAddress(address);
    }
}

// --- Display ---

void MainDialog::ShowProgress(bool finished) {
    if (m_pProgress == nullptr) {
        return;
    }
    m_pProgress->setRange(0, CommandSequence.count + 1);
    m_pProgress->setValue(finished ? CommandSequence.count + 1 : CommandSequence.index + 1);
}

void MainDialog::SetStatusText(int pane, const std::string& text) {
    if (pane >= 0 && pane < static_cast<int>(m_StatusPanes.size())) {
        m_StatusPanes[static_cast<std::size_t>(pane)]->setText(Text(text));
    }
}

QString MainDialog::StatusText(int pane) const {
    return pane >= 0 && pane < static_cast<int>(m_StatusPanes.size())
               ? m_StatusPanes[static_cast<std::size_t>(pane)]->text()
               : QString();
}

void MainDialog::ValueUpdate(int which) {
    const DeviceRecord& device = m_Protocol.Device();
    if (which == 0 && m_pPvLabel != nullptr) {
        m_pPvLabel->SetText(Text(FormatFixed(device.pv, 3) + "  " + device.pvUnitText));
    } else if (which == 1 && m_pCurrentLabel != nullptr && m_pPercentLabel != nullptr) {
        m_pCurrentLabel->SetText(Text(FormatFixed(device.loopCurrent, 3)));
        m_pPercentLabel->SetText(Text(FormatFixed(device.percentOfRange, 3)));
    }
}
