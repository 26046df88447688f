#include "qt_display.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

QSize QtDisplay::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    // Logical size times the ratio gives the device pixels the drawing surfaces are made of.
    return screen->geometry().size() * screen->devicePixelRatio();
}

int QtDisplay::colourDepth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? 0 : screen->depth();
}

bool QtDisplay::requestColourDepth(int /*bitsPerPixel*/) {
    // An X server's depth is fixed when it starts; RandR changes sizes and rates, never depth.
    return false;
}

} // namespace platform
