#pragma once

#include "hart/UnitTables.h"
#include "shell/MainDialog.h"
#include "shell/TemplatePage.h"
#include "sim/RequestAssembler.h"
#include "sim/Simulator.h"
#include "tests/hart/EngineFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QTabBar>
#include <QToolBar>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <ranges>
#include <set>

inline std::string Text(const char* key) {
    return LoadLanguageText(key);
}

// Also answers every question and file dialog as told, and records them and
// the addresses the window asks the desktop to open.
class AnsweringPrompt : public RecordingPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string&) override {
        m_Asked.push_back(text);
        return m_bYes;
    }
    std::string AskOpenPath(const std::string& filter, const std::string&) override {
        m_Asked.push_back(filter);
        return m_strPath;
    }
    std::string AskSavePath(const std::string& fileName, const std::string& extension,
                            const std::string& filter, const std::string& title) override {
        m_Asked.push_back(fileName + "|" + extension + "|" + filter + "|" + title);
        return m_strPath;
    }
    void OpenAddress(const std::string& address) override { m_Opened.push_back(address); }
    std::vector<std::string> m_Asked, m_Opened;
    std::string m_strPath;
    bool m_bYes = true;
};

inline QAction* ToolButton(MainDialog& window, int id) {
    const QList<QAction*> actions = window.ToolBar()->actions();
    const auto found = std::ranges::find(actions, id, [](QAction* a) { return a->data().toInt(); });
    EXPECT_TRUE(found != actions.end()) << "no toolbar button " << id;
    return found != actions.end() ? *found : actions.front();
}

// The main window in virtual time, on a fake line to the simulated
// transmitter (or whatever m_Attach puts on it), in a folder of its own with
// the shipped language files: what the window tests and the screenshots drive.
class PageWindow {
public:
    using Bytes = std::vector<std::uint8_t>;
    // kLater leaves the window to Open(), after the test set the folder up;
    // kBare also ships no language files.
    enum Start { kOpen, kLater, kBare };

    explicit PageWindow(const SimOptions& options = {}, Start start = kOpen)
        : m_Simulator(options, nullptr), m_Folder(std::filesystem::temp_directory_path() /
                                                  ("calora_pages_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(m_Folder);
        std::filesystem::create_directories(m_Folder / "settings");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((m_Folder / "settings").string()));
        if (start != kBare) {
            Ship("lang", "English.ini");
            Ship("lang", "SimpleChinese.ini");
        }
        BusyFlag = CancelFlag = false;
        m_Protocol.SetLinkOpener([this](int port, SerialLink::BytesCallback onBytes) {
            if (!m_Ports.contains(port)) {
                return std::unique_ptr<SerialLink>();
            }
            auto link = std::make_unique<FakeLink>(m_Clock, std::move(onBytes));
            link->m_OnWrite = [this, line = link.get()](const Bytes& frame, std::size_t) {
                for (RequestFrame& request : RequestAssembler().Feed(frame).m_frames) {
                    m_Requests.push_back(std::move(request));
                }
                const double now = static_cast<double>(m_Clock.Now()) / 1000.0;
                m_Simulator.Receive(frame, now);
                if (Bytes answer = m_Simulator.TakeDue(now + 1.0); !answer.empty()) {
                    line->Receive(std::move(answer), 100);
                }
            };
            if (m_Attach) {
                m_Attach(*link);
            }
            return std::unique_ptr<SerialLink>(std::move(link));
        });
        if (start == kOpen) {
            Open();
        }
    }
    ~PageWindow() {
        m_pWindow.reset();
        CurrentLanguageFile.clear();
        ChineseUnitsFlag = false;
        std::filesystem::remove_all(m_Folder);
    }

    MainDialog& Open() {
        m_pWindow = std::make_unique<MainDialog>(m_Protocol, m_Folder.string() + "/");
        m_pWindow->show();
        return *m_pWindow;
    }
    // Copies a file of the source tree's folder into the program folder.
    void Ship(const char* folder, const char* file) const {
        std::filesystem::copy_file(std::filesystem::path(CALORA_SOURCE_DIR) / folder / file,
                                   m_Folder / file);
    }

    template <typename T = QLineEdit> T* Item(int page, int id) const {
        return qobject_cast<T*>(m_pWindow->Page(page)->Control(id));
    }
    void Type(int page, int id, const char* text) const { Item(page, id)->setText(text); }
    // Clicks the button and lets what it starts run to its end.
    void Click(int page, int id) {
        Item<QAbstractButton>(page, id)->click();
        m_Clock.RunFor(60000);
    }
    void ShowTab(int tab) const { m_pWindow->findChild<QTabBar*>()->setCurrentIndex(tab); }
    void Choose(int page, int id, int position) const {
        auto* combo = Item<QComboBox>(page, id);
        combo->setCurrentIndex(position);
        emit combo->activated(position);
    }
    // Enter released in the edit, and what it starts run to its end.
    void Enter(int page, int id) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(Item(page, id), &release);
        m_Clock.RunFor(60000);
    }
    bool Focused(int page, int id) const {
        return m_pWindow->Page(page)->focusWidget() == Item<QWidget>(page, id);
    }
    // The texts of the messages shown, each followed by "|".
    std::string Shown() const {
        return std::accumulate(m_Prompt.m_Shown.begin(), m_Prompt.m_Shown.end(), std::string(),
                               [](std::string all, const auto& s) { return all + s.text + "|"; });
    }
    std::string Status() const { return m_pWindow->StatusText(0).toStdString(); }

    DeviceConfig& Transmitter() { return m_Simulator.Device(0).Config(); }
    Bytes Commands() const {
        const auto commands = m_Requests | std::views::transform(&RequestFrame::m_command);
        return {commands.begin(), commands.end()};
    }
    // The data of the last request of that command; empty when none was sent.
    Bytes Sent(std::uint8_t command) const {
        const auto last =
            std::ranges::find(m_Requests | std::views::reverse, command, &RequestFrame::m_command);
        return last == m_Requests.rend() ? Bytes{} : last->m_data;
    }

    VirtualClock m_Clock;
    AnsweringPrompt m_Prompt;
    HartProtocol m_Protocol;
    Simulator m_Simulator;
    std::vector<RequestFrame> m_Requests;
    std::set<int> m_Ports{1}; // the COM numbers that open
    // Another transmitter on each line opened, in the simulator's place.
    std::function<void(FakeLink&)> m_Attach;
    std::filesystem::path m_Folder;
    std::unique_ptr<MainDialog> m_pWindow;
};
