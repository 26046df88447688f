#include "platform/widgets/surface_window.h"

#include "platform/os/services.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWindow>

namespace platform {

namespace {

// The surface window the others are shown above: the active one, else any that is shown.
QWindow* shownSurface() {
    QWindow* shown = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<SurfaceWindow*>(widget) == nullptr || !widget->isVisible() ||
            widget->windowHandle() == nullptr)
            continue;
        if (widget->isActiveWindow())
            return widget->windowHandle();
        shown = widget->windowHandle();
    }
    return shown;
}

// Sees every window of the program just before it is mapped, when its transient parent is
// still read. A parent that is shown keeps it (a box above the settings window stays its).
class AboveSurfaces final : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Show || !object->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(object);
        QWindow* window = widget->windowHandle();
        if (!widget->isWindow() || window == nullptr || qobject_cast<SurfaceWindow*>(widget) ||
            widget->windowType() == Qt::ToolTip || widget->windowType() == Qt::Popup)
            return false;
        QWindow* parent = window->transientParent();
        if (parent != nullptr && parent->isVisible())
            return false;
        window->setTransientParent(shownSurface());
        return false;
    }
};

void keepWindowsAboveSurfaces() {
    static QPointer<AboveSurfaces> filter;
    if (filter != nullptr)
        return;
    filter = new AboveSurfaces;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
}

} // namespace

SurfaceWindow::SurfaceWindow(Qt::WindowFlags flags) : Form(nullptr, flags), canvas_(Surface) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    keepWindowsAboveSurfaces();
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
