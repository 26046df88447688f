// The instruments lying over the pages: opened on a page and shown only there, moved, turned
// and sized by hand, closed from their own close mark. They are never part of a page; what
// they draw goes into the page through the board like any stroke.
#pragma once

#include "instruments/model/geometry.h"
#include "instruments/model/instrument.h"

#include <QObject>
#include <QRectF>
#include <vector>

class InstrumentModel : public QObject {
    Q_OBJECT
public:
    InstrumentModel() = default;

    // The screen's scale; instruments opened later take their sizes from it.
    void setPixelsPerCm(double perCm);
    double pixelsPerCm() const { return pixelsPerCm_; }

    // Opens an instrument of its usual size in the middle of `view` (the page's visible part)
    // on `page`; its id.
    int open(InstrumentKind kind, int page, const QRectF& view);
    void close(int id);
    // Every instrument goes, as when other pages replace the board's.
    void closeAll();

    void moveBy(int id, QPointF delta);
    // Turned by hand: snapped (snapAngle).
    void turnTo(int id, double degrees);
    // The compass follows the hand exactly while it draws.
    void turnFreely(int id, double degrees);
    // The ruler's length in whole centimetres, its left end staying where it lies; held to
    // 5 cm .. 100 cm.
    void setRulerLength(int id, double length);
    // The compass's pencil put at `pencil`: its radius and direction from the needle.
    void setCompassPencil(int id, QPointF pencil);
    // One unit of the axes in whole millimetres, held to 0.5 cm .. the grid's half width.
    void setAxesUnit(int id, double unit);

    const Instrument* find(int id) const;
    std::vector<Instrument> onPage(int page) const;

signals:
    // An instrument on `page` was opened, changed or closed.
    void changed(int page);

private:
    Instrument* item(int id);
    void changedItem(const Instrument& instrument);

    std::vector<Instrument> items_;
    int nextId_ = 1;
    double pixelsPerCm_ = instruments::FallbackPixelsPerCm;
};
