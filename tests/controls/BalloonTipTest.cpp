#include "controls/BalloonTip.h"

#include "tests/hart/VirtualClock.h"

#include <QCursor>
#include <QFontMetrics>
#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

class BalloonTipTest : public ::testing::Test {
protected:
    VirtualClock m_Clock; // installs itself as the timer service
    BalloonTip m_Tip;
};

} // namespace

TEST_F(BalloonTipTest, SizeIsTheTextBlockPlusMarginsAndTail) {
    EXPECT_EQ(BalloonTip::BodySize(m_Tip.font(), ""), QSize(24, 20));
    m_Tip.Show("", QPoint(300, 200));
    EXPECT_EQ(m_Tip.size(), QSize(24, 45));

    // An empty line between two lines still counts: three lines, widest line.
    const QFontMetrics metrics(m_Tip.font());
    const QSize three = BalloonTip::BodySize(m_Tip.font(), "Time 12:00:01\n\nValue 1");
    EXPECT_EQ(three.height(), 3 * metrics.height() + 2 * metrics.leading() + 20);
    EXPECT_EQ(three.width(), metrics.horizontalAdvance("Time 12:00:01") + 24);
    EXPECT_EQ(BalloonTip::BodySize(m_Tip.font(), "Time 12:00:01\r\n\r\nValue 1"), three);
}

TEST_F(BalloonTipTest, TailTipSitsOnTheAnchorOrTheMouse) {
    const QSize body = BalloonTip::BodySize(m_Tip.font(), "Value 20.000");
    m_Tip.Show("Value 20.000", QPoint(500, 400));
    EXPECT_EQ(m_Tip.geometry(), QRect(500 - body.width() + 12, 400 - body.height() - 15,
                                      body.width(), body.height() + 25));
    m_Tip.Hide();

    QCursor::setPos(321, 234);
    m_Tip.Show("x");
    EXPECT_EQ(m_Tip.Anchor(), QCursor::pos());
}

TEST_F(BalloonTipTest, PaintsBodyAndRightHandTailWithTwoBorders) {
    m_Tip.Show("Value 4.000", QPoint(400, 300));
    const int w = m_Tip.width();
    const int h = m_Tip.height() - 25;
    QImage image(m_Tip.size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    m_Tip.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    auto at = [&image](int x, int y) { return image.pixel(x, y); };
    auto role = [this](QPalette::ColorRole r) { return m_Tip.palette().color(r).rgb(); };

    // Body and tail are one shape, so no border runs between them.
    EXPECT_EQ(at(w - 17, h + 1), role(QPalette::Base));
    EXPECT_EQ(at(w - 17, h - 2), role(QPalette::Base));
    EXPECT_EQ(at(w - 13, h + 8), role(QPalette::Text)) << "tail's right edge";
    EXPECT_EQ(at(14, h + 8), QColor(Qt::magenta).rgb()) << "nothing under the left end";
    EXPECT_EQ(at(0, 0), QColor(Qt::magenta).rgb()) << "rounded corner";
    // A window-text line outside, the grey border inside it, 3 pixels in all.
    EXPECT_EQ(at(w / 2, 0), role(QPalette::Text));
    EXPECT_EQ(at(w / 2, 2), role(QPalette::Midlight));
    EXPECT_EQ(at(w / 2, 3), role(QPalette::Base));
    EXPECT_EQ(at(0, h / 2), role(QPalette::Text));
    EXPECT_EQ(at(3, h / 2), role(QPalette::Base));
    int text = 0;
    for (int x = 12; x < w - 12; ++x) {
        text += at(x, h / 2) != role(QPalette::Base) ? 1 : 0;
    }
    EXPECT_GT(text, 3);
}

TEST_F(BalloonTipTest, HidesThreeSecondsAfterShowingAndIgnoresShowMeanwhile) {
    m_Tip.Show("first", QPoint(400, 300));
    const QRect geometry = m_Tip.geometry();
    m_Clock.RunFor(2000);
    m_Tip.Show("second, longer", QPoint(100, 100));
    EXPECT_EQ(m_Tip.Text(), "first");
    EXPECT_EQ(m_Tip.geometry(), geometry);

    m_Clock.RunFor(999);
    EXPECT_TRUE(m_Tip.isVisible());
    m_Clock.RunFor(1);
    EXPECT_FALSE(m_Tip.isVisible());
    EXPECT_EQ(m_Clock.PendingTimers(), 0u);
}

TEST_F(BalloonTipTest, HideThenShowRestartsTheTimer) {
    m_Tip.Show("first", QPoint(400, 300));
    m_Clock.RunFor(2000);
    m_Tip.Hide();
    m_Tip.Show("second", QPoint(100, 150));
    EXPECT_EQ(m_Tip.Anchor(), QPoint(100, 150));

    m_Clock.RunFor(2999);
    EXPECT_TRUE(m_Tip.isVisible());
    m_Clock.RunFor(1);
    EXPECT_FALSE(m_Tip.isVisible());
}

TEST_F(BalloonTipTest, DestroyingAShownTipCancelsItsTimer) {
    {
        BalloonTip tip;
        tip.Show("x", QPoint(10, 10));
        EXPECT_EQ(m_Clock.PendingTimers(), 1u);
    }
    EXPECT_EQ(m_Clock.PendingTimers(), 0u);
}
