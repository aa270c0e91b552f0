#pragma once

#include <QFont>

// The font every dialog gives its controls: "宋体", 14 pixels, normal weight.
// fontconfig substitutes a CJK face where the system lacks it.
QFont SharedFont();
