#include "board/board_instruments.h"

#include "board/whiteboard.h"
#include "instruments/instrument_chooser.h"
#include "instruments/instrument_layer.h"
#include "platform/os/services.h"

#include <QScreen>

using namespace platform;

namespace {

constexpr int TitleBarBottom = 40; // nothing is drawn into the title bar's rows
// The button's slot: the second left of the command bar.
constexpr int SlotOffset = 80;

TRect united(const TRect& a, const TRect& b) {
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Halfway between two colours: the grid's faint lines between the pen's and the page's.
TColor between(TColor a, TColor b) {
    TColor mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned sum = ((a >> shift) & 0xFFu) + ((b >> shift) & 0xFFu);
        mixed |= (sum / 2) << shift;
    }
    return mixed;
}

} // namespace

BoardInstruments::BoardInstruments(TForm3& board) : QObject(&board), board_(board) {
    InstrumentModel& model = board.Board.instruments();
    if (QScreen* screen = board.screen())
        model.setPixelsPerCm(
            instruments::pixelsPerCm(screen->physicalSize(), screen->geometry().size()));
    Layer = new InstrumentLayer(&board, model);
    Layer->setPage(board.Board.CurrentPage);
    Layer->rulingAllowed = [this] {
        return board_.Board.ToolMode == PenTool || board_.Board.ToolMode == LineTool;
    };
    Chooser = new InstrumentChooser(board.Panel2, &board);
    connect(Chooser, &InstrumentChooser::chosen, this,
            [this](InstrumentKind kind) { Layer->open(kind, TitleBarBottom); });
    connect(Layer, &InstrumentLayer::drawingShown, this,
            [this](const QList<QPolygon>& lines) { board_.guarded([&] { show(lines); }); });
    connect(Layer, &InstrumentLayer::drawingEnded, this,
            [this](const QList<QPolygon>& lines) { board_.guarded([&] { commit(lines); }); });
    connect(Layer, &InstrumentLayer::gridStamped, this,
            [this](const QList<QPolygon>& grid, const QList<QPolygon>& axes) {
                board_.guarded([&] { stampGrid(grid, axes); });
            });
    connect(&board.Board, &BoardModel::pageEntered, this,
            [this](int page, bool) { Layer->setPage(page); });
}

void BoardInstruments::placeButton(int commandBarLeft) {
    Chooser->placeAt(commandBarLeft - SlotOffset);
}

TRect BoardInstruments::draw(const QList<QPolygon>& lines, int width, unsigned colour) {
    Canvas& c = board_.canvas();
    const Pen tool = c.pen;
    c.pen = Pen{width, colour, PenStyle::Solid};
    TRect drawn;
    for (const QPolygon& line : lines) {
        if (line.isEmpty())
            continue;
        QPoint from(line[0].x(), std::max(line[0].y(), TitleBarBottom));
        c.moveTo(from.x(), from.y());
        drawn = united(drawn, lineBounds(from, from, width));
        for (int k = 1; k < line.size(); ++k) {
            const QPoint to(line[k].x(), std::max(line[k].y(), TitleBarBottom));
            c.lineTo(to.x(), to.y());
            drawn = united(drawn, lineBounds(from, to, width));
            from = to;
        }
    }
    c.pen = tool;
    return drawn;
}

void BoardInstruments::show(const QList<QPolygon>& lines) {
    BoardModel& model = board_.Board;
    if (!drawing_) {
        drawing_ = true;
        shown_ = {};
        model.commitFloatingPictureOnPress();
    }
    board_.canvas().copyRect(model.current(), shown_);
    const TRect drawn = draw(lines, model.PenWidth, model.PenColour);
    board_.showSurface(united(shown_, drawn));
    shown_ = drawn;
}

void BoardInstruments::commitRegion(const TRect& drawn, int margin) {
    BoardModel& model = board_.Board;
    if (drawn.isEmpty())
        return;
    // The stroke's box is all that was drawn, pen and all: the commit and undo take it whole.
    model.beginStroke(drawn.left, drawn.top, margin);
    model.StrokeRight = drawn.right;
    model.StrokeBottom = drawn.bottom;
    if (model.PageState[model.CurrentPage] < 2)
        model.PageState[model.CurrentPage] = 2;
    // What lies under the text panel was never seen: the page keeps it without that place.
    const bool overPanel = !board_.Panel4->isHidden();
    const TRect panel = TRect::fromQRect(board_.Panel4->geometry());
    if (overPanel)
        model.keepStrokeOff(panel);
    model.commitStroke(board_.Surface);
    if (overPanel)
        board_.canvas().copyRect(model.current(), model.strokeRegion().intersected(panel));
}

void BoardInstruments::commit(const QList<QPolygon>& lines) {
    show(lines);
    drawing_ = false;
    commitRegion(shown_, strokeMarginFor(board_.Board.PenWidth));
    shown_ = {};
}

void BoardInstruments::stampGrid(const QList<QPolygon>& grid, const QList<QPolygon>& axes) {
    BoardModel& model = board_.Board;
    model.commitFloatingPictureOnPress();
    const TColor background = board_.surfaceBackground();
    TRect drawn = draw(grid, 1, between(model.PenColour, background));
    drawn = united(drawn, draw(axes, std::min(model.PenWidth, 3), model.PenColour));
    board_.showSurface(drawn);
    commitRegion(drawn, StrokeMargin);
}
