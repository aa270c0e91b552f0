#include "controls/IconFactory.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

QImage Image32(int resourceId) {
    return IconFactory::Icon(resourceId)
        .pixmap(32, 32)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

// Pixels whose colour lies within a small distance of the given one.
int CountNear(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 255 && std::abs(pixel.red() - color.red()) < 40 &&
                std::abs(pixel.green() - color.green()) < 40 &&
                std::abs(pixel.blue() - color.blue()) < 40) {
                ++count;
            }
        }
    }
    return count;
}

const QColor kRed(0xd6, 0x28, 0x28);
const QColor kBlue(0x1b, 0x75, 0xbc);
const QColor kGreen(0x2b, 0x93, 0x48);

} // namespace

TEST(IconFactory, EveryResourceIdGivesA32PixelIconWithA64PixelDrawing) {
    // The application icon and the toolbar images, as the window asks for them.
    const std::vector<int> expected = {128, 136, 137, 138, 139, 140, 141, 142,
                                       143, 144, 145, 146, 147, 148, 149, 150};
    const auto ids = IconFactory::ResourceIds();
    ASSERT_EQ(std::vector<int>(ids.begin(), ids.end()), expected);
    for (int id : ids) {
        SCOPED_TRACE(id);
        const QIcon icon = IconFactory::Icon(id);
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(64, 64)));
        // At 200 % the icon hands out its own 64-pixel drawing, not an
        // enlarged 32-pixel one.
        EXPECT_EQ(icon.pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32),
                  IconFactory::Pixmap(id, 64).toImage().convertToFormat(QImage::Format_ARGB32));
    }
}

TEST(IconFactory, ApplicationIconServesTitleBarsAndTaskSwitchers) {
    const QList<QSize> sizes = IconFactory::Icon(128).availableSizes();
    for (int size : {16, 32, 48, 128}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
}

TEST(IconFactory, PicturesAreDrawnOnATransparentBackground) {
    for (int id : IconFactory::ResourceIds()) {
        SCOPED_TRACE(id);
        const QImage image = Image32(id);
        // The corners let the toolbar show through...
        for (QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)}) {
            EXPECT_EQ(image.pixelColor(corner).alpha(), 0);
        }
        // ...and the picture itself covers a good part of the square.
        int opaque = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                opaque += image.pixelColor(x, y).alpha() == 255 ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 32 * 32 / 8);
    }
}

TEST(IconFactory, DistinctIdsGiveDistinctPictures) {
    const auto ids = IconFactory::ResourceIds();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const QImage first = Image32(ids[i]);
        for (std::size_t j = i + 1; j < ids.size(); ++j) {
            EXPECT_NE(first, Image32(ids[j])) << ids[i] << " and " << ids[j];
        }
    }
}

TEST(IconFactory, IdsWithoutAPictureGiveNothing) {
    for (int id : {-1, 0, 101, 127, 129, 135, 151, 32772}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(IconFactory::Icon(id).isNull());
        EXPECT_TRUE(IconFactory::Pixmap(id, 32).isNull());
    }
    EXPECT_TRUE(IconFactory::Pixmap(139, 0).isNull());
}

TEST(IconFactory, ColoursTellTheCommandsApart) {
    // Stop is red, on-line green; each recording button shows its curve's
    // colour, and "record all" shows all three.
    EXPECT_GT(CountNear(Image32(139), kRed), 200);
    EXPECT_GT(CountNear(Image32(137), kGreen), 200);
    EXPECT_EQ(CountNear(Image32(137), kRed), 0);

    const QImage pv = Image32(148);
    const QImage current = Image32(149);
    const QImage percent = Image32(150);
    EXPECT_GT(CountNear(pv, kRed), 20);
    EXPECT_EQ(CountNear(pv, kGreen), 0);
    EXPECT_GT(CountNear(current, kBlue), 20);
    EXPECT_EQ(CountNear(current, kRed), 0);
    EXPECT_GT(CountNear(percent, kGreen), 20);
    EXPECT_EQ(CountNear(percent, kRed), 0);

    const QImage all = Image32(145);
    for (const QColor& color : {kRed, kBlue, kGreen}) {
        EXPECT_GT(CountNear(all, color), 4) << color.name().toStdString();
    }
}

TEST(IconFactory, BandBackgroundTilesSidewaysAndShadesDownwards) {
    const QImage band =
        IconFactory::BandBackground().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(band.isNull());
    // Tall enough for a 32-pixel button with its margins.
    EXPECT_GE(band.height(), 48);
    for (int y = 0; y < band.height(); ++y) {
        for (int x = 1; x < band.width(); ++x) {
            ASSERT_EQ(band.pixel(x, y), band.pixel(0, y)) << "row " << y;
        }
    }
    EXPECT_GT(band.pixelColor(0, 2).lightness(), band.pixelColor(0, band.height() - 3).lightness());
}
