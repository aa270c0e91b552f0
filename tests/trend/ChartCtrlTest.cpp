#include "trend/ChartCtrl.h"

#include "controls/Colorref.h"
#include "hart/UnitTables.h"
#include "tests/hart/VirtualClock.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 300;

class ChartCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Chart.show();
        // The plot area, less border and scroll bars, is kWidth × kHeight.
        const QSize client = m_Chart.Client()->size();
        m_Chart.resize(m_Chart.width() - client.width() + kWidth,
                       m_Chart.height() - client.height() + kHeight);
        ASSERT_EQ(m_Chart.Client()->size(), QSize(kWidth, kHeight));
    }

    static double Wave(int i) { return 50.0 + i % 7; }
    void Fill(int count, double (*value)(int) = Wave) {
        for (int i = 0; i < count; ++i) {
            m_Samples.Append({value(i), 1700000000 + i});
        }
    }
    // count samples on a 0 … 100 % chart.
    void Show(int count, bool follow = false) {
        m_Chart.SetRange(0.0, 100.0, "%");
        Fill(count);
        m_Chart.SetData(&m_Samples, follow);
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent event(type, at, m_Chart.Client()->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(m_Chart.Client(), &event);
    }
    void Drag(QPoint from, QPoint to) {
        Mouse(QEvent::MouseButtonPress, from);
        Mouse(QEvent::MouseMove, to);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    QImage Picture() { return m_Chart.Client()->grab().toImage(); }
    // Paints, and tells how often the unchanging parts have been drawn.
    int Builds() {
        Picture();
        return m_Chart.CacheBuilds();
    }
    static QRgb Rgb(std::uint32_t colorref) { return ColorrefToQColor(colorref).rgb(); }

    VirtualClock m_Clock; // the read-out's wait and the balloon's timer
    SampleList m_Samples;
    ChartCtrl m_Chart;
};

} // namespace

TEST_F(ChartCtrlTest, MapsIndicesAndValuesToTheClientAreaWithoutDividingByZero) {
    m_Chart.SetRange(0.0, 100.0, "%");
    // Window 0 … 50 over 500 pixels; range −25 … 125 over 300 pixels.
    EXPECT_EQ(m_Chart.IndexToX(-3), -30);
    EXPECT_EQ(m_Chart.ValueToY(50.2), 149) << "truncated toward zero";

    // Nothing to divide by: an empty range, an empty window, no width.
    m_Chart.SetRange(7.0, 7.0, "%");
    EXPECT_EQ(m_Chart.ValueToY(std::nan("")), kHeight / 2);
    m_Chart.m_nLast = m_Chart.m_nFirst;
    EXPECT_EQ(m_Chart.IndexToX(10), 0);
    Fill(60);
    m_Chart.SetData(&m_Samples, false);
    m_Chart.m_nLast = m_Chart.m_nFirst;
    m_Chart.resize(0, 0);
    Picture(); // paints nothing, and without a fault
    EXPECT_EQ(m_Chart.XToIndex(10), m_Chart.m_nFirst);
}

TEST_F(ChartCtrlTest, FollowModeKeepsTheWindowOnTheNewestSamples) {
    // Samples, enlarged, and the first and last index of the window.
    for (auto [count, enlarged, first, last] : {std::tuple{10, false, 0, 50},
                                                {50, false, 1, 50},
                                                {120, false, 71, 120},
                                                {120, true, 21, 120},
                                                {99, true, 0, 100}}) {
        m_Samples.RemoveAll();
        Fill(count);
        m_Chart.SetEnlarged(enlarged);
        m_Chart.SetData(&m_Samples, true);
        Picture();
        EXPECT_EQ(std::pair(m_Chart.m_nFirst, m_Chart.m_nLast), std::pair(first, last)) << count;
    }
    EXPECT_EQ(m_Chart.m_nHScrollMax, 1) << "a bar with nothing to scroll keeps a range";
    // New samples move the window at the next paint, and a click shows nothing.
    Fill(5);
    Picture();
    EXPECT_EQ(m_Chart.m_nLast, 104);
    Drag({300, 100}, {300, 100});
    EXPECT_EQ(std::pair(m_Chart.m_nCursor, m_Chart.m_tip.isVisible()), std::pair(-1, false));
}

TEST_F(ChartCtrlTest, ClicksSelectASampleDragsZoomTheValueAxisDoubleClicksRestore) {
    // A range without a unit keeps the one it had.
    m_Chart.SetRange(4.0, 20.0, "I", std::string("%"), std::nullopt);
    m_Chart.SetRange(0.0, 100.0, "PV", std::nullopt, std::nullopt);
    Fill(30);
    m_Chart.SetData(&m_Samples, false); // 0 … 50, 10 pixels per sample
    // What, from, to, the sample a click selects (−1 for a drag), whether it zooms.
    for (auto [what, from, to, cursor, zooms] :
         {std::tuple{"5 pixels across is a click", QPoint(100, 50), QPoint(105, 200), 11, false},
          {"5 pixels up or down is a click", {100, 50}, {250, 55}, 25, false},
          {"3 samples wide zooms nothing", {100, 50}, {130, 200}, -1, false},
          {"2 % of the range zooms nothing", {100, 50}, {300, 56}, -1, false},
          {"more zooms", {100, 57}, {300, 50}, -1, true},
          {"a rectangle zooms to its values", {300, 240}, {100, 60}, -1, true}}) {
        m_Chart.m_YMin = m_Chart.m_YMinFull;
        m_Chart.m_YMax = m_Chart.m_YMaxFull;
        m_Chart.m_nCursor = -1;
        const double top = m_Chart.YToValue(std::min(from.y(), to.y()));
        Drag(from, to);
        EXPECT_EQ(m_Chart.m_nCursor, cursor) << what;
        EXPECT_DOUBLE_EQ(m_Chart.m_YMax, zooms ? top : 125.0) << what;
    }
    EXPECT_DOUBLE_EQ(m_Chart.m_YMin, 125.0 - 150.0 * 240 / kHeight);

    // A double click brings back the full range and the normal span.
    m_Chart.SetEnlarged(true);
    Mouse(QEvent::MouseButtonDblClick, {200, 100});
    EXPECT_EQ(std::tuple(m_Chart.m_YMin, m_Chart.m_YMax, m_Chart.m_nSpan),
              std::tuple(-25.0, 125.0, 50));

    // A click on sample 12 selects it, tells its value, time and position,
    // and crosses the chart with red lines through a green dot on it.
    Drag({121, 100}, {123, 100});
    m_Clock.RunFor(50);
    EXPECT_EQ(std::pair(m_Chart.m_nCursor, m_Chart.m_tip.isVisible()), std::pair(12, true));
    const QString text = m_Chart.m_tip.Text();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("PV\uFF1A55.00000 %\n\n"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QString::fromUtf8("\u4F4D  \u7F6E\uFF1A12"))) << text.toStdString();
    const QImage image = Picture();
    // The dot at 55 %, below it and right of it.
    EXPECT_EQ((std::array{image.pixel(120, 140), image.pixel(120, 170), image.pixel(250, 140)}),
              (std::array{Rgb(0x00FF00), Rgb(0x0000FF), Rgb(0x0000FF)}));
    // Past the newest sample the cursor goes.
    Drag({300, 100}, {300, 100});
    EXPECT_EQ(m_Chart.m_nCursor, -1);
}

TEST_F(ChartCtrlTest, ScrollBarsMoveTheWindowAndOnlyAZoomedRange) {
    Show(80);
    using Scroll = ChartCtrl::Scroll;
    // The request, the thumb's position, and the first index it leaves in the window.
    for (auto [code, thumb, first] : {std::tuple{Scroll::LineForward, 0, 2},
                                      {Scroll::PageForward, 0, 12},
                                      {Scroll::LineBack, 0, 10},
                                      {Scroll::ThumbPosition, 29, 29},
                                      {Scroll::PageForward, 0, 30},
                                      {Scroll::Other, 0, 30},
                                      {Scroll::PageBack, 0, 20}}) {
        m_Chart.OnHScroll(code, thumb);
        EXPECT_EQ(
            std::tuple(m_Chart.m_nFirst, m_Chart.m_nLast, m_Chart.horizontalScrollBar()->value()),
            std::tuple(first, first + 50, first));
    }
    // The bar itself, as the user presses its arrow.
    // Without a zoom the values have nothing to scroll.
    m_Chart.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    m_Chart.OnVScroll(Scroll::PageForward);
    EXPECT_EQ(std::pair(m_Chart.m_nFirst, m_Chart.m_YMax), std::pair(22, 125.0));

    // Zoomed to a third of the full range, the bar spans the rest: scrolling
    // down shows lower values by as much as the pixels moved stand for.
    Drag({100, 100}, {300, 200}); // 75 … 25
    EXPECT_EQ(std::pair(m_Chart.m_nVScrollMax, m_Chart.m_nVScrollPos), std::pair(600, 300));
    m_Chart.OnVScroll(Scroll::PageForward);
    EXPECT_EQ(m_Chart.m_nVScrollPos, 420);
    EXPECT_EQ(std::pair(m_Chart.m_YMin, m_Chart.m_YMax), std::pair(5.0, 55.0));
    m_Chart.OnVScroll(Scroll::ThumbPosition, 5000);
    EXPECT_DOUBLE_EQ(m_Chart.m_YMin, -25.0) << "the bottom of the full range";
}

TEST_F(ChartCtrlTest, PaintsTheGradientGridAndCentreLineAndRedrawsThemOnlyWhenTheyChange) {
    m_Chart.SetBackColors(0xFFFFFF, 0x007DFF); // white to orange
    QImage image = Picture();
    const int x = 3 * kWidth / 4 + 3; // clear of grid lines and texts
    // Each row is the top colour plus y steps of (bottom − top) / H, cut to
    // whole levels; adding up the steps may lose a level on the way.
    for (int y : {0, 40, 149, kHeight - 1}) {
        const QColor pixel(image.pixel(x, y));
        EXPECT_EQ(pixel.red(), 255) << y;
        EXPECT_NEAR(pixel.green(), 254.5 - (255.0 - 0x7D) * y / kHeight, 0.51) << y;
        EXPECT_NEAR(pixel.blue(), 254.5 - 255.0 * y / kHeight, 0.51) << y;
    }
    EXPECT_EQ(image.pixel(kWidth / 10, 120), Rgb(0x009696)) << "vertical grid line";
    EXPECT_EQ(image.pixel(x, kHeight / 6), Rgb(0x009696)) << "horizontal grid line";
    EXPECT_EQ(image.pixel(x, kHeight / 2), Rgb(0x00FFFF)) << "centre line";
    EXPECT_NE(image.pixel(kWidth / 40, 120), Rgb(0x9B9B9B));

    m_Chart.SetEnlarged(true);
    m_Chart.SetBackColors(0x123456, 0x123456);
    image = Picture();
    EXPECT_EQ(image.pixel(x, 40), Rgb(0x123456));
    EXPECT_EQ(image.pixel(kWidth / 40, 120), Rgb(0x9B9B9B)) << "fine grid";

    // That background, the scales and the texts are drawn once until their inputs change.
    Show(10, true);
    const int before = Builds();
    Fill(3);
    m_Chart.SetData(&m_Samples, true);
    EXPECT_EQ(Builds(), before) << "new samples reuse the pictures";
    m_Chart.m_strTitle = "Percent";
    EXPECT_EQ(Builds(), before + 1);
    m_Chart.SetRange(0.0, 50.0, "%");
    EXPECT_EQ(Builds(), before + 2);
    m_Chart.resize(m_Chart.width() + 10, m_Chart.height());
    EXPECT_EQ(Builds(), before + 3);
}

TEST_F(ChartCtrlTest, ManySamplesDrawTheSamePixelsAsEverySampleWould) {
    // 20 000 samples over 500 columns: the chart draws four per column.
    m_Chart.SetRange(-10.0, 10.0, "x", std::string(""), std::string(""));
    m_Chart.SetBackColors(0xFFFFFF, 0xFFFFFF);
    m_Chart.m_crCurve = 0x000000;
    Fill(20000, [](int i) { return 8.0 * std::sin(i * 0.0137) * std::cos(i * 0.31); });
    QImage pictures[2];
    const SampleList* curves[] = {&m_Samples, nullptr}; // then the same chart without the curve
    for (int k = 0; k < 2; ++k) {
        m_Chart.SetData(curves[k], false);
        m_Chart.m_nFirst = 0;
        m_Chart.m_nLast = 19999;
        pictures[k] = Picture();
    }
    QPainter painter(&pictures[1]);
    painter.setPen(QPen(Qt::black, 1));
    QPolygon all;
    for (int i = 0; i < 20000; ++i) {
        all.append({m_Chart.IndexToX(i), m_Chart.ValueToY(m_Samples.At(i).value)});
    }
    painter.drawPolyline(all);
    painter.end();
    // Right of the scale labels, above the read-out.
    const QRect plot(60, 0, kWidth - 60, kHeight - 20);
    EXPECT_EQ(pictures[0].copy(plot), pictures[1].copy(plot));
}

TEST_F(ChartCtrlTest, CelsiusShowsInTheLanguagesSignAndTheTracedCurrentChartWritesItsRange) {
    for (bool chinese : {false, true}) {
        ChineseUnitsFlag = chinese;
        for (const char* unit : {"\u2103", "\u00B0C"}) {
            m_Chart.m_strUnit = unit;
            Picture();
            EXPECT_EQ(m_Chart.m_strUnit, chinese ? "\u2103" : "\u00B0C");
        }
    }
    ChineseUnitsFlag = false;

    m_Chart.SetRange(4.0, 20.0, "I", std::string("mA"), std::nullopt);
    for (int id : {0, 77}) {
        m_Chart.m_nTraceId = id;
        testing::internal::CaptureStderr();
        m_Chart.SetData(&m_Samples, true);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  id == 77 ? "1: m_YMax=24.000  m_YMin=0.000\n" : "");
    }
}
