#include "trend/GaugeCtrl.h"

#include "controls/Colorref.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

class GaugeCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Gauge.resize(210, 210);
        m_Gauge.show();
    }
    QImage Picture() { return m_Gauge.grab().toImage(); }

    // Pixels of a colour in a rectangle.
    static int Count(const QImage& image, const QRect& area, std::uint32_t colorref) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                count += image.pixel(x, y) == ColorrefToQColor(colorref).rgb() ? 1 : 0;
            }
        }
        return count;
    }

    GaugeCtrl m_Gauge;
};

} // namespace

TEST_F(GaugeCtrlTest, MeasuresTheDialFromTheLargerSide) {
    const GaugeCtrl::Geometry g = GaugeCtrl::Measure(QRect(0, 0, 210, 210));
    EXPECT_EQ(g.radius, 90);
    EXPECT_EQ(g.hub, 4);
    EXPECT_EQ(g.tickOuter, 80);
    EXPECT_EQ(g.majorInner, 72);
    EXPECT_EQ(g.minorInner, 76);
    EXPECT_EQ(QPoint(g.cx, g.cy), QPoint(105, 114)) << "centre a tenth of R below the middle";
    const GaugeCtrl::Geometry wide = GaugeCtrl::Measure(QRect(10, 0, 420, 100));
    EXPECT_EQ(wide.radius, 180);
    EXPECT_EQ(wide.cx, 220);
}

TEST_F(GaugeCtrlTest, FiftyOneTicksFromTheStartToTheEndOfTheScale) {
    Picture();
    const QPolygon ticks = m_Gauge.TickOutline();
    ASSERT_EQ(m_Gauge.TickCount(), 51);
    // Outer ends at radius 80: 225 degrees is down-left, −45 down-right.
    EXPECT_EQ(ticks.first(), QPoint(48, 171));
    EXPECT_EQ(ticks[25], QPoint(105, 34)) << "the middle tick straight up";
    EXPECT_EQ(ticks.last(), QPoint(162, 171));
    // The ticks themselves are black, major ones reaching in to radius 72.
    m_Gauge.SetValue(0.0); // the needle away from the top
    const QImage image = Picture();
    EXPECT_EQ(image.pixel(105, 114 - 73), QColor(Qt::black).rgb()) << "major tick at 90 degrees";
    EXPECT_NE(image.pixel(105 + 4, 114 - 73), QColor(Qt::black).rgb());
}

TEST_F(GaugeCtrlTest, NeedleRestsAtTheScaleEndsOutsideTheRange) {
    struct Case {
        double value, angle;
    };
    for (const Case& c : {Case{0.0, 225.0}, Case{50.0, 90.0}, Case{100.0, -45.0},
                          Case{-20.0, 225.0}, Case{250.0, -45.0}, Case{25.0, 157.5}}) {
        EXPECT_DOUBLE_EQ(m_Gauge.NeedleAngle(c.value), c.angle) << c.value;
    }
    m_Gauge.SetRange(5.0, 5.0, "mA", 3);
    EXPECT_DOUBLE_EQ(m_Gauge.NeedleAngle(5.0), 225.0) << "an empty range rests at the start";
    Picture(); // and paints without dividing by zero
}

TEST_F(GaugeCtrlTest, NeedlePointsAtTheValueOverAShadedHub) {
    struct Case {
        double value;
        QPoint inside, outside; // on the needle's blue fill, and clear of it
    };
    const std::uint32_t blue = 0xFF0000;
    for (const Case& c : {Case{50.0, {104, 75}, {125, 75}}, Case{0.0, {80, 139}, {104, 75}},
                          Case{100.0, {130, 139}, {80, 139}}}) {
        m_Gauge.SetValue(c.value);
        const QImage image = Picture();
        EXPECT_EQ(image.pixel(c.inside), ColorrefToQColor(blue).rgb()) << c.value;
        EXPECT_NE(image.pixel(c.outside), ColorrefToQColor(blue).rgb()) << c.value;
        EXPECT_EQ(image.pixel(105, 114), QColor(255, 255, 255).rgb()) << "white hub centre";
        EXPECT_EQ(image.pixel(105, 117), QColor(0, 0, 0).rgb()) << "black hub rim";
    }
}

TEST_F(GaugeCtrlTest, AlarmShowsBelowAndAboveTheRangeButNotAtItsEnds) {
    // "Alarm!" sits four fifths of R above the value box, in red.
    const QRect alarmArea(70, 73, 70, 18);
    struct Case {
        double value;
        bool alarm;
    };
    for (const Case& c :
         {Case{-0.5, true}, Case{0.0, false}, Case{100.0, false}, Case{100.5, true}}) {
        m_Gauge.SetValue(c.value);
        EXPECT_EQ(m_Gauge.IsAlarm(), c.alarm) << c.value;
        EXPECT_EQ(Count(Picture(), alarmArea, m_Gauge.m_crLow) > 20, c.alarm) << c.value;
    }
}

TEST_F(GaugeCtrlTest, OnlyRangeScaleAndSizeChangesRedrawTheDial) {
    Picture();
    EXPECT_EQ(m_Gauge.CacheBuilds(), 1);
    for (double value : {10.0, 55.5, 99.0}) {
        m_Gauge.SetValue(value);
        Picture();
    }
    EXPECT_EQ(m_Gauge.CacheBuilds(), 1) << "a new value reuses the dial";
    m_Gauge.SetRange(4.0, 20.0, "mA", 3);
    Picture();
    m_Gauge.SetScaleDecimals(1);
    Picture();
    m_Gauge.resize(150, 150);
    Picture();
    EXPECT_EQ(m_Gauge.CacheBuilds(), 4);
}

TEST_F(GaugeCtrlTest, TinyWindowsPaintWithoutFaults) {
    for (const QSize size : {QSize(0, 0), QSize(1, 1), QSize(3, 40), QSize(25, 25)}) {
        m_Gauge.resize(size);
        m_Gauge.SetValue(-1.0);
        m_Gauge.repaint();
    }
    SUCCEED();
}
