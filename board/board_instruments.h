// The geometry instruments on the whiteboard: their layer above the page, the title bar's
// button that opens them, and what they draw, which goes into the page as the board's own
// stroke (the pen's colour and width, one undo step).
#pragma once

#include "platform/raster/rect.h"

#include <QList>
#include <QObject>
#include <QPolygon>

class InstrumentChooser;
class InstrumentLayer;
class TForm3;

class BoardInstruments : public QObject {
    Q_OBJECT
public:
    explicit BoardInstruments(TForm3& board);

    InstrumentLayer* Layer;
    InstrumentChooser* Chooser;

    // Keeps the button in its slot left of the command bar whose left edge is `commandBarLeft`.
    void placeButton(int commandBarLeft);

private:
    // Draws what the instruments draw on the board's surface while the pen moves, in place of
    // what it showed before.
    void show(const QList<QPolygon>& lines);
    // The same, into the page, as one stroke.
    void commit(const QList<QPolygon>& lines);
    void stampGrid(const QList<QPolygon>& grid, const QList<QPolygon>& axes);
    void commitRegion(const TRect& drawn, int margin);

    TForm3& board_;
    bool drawing_ = false;
    TRect shown_;
};
