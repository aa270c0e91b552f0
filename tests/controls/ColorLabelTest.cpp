#include "controls/ColorLabel.h"
#include "controls/Colorref.h"

#include <QImage>

#include <algorithm>

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
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    return static_cast<int>(
        std::count(pixels, pixels + image.width() * image.height(), color.rgb()));
}

} // namespace

TEST(ColorLabel, BackColourFillsTheRectangleElseTheDialogShowsAroundBlueTextPlacedByAlignment) {
    // Colour values are laid out blue, green, red; the top byte is no channel.
    EXPECT_EQ(ColorrefToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(ColorrefToQColor(0xFF00FF00), QColor(0, 255, 0));
    EXPECT_EQ(MakeColorref(0x56, 0x34, 0x12), 0x00123456u);
    // Without a back colour the dialog shows around the text, blue by default.
    ColorLabel label;
    label.resize(200, 30);
    label.SetText("mA");
    for (auto [alignment, band] :
         {std::pair{Qt::AlignLeft, 0}, {Qt::AlignHCenter, 80}, {Qt::AlignRight, 160}}) {
        label.SetAlignment(alignment);
        const QImage image = RenderOver(label, Qt::yellow);
        EXPECT_GT(CountPixels(image, Qt::yellow), 200 * 30 * 3 / 4);
        EXPECT_GT(CountPixels(image, Qt::blue), 0);
        EXPECT_EQ(CountPixels(image.copy(band, 0, 40, 30), Qt::blue), CountPixels(image, Qt::blue))
            << "text outside " << band << "..." << band + 39;
    }
    // A back colour fills the whole rectangle; the text takes the text colour.
    label.resize(160, 50);
    label.SetBackColor(MakeColorref(0, 0, 0));
    label.SetTextColor(MakeColorref(255, 0, 0));
    label.SetLabelFont("MS Serif", 240);
    label.SetText("12.345");
    const QImage image = RenderOver(label, Qt::magenta);
    EXPECT_EQ(CountPixels(image, Qt::magenta), 0);
    EXPECT_GT(CountPixels(image, Qt::red), 20);
}
