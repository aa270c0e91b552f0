#include "controls/BalloonTip.h"

#include "tests/hart/VirtualClock.h"

#include <QFontMetrics>
#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

#include <tuple>

namespace {

class BalloonTipTest : public ::testing::Test {
protected:
    VirtualClock m_Clock; // installs itself as the timer service
    BalloonTip m_Tip;
};

} // namespace

TEST_F(BalloonTipTest, SizeIsTheTextBlockPlusMarginsAndTailWhoseTipSitsOnTheAnchor) {
    m_Tip.Show("", QPoint(300, 200));
    EXPECT_EQ(m_Tip.size(), QSize(24, 45));
    m_Tip.Hide();
    // An empty line between two lines still counts: three lines, widest line.
    const QFontMetrics metrics(m_Tip.font());
    const QSize body = BalloonTip::BodySize(m_Tip.font(), "Time 12:00:01\r\n\r\nValue 1");
    EXPECT_EQ(body, QSize(metrics.horizontalAdvance("Time 12:00:01") + 24,
                          3 * metrics.height() + 2 * metrics.leading() + 20));
    m_Tip.Show("Time 12:00:01\r\n\r\nValue 1", QPoint(500, 400));
    EXPECT_EQ(m_Tip.geometry(), QRect(500 - body.width() + 12, 400 - body.height() - 15,
                                      body.width(), body.height() + 25));
}

TEST_F(BalloonTipTest, PaintsBodyAndRightHandTailWithTwoBorders) {
    m_Tip.Show("Value 4.000", QPoint(400, 300));
    const int w = m_Tip.width();
    const int h = m_Tip.height() - 25;
    QImage image(m_Tip.size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    m_Tip.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    auto role = [this](QPalette::ColorRole r) { return m_Tip.palette().color(r).rgb(); };
    const QRgb magenta = QColor(Qt::magenta).rgb();
    // Body and tail are one shape with no border between them; the tail's right
    // edge is drawn, nothing lies under its left end or in the rounded corner; a
    // text-coloured line outside, the grey border inside it, 3 pixels in all.
    // clang-format off
    const std::tuple<int, int, QRgb> pixels[] = {
        {w - 17, h + 1, role(QPalette::Base)}, {w - 13, h + 8, role(QPalette::Text)},
        {14, h + 8, magenta}, {0, 0, magenta}, {w / 2, 0, role(QPalette::Text)},
        {w / 2, 2, role(QPalette::Midlight)}, {w / 2, 3, role(QPalette::Base)}};
    // clang-format on
    for (const auto& [x, y, colour] : pixels) {
        EXPECT_EQ(image.pixel(x, y), colour) << x << "," << y;
    }
}

TEST_F(BalloonTipTest, HidesThreeSecondsAfterShowingUnlessHiddenOrDestroyedFirst) {
    m_Tip.Show("first", QPoint(400, 300));
    m_Clock.RunFor(2000);
    m_Tip.Show("second, longer", QPoint(100, 100));
    EXPECT_EQ(m_Tip.Text(), "first");
    m_Clock.RunFor(999);
    EXPECT_TRUE(m_Tip.isVisible());
    m_Clock.RunFor(1);
    EXPECT_FALSE(m_Tip.isVisible());

    m_Tip.Show("hidden early", QPoint(100, 150));
    m_Tip.Hide();
    EXPECT_EQ(m_Clock.PendingTimers(), 0u) << "hiding cancels the timer";
    {
        BalloonTip shown;
        shown.Show("destroyed while shown", QPoint(10, 10));
        EXPECT_EQ(m_Clock.PendingTimers(), 1u);
    }
    EXPECT_EQ(m_Clock.PendingTimers(), 0u) << "a destroyed tip leaves no timer";
}
