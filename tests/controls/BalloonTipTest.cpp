#include "controls/BalloonTip.h"

#include "tests/hart/VirtualClock.h"

#include <QFontMetrics>
#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

#include <tuple>

// One tip through its life: sized and placed on showing, painted, hidden by its timer.
TEST(BalloonTip, IsSizedAroundItsTextPaintedWithItsTailAndHiddenThreeSecondsAfterShowing) {
    VirtualClock clock; // installs itself as the timer service
    BalloonTip tip;
    tip.Show("", QPoint(300, 200));
    EXPECT_EQ(tip.size(), QSize(24, 45));
    tip.Hide();
    // Size is the text block plus margins and tail, whose tip sits on the anchor. An
    // empty line between two lines still counts: three lines, widest line.
    const QFontMetrics metrics(tip.font());
    const QSize body = BalloonTip::BodySize(tip.font(), "Time 12:00:01\r\n\r\nValue 1");
    EXPECT_EQ(body, QSize(metrics.horizontalAdvance("Time 12:00:01") + 24,
                          3 * metrics.height() + 2 * metrics.leading() + 20));
    tip.Show("Time 12:00:01\r\n\r\nValue 1", QPoint(500, 400));
    EXPECT_EQ(tip.geometry(), QRect(500 - body.width() + 12, 400 - body.height() - 15, body.width(),
                                    body.height() + 25));

    const int w = tip.width();
    const int h = body.height();
    QImage image(tip.size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    tip.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    auto role = [&tip](QPalette::ColorRole r) { return tip.palette().color(r).rgb(); };
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

    // Three seconds after showing it hides; showing again meanwhile changes nothing.
    clock.RunFor(2000);
    tip.Show("second, longer", QPoint(100, 100));
    EXPECT_EQ(tip.Text(), "Time 12:00:01\r\n\r\nValue 1");
    clock.RunFor(999);
    EXPECT_TRUE(tip.isVisible());
    clock.RunFor(1);
    EXPECT_FALSE(tip.isVisible());

    tip.Show("hidden early", QPoint(100, 150));
    tip.Hide();
    EXPECT_EQ(clock.PendingTimers(), 0u) << "hiding cancels the timer";
    {
        BalloonTip shown;
        shown.Show("destroyed while shown", QPoint(10, 10));
        EXPECT_EQ(clock.PendingTimers(), 1u);
    }
    EXPECT_EQ(clock.PendingTimers(), 0u) << "a destroyed tip leaves no timer";
}
