#include "platform/os/qt_display.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

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

void QtDisplay::settle() {
    // A hide is only a request queued on our connection; the round trip makes the server
    // unmap the window before anything else is asked of it.
    QGuiApplication::sync();
    // The other programs repaint what was uncovered when their expose events reach them. Our
    // own windows go on painting meanwhile; input waits in the queue.
    QEventLoop loop;
    QTimer::singleShot(SettleMilliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QGuiApplication::sync();
}

QImage QtDisplay::readScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    QImage image = screen->grabWindow(0).toImage();
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

std::vector<ScreenInfo> QtDisplay::screens() {
    std::vector<ScreenInfo> list;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr)
        list.push_back({primary->name(), primary->geometry()});
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            list.push_back({screen->name(), screen->geometry()});
    return list;
}

QImage QtDisplay::grabScreen() {
    settle();
    return readScreen();
}

} // namespace platform
