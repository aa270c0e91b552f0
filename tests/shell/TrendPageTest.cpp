// The trend page in the main window on a fake transmitter in virtual time:
// recording from the toolbar with the period of the combo, what the charts,
// gauge, list and value panel show, the layout with and without the list,
// the gauge choices and files without a port.
#include "shell/TrendPage.h"
#include "controls/ColorLabel.h"
#include "platform/Formatting.h"
#include "tests/shell/PageWindow.h"
#include "tests/trend/TrendTransmitter.h"
#include "trend/TrendFile.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <tuple>

namespace {

using Commands = std::vector<std::uint8_t>;

class TrendPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        w.m_Attach = [this](FakeLink& link) { m_Transmitter.Attach(link, w.m_Clock); };
        w.Open();
        w.ShowTab(4);
    }

    TrendPage& Page() { return *qobject_cast<TrendPage*>(w.m_pWindow->Page(3)); }
    // Runs until count more cycles have ended.
    void RunCycles(std::size_t count) {
        const std::size_t until = Page().Curves().current.Count() + count;
        for (int guard = 0; Page().Curves().current.Count() < until && guard < 100000; ++guard) {
            w.m_Clock.RunFor(100);
        }
        ASSERT_EQ(Page().Curves().current.Count(), until);
    }
    void Record(int command, std::size_t cycles) {
        w.m_pWindow->OnCommand(command);
        RunCycles(cycles);
    }
    void Stop() { w.m_pWindow->OnCommand(MainDialog::kStop); }
    QAbstractButton* Radio(int id) { return qobject_cast<QAbstractButton*>(Page().Control(id)); }
    // Opens the file from the file dialog.
    void Open(const std::string& path) {
        w.m_Prompt.m_strPath = path;
        w.m_pWindow->OnCommand(TrendPage::kOpenFile);
    }
    std::string Path(const char* name) const { return (w.m_Folder / name).string(); }

    TrendTransmitter m_Transmitter;
    PageWindow w{{}, PageWindow::kLater};
};

TEST_F(TrendPageTest, RecordingAllFillsChartsGaugeAndValuePanelThenSavesAndOpensWithoutPort) {
    Record(TrendPage::kRecordAll, 3);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 15, 1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(Page().PvChart().m_pSamples, &Page().Curves().pv);
    EXPECT_TRUE(Page().PercentChart().m_bFollow);
    // The PV chart took the transmitter's range, the gauge the last percent.
    EXPECT_EQ(Page().PvChart().m_YMinFull, -50.0 - 87.5);
    EXPECT_EQ(Page().Gauge().m_dValue, 50.5);
    EXPECT_EQ(w.m_pWindow->PvLabel()->Text().toStdString(), "22.000  \u00B0C");
    EXPECT_EQ(w.m_pWindow->PercentLabel()->Text().toStdString(), "50.500");
    EXPECT_TRUE(BusyFlag) << "nothing else starts between cycles";
    // Saving waits for the recording.
    w.m_Prompt.m_strPath = Path("run.tdd");
    w.m_pWindow->OnCommand(TrendPage::kSaveFile);
    EXPECT_EQ(w.Shown(), Text("strBusy") + "|");
    EXPECT_FALSE(std::filesystem::exists(Path("run.tdd")));

    Stop();
    w.m_Clock.RunFor(20000);
    EXPECT_EQ(m_Transmitter.Commands().size(), 8u);
    EXPECT_FALSE(Page().Sampler().IsRecording());
    EXPECT_FALSE(BusyFlag);
    // Saving and opening need no port; a bad file is reported.
    w.m_Ports.clear(); // the modem is unplugged
    w.m_Protocol.ClosePort();
    const TrendCurves recorded = Page().Curves();
    w.m_pWindow->OnCommand(TrendPage::kSaveFile);
    // One file dialog: none was shown while recording.
    EXPECT_EQ(w.m_Prompt.m_Asked, std::vector<std::string>{"Data1|tdd|tdd \u6587\u4EF6(*.tdd)|"
                                                           "*.tdd|||Save Picture File"});
    // A file that is no trend file empties the curves and says so; the page
    // is not set up for it.
    std::ofstream(Path("bad.tdd"), std::ios::binary) << "\x05"
                                                        "Curvf";
    Open(Path("bad.tdd"));
    EXPECT_EQ(w.m_Prompt.m_Shown.back().text, Text("strFileError"));
    EXPECT_EQ(w.m_Prompt.m_Shown.back().icon, PromptService::Icon::Warning);
    EXPECT_TRUE(Page().Curves().pv.Empty());
    EXPECT_FALSE(Page().ListShown());
    Open(Path("missing.tdd"));
    EXPECT_TRUE(w.m_Prompt.m_Shown.back().text.starts_with(Path("missing.tdd") + " can't Open!"));

    // Opening what was saved shows the list, newest first; the charts scroll.
    Open(Path("run.tdd"));
    EXPECT_EQ(w.m_Prompt.m_Asked.back(), "tdd \u6587\u4EF6(*.tdd)|*.tdd||");
    EXPECT_EQ(Page().Curves(), recorded);
    EXPECT_TRUE(Page().ListShown());
    ASSERT_EQ(Page().List().RowCount(), 9);
    EXPECT_EQ(Page().List().Text(0, 0), FormatTimeOfDay(recorded.current.Newest().time));
    EXPECT_EQ(std::pair(Page().List().SortColumn(), Page().List().IsAscending()),
              std::pair(0, false));
    EXPECT_FALSE(Page().PvChart().m_bFollow);
    EXPECT_EQ(Page().CurrentChart().m_nTraceId, 77);
    EXPECT_EQ(Page().PvChart().m_YMaxFull, 300.0 + 87.5);
    EXPECT_EQ(Page().PvChart().m_nLast, 50) << "the newest samples are in the window";
}

// Get fills the value panel and refuses a second command meanwhile; a
// restore from minimised keeps the status and the period, which sets the wait
// between cycles.
TEST_F(TrendPageTest, GetFillsTheValuePanelAndThePeriodComboSetsTheWaitBetweenCycles) {
    MainDialog& window = *w.m_pWindow;
    window.PeriodCombo()->setCurrentIndex(1); // 4 seconds
    window.OnCommand(MainDialog::kGetValues);
    w.m_Clock.RunFor(300);
    window.OnCommand(MainDialog::kOnLine);
    EXPECT_EQ(w.Shown(), Text("strBusy") + "|");
    w.m_Clock.RunFor(10000);
    EXPECT_EQ(window.PvLabel()->Text() + "|" + window.CurrentLabel()->Text() + "|" +
                  window.PercentLabel()->Text(),
              QStringLiteral("21.500  \u00B0C|12.000|50.000"));
    window.hide();
    window.show();
    EXPECT_EQ(w.Status(), Text("strOpOK"));
    Record(TrendPage::kRecordCurrent, 2);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 1, 2, 0, 2, 2}));
    // One cycle is one transaction of command 2 and a wait of four ticks.
    const std::uint64_t cycle = m_Transmitter.TimeOf(2, 2) - m_Transmitter.TimeOf(2, 1);
    EXPECT_GT(cycle, 4000u);
    EXPECT_LT(cycle, 5000u);
}

TEST_F(TrendPageTest, RecordingOneValueShowsItsChartAlone) {
    w.m_pWindow->OnCommand(TrendPage::kRecordPv);
    w.m_Clock.RunFor(3000); // the first cycle's sample, before the next cycle
    ASSERT_EQ(Page().Enlarged(), &Page().PvChart());
    EXPECT_EQ(Page().PvChart().geometry(), QRect(2, 0, Page().width() - 2, Page().height()));
    EXPECT_TRUE(Page().PvChart().m_bFineGrid);
    EXPECT_FALSE(Page().CurrentChart().isVisible());
    EXPECT_FALSE(Page().Gauge().isVisible());
    EXPECT_FALSE(Radio(1078)->isVisible());
    EXPECT_EQ(w.m_pWindow->PvLabel()->Text().toStdString(), "21.500  \u00B0C");
    EXPECT_TRUE(Page().Curves().current.Empty());
    Stop();
    Record(TrendPage::kRecordAll, 1);
    EXPECT_EQ(Page().Enlarged(), nullptr);
    EXPECT_TRUE(Page().CurrentChart().isVisible());
    EXPECT_FALSE(Page().PvChart().m_bFineGrid);
}

TEST_F(TrendPageTest, LayoutPlacesChartsGaugeAndListAndGaugeRadiosChooseItsScale) {
    // Left, top, width and height of the PV, current and percent charts and of
    // the gauge, on a page 700 × 400 or 400 × 700, with or without the list.
    const struct {
        int width;
        bool list;
        int placed[16];
    } cases[] = {
        {700, false, {1, 1, 348, 198, 350, 1, 348, 198, 1, 200, 348, 198, 425, 200, 198, 198}},
        {700, true, {161, 1, 268, 198, 430, 1, 268, 198, 161, 200, 268, 198, 433, 200, 198, 198}},
        {400, false, {1, 1, 198, 348, 200, 1, 198, 348, 1, 350, 198, 348, 200, 425, 198, 198}},
        {400, true, {161, 1, 118, 348, 280, 1, 118, 348, 161, 350, 118, 348, 248, 465, 118, 118}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + (c.list ? " with list" : ""));
        if (Page().ListShown() != c.list) {
            w.m_pWindow->OnCommand(TrendPage::kToggleList);
        }
        Page().resize(c.width, 1100 - c.width);
        const QWidget* parts[] = {&Page().PvChart(), &Page().CurrentChart(), &Page().PercentChart(),
                                  &Page().Gauge()};
        for (int i = 0; i < 4; ++i) {
            const int* r = &c.placed[4 * i];
            EXPECT_EQ(parts[i]->geometry(), QRect(r[0], r[1], r[2], r[3])) << i;
        }
        EXPECT_EQ(Page().List().geometry(), QRect(0, 0, c.list ? 160 : 0, 1100 - c.width));
        EXPECT_EQ(Page().List().isVisible(), c.list);
    }
    // The list button shows whether the list is shown.
    EXPECT_TRUE(ToolButton(*w.m_pWindow, TrendPage::kToggleList)->isChecked());

    // Range, unit, decimals of scale and of value, and the value shown.
    const auto gauge = [this] {
        const GaugeCtrl& g = Page().Gauge();
        return std::tuple(g.m_dMin, g.m_dMax, g.m_strUnit, g.m_nScaleDecimals, g.m_nValueDecimals,
                          g.m_dValue);
    };
    using Gauge = decltype(gauge());
    EXPECT_TRUE(Radio(1080)->isChecked());
    EXPECT_EQ(gauge(), Gauge(0, 100, "%", 0, 2, 0));
    Radio(1079)->click();
    EXPECT_EQ(gauge(), Gauge(4, 20, "mA", 1, 3, 4)) << "no current recorded yet";
    Radio(1080)->click();
    EXPECT_EQ(gauge(), Gauge(0, 100, "%", 1, 2, 0)) << "nothing sets the scale decimals back";
    m_Transmitter.m_fLower = 0.0f;
    m_Transmitter.m_fUpper = 5.0f;
    Record(TrendPage::kRecordAll, 2);
    Radio(1078)->click();
    EXPECT_EQ(gauge(), Gauge(0, 5, "\u00B0C", 1, 3, 21.75)) << "the newest PV";
    RunCycles(1);
    EXPECT_EQ(Page().Gauge().m_dValue, 22.0) << "each cycle moves the needle";
}

// The curves stay across a glance at another tab and a Get started within
// the recording's tick waits for Stop to end it.
TEST_F(TrendPageTest, CurvesStayUntilTheNextRecordingAndStopEndsOneBeforeAnotherOperation) {
    Record(TrendPage::kRecordAll, 2);
    Stop();
    w.m_pWindow->OnCommand(MainDialog::kGetValues);
    w.m_Clock.RunFor(30000);
    EXPECT_EQ(m_Transmitter.Commands(), (Commands{0, 15, 1, 2, 1, 2, 0, 1, 2}));
    w.ShowTab(0);
    w.ShowTab(4);
    EXPECT_EQ(Page().Curves().pv.Count(), 2u) << "a glance at another tab loses nothing";
    w.m_pWindow->OnCommand(TrendPage::kRecordAll);
    EXPECT_TRUE(Page().Curves().pv.Empty()) << "a new recording starts on clean charts";
    RunCycles(1);
    Stop();
    Record(TrendPage::kRecordAll, 1);
    EXPECT_EQ(Page().Curves().pv.Count(), 2u) << "without leaving the page it goes on";
}

TEST_F(TrendPageTest, FillingTheListPausesAfterEvery102Rows) {
    // The count of rows runs on across the three curves.
    using Case = std::array<int, 4>; // PV, current and percent samples, pauses
    for (const auto& [pv, current, percent, pauses] :
         {Case{101, 0, 0, 0}, Case{0, 102, 0, 1}, Case{50, 50, 203, 2}, Case{102, 102, 102, 3}}) {
        TrendCurves curves;
        for (int i = 0; i < pv + current + percent; ++i) {
            SampleList& curve = i < pv             ? curves.pv
                                : i < pv + current ? curves.current
                                                   : curves.percent;
            curve.Append({20.0 + i, 1700000000 + i});
        }
        ASSERT_TRUE(TrendFile::Save(Path("fill.tdd"), curves).Ok());
        const int waits = w.m_Clock.Waits();
        Open(Path("fill.tdd"));
        EXPECT_EQ(w.m_Clock.Waits() - waits, pauses) << pv + current + percent;
        EXPECT_EQ(Page().List().RowCount(), pv + current + percent);
    }
}

} // namespace
