#include "board/board_instruments.h"

#include "board/whiteboard.h"
#include "instruments/instrument_chooser.h"
#include "instruments/instrument_layer.h"
#include "instruments/instrument_strokes.h"
#include "platform/os/services.h"

using namespace platform;

namespace {

constexpr int TitleBarBottom = 40; // nothing is drawn into the title bar's rows
// The button's slot: the second left of the command bar.
constexpr int SlotOffset = 80;

} // namespace

BoardInstruments::BoardInstruments(TForm3& board) : QObject(&board), board_(board) {
    InstrumentModel& model = board.Board.instruments();
    Layer = new InstrumentLayer(&board, model);
    Layer->setPage(board.Board.currentPage());
    Layer->rulingAllowed = [this] {
        const int tool = board_.Board.toolMode();
        return tool == PenTool || tool == LineTool;
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

void BoardInstruments::show(const QList<QPolygon>& lines) {
    BoardModel& model = board_.Board;
    if (!drawing_) {
        drawing_ = true;
        shown_ = {};
        model.commitFloatingPictureOnPress();
    }
    board_.canvas().copyRect(model.current(), shown_);
    const TRect drawn = drawInstrumentLines(board_.canvas(), lines, model.penWidth(),
                                            model.penColour(), TitleBarBottom);
    board_.showSurface(shown_.united(drawn));
    shown_ = drawn;
}

void BoardInstruments::commitRegion(const TRect& drawn, int margin) {
    BoardModel& model = board_.Board;
    if (drawn.isEmpty())
        return;
    // The stroke's box is all that was drawn, pen and all: the commit and undo take it whole.
    model.beginStroke(drawn.left, drawn.top, margin);
    model.extendStroke(drawn.right, drawn.bottom);
    model.markContent(model.currentPage());
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
    commitRegion(shown_, strokeMarginFor(board_.Board.penWidth()));
    shown_ = {};
}

void BoardInstruments::stampGrid(const QList<QPolygon>& grid, const QList<QPolygon>& axes) {
    BoardModel& model = board_.Board;
    model.commitFloatingPictureOnPress();
    const TColor background = board_.surfaceBackground();
    Canvas& c = board_.canvas();
    TRect drawn = drawInstrumentLines(c, grid, 1, halfwayColour(model.penColour(), background),
                                      TitleBarBottom);
    drawn = drawn.united(drawInstrumentLines(c, axes, std::min(model.penWidth(), 3),
                                             model.penColour(), TitleBarBottom));
    board_.showSurface(drawn);
    commitRegion(drawn, StrokeMargin);
}
