#include "shell/SharedFont.h"

QFont SharedFont() {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
