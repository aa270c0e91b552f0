// Build-time tool: writes the application icon as PNG files for the desktop's
// icon theme, drawn by the same code the window uses, so the menu entry and
// the title bar can never show different pictures.
//   calora-icon-renderer DIRECTORY SIZE...
// writes DIRECTORY/SIZExSIZE/apps/<name>.png for each size.
#include "controls/IconFactory.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kApplicationIcon = 128;

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s DIRECTORY NAME SIZE...\n", argc > 0 ? argv[0] : "");
        return 2;
    }
    // No display is needed to paint into an image.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication application(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < 16 || size > 1024) {
            std::fprintf(stderr, "%s: not an icon size: '%s'\n", argv[0], argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QPixmap picture = IconFactory::Pixmap(kApplicationIcon, static_cast<int>(size));
        if (picture.isNull() || !QDir().mkpath(folder) ||
            !picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG")) {
            std::fprintf(stderr, "%s: cannot write the %ld-pixel icon under %s\n", argv[0], size,
                         argv[1]);
            return 1;
        }
    }
    return 0;
}
