// The commands of the overlay's two bars: tools, pen width and colour, clearing, undo, zoom of
// the floating picture, and the commands that leave the overlay or show a window above it.
#include "annotate/overlay.h"

#include "platform/os/services.h"
#include "platform/widgets/shell.h"

#include <QTimer>
#include <algorithm>

using namespace platform;

// Pen.
void TForm2::SpeedButton4Click() {
    Annotation.armTool(OverlayPen);
}

// Eraser: its rubber band is a thin dotted outline.
void TForm2::SpeedButton2Click() {
    Annotation.armTool(OverlayEraser);
}

// Straight line.
void TForm2::SpeedButton26Click() {
    Annotation.armTool(OverlayLine);
}

// Range: the dotted pen is taken at the next press; a floating selection stays.
void TForm2::SpeedButton15Click() {
    Annotation.armTool(OverlayRange);
}

// The tool the model has armed: its cursor, and the pen of a drawing tool.
void TForm2::showTool() {
    Canvas& c = canvas();
    switch (Annotation.overlayTool()) {
    case OverlayPen:
    case OverlayLine:
        loadOverlayCursor(Annotation.overlayTool() == OverlayPen ? ToolCursor::Pen
                                                                 : ToolCursor::Line);
        c.pen.width = Annotation.penWidth();
        c.pen.style = PenStyle::Solid;
        break;
    case OverlayEraser:
        loadOverlayCursor(ToolCursor::Band);
        c.pen.width = 1;
        c.pen.style = PenStyle::Dot;
        break;
    case OverlayRange:
        loadOverlayCursor(ToolCursor::Band);
        break;
    default:
        break;
    }
}

// Wider pen.
void TForm2::SpeedButton7Click() {
    Annotation.setPenWidth(Annotation.penWidth() + 1);
}

// Narrower pen.
void TForm2::SpeedButton8Click() {
    Annotation.setPenWidth(Annotation.penWidth() - 1);
}

// Pen colour; the dialog may have covered the overlay, so it is shown again whatever the answer.
void TForm2::SpeedButton9Click() {
    if (const std::optional<TColor> chosen = dialogs().chooseColor(this, Annotation.penColour()))
        Annotation.setPenColour(*chosen);
    FormPaint();
}

void TForm2::LCPClick() {
    SpeedButton9Click();
}

// Back to the captured screen, for good: undo cannot bring the drawing back.
void TForm2::clearToCapture() {
    if (OverlayReady != 1)
        return;
    drawOnSurface(ScreenCapture);
    Annotation.keepUndo(ScreenCapture);
    Board.setScratchBitmap(ScreenCapture);
}

// Clear all.
void TForm2::SpeedButton5Click() {
    Annotation.discardFloating();
    clearToCapture();
}

// Clear on the small bar: with a selection made, only the range between the last press and the
// last release goes back to the captured screen, and it cannot be undone either.
void TForm2::SpeedButton20Click() {
    if (OverlayReady != 1)
        return;
    if (!Annotation.selectionMade()) {
        clearToCapture();
        return;
    }
    const TRect range = Annotation.lastRange();
    canvas().copyRect(ScreenCapture, range);
    Annotation.copyIntoUndo(ScreenCapture, range);
    Canvas(Board.editScratchBitmap()).copyRect(ScreenCapture, range);
    showSurface(range);
}

// Undo: one level; a second undo shows the same picture again.
void TForm2::SpeedButton17Click() {
    Annotation.discardFloating();
    if (OverlayReady != 1)
        return;
    drawOnSurface(Annotation.undoPicture());
    Board.setScratchBitmap(Surface);
}

// Enlarge the floating picture.
void TForm2::SpeedButton11Click() {
    Annotation.zoomStep(ZoomDirection::Enlarge, QSize(screenWidth(), screenHeight()),
                        Board.programFolder());
}

// Reduce it.
void TForm2::SpeedButton12Click() {
    Annotation.zoomStep(ZoomDirection::Reduce, QSize(screenWidth(), screenHeight()),
                        Board.programFolder());
}

// Go to the whiteboard; the toolbar stays hidden until the whiteboard's own way back.
void TForm2::SpeedButton6Click() {
    hide();
    shell().openBoard();
}

// Blank the projection, the overlay staying open beneath. The overlay takes all input while
// it is open, so the blanking is modal above it; its end draws the overlay again from
// ScratchBitmap.
void TForm2::SpeedButton10Click() {
    shell().blankProjection(true);
    windows().setPointerPosition(QPoint(screenWidth(), 50));
}

// Help, above the overlay; the overlay is shown again afterwards.
void TForm2::SpeedButton1Click() {
    shell().openHelp();
    FormPaint();
}

void TForm2::SpeedButton19Click() {
    SpeedButton1Click();
}

// Back to the small bar.
void TForm2::SpeedButton18Click() {
    const int sw = screenWidth();
    Panel1->hide();
    Annotation.markRange({sw - 600, 0}, {sw, 40});
    repaintFromScratch({sw - 600, 0, sw, 40});
    Panel2->show();
}

// The full bar.
void TForm2::SpeedButton23Click() {
    Panel2->hide();
    Panel1->show();
}

// Leave annotation: the desktop as it was, the toolbar back, and the window that was under the
// middle of the screen in front.
void TForm2::SpeedButton3Click() {
    Annotation.discardFloating();
    hide();
    shell().showToolbar();
    shell().activateAnnotateTarget();
}

void TForm2::SpeedButton16Click() {
    SpeedButton3Click();
}
