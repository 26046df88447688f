// The board's tools and strokes: a press, moves and a release draw live on the window surface,
// and the release commits the stroke's region into the page with an undo snapshot first.
#include "board/model/stroke.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"

#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QTabletEvent>

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
    return Board.penWidth();
}

TColor TForm3::surfaceBackground() {
    const QPoint p = backgroundSamplePoint(screenWidth());
    return canvas().pixel(p.x(), p.y());
}

void TForm3::clearReadout() {
    Panel3->setCaption(QString());
}

// Pen.
void TForm3::SpeedButton3Click() {
    Board.armTool(PenTool);
}

// Line.
void TForm3::SpeedButton14Click() {
    Board.armTool(LineTool);
}

// Rectangle.
void TForm3::SpeedButton15Click() {
    Board.armTool(RectangleTool);
}

// Ellipse.
void TForm3::SpeedButton17Click() {
    Board.armTool(EllipseTool);
}

// Board eraser: a wide pen in the page's background colour.
void TForm3::SpeedButton10Click() {
    Board.armTool(BoardEraser);
}

// Area erase.
void TForm3::SpeedButton13Click() {
    Board.armTool(AreaErase);
}

// Range selection.
void TForm3::SpeedButton25Click() {
    Board.armTool(RangeSelection);
}

// The tool the model has armed: its button down, its cursor and its pen.
void TForm3::showTool() {
    Canvas& c = canvas();
    switch (Board.toolMode()) {
    case PenTool:
        SpeedButton3->setChecked(true);
        loadBoardCursor(ToolCursor::Pen);
        c.pen.width = penWidth();
        c.pen.color = Board.penColour();
        clearReadout();
        break;
    case LineTool:
        SpeedButton14->setChecked(true);
        loadBoardCursor(ToolCursor::Line);
        c.pen = Pen{penWidth(), Board.penColour(), PenStyle::Solid};
        break;
    case RectangleTool:
    case EllipseTool: {
        const bool rectangle = Board.toolMode() == RectangleTool;
        (rectangle ? SpeedButton15 : SpeedButton17)->setChecked(true);
        loadBoardCursor(rectangle ? ToolCursor::Rectangle : ToolCursor::Ellipse);
        c.pen = Pen{penWidth(), Board.penColour(), PenStyle::Solid};
        c.brush.clear = true;
        break;
    }
    case BoardEraser:
        SpeedButton10->setChecked(true);
        loadBoardCursor(ToolCursor::Eraser);
        c.pen.width = eraserWidth(penWidth());
        c.pen.color = surfaceBackground();
        clearReadout();
        break;
    case AreaErase:
    case RangeSelection:
        (Board.toolMode() == AreaErase ? SpeedButton13 : SpeedButton25)->setChecked(true);
        c.pen = Pen{1, Board.penColour(), PenStyle::Dot};
        c.brush.clear = true;
        loadBoardCursor(ToolCursor::Band);
        break;
    default:
        break;
    }
}

// A tablet pen's events say its pressure; Qt then sends the mouse events that draw.
void TForm3::tabletEvent(QTabletEvent* event) {
    penPressure_ = event->pressure();
    event->ignore();
}

namespace {

// Mouse events that a tablet pen made carry the pen's device; a mouse's or a touch screen's do
// not, and draw the chosen width.
bool fromTabletPen(const QMouseEvent* event) {
    const QPointingDevice* device = event->pointingDevice();
    return device != nullptr && (device->type() == QInputDevice::DeviceType::Stylus ||
                                 device->type() == QInputDevice::DeviceType::Airbrush);
}

} // namespace

qreal TForm3::inkWidth() const {
    return penPressure_ ? pressedWidth(Board.penWidth(), *penPressure_) : Board.penWidth();
}

void TForm3::mousePressEvent(QMouseEvent* event) {
    if (!fromTabletPen(event))
        penPressure_.reset();
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseDown(p.x(), p.y()); });
}

void TForm3::mouseMoveEvent(QMouseEvent* event) {
    if (!fromTabletPen(event))
        penPressure_.reset();
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseMove(event->buttons(), p.x(), p.y()); });
}

void TForm3::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseUp(p.x(), p.y()); });
}

void TForm3::FormMouseDown(int x, int y) {
    Board.commitFloatingPictureOnPress();
    if (Board.toolMode() == RangeSelection) {
        canvas().pen.width = 1;
        canvas().pen.style = PenStyle::Dot;
    }
    canvas().moveTo(x, y);
    if (Board.smoothInk() && Board.toolMode() == PenTool)
        smoothStroke_.begin({x, y}, inkWidth(), canvas().pen.color);
    // The margin follows what this stroke can touch beside its box, so that the commit keeps
    // all of it and undo takes all of it back: half the pen's width, or the whole square that
    // the board eraser restores from the backdrop right and below the pointer.
    const int margin = Board.toolMode() == BoardEraser && Board.backdropActive() == 1
                           ? std::max(StrokeMargin, 10 * penWidth())
                           : strokeMarginFor(canvas().pen.width);
    Board.beginStroke(x, y, margin);
}

void TForm3::FormMouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    y = std::max(y, TitleBarBottom);
    Board.extendStroke(x, y);
    const QImage& page = Board.current();
    const TRect outline = Board.strokeBox().inflated(OutlineMargin);
    const QPoint anchor(Board.anchorX(), Board.anchorY());
    Canvas& c = canvas();

    switch (Board.toolMode()) {
    case PenTool:
    case LineTool:
    case RectangleTool:
    case EllipseTool: {
        Board.markContent(Board.currentPage());
        if (Board.toolMode() != PenTool) {
            Panel3->setCaption(readoutValue(x - Board.anchorX()) + QStringLiteral("，") +
                               readoutValue(y - Board.anchorY()));
        }
        if (Board.toolMode() == PenTool && Board.smoothInk()) {
            const TRect drawn = smoothStroke_.extend(Surface, {x, y}, inkWidth());
            // A curve bends out of the samples' box at a sharp turn: the box grows so that
            // the release commits, and undo takes back, all that was drawn.
            if (!drawn.isEmpty()) {
                const int m = Board.strokeMarginOfBox();
                Board.extendStroke(drawn.left + m, drawn.top + m);
                Board.extendStroke(drawn.right - m - 1, drawn.bottom - m - 1);
            }
            showSurface(drawn);
            return;
        }
        if (Board.toolMode() == PenTool) {
            showSurface(penSegmentTo(c, {x, y}));
            return;
        }
        if (Board.smoothInk()) {
            // Anti-aliased, the shape reaches past the box by half its width and a pixel.
            const TRect band = outline.inflated(c.pen.width / 2 + 2);
            c.copyRect(page, band);
            const SmoothShape shape = Board.toolMode() == LineTool        ? SmoothShape::Line
                                      : Board.toolMode() == RectangleTool ? SmoothShape::Rectangle
                                                                          : SmoothShape::Ellipse;
            drawSmoothShape(Surface, shape, anchor, {x, y}, c.pen.width, c.pen.color);
            showSurface(band);
            return;
        }
        const RubberBand shape = Board.toolMode() == LineTool        ? RubberBand::Line
                                 : Board.toolMode() == RectangleTool ? RubberBand::Rectangle
                                                                     : RubberBand::Ellipse;
        drawRubberBand(c, page, outline, shape, anchor, {x, y});
        showSurface(outline.inflated(c.pen.width));
        return;
    }
    case BoardEraser: {
        if (Board.backdropActive() == 1) {
            // The square hangs right and down from the pointer.
            const int side = 10 * penWidth();
            const TRect square{x, y, x + side, y + side};
            c.copyRect(Board.backdropBitmap(), square);
            showSurface(square);
        } else {
            showSurface(penSegmentTo(c, {x, y}));
        }
        return;
    }
    case RangeSelection:
    case AreaErase:
        if (x > Board.anchorX() && y > Board.anchorY()) {
            drawRubberBand(c, page, outline, RubberBand::Rectangle, anchor, {x, y});
            showSurface(outline);
        }
        return;
    default:
        return;
    }
}

void TForm3::FormMouseUp(int x, int y) {
    // What is drawn under the text panel was never seen: the page keeps the stroke without the
    // panel's place, and the surface there shows the page again for when the panel goes. The
    // thumbnail strip is no part of the surface: what is drawn under it shows once it closes,
    // so the page keeps it.
    const bool overPanel = !Panel4->isHidden();
    const TRect panel = TRect::fromQRect(Panel4->geometry());
    if (overPanel)
        Board.keepStrokeOff(panel);
    Board.commitStroke(Surface);
    if (overPanel)
        canvas().copyRect(Board.current(), Board.strokeRegion().intersected(panel));
    Board.copyFloatingPictureIntoPage();

    if (Board.toolMode() == AreaErase) {
        // The window shows the erased box as the model's signal says.
        Board.eraseStrokeBox(surfaceBackground());
        canvas().pen = Pen{1, Board.penColour(), PenStyle::Dot};
        loadBoardCursor(ToolCursor::Band);
        canvas().brush.clear = true;
    }
    if (Board.toolMode() == RangeSelection && !Board.placementPending())
        Board.cutSelection(Surface, x, y, surfaceBackground());
    if (Board.placementPending())
        Board.placePendingPicture();
}
