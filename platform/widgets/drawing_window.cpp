#include "platform/widgets/drawing_window.h"

#include "platform/raster/cursors.h"

#include <QChildEvent>
#include <utility>

namespace platform {

FloatingPictureBox::FloatingPictureBox(QWidget* parent) : ImageBox(parent) {
    setGeometry(0, 0, 0, 0);
    setCursor(Qt::SizeAllCursor);
    hide();
}

void FloatingPictureBox::showPicture(const QImage& picture, const QRect& bounds) {
    setGeometry(bounds);
    setPicture(picture);
    show();
}

// A box moved or resized while hidden hears of it only when shown, with nothing uncovered.
void FloatingPictureBox::followGeometry() {
    if (geometry() == shown_)
        return;
    if (!shown_.isEmpty())
        emit uncovered(shown_);
    shown_ = geometry();
}

void FloatingPictureBox::moveEvent(QMoveEvent* event) {
    ImageBox::moveEvent(event);
    followGeometry();
}

void FloatingPictureBox::resizeEvent(QResizeEvent* event) {
    ImageBox::resizeEvent(event);
    followGeometry();
}

void FloatingPictureBox::showEvent(QShowEvent* event) {
    ImageBox::showEvent(event);
    shown_ = geometry();
}

// Only the box's own hiding uncovers anything: hidden with its window, it shows again with it.
void FloatingPictureBox::hideEvent(QHideEvent* event) {
    ImageBox::hideEvent(event);
    if (!isHidden())
        return;
    const QRect was = std::exchange(shown_, QRect());
    if (!was.isEmpty())
        emit uncovered(was);
}

QString toolCursorFile(ToolCursor cursor) {
    switch (cursor) {
    case ToolCursor::Pen:
        return QStringLiteral("Text_Hnd.cut");
    case ToolCursor::Line:
        return QStringLiteral("Sonic cross2.cut");
    case ToolCursor::Rectangle:
        return QStringLiteral("Sonic cross3.cut");
    case ToolCursor::Ellipse:
        return QStringLiteral("prcs_mox1.cut");
    case ToolCursor::Eraser:
        return QStringLiteral("Altr_Fsh.cut");
    case ToolCursor::Band:
        return QStringLiteral("prcs_mox2.cut");
    }
    return {};
}

void DrawingWindow::loadToolCursor(std::optional<QCursor>& slot, ToolCursor cursor) {
    slot = loadCursorFile(toolCursorFile(cursor));
    if (slot)
        setCursor(*slot);
    else
        unsetCursor();
}

void DrawingWindow::childEvent(QChildEvent* event) {
    if (event->added() && event->child()->isWidgetType())
        static_cast<QWidget*>(event->child())->setAttribute(Qt::WA_NoMousePropagation);
    SurfaceWindow::childEvent(event);
}

} // namespace platform
