// The board's tools and strokes: a press, moves and a release draw live on the window surface,
// and the release commits the stroke's region into the page with an undo snapshot first.
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"

#include <QLabel>
#include <QLocale>
#include <QMouseEvent>

using namespace platform;

namespace {

constexpr int TitleBarBottom = 40; // drawing never enters the title bar's rows
constexpr int OutlineMargin = 5;   // what erasing a rubber-band outline repaints beside the box

// Half the drag in tenths, as the size readout shows it: 5 for 100 pixels, 0.7 for 15.
QString readoutValue(int delta) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString((delta / 2) / 10.0, 'g', 15);
}

} // namespace

int TForm3::penWidth() const {
    return Edit1->text().toInt();
}

int TForm3::eraserWidth(int w) {
    const int width = 10 * w;
    return width == 10 ? 15 : width;
}

TColor TForm3::surfaceBackground() {
    const QPoint p = backgroundSamplePoint(screenWidth());
    return canvas().pixel(p.x(), p.y());
}

TRect TForm3::strokeRegion() const {
    // The box's right and bottom are pointer positions, so the region reaches the margin past
    // them as far as before the left and top: a click keeps a square of 2 x margin + 1.
    // An emptied undo state has its right and bottom before its left and top: no region.
    if (StrokeRight < StrokeLeft || StrokeBottom < StrokeTop)
        return {};
    const int m = StrokeMarginOfBox;
    return {StrokeLeft - m, StrokeTop - m, StrokeRight + m + 1, StrokeBottom + m + 1};
}

void TForm3::forgetUndo() {
    StrokeLeft = 10;
    StrokeTop = 10;
    StrokeRight = -10;
    StrokeBottom = -10;
    StrokeMarginOfBox = StrokeMargin;
}

TColor TForm3::pageBackground(int page) {
    const QPoint p = backgroundSamplePoint(screenWidth());
    return Canvas(PageBitmaps[page].Bitmap).pixel(p.x(), p.y());
}

void TForm3::clearReadout() {
    Panel3->setCaption(QString());
}

void TForm3::armTool(int mode, const QString& cursorFile) {
    dropFloatingPicture();
    ToolMode = mode;
    loadBoardCursor(cursorFile);
}

// Pen.
void TForm3::SpeedButton3Click() {
    armTool(PenTool, QStringLiteral("Text_Hnd.cut"));
    canvas().pen.width = penWidth();
    canvas().pen.color = LCP->Color();
    clearReadout();
}

// Line.
void TForm3::SpeedButton14Click() {
    armTool(LineTool, QStringLiteral("Sonic cross2.cut"));
    canvas().pen = Pen{penWidth(), LCP->Color(), PenStyle::Solid};
}

// Rectangle.
void TForm3::SpeedButton15Click() {
    armTool(RectangleTool, QStringLiteral("Sonic cross3.cut"));
    canvas().pen = Pen{penWidth(), LCP->Color(), PenStyle::Solid};
    canvas().brush.clear = true;
}

// Ellipse.
void TForm3::SpeedButton17Click() {
    armTool(EllipseTool, QStringLiteral("prcs_mox1.cut"));
    canvas().pen = Pen{penWidth(), LCP->Color(), PenStyle::Solid};
    canvas().brush.clear = true;
}

// Board eraser: a wide pen in the page's background colour.
void TForm3::SpeedButton10Click() {
    armTool(BoardEraser, QStringLiteral("Altr_Fsh.cut"));
    canvas().pen.width = eraserWidth(penWidth());
    canvas().pen.color = surfaceBackground();
    clearReadout();
}

// Area erase.
void TForm3::SpeedButton13Click() {
    armTool(AreaErase, QStringLiteral("prcs_mox2.cut"));
    canvas().pen = Pen{1, LCP->Color(), PenStyle::Dot};
    canvas().brush.clear = true;
}

void TForm3::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseDown(p.x(), p.y()); });
}

void TForm3::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseMove(event->buttons(), p.x(), p.y()); });
}

void TForm3::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseUp(p.x(), p.y()); });
}

void TForm3::FormMouseDown(int x, int y) {
    commitFloatingPictureOnPress();
    if (ToolMode == RangeSelection) {
        canvas().pen.width = 1;
        canvas().pen.style = PenStyle::Dot;
    }
    canvas().moveTo(x, y);
    AnchorX = x;
    AnchorY = y;
    StrokeLeft = StrokeRight = x;
    StrokeTop = StrokeBottom = y;
    // The margin follows what this stroke can touch beside its box, so that the commit keeps
    // all of it and undo takes all of it back: half the pen's width, or the whole square that
    // the board eraser restores from the backdrop right and below the pointer.
    StrokeMarginOfBox = ToolMode == BoardEraser && BackdropActive == 1
                            ? std::max(StrokeMargin, 10 * penWidth())
                            : strokeMarginFor(canvas().pen.width);
}

void TForm3::FormMouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    y = std::max(y, TitleBarBottom);
    StrokeLeft = std::min(StrokeLeft, x);
    StrokeRight = std::max(StrokeRight, x);
    StrokeTop = std::min(StrokeTop, y);
    StrokeBottom = std::max(StrokeBottom, y);
    const QImage& page = PageBitmaps[CurrentPage].Bitmap;
    const TRect outline =
        TRect{StrokeLeft, StrokeTop, StrokeRight, StrokeBottom}.inflated(OutlineMargin);
    Canvas& c = canvas();

    switch (ToolMode) {
    case PenTool:
    case LineTool:
    case RectangleTool:
    case EllipseTool: {
        if (PageState[CurrentPage] < 2)
            PageState[CurrentPage] = 2;
        if (ToolMode != PenTool) {
            Panel3->setCaption(readoutValue(x - AnchorX) + QStringLiteral("，") +
                               readoutValue(y - AnchorY));
        }
        if (ToolMode == PenTool) {
            const QPoint from = c.penPosition();
            c.lineTo(x, y);
            showSurface(lineBounds(from, {x, y}, c.pen.width));
            return;
        }
        c.copyRect(page, outline);
        if (ToolMode == LineTool) {
            c.moveTo(AnchorX, AnchorY);
            c.lineTo(x, y);
        } else if (ToolMode == RectangleTool) {
            c.rectangle(AnchorX, AnchorY, x, y);
        } else {
            c.ellipse(AnchorX, AnchorY, x, y);
        }
        showSurface(outline.inflated(c.pen.width));
        return;
    }
    case BoardEraser: {
        if (BackdropActive == 1) {
            // The square hangs right and down from the pointer.
            const int side = 10 * penWidth();
            const TRect square{x, y, x + side, y + side};
            c.copyRect(BackdropBitmap, square);
            showSurface(square);
        } else {
            const QPoint from = c.penPosition();
            c.lineTo(x, y);
            showSurface(lineBounds(from, {x, y}, c.pen.width));
        }
        return;
    }
    case RangeSelection:
    case AreaErase:
        if (x > AnchorX && y > AnchorY) {
            c.copyRect(page, outline);
            c.rectangle(AnchorX, AnchorY, x, y);
            showSurface(outline);
        }
        return;
    default:
        return;
    }
}

void TForm3::FormMouseUp(int x, int y) {
    const int m = StrokeMarginOfBox;
    // Keep the commit off the thumbnail strip and the text panel.
    if (!Panel5->isHidden()) {
        const QRect strip = Panel5->geometry();
        if (strip.top() == 41) {
            if (strip.top() + strip.height() > StrokeTop - m)
                StrokeTop = strip.top() + strip.height() + m;
        } else if (strip.top() < StrokeBottom + m) {
            StrokeBottom = strip.top() - m;
        }
    }
    if (!Panel4->isHidden()) {
        const QRect panel = Panel4->geometry();
        const int panelRight = panel.left() + panel.width();
        // A panel right of the whole commit region is outside it already; moving the left
        // edge past the stroke would only reach the panel itself.
        if (panelRight > StrokeLeft - m && panel.left() < StrokeRight + m)
            StrokeLeft = panelRight + m;
    }
    commitStroke();
    if (!Image2->isHidden()) {
        const QRect r = Image2->geometry();
        Canvas(PageBitmaps[CurrentPage].Bitmap)
            .copyRect(Image2->picture(), {1, 1, r.width() - 1, r.height() - 1},
                      QPoint(r.left() + 1, r.top() + 1));
    }

    if (ToolMode == AreaErase) {
        const TRect box{StrokeLeft, StrokeTop, StrokeRight, StrokeBottom};
        Canvas page(PageBitmaps[CurrentPage].Bitmap);
        if (BackdropActive == 1) {
            canvas().copyRect(BackdropBitmap, box);
            page.copyRect(BackdropBitmap, box);
        } else {
            const TColor background = surfaceBackground();
            canvas().fillRect(box, background);
            page.fillRect(box, background);
        }
        showSurface(box);
        canvas().pen = Pen{1, LCP->Color(), PenStyle::Dot};
        loadBoardCursor(QStringLiteral("prcs_mox2.cut"));
        canvas().brush.clear = true;
    }
    if (ToolMode == RangeSelection && PendingPlacement == 0)
        cutSelection(x, y);
    if (PendingPlacement >= 1 && PendingPlacement <= 3)
        placePendingPicture();
}

// The undo snapshot, then the stroke's region from the window surface into the page.
void TForm3::commitStroke() {
    const TRect region = strokeRegion();
    if (region.isEmpty())
        return;
    const QImage& page = PageBitmaps[CurrentPage].Bitmap;
    // Only the region undo can restore is kept; the snapshot stays screen-sized because the
    // annotation overlay uses the same picture whole.
    if (ScratchBitmap.size() != page.size())
        ScratchBitmap = makeBitmap(page.width(), page.height());
    Canvas(ScratchBitmap).copyRect(page, region);
    Canvas(PageBitmaps[CurrentPage].Bitmap).copyRect(Surface, region);
}
