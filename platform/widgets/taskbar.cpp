#include "platform/widgets/taskbar.h"

#include "platform/os/services.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace platform {

namespace {

// Hints and menus are never listed by a panel: they need no mark.
bool listable(const QWidget* window) {
    const Qt::WindowType type = window->windowType();
    return type != Qt::ToolTip && type != Qt::Popup && type != Qt::Desktop;
}

void mark(QWidget* window) {
    // Tests may show windows after their fake services are gone.
    if (installed().windows == nullptr || !listable(window))
        return;
    windows().setNoTaskbarButton(static_cast<WindowHandle>(window->winId()));
}

// Qt sends a window its show event before it maps it: the mark is in place when the window
// manager first looks at the window.
class OffTaskbarFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow())
                mark(widget);
        }
        return false;
    }
};

} // namespace

void keepWindowsOffTaskbar() {
    // The filter dies with the application object, and a later application gets its own.
    static QPointer<OffTaskbarFilter> filter;
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || filter)
        return;
    filter = new OffTaskbarFilter(app);
    app->installEventFilter(filter);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            mark(window);
    }
}

} // namespace platform
