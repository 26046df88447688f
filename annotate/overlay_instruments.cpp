#include "annotate/overlay_instruments.h"

#include "annotate/overlay.h"
#include "instruments/instrument_chooser.h"
#include "instruments/instrument_layer.h"
#include "instruments/instrument_strokes.h"
#include "platform/widgets/controls.h"

#include <algorithm>

using namespace platform;

namespace {

constexpr int ButtonBarWidth = 40;
constexpr int BarHeight = 41;

} // namespace

OverlayInstruments::OverlayInstruments(TForm2& overlay) : QObject(&overlay), overlay_(overlay) {
    Layer = new InstrumentLayer(&overlay, model_);
    layerAlive_ = Layer;
    Layer->rulingAllowed = [this] {
        const int tool = overlay_.Annotation.overlayTool();
        return tool == OverlayPen || tool == OverlayLine;
    };
    Bar = new Panel(&overlay, 0, 0, ButtonBarWidth, BarHeight, clSkyBlue);
    Chooser = new InstrumentChooser(Bar, &overlay);
    connect(Chooser, &InstrumentChooser::chosen, this,
            [this](InstrumentKind kind) { Layer->open(kind, BarHeight); });
    connect(Layer, &InstrumentLayer::drawingShown, this,
            [this](const QList<QPolygon>& lines) { overlay_.guarded([&] { show(lines); }); });
    connect(Layer, &InstrumentLayer::drawingEnded, this,
            [this](const QList<QPolygon>& lines) { overlay_.guarded([&] { commit(lines); }); });
    connect(Layer, &InstrumentLayer::gridStamped, this,
            [this](const QList<QPolygon>& grid, const QList<QPolygon>& axes) {
                overlay_.guarded([&] { stampGrid(grid, axes); });
            });
}

OverlayInstruments::~OverlayInstruments() {
    delete layerAlive_.data();
}

void OverlayInstruments::placeButton(int right) {
    Bar->move(right - ButtonBarWidth, 0);
    Chooser->placeAt(1);
}

void OverlayInstruments::show(const QList<QPolygon>& lines) {
    Canvas& c = overlay_.canvas();
    c.copyRect(overlay_.Board.scratchBitmap(), shown_);
    const TRect drawn = drawInstrumentLines(c, lines, overlay_.Annotation.penWidth(),
                                            overlay_.Annotation.penColour());
    overlay_.showSurface(shown_.united(drawn));
    shown_ = drawn;
}

void OverlayInstruments::commitRegion(const TRect& drawn) {
    // As the overlay's strokes commit: the picture before it is the one undo brings back.
    QImage& scratch = overlay_.Board.editScratchBitmap();
    overlay_.Annotation.keepUndo(scratch);
    Canvas(scratch).copyRect(overlay_.Surface, drawn);
    overlay_.showSurface(drawn);
}

void OverlayInstruments::commit(const QList<QPolygon>& lines) {
    show(lines);
    commitRegion(shown_);
    shown_ = {};
}

void OverlayInstruments::stampGrid(const QList<QPolygon>& grid, const QList<QPolygon>& axes) {
    Canvas& c = overlay_.canvas();
    const TColor pen = overlay_.Annotation.penColour();
    // The grid's faint lines between the pen's colour and white: the desktop has no one
    // background colour.
    TRect drawn = drawInstrumentLines(c, grid, 1, halfwayColour(pen, clWhite));
    drawn = drawn.united(
        drawInstrumentLines(c, axes, std::min(overlay_.Annotation.penWidth(), 3), pen));
    commitRegion(drawn);
}
