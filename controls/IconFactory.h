#pragma once

#include <QIcon>
#include <QPixmap>

#include <span>

// The program's icons and the toolbar band bitmap, painted in code so that no
// image files are needed. Each picture is drawn on a 32-unit grid and rendered
// at 32 and 64 pixels (and more sizes for the application icon), so it stays
// crisp on displays scaled to 200 %.
class IconFactory {
public:
    // Icon resource ids: 128 is the application icon, 136-150 the toolbar
    // images (142 shows the band background as an icon).
    static std::span<const int> ResourceIds();

    // The icon of a resource id; a null icon for an id without a picture.
    static QIcon Icon(int resourceId);

    // One picture of a resource id, size x size pixels on a transparent
    // background; a null pixmap for an id without a picture.
    static QPixmap Pixmap(int resourceId, int size);

    // Bitmap resource 142, the toolbar band background. Every row has one
    // colour, so it tiles sideways without seams.
    static QPixmap BandBackground();
};
