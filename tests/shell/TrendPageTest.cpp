// The trend page in the main window on a fake transmitter in virtual time:
// recording from the toolbar with the period of the combo, what the charts,
// gauge, list and value panel show, the layout with and without the list,
// the gauge choices, files without a port, and screenshots of a recording.
#include "shell/TrendPage.h"
#include "controls/ColorLabel.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "hart/UnitTables.h"
#include "platform/Formatting.h"
#include "shell/MainDialog.h"
#include "tests/hart/EngineFixture.h"
#include "tests/trend/TrendTransmitter.h"
#include "trend/TrendFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QTabBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using Commands = std::vector<std::uint8_t>;

// Answers the file dialogs with the paths set, and records messages.
class FilePrompt : public RecordingPrompt {
public:
    std::string AskOpenPath(const std::string& filter, const std::string&) override {
        m_Filters.push_back(filter);
        return m_strPath;
    }
    std::string AskSavePath(const std::string& fileName, const std::string& extension,
                            const std::string& filter, const std::string& title) override {
        m_Filters.push_back(fileName + "|" + extension + "|" + filter + "|" + title);
        return m_strPath;
    }
    std::string m_strPath;
    std::vector<std::string> m_Filters;
};

class TrendPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Folder = fs::path(::testing::TempDir()) /
                   ("calora_trend_" + std::to_string(::getpid()) + "_" +
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
                if (!m_bPortWorks) {
                    return nullptr;
                }
                auto link = std::make_unique<FakeLink>(m_Clock, std::move(onBytes));
                m_Transmitter.Attach(*link, m_Clock);
                return link;
            });
        m_pWindow = std::make_unique<MainDialog>(m_Protocol, m_Folder.string() + "/");
        m_pWindow->show();
        m_pWindow->findChild<QTabBar*>()->setCurrentIndex(4);
        m_pPage = qobject_cast<TrendPage*>(m_pWindow->Page(3));
        ASSERT_NE(m_pPage, nullptr);
    }

    void TearDown() override {
        m_pWindow.reset();
        CurrentLanguageFile.clear();
        ChineseUnitsFlag = false;
        fs::remove_all(m_Folder);
    }

    TrendPage& Page() { return *m_pPage; }
    // Runs until count more cycles have ended.
    void RunCycles(std::size_t count) {
        const std::size_t until = Page().Curves().current.Count() + count;
        for (int guard = 0; Page().Curves().current.Count() < until && guard < 100000; ++guard) {
            m_Clock.RunFor(100);
        }
        ASSERT_EQ(Page().Curves().current.Count(), until);
    }
    void Record(int command, std::size_t cycles) {
        m_pWindow->OnCommand(command);
        RunCycles(cycles);
    }
    void Stop() { m_pWindow->OnCommand(MainDialog::kStop); }
    QAbstractButton* Radio(int id) { return qobject_cast<QAbstractButton*>(Page().Control(id)); }
    std::string Path(const char* name) const { return (m_Folder / name).string(); }
    static std::string Text(const char* key) { return LoadLanguageText(key); }

    VirtualClock m_Clock;
    FilePrompt m_Prompt;
    HartProtocol m_Protocol;
    TrendTransmitter m_Transmitter;
    bool m_bPortWorks = true;
    fs::path m_Folder;
    std::unique_ptr<MainDialog> m_pWindow;
    TrendPage* m_pPage = nullptr;
};

} // namespace

TEST_F(TrendPageTest, RecordingAllFillsChartsGaugeAndValuePanel) {
    Record(TrendPage::kRecordAll, 3);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 15, 1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(Page().Enlarged(), nullptr);
    EXPECT_EQ(Page().PvChart().m_pSamples, &Page().Curves().pv);
    EXPECT_TRUE(Page().PercentChart().m_bFollow);
    EXPECT_EQ(Page().Curves().pv.Count(), 3u);
    // The PV chart took the transmitter's range, the gauge the last percent.
    EXPECT_EQ(Page().PvChart().m_YMinFull, -50.0 - 87.5);
    EXPECT_EQ(Page().Gauge().m_dValue, 50.5);
    EXPECT_EQ(m_pWindow->PvLabel()->Text().toStdString(), "22.000  \u00B0C");
    EXPECT_EQ(m_pWindow->PercentLabel()->Text().toStdString(), "50.500");
    EXPECT_TRUE(BusyFlag) << "nothing else starts between cycles";

    Stop();
    m_Clock.RunFor(20000);
    EXPECT_EQ(m_Transmitter.Commands().size(), 8u);
    EXPECT_FALSE(Page().Sampler().IsRecording());
    EXPECT_FALSE(BusyFlag);
}

TEST_F(TrendPageTest, ThePeriodComboSetsTheWaitBetweenCycles) {
    m_pWindow->PeriodCombo()->setCurrentIndex(1); // 4 seconds
    Record(TrendPage::kRecordCurrent, 2);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 2, 2}));
    // One cycle is one transaction of command 2; the next waits four ticks.
    const std::uint64_t cycle = m_Transmitter.TimeOf(2, 1) - m_Transmitter.TimeOf(2, 0);
    m_Clock.RunFor(100000);
    EXPECT_EQ(m_Transmitter.TimeOf(2, 2) - m_Transmitter.TimeOf(2, 1), cycle);
    EXPECT_GT(cycle, 4000u);
    EXPECT_LT(cycle, 5000u);
}

TEST_F(TrendPageTest, RecordingOneValueShowsItsChartAlone) {
    m_pWindow->OnCommand(TrendPage::kRecordPv);
    while (Page().Curves().pv.Empty() && m_Clock.PendingTimers() > 0) {
        m_Clock.RunFor(100);
    }
    ASSERT_EQ(Page().Enlarged(), &Page().PvChart());
    EXPECT_EQ(Page().PvChart().geometry(), QRect(2, 0, Page().width() - 2, Page().height()));
    EXPECT_TRUE(Page().PvChart().m_bFineGrid);
    EXPECT_FALSE(Page().CurrentChart().isVisible());
    EXPECT_FALSE(Page().Gauge().isVisible());
    EXPECT_FALSE(Radio(1078)->isVisible());
    EXPECT_EQ(m_pWindow->PvLabel()->Text().toStdString(), "21.500  \u00B0C");
    EXPECT_TRUE(Page().Curves().current.Empty());
    Stop();
    Record(TrendPage::kRecordAll, 1);
    EXPECT_EQ(Page().Enlarged(), nullptr);
    EXPECT_TRUE(Page().CurrentChart().isVisible());
    EXPECT_FALSE(Page().PvChart().m_bFineGrid);
}

TEST_F(TrendPageTest, LayoutPlacesChartsGaugeAndList) {
    struct Case {
        QSize page;
        bool list;
        QRect pv, current, percent, gauge;
    };
    const Case cases[] = {
        {{700, 400},
         false,
         {1, 1, 348, 198},
         {350, 1, 348, 198},
         {1, 200, 348, 198},
         {425, 200, 198, 198}},
        {{700, 400},
         true,
         {161, 1, 268, 198},
         {430, 1, 268, 198},
         {161, 200, 268, 198},
         {433, 200, 198, 198}},
        {{400, 700},
         false,
         {1, 1, 198, 348},
         {200, 1, 198, 348},
         {1, 350, 198, 348},
         {200, 425, 198, 198}},
        {{400, 700},
         true,
         {161, 1, 118, 348},
         {280, 1, 118, 348},
         {161, 350, 118, 348},
         {248, 465, 118, 118}},
    };
    for (const Case& c : cases) {
        if (Page().ListShown() != c.list) {
            m_pWindow->OnCommand(TrendPage::kToggleList);
        }
        Page().resize(c.page);
        EXPECT_EQ(Page().PvChart().geometry(), c.pv) << c.page.width() << c.list;
        EXPECT_EQ(Page().CurrentChart().geometry(), c.current) << c.page.width() << c.list;
        EXPECT_EQ(Page().PercentChart().geometry(), c.percent) << c.page.width() << c.list;
        EXPECT_EQ(Page().Gauge().geometry(), c.gauge) << c.page.width() << c.list;
        EXPECT_EQ(Page().List().geometry(), QRect(0, 0, c.list ? 160 : 0, c.page.height()));
        EXPECT_EQ(Page().List().isVisible(), c.list);
    }
    // The list button shows whether the list is shown.
    for (QAction* action : m_pWindow->ToolBar()->actions()) {
        if (action->data().toInt() == TrendPage::kToggleList) {
            EXPECT_TRUE(action->isChecked());
        }
    }
}

TEST_F(TrendPageTest, GaugeRadiosChooseRangeUnitAndDecimals) {
    EXPECT_TRUE(Radio(1080)->isChecked());
    EXPECT_EQ(Page().Gauge().m_dValue, 0.0);
    Radio(1079)->click();
    EXPECT_EQ(Page().Gauge().m_dMin, 4.0);
    EXPECT_EQ(Page().Gauge().m_strUnit, "mA");
    EXPECT_EQ(Page().Gauge().m_nScaleDecimals, 1);
    EXPECT_EQ(Page().Gauge().m_dValue, 4.0) << "no current recorded yet";
    Radio(1080)->click();
    EXPECT_EQ(Page().Gauge().m_dMax, 100.0);
    EXPECT_EQ(Page().Gauge().m_nValueDecimals, 2);
    EXPECT_EQ(Page().Gauge().m_nScaleDecimals, 1) << "nothing sets the decimals back";

    m_Transmitter.m_fLower = 0.0f;
    m_Transmitter.m_fUpper = 5.0f;
    Record(TrendPage::kRecordAll, 2);
    Radio(1078)->click();
    EXPECT_EQ(Page().Gauge().m_dMax, 5.0);
    EXPECT_EQ(Page().Gauge().m_strUnit, "\u00B0C");
    EXPECT_EQ(Page().Gauge().m_dValue, 21.75) << "the newest PV";
    RunCycles(1);
    EXPECT_EQ(Page().Gauge().m_dValue, 22.0) << "each cycle moves the needle";
}

TEST_F(TrendPageTest, ShowingThePageAgainKeepsTheCurvesUntilTheNextRecording) {
    Record(TrendPage::kRecordAll, 2);
    Stop();
    auto* tabs = m_pWindow->findChild<QTabBar*>();
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(4);
    EXPECT_EQ(Page().Curves().pv.Count(), 2u) << "a glance at another tab loses nothing";
    m_pWindow->OnCommand(TrendPage::kRecordAll);
    EXPECT_TRUE(Page().Curves().pv.Empty()) << "a new recording starts on clean charts";
    RunCycles(1);
    EXPECT_EQ(Page().Curves().pv.Count(), 1u);
    Stop();
    Record(TrendPage::kRecordAll, 1);
    EXPECT_EQ(Page().Curves().pv.Count(), 2u) << "without leaving the page it goes on";
}

TEST_F(TrendPageTest, StopEndsTheRecordingBeforeAnotherOperationStarts) {
    Record(TrendPage::kRecordAll, 1);
    Stop();
    m_pWindow->OnCommand(1005); // Get, within the recording's tick
    m_Clock.RunFor(30000);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 15, 1, 2, 0, 1, 2}));
    EXPECT_EQ(Page().Curves().pv.Count(), 1u);
}

TEST_F(TrendPageTest, SavingAndOpeningNeedNoPortButWaitForTheRecording) {
    Record(TrendPage::kRecordAll, 3);
    m_Prompt.m_strPath = Path("run.tdd");
    m_pWindow->OnCommand(TrendPage::kSaveFile);
    EXPECT_EQ(m_Prompt.m_Shown.back().text, Text("strBusy"));
    EXPECT_FALSE(fs::exists(Path("run.tdd")));
    Stop();
    m_bPortWorks = false; // the modem is unplugged
    m_Protocol.ClosePort();
    const TrendCurves recorded = Page().Curves();
    m_pWindow->OnCommand(TrendPage::kSaveFile);
    ASSERT_EQ(m_Prompt.m_Filters.size(), 1u) << "no file dialog";
    EXPECT_EQ(m_Prompt.m_Filters.back(),
              "Data1|tdd|tdd \u6587\u4EF6(*.tdd)|*.tdd|||Save Picture File");
    TrendCurves saved;
    ASSERT_TRUE(TrendFile::Load(Path("run.tdd"), saved).Ok());
    EXPECT_EQ(saved, recorded);

    // Loading shows the list, newest time first, and lets the charts scroll.
    m_pWindow->OnCommand(TrendPage::kOpenFile);
    EXPECT_EQ(m_Prompt.m_Filters.back(), "tdd \u6587\u4EF6(*.tdd)|*.tdd||");
    EXPECT_EQ(Page().Curves(), recorded);
    EXPECT_TRUE(Page().ListShown());
    ASSERT_EQ(Page().List().RowCount(), 9);
    EXPECT_EQ(Page().List().Text(0, 0), FormatTimeOfDay(recorded.current.Newest().time));
    EXPECT_EQ(Page().List().SortColumn(), 0);
    EXPECT_FALSE(Page().List().IsAscending());
    EXPECT_FALSE(Page().PvChart().m_bFollow);
    EXPECT_EQ(Page().CurrentChart().m_nTraceId, 77);
    EXPECT_EQ(Page().PvChart().m_YMaxFull, 300.0 + 87.5);
    EXPECT_EQ(Page().PvChart().m_nLast, 50) << "the newest samples are in the window";
}

TEST_F(TrendPageTest, AFileThatIsNoTrendFileKeepsWhatWasReadAndSaysSo) {
    Record(TrendPage::kRecordAll, 2);
    Stop();
    std::ofstream(Path("bad.tdd"), std::ios::binary) << "\x05"
                                                        "Curvf";
    m_Prompt.m_strPath = Path("bad.tdd");
    m_pWindow->OnCommand(TrendPage::kOpenFile);
    EXPECT_EQ(m_Prompt.m_Shown.back().text, Text("strFileError"));
    EXPECT_EQ(m_Prompt.m_Shown.back().icon, PromptService::Icon::Warning);
    EXPECT_TRUE(Page().Curves().pv.Empty());
    EXPECT_FALSE(Page().ListShown()) << "the page is not set up again";

    m_Prompt.m_strPath = Path("missing.tdd");
    m_pWindow->OnCommand(TrendPage::kOpenFile);
    EXPECT_EQ(m_Prompt.m_Shown.back().text.substr(0, Path("missing.tdd").size() + 12),
              Path("missing.tdd") + " can't Open!");
}

TEST_F(TrendPageTest, FillingTheListPausesAfterEvery102Rows) {
    struct Case {
        int pv, current, percent;
        int pauses;
    };
    // The count of rows runs on across the three curves.
    for (const Case& c :
         {Case{101, 0, 0, 0}, Case{0, 102, 0, 1}, Case{50, 50, 203, 2}, Case{102, 102, 102, 3}}) {
        TrendCurves curves;
        for (int i = 0; i < c.pv + c.current + c.percent; ++i) {
            SampleList& curve = i < c.pv               ? curves.pv
                                : i < c.pv + c.current ? curves.current
                                                       : curves.percent;
            curve.Append({20.0 + i, 1700000000 + i});
        }
        ASSERT_TRUE(TrendFile::Save(Path("fill.tdd"), curves).Ok());
        m_Prompt.m_strPath = Path("fill.tdd");
        const int waits = m_Clock.Waits();
        m_pWindow->OnCommand(TrendPage::kOpenFile);
        EXPECT_EQ(m_Clock.Waits() - waits, c.pauses) << c.pv + c.current + c.percent;
        EXPECT_EQ(Page().List().RowCount(), c.pv + c.current + c.percent);
    }
}

TEST_F(TrendPageTest, RelabelTakesHeadingsAndTitlesFromTheLanguage) {
    for (int language = 0; language < 2; ++language) {
        m_pWindow->OnCommand(MainDialog::kFirstLanguage + language);
        EXPECT_EQ(Page().PvChart().m_strTitle, LoadLanguageText("QXView4", "strPVCurve"));
        EXPECT_EQ(Page().PercentChart().m_strTitle, LoadLanguageText("QXView4", "strPercentCurve"));
        EXPECT_EQ(Page().List().model()->headerData(1, Qt::Horizontal).toString().toStdString(),
                  LoadLanguageText("QXView4", "strData"));
    }
    EXPECT_EQ(Page().PvChart().m_strTitle, "\u4E3B\u53D8\u91CF");
}

TEST_F(TrendPageTest, ScreenshotsOfARecordingInEachLanguage) {
    const fs::path out = CALORA_SCREENSHOT_DIR;
    fs::create_directories(out);
    for (int language = 0; language < 2; ++language) {
        m_pWindow->OnCommand(MainDialog::kFirstLanguage + language);
        if (!Page().ListShown()) {
            m_pWindow->OnCommand(TrendPage::kToggleList);
        }
        m_pWindow->OnCommand(MainDialog::kStop);
        m_Transmitter.m_fStep = 0.1f;
        Record(TrendPage::kRecordAll, 40);
        ChartCtrl& pv = Page().PvChart();
        pv.m_bFollow = false;
        pv.ShowReadout({pv.IndexToX(static_cast<long long>(pv.m_pSamples->Count()) - 8), 10});
        EXPECT_GE(pv.m_nCursor, 0);
        QApplication::processEvents();
        for (int scale : {1, 2}) {
            QPixmap picture(m_pWindow->size() * scale);
            picture.setDevicePixelRatio(scale);
            m_pWindow->render(&picture);
            const fs::path file = out / ("trend-" + std::string(language == 0 ? "en" : "zh") + "-" +
                                         std::to_string(scale * 100) + ".png");
            ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));
            EXPECT_GT(fs::file_size(file), 10000u);
        }
    }
}
