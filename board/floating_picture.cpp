// The floating picture: a rectangle cut from the page or a picture placed on it, that the
// teacher drags, enlarges and reduces before it is dropped back into the page.
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"

#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>

using namespace platform;

void TForm3::releaseZoomSource() {
    ZoomSource.reset();
    ZoomImageHeld = 0;
}

void TForm3::showFloatingPicture(const QImage& picture, QPoint topLeft) {
    Image2->setGeometry(topLeft.x(), topLeft.y(), picture.width(), picture.height());
    Image2->setPicture(picture);
    Image2->show();
    Image2->raise();
}

// The window shows the page again wherever the floating picture stops covering it.
void TForm3::revealPageUnder(const QRect& area) {
    if (area.isEmpty() || !PageBitmaps[CurrentPage].exists())
        return;
    const TRect r = TRect::fromQRect(area);
    canvas().copyRect(PageBitmaps[CurrentPage].Bitmap, r);
    showSurface(r);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image2) {
        switch (event->type()) {
        case QEvent::Move:
            revealPageUnder(QRect(static_cast<QMoveEvent*>(event)->oldPos(), Image2->size()));
            break;
        case QEvent::Resize:
            revealPageUnder(QRect(Image2->pos(), static_cast<QResizeEvent*>(event)->oldSize()));
            break;
        case QEvent::Hide:
            revealPageUnder(Image2->geometry());
            break;
        default:
            break;
        }
    }
    return SurfaceWindow::eventFilter(watched, event);
}

void TForm3::dropFloatingPicture() {
    if (Image2->isHidden())
        return;
    const QRect r = Image2->geometry();
    const int w = r.width();
    const int h = r.height();
    Canvas(PageBitmaps[CurrentPage].Bitmap)
        .copyRect(Image2->picture(), {1, 1, w - 1, h - 1}, QPoint(r.left() + 1, r.top() + 1));
    Image2->hide();
    Form1->BoardPaintMode = 1;
}

void TForm3::commitFloatingPictureOnPress() {
    if (Image2->isHidden())
        return;
    const QRect r = Image2->geometry();
    const int w = r.width();
    const int h = r.height();
    Canvas page(PageBitmaps[CurrentPage].Bitmap);
    if (FloatPlaced == 1) {
        page.copyRect(Image2->picture(), {0, 0, w, h}, r.topLeft());
    } else {
        // A selection's outermost pixels are its dotted frame; below 1 the frame is 2 wide.
        const int a = ZoomFactor >= 1.0f ? 1 : 2;
        page.copyRect(Image2->picture(), {a, a, w - 2, h - 2}, QPoint(r.left() + a, r.top() + a));
    }
    FloatPlaced = 0;
    Form1->BoardPaintMode = 1;
    Image2->hide();
    releaseZoomSource();
}

bool TForm3::deleteFloatingSelection() {
    if (Image2->isHidden() || SelectionRight <= AnchorX)
        return false;
    const QRect r = Image2->geometry();
    Canvas(Image2->picture()).fillRect({0, 0, r.width(), r.height()}, RCP->Color());
    Canvas(PageBitmaps[CurrentPage].Bitmap).fillRect(TRect::fromQRect(r), RCP->Color());
    FloatPlaced = 0;
    SelectionRight = AnchorX;
    Image2->hide();
    releaseZoomSource();
    return true;
}

// Range selection.
void TForm3::SpeedButton25Click() {
    dropFloatingPicture();
    FloatPlaced = 0;
    releaseZoomSource();
    ToolMode = RangeSelection;
    canvas().pen = Pen{1, LCP->Color(), PenStyle::Dot};
    canvas().brush.clear = true;
    loadBoardCursor(QStringLiteral("prcs_mox2.cut"));
}

// The selection, dotted frame and all, becomes the floating picture; its place in the page is
// filled with the background.
void TForm3::cutSelection(int x, int y) {
    releaseZoomSource();
    ZoomFactor = 1.0f;
    SelectionRight = x;
    SelectionBottom = y;
    const int w = std::max(0, x - AnchorX);
    const int h = std::max(0, y - AnchorY);
    FloatBitmap = makeBitmap(w, h);
    Canvas(FloatBitmap)
        .copyRect(Surface, {AnchorX, AnchorY, AnchorX + w, AnchorY + h}, QPoint(0, 0));
    showFloatingPicture(FloatBitmap, {AnchorX, AnchorY});
    if (BackdropActive == 1) {
        const TRect box{StrokeLeft, StrokeTop, StrokeRight, StrokeBottom};
        canvas().copyRect(BackdropBitmap, box);
        Canvas(PageBitmaps[CurrentPage].Bitmap).copyRect(BackdropBitmap, box);
    } else {
        Canvas(PageBitmaps[CurrentPage].Bitmap)
            .fillRect({AnchorX, AnchorY, AnchorX + w, AnchorY + h}, surfaceBackground());
    }
    Form1->BoardPaintMode = 1;
}

// A picture waiting for this release: a stamp or a picture at the press point, or a picture
// at the top left below the title bar.
void TForm3::placePendingPicture() {
    releaseZoomSource();
    ZoomFactor = 1.0f;
    QPoint at(AnchorX, AnchorY);
    if (PendingPlacement == 1) {
        FloatBitmap = StampImage;
        Form1->BoardPaintMode = 1;
    } else if (PendingPlacement == 3) {
        at = QPoint(0, 35);
    }
    showFloatingPicture(FloatBitmap, at);
    PendingPlacement = 0;
    FloatPlaced = 1;
}

void TForm3::Image2MouseDown(Qt::MouseButton, int x, int y) {
    AnchorX = x;
    AnchorY = y;
}

void TForm3::Image2MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    Image2->move(Image2->x() + x - AnchorX, Image2->y() + y - AnchorY);
    Form1->BoardPaintMode = 1;
}

// One zoom step, always scaled from the picture as it was before the first step.
void TForm3::zoomStep(bool enlarge) {
    if (Image2->isHidden())
        return;
    if (!ZoomSource) {
        ZoomSource = CapturedPicture::fromBitmap(Image2->picture());
        if (!ZoomSource)
            return; // an empty picture has nothing to scale
        ZoomImageHeld = 1;
    }
    const float factor = enlarge ? zoomedIn(ZoomFactor) : zoomedOut(ZoomFactor);
    const FloatingKind kind = FloatPlaced == 1 ? FloatingKind::Placed : FloatingKind::Selection;
    const std::optional<QImage> result = ConvertPicture(
        *ZoomSource, boardZoomRequest(ZoomSource->size(), factor, kind, ProgramFolder));
    if (!result)
        return; // too large or too small to make: the picture stays as it is
    ZoomFactor = factor;
    const int w = result->width();
    const int h = result->height();
    const QPoint at =
        keptOnScreen(Image2->pos(), result->size(), QSize(screenWidth(), screenHeight()),
                     enlarge ? ZoomDirection::Enlarge : ZoomDirection::Reduce);
    QImage picture = *result;
    if (ZoomFactor >= 1.0f && kind == FloatingKind::Selection) {
        Canvas frame(picture);
        frame.pen = Pen{1, LCP->Color(), PenStyle::Dot};
        frame.brush.clear = true;
        frame.rectangle(0, 0, w - 1, h - 1);
    }
    Image2->setGeometry(at.x(), at.y(), w, h);
    Image2->setPicture(picture);
}

void TForm3::SpeedButton35Click() {
    zoomStep(true);
}

void TForm3::SpeedButton36Click() {
    zoomStep(false);
}
