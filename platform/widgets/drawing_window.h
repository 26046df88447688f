// What the whiteboard and the annotation overlay share as windows: a full-screen surface the
// teacher draws on with the pointer, bars over it whose controls keep the presses that begin on
// them, a cursor for each tool, and a floating picture above the drawing.
#pragma once

#include "platform/widgets/controls.h"
#include "platform/widgets/surface_window.h"

#include <QCursor>
#include <QRect>
#include <optional>

namespace platform {

// The floating picture as a window shows it, above the drawing and beneath the bars that are
// made after it. Wherever it stops covering the window (moved, resized, hidden) it says so, for
// the window to show what lies under it again.
class FloatingPictureBox : public ImageBox {
    Q_OBJECT
public:
    explicit FloatingPictureBox(QWidget* parent);

    // Shows `picture` at `bounds`.
    void showPicture(const QImage& picture, const QRect& bounds);

signals:
    void uncovered(const QRect& area);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void followGeometry();

    // Where the picture showed last; empty while it is hidden.
    QRect shown_;
};

// The cursors of the drawing tools, each from its cursor file in the program folder.
enum class ToolCursor {
    Pen,       // "Text_Hnd.cut"
    Line,      // "Sonic cross2.cut"
    Rectangle, // "Sonic cross3.cut"
    Ellipse,   // "prcs_mox1.cut"
    Eraser,    // "Altr_Fsh.cut", the board eraser's
    Band       // "prcs_mox2.cut", a dotted rubber band's (area erase, selections)
};
QString toolCursorFile(ToolCursor cursor);

class DrawingWindow : public SurfaceWindow {
    Q_OBJECT
public:
    using SurfaceWindow::SurfaceWindow;

protected:
    // Loads the tool's cursor file into the window's cursor slot and makes it the window's
    // cursor; without the file, the arrow.
    void loadToolCursor(std::optional<QCursor>& slot, ToolCursor cursor);
    // Every control keeps the mouse presses that begin on it, also those it does not handle (a
    // bar's empty places, a readout): a press on the window starts a stroke only on the drawing
    // itself, and its moves and release go with it.
    void childEvent(QChildEvent* event) override;
};

} // namespace platform
