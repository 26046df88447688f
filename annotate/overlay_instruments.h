// The geometry instruments on the annotation overlay, to rule over the frozen desktop: their
// layer above the annotated picture, a button beside the bars that opens them, and what they
// draw, which goes into the annotated picture as the overlay's own stroke (its pen, its undo).
#pragma once

#include "instruments/model/instrument_model.h"
#include "platform/raster/rect.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QPolygon>

class InstrumentChooser;
class InstrumentLayer;
class TForm2;
namespace platform {
class Panel;
}

class OverlayInstruments : public QObject {
    Q_OBJECT
public:
    explicit OverlayInstruments(TForm2& overlay);
    // The layer, a window of the overlay's, goes before the model it shows (when the overlay
    // has not taken it already).
    ~OverlayInstruments() override;

    platform::Panel* Bar; // holds the button, left of the full bar's place
    InstrumentLayer* Layer;
    InstrumentChooser* Chooser;

    // Keeps the button's bar with its right edge at `right`, left of the full bar's place.
    void placeButton(int right);

private:
    void show(const QList<QPolygon>& lines);
    void commit(const QList<QPolygon>& lines);
    void stampGrid(const QList<QPolygon>& grid, const QList<QPolygon>& axes);
    void commitRegion(const TRect& drawn);

    TForm2& overlay_;
    // The overlay has one picture: its instruments lie on page 1.
    InstrumentModel model_;
    QPointer<InstrumentLayer> layerAlive_;
    TRect shown_;
};
