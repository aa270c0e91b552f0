// The configuration pages in the main window on a fake transmitter in
// virtual time: the keyboard trim, the checks with their focus, the sequences
// each button sends, round trips through the transmitter's memory, failures
// in the middle of a sequence, and screenshots after a Read.
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "hart/UnitTables.h"
#include "shell/CalibrationPage.h"
#include "shell/InfoPage.h"
#include "shell/MainDialog.h"
#include "shell/OutputPage.h"
#include "shell/SensorPage.h"
#include "tests/hart/EngineFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Answers the questions as told and records them.
class AnsweringPrompt : public RecordingPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string&) override {
        m_Asked.push_back(text);
        return m_bYes;
    }
    bool m_bYes = true;
    std::vector<std::string> m_Asked;
};

// A transmitter on the fake line that keeps what it is written and reads it
// back: the blocks of commands 17/18/19/186/187 answer 12/13/16/146/147, and
// 35 with 34 make the answer to 15.
class FakeTransmitter {
public:
    struct Request {
        std::uint8_t command;
        Bytes data;
        std::uint8_t shortAddress; // commands 0 only
    };

    void Attach(FakeLink& link) {
        link.m_OnWrite = [this, &link](const Bytes& frame, std::size_t) { Answer(link, frame); };
    }

    std::vector<std::uint8_t> Commands() const {
        std::vector<std::uint8_t> commands;
        for (const Request& request : m_Requests) {
            commands.push_back(request.command);
        }
        return commands;
    }
    const Request* Last(std::uint8_t command) const {
        for (auto it = m_Requests.rbegin(); it != m_Requests.rend(); ++it) {
            if (it->command == command) {
                return &*it;
            }
        }
        return nullptr;
    }

    std::map<std::uint8_t, Bytes> m_Memory{
        {12, Bytes(24, 0x82)},    {13, Join({Bytes(18, 0x82), {5, 3, 114}})},
        {16, {0x12, 0x34, 0x56}}, {146, Join({{3, 2, 0xFF, 0x01}, Float(0.5f), Float(-1.0f)})},
        {147, {1, 2, 1}},
    };
    std::uint8_t m_Unit = 32;
    Bytes m_Range = Join({Float(300.0f), Float(-50.0f)});
    Bytes m_Damping = Float(2.0f);
    int m_nAddress = 0;
    std::set<std::uint8_t> m_Silent; // commands left unanswered
    std::vector<Request> m_Requests;

private:
    void Answer(FakeLink& link, const Bytes& frame) {
        AnswerSpec spec;
        if (frame[10] == 0x02) {
            m_Requests.push_back({0, {}, frame[11]});
            if ((frame[11] & 0x0F) != m_nAddress) {
                return;
            }
            spec.command = 0;
            spec.longAddress = false;
            spec.shortAddress = frame[11];
            spec.data = {254, 0x26, 4, 5, 5, 1, 1, 1, 0, 1, 2, 3};
            link.Receive(MakeAnswer(spec), 100);
            return;
        }
        spec.command = frame[16];
        const Bytes data(frame.begin() + 18, frame.begin() + 18 + frame[17]);
        m_Requests.push_back({spec.command, data, 0});
        if (m_Silent.count(spec.command) != 0) {
            return;
        }
        static const std::map<std::uint8_t, std::uint8_t> kReadOf{
            {17, 12}, {18, 13}, {19, 16}, {186, 146}, {187, 147}};
        if (auto write = kReadOf.find(spec.command); write != kReadOf.end()) {
            m_Memory[write->second] = data;
        }
        switch (spec.command) {
        case 6:
            m_nAddress = data[0];
            spec.data = data;
            break;
        case 35:
            m_Unit = data[0];
            m_Range.assign(data.begin() + 1, data.end());
            spec.data = data;
            break;
        case 34:
            m_Damping = data;
            spec.data = data;
            break;
        case 15:
            spec.data = Join({{0, 0, m_Unit}, m_Range, m_Damping, {0, 0}});
            break;
        default:
            spec.data = m_Memory.count(spec.command) != 0 ? m_Memory[spec.command] : data;
            break;
        }
        link.Receive(MakeAnswer(spec), 100);
    }
};

class Pages : public ::testing::Test {
protected:
    void SetUp() override {
        m_Folder = fs::path(::testing::TempDir()) /
                   ("calora_pages_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_Folder);
        fs::create_directories(m_Folder / "settings");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((m_Folder / "settings").string()));
        for (const char* file : {"English.ini", "SimpleChinese.ini"}) {
            fs::copy_file(fs::path(CALORA_SOURCE_DIR) / "lang" / file, m_Folder / file);
        }
        BusyFlag = false;
        CancelFlag = false;
        ChineseUnitsFlag = false;
        m_Protocol.SetLinkOpener(
            [this](int, SerialLink::BytesCallback onBytes) -> std::unique_ptr<SerialLink> {
                auto link = std::make_unique<FakeLink>(m_Clock, std::move(onBytes));
                m_Transmitter.Attach(*link);
                return link;
            });
        m_pWindow = std::make_unique<MainDialog>(m_Protocol, m_Folder.string() + "/");
        m_pWindow->show();
    }

    void TearDown() override {
        m_pWindow.reset();
        CurrentLanguageFile.clear();
        ChineseUnitsFlag = false;
        fs::remove_all(m_Folder);
    }

    template <typename P> P& Page(int index) {
        auto* page = qobject_cast<P*>(m_pWindow->Page(index));
        EXPECT_NE(page, nullptr);
        return *page;
    }
    template <typename T> T* Item(int page, int id) {
        return qobject_cast<T*>(m_pWindow->Page(page)->Control(id));
    }
    void Click(int page, int id) {
        Item<QAbstractButton>(page, id)->click();
        m_Clock.RunFor(60000);
    }
    void Enter(QWidget* target) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
        m_Clock.RunFor(60000);
    }
    void ShowTab(int tab) { m_pWindow->findChild<QTabBar*>()->setCurrentIndex(tab); }
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& shown : m_Prompt.m_Shown) {
            texts.push_back(shown.text);
        }
        return texts;
    }
    static std::string Text(const char* key) { return LoadLanguageText(key); }

    VirtualClock m_Clock;
    AnsweringPrompt m_Prompt;
    HartProtocol m_Protocol;
    FakeTransmitter m_Transmitter;
    fs::path m_Folder;
    std::unique_ptr<MainDialog> m_pWindow;
};

using Commands = std::vector<std::uint8_t>;

TEST_F(Pages, TrimFromTheKeyboard) {
    OutputPage& page = Page<OutputPage>(0);
    auto* first = Item<QLineEdit>(0, 1001);
    auto* second = Item<QLineEdit>(0, 1046);
    Click(0, 1004);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 40}));
    EXPECT_EQ(m_Transmitter.Last(40)->data, Float(4.0f));
    EXPECT_EQ(page.focusWidget(), first);
    first->setText(QStringLiteral("4.012"));
    Enter(first);
    EXPECT_EQ(m_Transmitter.Last(40)->data, Float(20.0f));
    EXPECT_EQ(page.focusWidget(), second);
    second->setText(QStringLiteral("19.987"));
    Enter(second);
    EXPECT_EQ(m_Prompt.m_Asked, std::vector<std::string>{Text("strTrimCurrent")});
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 40, 0, 40, 0, 45, 46, 40}));
    EXPECT_EQ(m_Transmitter.Last(45)->data, Float(4.012f));
    EXPECT_EQ(m_Transmitter.Last(46)->data, Float(19.987f));
    EXPECT_EQ(m_Transmitter.Last(40)->data, Float(0.0f));
    EXPECT_EQ(page.focusWidget(), Item<QWidget>(0, 1004));
    EXPECT_EQ(m_pWindow->StatusText(0).toStdString(), Text("strOpOK"));
    EXPECT_TRUE(m_Prompt.m_Shown.empty());
    // Update clicked: the focus goes to the first Test button once the trim is done.
    second->setFocus();
    Item<QPushButton>(0, 1047)->click();
    EXPECT_EQ(page.focusWidget(), second);
    m_Clock.RunFor(60000);
    EXPECT_EQ(page.focusWidget(), Item<QWidget>(0, 1004));
}

TEST_F(Pages, TrimChecksRefuseWithTheFocusOnTheReadingAndNoSendsNothing) {
    OutputPage& page = Page<OutputPage>(0);
    const struct {
        const char* first;
        const char* second;
        int focus;
    } cases[] = {{"2.999", "20", 1001},
                 {"6.001", "20", 1001},
                 {"", "20", 1001},
                 {"4", "17.9", 1046},
                 {"4", "22.01", 1046}};
    for (const auto& c : cases) {
        m_Prompt.m_Shown.clear();
        Item<QLineEdit>(0, 1001)->setText(c.first);
        Item<QLineEdit>(0, 1046)->setText(c.second);
        Click(0, 1047);
        ASSERT_EQ(Shown(), std::vector<std::string>{Text("strCurrentErr")}) << c.first;
        EXPECT_EQ(m_Prompt.m_Shown[0].caption, "HART");
        EXPECT_EQ(page.focusWidget(), Item<QWidget>(0, c.focus)) << c.first << " " << c.second;
    }
    m_Prompt.m_bYes = false;
    m_Protocol.Device().trimZeroCurrent = 1.0f;
    Item<QLineEdit>(0, 1001)->setText("4");
    Item<QLineEdit>(0, 1046)->setText("20");
    Click(0, 1047);
    EXPECT_EQ(m_Prompt.m_Asked.size(), 6u);
    EXPECT_EQ(m_Transmitter.Commands(), Commands{});
    EXPECT_EQ(m_Protocol.Device().trimZeroCurrent, 1.0f);
}

TEST_F(Pages, SendFixesThePresetOrTheTypedCurrentInItsBand) {
    Click(0, 1012);
    Click(0, 1021);
    EXPECT_EQ(m_Transmitter.Last(40)->data, Float(3.8f));
    Click(0, 1018);
    Click(0, 1021);
    EXPECT_EQ(m_Transmitter.Last(40)->data, Float(20.5f));
    EXPECT_FALSE(Item<QLineEdit>(0, 1020)->isEnabled());
    Click(0, 1019);
    EXPECT_TRUE(Item<QLineEdit>(0, 1020)->isEnabled());
    Click(0, 1021); // empty: 0 mA
    EXPECT_EQ(Shown(), std::vector<std::string>{Text("strCurrentErr")});
    Item<QLineEdit>(0, 1020)->setText("11.5");
    Click(0, 1021);
    EXPECT_EQ(m_Transmitter.Last(40)->data, Float(11.5f));
    Click(0, 1022);
    EXPECT_EQ(m_Transmitter.Last(40)->data, Float(0.0f));
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 40, 0, 40, 0, 40, 0, 40}));
}

// A step that fails ends the sequence there with the failure message.
TEST_F(Pages, FailureInTheMiddleStopsEachPagesSequence) {
    const struct {
        int tab, page, button;
        std::uint8_t silent;
        Commands sent; // distinct commands, in order
    } cases[] = {
        {0, 0, 1047, 45, {0, 45}}, {1, 1, 1049, 147, {0, 15, 147}}, {1, 1, 1168, 186, {0, 35, 186}},
        {2, 2, 1163, 17, {0, 17}}, {3, 4, 1025, 37, {0, 37}},
    };
    Item<QLineEdit>(0, 1001)->setText("4");
    Item<QLineEdit>(0, 1046)->setText("20");
    for (const auto& c : cases) {
        ShowTab(c.tab);
        m_Transmitter.m_Requests.clear();
        m_Transmitter.m_Silent = {c.silent};
        m_Prompt.m_Shown.clear();
        Click(c.page, c.button);
        Commands sent = m_Transmitter.Commands();
        sent.erase(std::unique(sent.begin(), sent.end()), sent.end());
        EXPECT_EQ(sent, c.sent) << c.button;
        // The failure message, then why: the command that got no answer.
        ASSERT_EQ(Shown().size(), 1u) << c.button;
        EXPECT_TRUE(Shown()[0].starts_with(Text("strCommFail") + "\n")) << Shown()[0];
        EXPECT_NE(Shown()[0].find(std::to_string(c.silent)), std::string::npos) << Shown()[0];
        EXPECT_EQ(m_pWindow->StatusText(0).toStdString(), Text("strOpFail"));
        EXPECT_FALSE(BusyFlag);
    }
}

TEST_F(Pages, SensorReadShowsTheConfigurationAndUpdateWritesItBack) {
    ShowTab(1);
    Click(1, 1049);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 15, 147, 146}));
    EXPECT_TRUE(Item<QRadioButton>(1, 1141)->isChecked());
    EXPECT_TRUE(Item<QRadioButton>(1, 1143)->isChecked());
    EXPECT_EQ(Item<QComboBox>(1, 1165)->currentIndex(), 14); // Type K
    EXPECT_EQ(Item<QComboBox>(1, 1186)->currentIndex(), 13); // Type J
    EXPECT_FALSE(Item<QComboBox>(1, 1167)->isEnabled());
    EXPECT_EQ(Item<QLineEdit>(1, 1001)->text().toStdString(), "-50.000");
    EXPECT_EQ(Item<QLineEdit>(1, 1031)->text().toStdString(), "300.000");
    EXPECT_EQ(Item<QLineEdit>(1, 1002)->text().toStdString(), "0.500");
    EXPECT_EQ(Item<QLineEdit>(1, 1161)->text().toStdString(), "2.0");
    EXPECT_EQ(Item<QComboBox>(1, 1030)->currentText().toStdString(), "°C");
    EXPECT_EQ(Item<QComboBox>(1, 1024)->currentIndex(), 2);

    const auto before = m_Transmitter.m_Memory;
    const Bytes range = m_Transmitter.m_Range;
    Click(1, 1168);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 15, 147, 146, 0, 35, 186, 187, 34, 42}));
    EXPECT_EQ(m_Transmitter.m_Memory, before);
    EXPECT_EQ(m_Transmitter.m_Range, range);
    EXPECT_EQ(m_Transmitter.m_Unit, 32);
    EXPECT_EQ(m_Transmitter.m_Damping, Float(2.0f));
}

TEST_F(Pages, SensorChecksRefuseBeforeSending) {
    ShowTab(1);
    SensorPage& page = Page<SensorPage>(1);
    Click(1, 1049);
    m_Transmitter.m_Requests.clear();
    const auto refuse = [&](const char* key, int focus) {
        m_Prompt.m_Shown.clear();
        Click(1, 1168);
        ASSERT_EQ(Shown(), std::vector<std::string>{Text(key)});
        EXPECT_EQ(m_Prompt.m_Shown[0].icon, PromptService::Icon::Error);
        EXPECT_EQ(page.focusWidget(), Item<QWidget>(1, focus)) << key;
    };
    Item<QLineEdit>(1, 1031)->setText("-45");
    refuse("SpanErr", 1031);
    Item<QLineEdit>(1, 1031)->setText("100");
    const auto choose = [&](int id, int position) {
        auto* combo = Item<QComboBox>(1, id);
        combo->setCurrentIndex(position);
        emit combo->activated(position);
    };
    choose(1165, 0); // PT100, which fills the range again
    Item<QLineEdit>(1, 1031)->setText("100");
    choose(1167, 2); // 4 Wire
    refuse("Sen1WireErr", 1167);
    choose(1167, 1);
    choose(1186, 21); // 0...400R averaged with PT100
    refuse("SenMatchErr", 1186);
    EXPECT_TRUE(m_Transmitter.Commands().empty());
    Click(1, 1145); // independent mode takes any pair
    Click(1, 1168);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 35, 186, 187, 34, 42}));
    EXPECT_EQ(m_Transmitter.Last(186)->data[0], 10);
    EXPECT_EQ(m_Transmitter.Last(186)->data[1], 21);
    EXPECT_EQ(m_Transmitter.Last(186)->data[3], 0x03);
}

TEST_F(Pages, UnitChangeConvertsAndRelabellingResetsThePage) {
    ShowTab(1);
    auto* unit = Item<QComboBox>(1, 1030);
    Item<QLineEdit>(1, 1001)->setText("0");
    Item<QLineEdit>(1, 1031)->setText("100");
    Item<QLineEdit>(1, 1002)->setText("1");
    unit->setCurrentIndex(1);
    emit unit->activated(1);
    EXPECT_EQ(Item<QLineEdit>(1, 1001)->text().toStdString(), "273.160");
    unit->setCurrentIndex(2);
    emit unit->activated(2);
    EXPECT_EQ(Item<QLineEdit>(1, 1001)->text().toStdString(), "32.000");
    EXPECT_EQ(Item<QLineEdit>(1, 1031)->text().toStdString(), "212.000");
    EXPECT_EQ(Item<QLineEdit>(1, 1002)->text().toStdString(), "1.800");

    Page<SensorPage>(1).Relabel();
    EXPECT_EQ(unit->currentText().toStdString(), "°C");
    EXPECT_EQ(Item<QLineEdit>(1, 1001)->text().toStdString(), "-200");
    EXPECT_EQ(Item<QComboBox>(1, 1165)->currentIndex(), 0);
    EXPECT_EQ(Item<QComboBox>(1, 1167)->currentIndex(), 1);
    EXPECT_EQ(Item<QComboBox>(1, 1032)->currentIndex(), -1);
}

TEST_F(Pages, InformationRoundTripAddressChangeAndFinalAssemblyNumber) {
    ShowTab(2);
    Item<QLineEdit>(2, 1032)->setText("tt 7");
    Item<QLineEdit>(2, 1033)->setText("boiler inlet");
    Item<QLineEdit>(2, 1034)->setText("checked in march");
    Item<QDateEdit>(2, 1101)->setDate(QDate(2014, 3, 5));
    Click(2, 1163);
    Item<QLineEdit>(2, 1032)->clear();
    Item<QDateEdit>(2, 1101)->setDate(QDate(2020, 1, 1));
    Click(2, 1048);
    EXPECT_EQ(Item<QLineEdit>(2, 1032)->text().toStdString(), "TT 7");
    EXPECT_EQ(Item<QLineEdit>(2, 1033)->text().toStdString(), "BOILER INLET");
    EXPECT_EQ(Item<QLineEdit>(2, 1034)->text().toStdString(), "CHECKED IN MARCH");
    EXPECT_EQ(Item<QDateEdit>(2, 1101)->date(), QDate(2014, 3, 5));

    // A date that is no date leaves the picker as it is.
    m_Transmitter.m_Memory[13][19] = 13;
    Click(2, 1048);
    EXPECT_EQ(Item<QDateEdit>(2, 1101)->date(), QDate(2014, 3, 5));

    Item<QLineEdit>(2, 1038)->setText("-1");
    Click(2, 1040);
    EXPECT_EQ(Shown(), std::vector<std::string>{Text("strNOErr")});
    Item<QLineEdit>(2, 1038)->setText("3");
    Click(2, 1040);
    EXPECT_EQ(Item<QComboBox>(2, 1025)->currentText().toStdString(), "3");
    m_Transmitter.m_Requests.clear();
    Item<QLineEdit>(2, 1039)->setText("ab12");
    Click(2, 1168);
    ASSERT_FALSE(m_Transmitter.m_Requests.empty());
    EXPECT_EQ(m_Transmitter.m_Requests.front().shortAddress, 0x83);
    EXPECT_EQ(m_Transmitter.Last(19)->data, (Bytes{0x00, 0xAB, 0x12}));
    Item<QLineEdit>(2, 1039)->clear();
    Click(2, 1049);
    EXPECT_EQ(Item<QLineEdit>(2, 1039)->text().toStdString(), "00AB12");
}

TEST_F(Pages, TypedAddressIsUsedAtOnce) {
    QLineEdit* edit = Item<QComboBox>(2, 1025)->lineEdit();
    edit->clear();
    for (char key : std::string("7")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QString(QChar(key)));
        QApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(m_Protocol.Device().pollingAddress, 7);
}

TEST_F(Pages, CalibrationAsksBeforeEitherEnd) {
    ShowTab(3);
    Click(4, 1025);
    Click(4, 1027);
    EXPECT_EQ(m_Prompt.m_Asked, (std::vector<std::string>{Text("strSetZero"), Text("strSetFull")}));
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 37, 0, 36}));
    m_Prompt.m_bYes = false;
    Click(4, 1025);
    EXPECT_EQ(m_Transmitter.Commands().size(), 4u);
}

TEST_F(Pages, ScreenshotsAfterAReadInEachLanguage) {
    const fs::path out = CALORA_SCREENSHOT_DIR;
    fs::create_directories(out);
    const struct {
        int tab, page, read;
    } reads[] = {{0, 0, 0}, {1, 1, 1049}, {2, 2, 1048}, {3, 4, 0}};
    for (int language = 0; language < 2; ++language) {
        m_pWindow->OnCommand(32797 + language);
        for (const auto& r : reads) {
            ShowTab(r.tab);
            if (r.read != 0) {
                Click(r.page, r.read);
            }
            if (r.page == 2) {
                Item<QLineEdit>(2, 1032)->setText("TT101");
                Item<QLineEdit>(2, 1033)->setText("BOILER INLET");
                Item<QLineEdit>(2, 1034)->setText("CHECKED 2014-03-05");
                Click(2, 1163);
                Click(2, 1048);
                Click(2, 1049);
            }
            QApplication::processEvents();
            for (int scale : {1, 2}) {
                QPixmap picture(m_pWindow->size() * scale);
                picture.setDevicePixelRatio(scale);
                m_pWindow->render(&picture);
                const fs::path file = out / ("page" + std::to_string(r.tab + 1) + "-" +
                                             (language == 0 ? "en" : "zh") + "-" +
                                             std::to_string(scale * 100) + ".png");
                ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));
            }
        }
    }
    EXPECT_TRUE(m_Prompt.m_Shown.empty()) << Shown().front();
}

} // namespace
