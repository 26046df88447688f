// The commands of the overlay's two bars: tools, pen width and colour, clearing, undo, zoom of
// the floating picture, and the commands that leave the overlay or show a window above it.
#include "annotate/overlay.h"
#include "board/model/pen_rules.h"

#include "platform/os/services.h"
#include "platform/widgets/shell.h"

#include <QTimer>
#include <algorithm>

using namespace platform;

void TForm2::armDrawingTool(int tool, const QString& cursorFile, Pen pen) {
    loadOverlayCursor(cursorFile);
    canvas().pen.width = pen.width;
    canvas().pen.style = pen.style;
    discardFloatingPicture();
    OverlayTool = tool;
    OverlaySelectionState = 0;
}

// Pen.
void TForm2::SpeedButton4Click() {
    armDrawingTool(OverlayPen, QStringLiteral("Text_Hnd.cut"), Pen{penWidth(), 0, PenStyle::Solid});
}

// Eraser: its rubber band is a thin dotted outline.
void TForm2::SpeedButton2Click() {
    armDrawingTool(OverlayEraser, QStringLiteral("prcs_mox2.cut"), Pen{1, 0, PenStyle::Dot});
}

// Straight line.
void TForm2::SpeedButton26Click() {
    armDrawingTool(OverlayLine, QStringLiteral("Sonic cross2.cut"),
                   Pen{penWidth(), 0, PenStyle::Solid});
}

// Range: the dotted pen is taken at the next press; a floating selection stays.
void TForm2::SpeedButton15Click() {
    loadOverlayCursor(QStringLiteral("prcs_mox2.cut"));
    OverlayTool = OverlayRange;
}

void TForm2::setPenWidth(int width) {
    width = clampPenWidth(width);
    if (width == penWidth_)
        return;
    penWidth_ = width;
    Edit1->setText(QString::number(width));
    canvas().pen.width = width;
}

// Wider pen.
void TForm2::SpeedButton7Click() {
    setPenWidth(penWidth_ + 1);
}

// Narrower pen.
void TForm2::SpeedButton8Click() {
    setPenWidth(penWidth_ - 1);
}

// Pen colour; the dialog may have covered the overlay, so it is shown again whatever the answer.
void TForm2::SpeedButton9Click() {
    if (const std::optional<TColor> chosen = dialogs().chooseColor(this, LCP->Color())) {
        LCP->setColor(*chosen);
        canvas().pen.color = LCP->Color();
    }
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
    OverlayUndoBitmap = ScreenCapture;
    Board.setScratchBitmap(ScreenCapture);
}

// Clear all.
void TForm2::SpeedButton5Click() {
    discardFloatingPicture();
    clearToCapture();
}

// Clear on the small bar: with a selection made, only the range between the last press and the
// last release goes back to the captured screen, and it cannot be undone either.
void TForm2::SpeedButton20Click() {
    if (OverlayReady != 1)
        return;
    if (OverlaySelectionState != 1) {
        clearToCapture();
        return;
    }
    const TRect range{
        std::min(OverlayAnchor.x(), OverlayEnd.x()), std::min(OverlayAnchor.y(), OverlayEnd.y()),
        std::max(OverlayAnchor.x(), OverlayEnd.x()), std::max(OverlayAnchor.y(), OverlayEnd.y())};
    canvas().copyRect(ScreenCapture, range);
    Canvas(OverlayUndoBitmap).copyRect(ScreenCapture, range);
    Canvas(Board.scratchBitmap()).copyRect(ScreenCapture, range);
    showSurface(range);
}

// Undo: one level; a second undo shows the same picture again.
void TForm2::SpeedButton17Click() {
    discardFloatingPicture();
    if (OverlayReady != 1)
        return;
    drawOnSurface(OverlayUndoBitmap);
    Board.setScratchBitmap(Surface);
}

// One zoom step of the floating picture, always scaled from the picture as it was selected.
void TForm2::zoomStep(ZoomDirection direction) {
    if (!OverlayZoomSource) {
        // Nothing selected yet (or an empty range): there is nothing to scale.
        OverlayZoomSource = CapturedPicture::fromBitmap(Image1->picture());
        if (!OverlayZoomSource)
            return;
    }
    const float factor = direction == ZoomDirection::Enlarge ? zoomedIn(OverlayZoomFactor)
                                                             : zoomedOut(OverlayZoomFactor);
    const std::optional<QImage> result =
        ConvertPicture(*OverlayZoomSource, overlayZoomRequest(OverlayZoomSource->size(), factor,
                                                              direction, Board.programFolder()));
    // Too large or too small to make: the picture and its factor stay as they are.
    if (!result)
        return;
    OverlayZoomFactor = factor;
    const QPoint at = keptOnScreen(Image1->pos(), result->size(),
                                   QSize(screenWidth(), screenHeight()), direction);
    Image1->setGeometry(QRect(at, result->size()));
    Image1->setPicture(*result);
}

// Enlarge the floating picture.
void TForm2::SpeedButton11Click() {
    zoomStep(ZoomDirection::Enlarge);
}

// Reduce it.
void TForm2::SpeedButton12Click() {
    zoomStep(ZoomDirection::Reduce);
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
    OverlayAnchor = {sw - 600, 0};
    OverlayEnd = {sw, 40};
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
    discardFloatingPicture();
    hide();
    shell().showToolbar();
    shell().activateAnnotateTarget();
}

void TForm2::SpeedButton16Click() {
    SpeedButton3Click();
}
