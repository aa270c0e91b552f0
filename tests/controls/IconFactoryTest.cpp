#include "controls/IconFactory.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <vector>

TEST(IconFactory, EveryResourceIdGivesADistinctIconAt32And64PixelsAndTheBandTilesSideways) {
    // The application icon and the toolbar images, as the window asks for them.
    std::vector<int> expected(16, 128);
    std::iota(expected.begin() + 1, expected.end(), 136);
    const auto ids = IconFactory::ResourceIds();
    ASSERT_EQ(std::vector<int>(ids.begin(), ids.end()), expected);
    std::set<QByteArray> pictures;
    for (int id : ids) {
        SCOPED_TRACE(id);
        const QIcon icon = IconFactory::Icon(id);
        ASSERT_FALSE(icon.isNull());
        // At 200 % the icon hands out its own 64-pixel drawing.
        EXPECT_EQ(icon.pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32),
                  IconFactory::Pixmap(id, 64).toImage().convertToFormat(QImage::Format_ARGB32));
        // Transparent corners; the picture covers a good part of the square.
        const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.size(), QSize(32, 32));
        for (QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)}) {
            EXPECT_EQ(qAlpha(image.pixel(corner)), 0);
        }
        const QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
        EXPECT_GT(std::count(alpha.constBits(), alpha.constBits() + alpha.sizeInBytes(), 255),
                  32 * 32 / 8);
        pictures.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(pictures.size(), ids.size()) << "two ids share a picture";
    // The application icon also serves title bars and task switchers.
    for (int size : {16, 48, 128}) {
        EXPECT_TRUE(IconFactory::Icon(128).availableSizes().contains(QSize(size, size))) << size;
    }
    // The toolbar band's background tiles sideways.
    const QImage band =
        IconFactory::BandBackground().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(band.height(), 48) << "room for a 32-pixel button with its margins";
    // Every row is one colour: the first column stretched sideways is the band.
    EXPECT_TRUE(band == band.copy(0, 0, 1, band.height()).scaled(band.size()));
}
