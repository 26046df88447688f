// The screen: its size, its colour depth, the request to change that depth, and its pixels.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace platform {

// One screen of the desktop: the name the system gives it and where it lies.
struct ScreenInfo {
    QString name;
    QRect geometry;
    bool operator==(const ScreenInfo&) const = default;
};

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
    // Every screen of the desktop, the one the program works on first.
    virtual std::vector<ScreenInfo> screens() {
        return {{QString(), QRect(QPoint(), screenSize())}};
    }
};

} // namespace platform
