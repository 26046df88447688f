// Colours as the program stores and compares them: 0x00BBGGRR, blue in the high byte.
#pragma once

#include <QColor>
#include <cstdint>

using TColor = std::uint32_t;

namespace platform {

constexpr TColor rgbColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

inline QColor toQColor(TColor c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

inline TColor fromQColor(const QColor& c) {
    return rgbColor(c.red(), c.green(), c.blue());
}

inline TColor fromRgb(QRgb rgb) {
    return rgbColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// The named colours the windows use.
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clMenuHighlight = 0xFF9933;
constexpr TColor clGradientActiveCaption = 0xEAD1B9;

} // namespace platform
