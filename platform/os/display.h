// The screen: its size, its colour depth, the request to change that depth, and its pixels.
#pragma once

#include <QImage>
#include <QSize>

namespace platform {

class Display {
public:
    virtual ~Display() = default;
    virtual QSize screenSize() = 0;
    virtual int colourDepth() = 0;
    // Asks for a display mode with the given bits per pixel; true when the mode was changed.
    virtual bool requestColourDepth(int bitsPerPixel) = 0;
    // The whole screen as it shows now, in the drawing surfaces' format (32-bit, opaque).
    // Windows of the program hidden just before are gone from it, and what they uncovered has
    // had a moment to repaint.
    virtual QImage grabScreen() = 0;
};

} // namespace platform
