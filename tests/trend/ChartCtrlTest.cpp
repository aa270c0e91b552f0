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

#include <cmath>

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

    void Fill(
        int count, double (*value)(int) = [](int i) { return 50.0 + i % 7; }) {
        for (int i = 0; i < count; ++i) {
            m_Samples.Append({value(i), 1700000000 + i});
        }
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
    static QRgb Rgb(std::uint32_t colorref) { return ColorrefToQColor(colorref).rgb(); }

    VirtualClock m_Clock; // the read-out's wait and the balloon's timer
    SampleList m_Samples;
    ChartCtrl m_Chart;
};

} // namespace

TEST_F(ChartCtrlTest, SetRangeAddsAQuarterOfTheSpanOnEachSide) {
    m_Chart.SetRange(4.0, 20.0, "I", std::string("mA"), std::string("Current"));
    EXPECT_EQ(m_Chart.m_YMinFull, 0.0);
    EXPECT_EQ(m_Chart.m_YMaxFull, 24.0);
    EXPECT_EQ(m_Chart.m_YMin, 0.0);
    EXPECT_EQ(m_Chart.m_YMax, 24.0);
    EXPECT_EQ(m_Chart.m_strTitle, "Current");

    m_Chart.SetRange(0.0, 100.0, "P", std::nullopt, std::nullopt);
    EXPECT_EQ(m_Chart.m_YMinFull, -25.0);
    EXPECT_EQ(m_Chart.m_YMax, 125.0);
    EXPECT_EQ(m_Chart.m_strName, "P");
    EXPECT_EQ(m_Chart.m_strUnit, "mA") << "unit and title stay when not given";
    EXPECT_EQ(m_Chart.m_strTitle, "Current");

    m_Chart.SetRange(-200.0, 1800.0, "\u00B0C");
    EXPECT_EQ(m_Chart.m_YMin, -700.0);
    EXPECT_EQ(m_Chart.m_YMaxFull, 2300.0);
    EXPECT_EQ(m_Chart.m_strUnit, "\u00B0C");
}

TEST_F(ChartCtrlTest, MapsIndicesAndValuesToTheClientArea) {
    m_Chart.SetRange(0.0, 100.0, "%");
    // Window 0 … 50 over 500 pixels; range −25 … 125 over 300 pixels.
    EXPECT_EQ(m_Chart.IndexToX(0), 0);
    EXPECT_EQ(m_Chart.IndexToX(25), 250);
    EXPECT_EQ(m_Chart.IndexToX(-3), -30);
    EXPECT_EQ(m_Chart.ValueToY(125.0), 0);
    EXPECT_EQ(m_Chart.ValueToY(-25.0), 300);
    EXPECT_EQ(m_Chart.ValueToY(50.0), 150);
    EXPECT_EQ(m_Chart.ValueToY(50.4), 149) << "truncated toward zero";
    EXPECT_DOUBLE_EQ(m_Chart.YToValue(150), 50.0);
    EXPECT_EQ(m_Chart.XToIndex(250), 25);
    EXPECT_EQ(m_Chart.XToIndex(254), 25);
    EXPECT_EQ(m_Chart.XToIndex(255), 26) << "halves round away from zero";

    // Nothing to divide by: an empty range, an empty window, no width.
    m_Chart.SetRange(7.0, 7.0, "%");
    EXPECT_EQ(m_Chart.ValueToY(7.0), kHeight / 2);
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
    struct Case {
        int count;
        bool enlarged;
        int first, last;
    };
    for (const Case& c : {Case{10, false, 0, 50}, Case{50, false, 1, 50}, Case{120, false, 71, 120},
                          Case{120, true, 21, 120}, Case{99, true, 0, 100}}) {
        m_Samples.RemoveAll();
        Fill(c.count);
        m_Chart.SetEnlarged(c.enlarged);
        m_Chart.SetData(&m_Samples, true);
        Picture();
        EXPECT_EQ(m_Chart.m_nFirst, c.first) << c.count;
        EXPECT_EQ(m_Chart.m_nLast, c.last) << c.count;
        EXPECT_EQ(m_Chart.horizontalScrollBar()->value(),
                  std::clamp(c.first, 0, std::max(c.count - m_Chart.m_nSpan, 1)))
            << c.count;
    }
    // New samples move the window at the next paint, and a click shows nothing.
    Fill(5);
    Picture();
    EXPECT_EQ(m_Chart.m_nLast, 104);
    Drag({300, 100}, {300, 100});
    EXPECT_EQ(m_Chart.m_nCursor, -1);
    EXPECT_FALSE(m_Chart.m_tip.isVisible());
}

TEST_F(ChartCtrlTest, ClicksShowTheSampleAndLargeEnoughDragsZoomTheValueAxis) {
    m_Chart.SetRange(0.0, 100.0, "PV", std::string("%"), std::string("Percent"));
    Fill(30);
    m_Chart.SetData(&m_Samples, false); // 0 … 50, 10 pixels per sample
    struct Case {
        const char* what;
        QPoint from, to;
        int cursor; // the sample a click selects, −1 for a drag
        bool zooms;
    };
    const Case cases[] = {
        {"5 pixels across is a click", {100, 50}, {105, 200}, 11, false},
        {"5 pixels up or down is a click", {100, 50}, {250, 55}, 25, false},
        {"3 samples wide zooms nothing", {100, 50}, {130, 200}, -1, false},
        {"2 % of the range zooms nothing", {100, 50}, {300, 56}, -1, false},
        {"more zooms", {100, 57}, {300, 50}, -1, true},
        {"a rectangle zooms to its values", {300, 240}, {100, 60}, -1, true},
    };
    for (const Case& c : cases) {
        m_Chart.m_YMin = m_Chart.m_YMinFull;
        m_Chart.m_YMax = m_Chart.m_YMaxFull;
        m_Chart.m_nCursor = -1;
        const double top = m_Chart.YToValue(std::min(c.from.y(), c.to.y()));
        Drag(c.from, c.to);
        EXPECT_FALSE(m_Chart.m_bDragging);
        EXPECT_EQ(m_Chart.m_nCursor, c.cursor) << c.what;
        if (c.zooms) {
            EXPECT_DOUBLE_EQ(m_Chart.m_YMax, top) << c.what;
            EXPECT_EQ(m_Chart.m_nFirst, 0) << "the window over the samples stays";
        } else {
            EXPECT_EQ(m_Chart.m_YMax, 125.0) << c.what;
        }
    }
    EXPECT_DOUBLE_EQ(m_Chart.m_YMin, 125.0 - 150.0 * 240 / kHeight);

    // A click on sample 12 selects it and tells its value, time and position.
    Drag({121, 100}, {123, 100});
    m_Clock.RunFor(50);
    EXPECT_EQ(m_Chart.m_nCursor, 12);
    EXPECT_TRUE(m_Chart.m_tip.isVisible());
    const QString text = m_Chart.m_tip.Text();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("PV\uFF1A55.00000 %\n\n"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QString::fromUtf8("\u4F4D  \u7F6E\uFF1A12"))) << text.toStdString();
    // Past the newest sample the cursor goes.
    Drag({495, 100}, {495, 100});
    EXPECT_EQ(m_Chart.m_nCursor, -1);
}

TEST_F(ChartCtrlTest, DoubleClickRestoresTheFullRangeAndTheNormalSpan) {
    m_Chart.SetRange(4.0, 20.0, "I", std::string("mA"), std::nullopt);
    Fill(300);
    m_Chart.SetEnlarged(true);
    m_Chart.SetData(&m_Samples, false);
    Drag({100, 60}, {400, 200});
    ASSERT_LT(m_Chart.m_YMax, 24.0);
    Mouse(QEvent::MouseButtonDblClick, {200, 100});
    EXPECT_EQ(m_Chart.m_YMax, 24.0);
    EXPECT_EQ(m_Chart.m_YMin, 0.0);
    EXPECT_EQ(m_Chart.m_nSpan, 50);
    EXPECT_TRUE(m_Chart.m_bFineGrid);
    EXPECT_EQ(m_Chart.m_nHScrollMax, 250);
}

TEST_F(ChartCtrlTest, ScrollBarsMoveTheWindowAndOnlyAZoomedRange) {
    m_Chart.SetRange(0.0, 100.0, "%");
    Fill(80);
    m_Chart.SetData(&m_Samples, false);
    EXPECT_EQ(m_Chart.m_nHScrollMax, 30);
    using Scroll = ChartCtrl::Scroll;
    struct Step {
        Scroll code;
        int thumb;
        int first;
    };
    for (const Step& s : {Step{Scroll::LineForward, 0, 2}, Step{Scroll::PageForward, 0, 12},
                          Step{Scroll::LineBack, 0, 10}, Step{Scroll::ThumbPosition, 29, 29},
                          Step{Scroll::PageForward, 0, 30}, Step{Scroll::Other, 0, 30},
                          Step{Scroll::PageBack, 0, 20}}) {
        m_Chart.OnHScroll(s.code, s.thumb);
        EXPECT_EQ(m_Chart.m_nFirst, s.first);
        EXPECT_EQ(m_Chart.m_nLast - m_Chart.m_nFirst, 50);
        EXPECT_EQ(m_Chart.horizontalScrollBar()->value(), s.first);
    }
    // The bar itself, as the user presses its arrow.
    m_Chart.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_Chart.m_nFirst, 22);

    for (Scroll code : {Scroll::LineForward, Scroll::PageForward, Scroll::LineBack}) {
        m_Chart.OnVScroll(code);
        EXPECT_EQ(m_Chart.m_YMin, -25.0) << "nothing to scroll without a zoom";
        EXPECT_EQ(m_Chart.m_YMax, 125.0);
    }

    // Zoomed to a third of the full range, the bar spans the rest: scrolling
    // down shows lower values by as much as the pixels moved stand for.
    m_Chart.m_YMax = 75.0;
    m_Chart.m_YMin = 25.0;
    m_Chart.UpdateScrollBars();
    EXPECT_EQ(m_Chart.m_nVScrollMax, 600);
    EXPECT_EQ(m_Chart.m_nVScrollPos, 300);
    m_Chart.OnVScroll(Scroll::PageForward);
    EXPECT_EQ(m_Chart.m_nVScrollPos, 420);
    EXPECT_DOUBLE_EQ(m_Chart.m_YMax, 75.0 - 100.0 * 120 / 600);
    EXPECT_DOUBLE_EQ(m_Chart.m_YMax - m_Chart.m_YMin, 50.0);
    m_Chart.OnVScroll(Scroll::ThumbPosition, 5000);
    EXPECT_DOUBLE_EQ(m_Chart.m_YMin, -25.0) << "the bottom of the full range";
}

TEST_F(ChartCtrlTest, PaintsTheGradientGridAndCentreLine) {
    m_Chart.SetBackColors(0xFFFFFF, 0x007DFF); // white to orange
    QImage image = Picture();
    const int x = 3 * kWidth / 4 + 3; // clear of grid lines and texts
    EXPECT_EQ(image.pixel(x, 0), QColor(255, 255, 255).rgb());
    // Each row is the top colour plus y steps of (bottom − top) / H, cut to
    // whole levels; adding up the steps may lose a level on the way.
    const auto expectLevel = [](int level, double exact, int y) {
        EXPECT_LE(level, exact + 1e-9) << y;
        EXPECT_GE(level, exact - 1.01) << y;
    };
    for (int y : {40, 149, kHeight - 1}) {
        const QColor pixel(image.pixel(x, y));
        expectLevel(pixel.red(), 255.0, y);
        expectLevel(pixel.green(), 255.0 - (255.0 - 0x7D) * y / kHeight, y);
        expectLevel(pixel.blue(), 255.0 - 255.0 * y / kHeight, y);
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
}

TEST_F(ChartCtrlTest, CursorCrossesTheChartThroughTheSelectedSample) {
    m_Chart.SetRange(0.0, 100.0, "%");
    Fill(40, [](int) { return 50.0; });
    m_Chart.SetData(&m_Samples, false);
    Drag({200, 10}, {200, 10});
    m_Clock.RunFor(50);
    ASSERT_EQ(m_Chart.m_nCursor, 20);
    const QImage image = Picture();
    const QPoint at(200, 150);
    EXPECT_EQ(image.pixel(at), Rgb(0x00FF00)) << "green dot";
    EXPECT_EQ(image.pixel(at + QPoint(2, 1)), Rgb(0x00FF00));
    EXPECT_EQ(image.pixel(at + QPoint(0, 30)), Rgb(0x0000FF)) << "vertical red line";
    EXPECT_EQ(image.pixel(at + QPoint(-130, 0)), Rgb(0x0000FF)) << "horizontal red line";
    EXPECT_NE(image.pixel(at + QPoint(30, 30)), Rgb(0x0000FF));
}

TEST_F(ChartCtrlTest, ManySamplesDrawTheSamePixelsAsEverySampleWould) {
    // 20 000 samples over 500 columns: the chart draws four per column.
    m_Chart.SetRange(-10.0, 10.0, "x", std::string(""), std::string(""));
    m_Chart.SetBackColors(0xFFFFFF, 0xFFFFFF);
    m_Chart.m_crCurve = 0x000000;
    Fill(20000, [](int i) { return 8.0 * std::sin(i * 0.0137) * std::cos(i * 0.31); });
    m_Chart.SetData(&m_Samples, false);
    m_Chart.m_nFirst = 0;
    m_Chart.m_nLast = 19999;
    const QImage drawn = Picture();

    m_Chart.SetData(nullptr, false); // the same chart without the curve
    m_Chart.m_nFirst = 0;
    m_Chart.m_nLast = 19999;
    QImage every = Picture();
    {
        QPainter painter(&every);
        painter.setPen(QPen(Qt::black, 1));
        QPolygon all;
        for (int i = 0; i < 20000; ++i) {
            all.append({m_Chart.IndexToX(i), m_Chart.ValueToY(m_Samples.At(i).value)});
        }
        painter.drawPolyline(all);
    }
    int differences = 0;
    for (int y = 0; y < kHeight - 20; ++y) {
        for (int x = 60; x < kWidth; ++x) { // right of the scale labels, above the read-out
            differences += drawn.pixel(x, y) != every.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST_F(ChartCtrlTest, UnchangingPartsAreDrawnOnceUntilTheirInputsChange) {
    m_Chart.SetRange(0.0, 100.0, "%");
    Fill(10);
    m_Chart.SetData(&m_Samples, true);
    Picture();
    const int builds = m_Chart.CacheBuilds();
    for (int i = 0; i < 3; ++i) {
        Fill(1);
        m_Chart.SetData(&m_Samples, true);
        Picture();
    }
    EXPECT_EQ(m_Chart.CacheBuilds(), builds) << "new samples reuse the pictures";
    m_Chart.m_strTitle = "Percent";
    Picture();
    EXPECT_EQ(m_Chart.CacheBuilds(), builds + 1);
    m_Chart.SetRange(0.0, 50.0, "%");
    Picture();
    EXPECT_EQ(m_Chart.CacheBuilds(), builds + 2);
    m_Chart.resize(m_Chart.width() + 10, m_Chart.height());
    Picture();
    EXPECT_EQ(m_Chart.CacheBuilds(), builds + 3);
}

TEST_F(ChartCtrlTest, CelsiusShowsInTheLanguagesSign) {
    for (bool chinese : {false, true}) {
        ChineseUnitsFlag = chinese;
        for (const char* unit : {"\u2103", "\u00B0C"}) {
            m_Chart.m_strUnit = unit;
            Picture();
            EXPECT_EQ(m_Chart.m_strUnit, chinese ? "\u2103" : "\u00B0C");
        }
    }
    ChineseUnitsFlag = false;
}

TEST_F(ChartCtrlTest, TheTracedCurrentChartWritesItsRange) {
    m_Chart.SetRange(4.0, 20.0, "I", std::string("mA"), std::nullopt);
    for (int id : {0, 77}) {
        m_Chart.m_nTraceId = id;
        testing::internal::CaptureStderr();
        m_Chart.SetData(&m_Samples, true);
        const std::string trace = testing::internal::GetCapturedStderr();
        EXPECT_EQ(trace, id == 77 ? "1: m_YMax=24.000  m_YMin=0.000\n" : "");
    }
}
