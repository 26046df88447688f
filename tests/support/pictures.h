// Pictures for tests: one filled with a colour, and a pixel read back as the program's colour.
#pragma once

#include "platform/raster/tcolor.h"

#include <QImage>

// A picture of the given size in the board's format, all of one colour.
inline QImage filledPicture(QSize size, TColor colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(platform::toQColor(colour));
    return picture;
}

// A pixel of a picture as the program stores colours (0x00BBGGRR).
inline TColor pixelAt(const QImage& picture, int x, int y) {
    return platform::fromRgb(picture.pixel(x, y));
}
