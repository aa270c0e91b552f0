#pragma once

#include <QColor>

#include <cstdint>

// Colours travel through the program as 32-bit values laid out 0x00BBGGRR;
// these turn them into Qt colours only where something is painted.

constexpr std::uint32_t MakeColorref(int red, int green, int blue) {
    return static_cast<std::uint32_t>(red & 0xFF) |
           (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

inline QColor ColorrefToQColor(std::uint32_t colorref) {
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}
