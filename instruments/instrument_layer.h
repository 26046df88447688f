// The instruments of the shown page, drawn translucent above a drawing window's page and
// handled with the pen: a press on a handle turns, sizes or closes an instrument, on its body
// moves it, near a ruling edge rules a line along the edge, on the compass's hinge turns the
// compass and draws. What is drawn is handed to the window as lines of pixels (drawingShown
// while the pen moves, drawingEnded when it leaves), which the window draws into the page as
// its own strokes. The layer takes no press of its own: it watches the window's, and lets
// every press that meets no instrument through.
#pragma once

#include "instruments/model/instrument_model.h"

#include <QList>
#include <QPolygon>
#include <QWidget>
#include <functional>

class InstrumentLayer : public QWidget {
    Q_OBJECT
public:
    InstrumentLayer(QWidget* host, InstrumentModel& model);

    // The page the window shows: only its instruments are shown and handled.
    void setPage(int page);
    int page() const { return page_; }
    // Opens an instrument on the shown page, in the middle of the window below `top`.
    void open(InstrumentKind kind, int top);
    // Whether a press near a ruling edge rules a line (the window's tool writes); without it,
    // always.
    std::function<bool()> rulingAllowed;

    // What the layer shows beside the pen: the length and direction of a ruled line, the
    // compass's radius and turn, an instrument's angle or size, the protractor's reading.
    QString readout() const { return readout_; }

signals:
    void drawingShown(const QList<QPolygon>& lines);
    void drawingEnded(const QList<QPolygon>& lines);
    // The axes' grid goes into the page: its faint lines, and the axes.
    void gridStamped(const QList<QPolygon>& grid, const QList<QPolygon>& axes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Drag { None, Swallow, Move, Turn, Length, Pencil, Hinge, Unit, Rule };

    bool press(QPointF p);
    void move(QPointF p);
    void release(QPointF p);
    // The pen drawing on the window, away from the instruments: the protractor reads it.
    void observe(QPointF p);
    QList<QPolygon> ruled(QPointF p) const;
    QString centimetres(double pixels) const;
    // Repaints where the instruments and readouts were and are.
    void refresh();
    QRect shownBounds() const;
    // Where the protractors' rays to the pen and their readings show.
    QRect readingBounds() const;

    InstrumentModel& model_;
    QWidget* host_;
    int page_ = 1;

    Drag drag_ = Drag::None;
    int dragged_ = 0;
    QPointF last_;
    double offset_ = 0;
    double start_ = 0;
    double sweep_ = 0;
    double lastAngle_ = 0;
    QLineF edge_;
    QPointF down_;

    QString readout_;
    QPointF readoutAt_;
    // The pen's last place on the page while it draws, for the protractor's reading.
    bool pointerShown_ = false;
    QPointF pointer_;
    QRect painted_;
};
