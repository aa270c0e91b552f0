#include "trend/GaugeCtrl.h"

#include "controls/Colorref.h"

#include <QImage>

#include <algorithm>
#include <tuple>

#include <gtest/gtest.h>

namespace {

class GaugeCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Gauge.resize(210, 210);
        m_Gauge.show();
    }
    QImage Picture() { return m_Gauge.grab().toImage(); }
    static QRgb Rgb(std::uint32_t colorref) { return ColorrefToQColor(colorref).rgb(); }

    GaugeCtrl m_Gauge;
};

} // namespace

TEST_F(GaugeCtrlTest, MeasuresTheDialSpreadsTheTicksAndRedrawsItOnlyForRangeScaleAndSize) {
    const GaugeCtrl::Geometry g = GaugeCtrl::Measure(QRect(0, 0, 210, 210));
    // The centre sits a tenth of R below the middle.
    EXPECT_EQ(std::tuple(g.radius, g.hub, g.tickOuter, g.majorInner, g.minorInner, g.cx, g.cy),
              std::tuple(90, 4, 80, 72, 76, 105, 114));
    const GaugeCtrl::Geometry wide = GaugeCtrl::Measure(QRect(10, 0, 420, 100));
    EXPECT_EQ(QPoint(wide.radius, wide.cx), QPoint(180, 220));

    // Fifty-one ticks from the start to the end of the scale.
    m_Gauge.SetValue(0.0); // the needle away from the top
    const QImage image = Picture();
    const QPolygon ticks = m_Gauge.TickOutline();
    // Outer ends at radius 80: 225 degrees is down-left, −45 down-right.
    EXPECT_EQ(std::tuple(m_Gauge.TickCount(), ticks.first(), ticks.last()),
              std::tuple(51, QPoint(48, 171), QPoint(162, 171)));
    // The ticks themselves are black, major ones reaching in to radius 72.
    EXPECT_EQ(image.pixel(105, 114 - 73), QColor(Qt::black).rgb()) << "major tick at 90 degrees";
    EXPECT_NE(image.pixel(105 + 4, 114 - 73), QColor(Qt::black).rgb());

    // Only a new range, scale or size draws the dial again.
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

TEST_F(GaugeCtrlTest, NeedlePointsAtTheValueOverAShadedHubAndAnAlarmShowsPastTheScale) {
    // "Alarm!" sits four fifths of R above the value box, in red.
    const QRect alarmArea(70, 73, 70, 18);
    // The value, the needle's angle, a point on its blue fill and one clear
    // of it, and whether the alarm shows.
    for (auto [value, angle, inside, outside, alarm] :
         {std::tuple{50.0, 90.0, QPoint(104, 75), QPoint(125, 75), false},
          {25.0, 157.5, {75, 102}, {130, 139}, false},
          {0.0, 225.0, {80, 139}, {104, 75}, false},
          {-0.5, 225.0, {80, 139}, {104, 75}, true},
          {100.0, -45.0, {130, 139}, {80, 139}, false},
          {100.5, -45.0, {130, 139}, {80, 139}, true}}) {
        EXPECT_DOUBLE_EQ(m_Gauge.NeedleAngle(value), angle) << value;
        m_Gauge.SetValue(value);
        const QImage image = Picture();
        EXPECT_EQ(image.pixel(inside), Rgb(0xFF0000)) << value;
        EXPECT_NE(image.pixel(outside), Rgb(0xFF0000)) << value;
        EXPECT_EQ(image.pixel(105, 114), QColor(255, 255, 255).rgb()) << "white hub centre";
        EXPECT_EQ(image.pixel(105, 117), QColor(0, 0, 0).rgb()) << "black hub rim";
        const QImage area = image.copy(alarmArea).convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(area.constBits());
        const auto red = std::count(pixels, pixels + area.sizeInBytes() / 4, Rgb(m_Gauge.m_crLow));
        EXPECT_EQ(std::pair(m_Gauge.IsAlarm(), red > 20), std::pair(alarm, alarm)) << value;
    }
    m_Gauge.SetRange(5.0, 5.0, "mA", 3);
    EXPECT_DOUBLE_EQ(m_Gauge.NeedleAngle(5.0), 225.0) << "an empty range rests at the start";
}
