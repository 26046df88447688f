// The screen: its size, its colour depth and the request to change that depth.
#pragma once

#include <QSize>

namespace platform {

class Display {
public:
    virtual ~Display() = default;
    virtual QSize screenSize() = 0;
    virtual int colourDepth() = 0;
    // Asks for a display mode with the given bits per pixel; true when the mode was changed.
    virtual bool requestColourDepth(int bitsPerPixel) = 0;
};

} // namespace platform
