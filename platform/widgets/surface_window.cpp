#include "platform/widgets/surface_window.h"

#include "platform/os/services.h"

#include <QPaintEvent>
#include <QPainter>

namespace platform {

SurfaceWindow::SurfaceWindow(Qt::WindowFlags flags) : Form(nullptr, flags), canvas_(Surface) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void SurfaceWindow::fitSurfaceToScreen() {
    const QSize size(screenWidth(), screenHeight());
    if (Surface.size() == size)
        return;
    QImage next = makeBitmap(size.width(), size.height());
    if (!Surface.isNull())
        Canvas(next).drawImage(0, 0, Surface);
    Surface = std::move(next);
}

void SurfaceWindow::drawOnSurface(const QImage& picture) {
    fitSurfaceToScreen();
    canvas_.drawImage(0, 0, picture);
    showSurface();
}

void SurfaceWindow::showSurface(const TRect& changed) {
    if (changed.isEmpty())
        update();
    else
        update(changed.toQRect());
}

void SurfaceWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r.topLeft(), Surface, r);
}

} // namespace platform
