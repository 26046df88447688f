// The geometry of the instruments, in page pixels: where their parts lie when placed and
// turned, which edge a pen rules along, the line and arcs they draw, and the readings they give.
// Angles are in degrees, counter-clockwise as seen on the screen (y grows downwards).
#pragma once

#include "instruments/model/instrument.h"

#include <QLineF>
#include <QPoint>
#include <QPolygon>
#include <QPolygonF>
#include <QSize>
#include <utility>
#include <vector>

namespace instruments {

// A screen whose size the X server does not tell is taken at 96 dots per inch.
constexpr double FallbackPixelsPerCm = 96.0 / 2.54;
// How far beside a ruling edge (either side) a pen that goes down rules along it.
constexpr double EdgeReach = 14.0;
// How far from a handle's middle a press takes it.
constexpr double HandleReach = 16.0;
// A turn within this many degrees of a multiple of 15 degrees lands on it.
constexpr double StepSnap = 2.0;

// Pixels per centimetre of a screen `pixels` large and `millimetres` in size; the fallback
// when the size is unknown or not believable.
double pixelsPerCm(QSizeF millimetres, QSize pixels);

// The angle in 0 <= a < 360.
double normalAngle(double degrees);
// A turn by hand: onto a multiple of 15 degrees when near one, else onto a whole degree.
double snapAngle(double degrees);
// The signed change from one direction to another, -180 < d <= 180.
double turnBy(double from, double to);

// The unit vector along the instrument's length at `angle`, and the one across it (pointing
// down the screen when the angle is 0).
QPointF along(double angle);
QPointF across(double angle);
QPointF toPage(const Instrument& instrument, QPointF local);
QPointF toLocal(const Instrument& instrument, QPointF page);

// The body's outline on the page (the compass and the axes: what a press moves them by).
QPolygonF outline(const Instrument& instrument);
// The edges a pen rules along, on the page.
std::vector<QLineF> rulingEdges(const Instrument& instrument);
// The edge whose line `p` lies within EdgeReach of, the nearest; -1 for none.
int edgeNear(const Instrument& instrument, QPointF p);
// A press on the body (not on an edge or a handle) moves the instrument.
bool onBody(const Instrument& instrument, QPointF p);

enum class Handle { None, Close, Turn, Length, Pencil, Hinge, Unit, Stamp };
struct HandlePlace {
    Handle handle;
    QPointF at;
};
std::vector<HandlePlace> handles(const Instrument& instrument);
Handle handleAt(const Instrument& instrument, QPointF p);

// The line a pen ruling along `edge` draws from where it went down to where it left: both
// points dropped onto the edge, kept within its ends.
QLineF ruledLine(const QLineF& edge, QPointF down, QPointF up);
// The whole pixels a line is drawn between: each end rounded along the line's longer
// direction and put on the line across it, so that every pixel drawn lies within one pixel
// of the line itself.
std::pair<QPoint, QPoint> pixelEnds(const QLineF& line);

// The compass: its pencil point, its hinge, and the pixels of the arc its pencil draws when
// turned from `start` by `sweep` degrees (a full circle when |sweep| >= 360).
QPointF compassPencil(const Instrument& compass);
QPointF compassHinge(const Instrument& compass);
QPointF arcPoint(QPointF centre, double radius, double angle);
QPolygon arcPixels(QPointF centre, double radius, double start, double sweep);

// The protractor's reading of a point: the angle between its base (its zero side) and the
// line from its centre to the point, 0..180.
double protractorReading(const Instrument& protractor, QPointF p);
// The direction of an edge as a set square's reading gives it, 0 <= a < 180.
double edgeAngle(const QLineF& edge);

// The axes drawn into a page: the grid's faint lines, and the axes with their unit marks and
// arrow heads.
struct AxesDrawing {
    std::vector<QPolygon> grid;
    std::vector<QPolygon> axes;
};
AxesDrawing axesDrawing(const Instrument& axes);
// Whole units from the origin to the grid's right side and to its top.
int axesUnitsAcross(const Instrument& axes);
int axesUnitsUp(const Instrument& axes);

} // namespace instruments
