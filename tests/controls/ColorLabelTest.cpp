#include "controls/ColorLabel.h"
#include "controls/Colorref.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// The label as it appears over a dialog background of a known colour.
QImage RenderOver(ColorLabel& label, const QColor& dialog) {
    QImage image(label.size(), QImage::Format_ARGB32);
    image.fill(dialog);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int CountPixels(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == color.rgb() ? 1 : 0;
        }
    }
    return count;
}

} // namespace

TEST(Colorref, ChannelsAreLaidOutBlueGreenRed) {
    EXPECT_EQ(ColorrefToQColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorrefToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(ColorrefToQColor(0xFF00FF00), QColor(0, 255, 0)) << "top byte is no channel";
    EXPECT_EQ(MakeColorref(0x56, 0x34, 0x12), 0x00123456u);
}

TEST(ColorLabel, BackColourFillsTheRectangleAndTextTakesTheTextColour) {
    ColorLabel label;
    label.resize(160, 50);
    label.SetBackColor(MakeColorref(0, 0, 0));
    label.SetTextColor(MakeColorref(0, 255, 0));
    label.SetLabelFont("MS Serif", 240);
    label.SetText("12.345");

    const QImage image = RenderOver(label, Qt::magenta);
    EXPECT_EQ(CountPixels(image, Qt::magenta), 0);
    EXPECT_EQ(image.pixelColor(159, 49), QColor(Qt::black));
    EXPECT_GT(CountPixels(image, Qt::green), 20);

    // Text and colour changes show at the next paint.
    label.SetTextColor(MakeColorref(255, 0, 0));
    label.SetText("4.000");
    EXPECT_EQ(label.Text(), "4.000");
    const QImage red = RenderOver(label, Qt::magenta);
    EXPECT_EQ(CountPixels(red, Qt::green), 0);
    EXPECT_GT(CountPixels(red, Qt::red), 20);
}

TEST(ColorLabel, WithoutBackColourTheDialogShowsAroundBlueText) {
    ColorLabel label;
    label.resize(120, 30);
    label.SetText("mV");

    const QImage image = RenderOver(label, Qt::yellow);
    const int dialog = CountPixels(image, Qt::yellow);
    EXPECT_GT(CountPixels(image, Qt::blue), 0);
    EXPECT_EQ(CountPixels(image, Qt::white), 0) << "the default back colour is not painted";
    EXPECT_GT(dialog, 120 * 30 * 3 / 4);
    EXPECT_LT(dialog, 120 * 30 - 20);
}

TEST(ColorLabel, SecondFontReplacesTheFirst) {
    ColorLabel label;
    label.SetText("4.000");
    label.SetLabelFont("MS Serif", 240);
    const int large = label.sizeHint().height();
    label.SetLabelFont("Arial", 90);
    EXPECT_EQ(label.font().family(), "Arial");
    EXPECT_DOUBLE_EQ(label.font().pointSizeF(), 9.0);
    EXPECT_LT(label.sizeHint().height(), large);
}

TEST(ColorLabel, AlignmentPlacesTheText) {
    ColorLabel label;
    label.resize(200, 30);
    label.SetText("mA");
    auto inkColumns = [&label] {
        const QImage image = RenderOver(label, Qt::white);
        int first = image.width();
        int last = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != QColor(Qt::white).rgb()) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        return std::pair(first, last);
    };
    const auto [leftFirst, leftLast] = inkColumns();
    label.SetAlignment(Qt::AlignRight);
    const auto [rightFirst, rightLast] = inkColumns();
    label.SetAlignment(Qt::AlignHCenter);
    const auto [centreFirst, centreLast] = inkColumns();

    EXPECT_LT(leftFirst, 10);
    EXPECT_GT(rightLast, 190);
    EXPECT_GT(centreFirst, leftLast);
    EXPECT_LT(centreLast, rightFirst);
}
