// The floating picture: a rectangle cut from the page, or a picture placed on it, that floats
// above the page until it is committed into it.
#pragma once

#include "intake/picture_conversion.h"

#include <QImage>
#include <QRect>
#include <optional>

struct FloatingPicture {
    // What is shown: FloatBitmap as it was made, or a zoom step's result.
    QImage picture;
    QRect bounds;
    bool shown = false;
    // A zoom step of a selection draws its dotted frame one pixel in from the right and bottom
    // edges, not on the outermost pixels as the cut does.
    bool zoomFrame = false;
};
