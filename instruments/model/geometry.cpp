// The geometry of the instruments: shapes by kind in their own coordinates (x along, y across,
// y growing down the screen when unturned), placed on the page by pivot and angle.
#include "instruments/model/geometry.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace instruments {

namespace {

constexpr double Sqrt3 = 1.7320508075688772;
// The compass's hinge stands this much higher than half its spread.
constexpr double HingeLift = 20.0;
// The close mark stands this far above the compass's hinge.
constexpr double CloseAboveHinge = 30.0;
// An arc is drawn in chords no longer than this many pixels.
constexpr double ArcChord = 3.0;

// A set square's corners: the right angle, the end of the longer leg, the end of the shorter.
std::vector<QPointF> setSquareCorners(const Instrument& s) {
    const double a = s.size;
    const double b = s.kind == InstrumentKind::SetSquare45 ? a : a * Sqrt3;
    return {{0, 0}, {b, 0}, {0, -a}};
}

QPointF lerp(QPointF a, QPointF b, double t) {
    return a + (b - a) * t;
}

double distanceToSegment(const QLineF& s, QPointF p) {
    const QPointF d = s.p2() - s.p1();
    const double len2 = QPointF::dotProduct(d, d);
    double t = len2 > 0 ? QPointF::dotProduct(p - s.p1(), d) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF foot = s.p1() + d * t;
    return std::hypot(p.x() - foot.x(), p.y() - foot.y());
}

QPolygonF placed(const Instrument& i, const std::vector<QPointF>& local) {
    QPolygonF poly;
    for (const QPointF& p : local)
        poly << toPage(i, p);
    return poly;
}

QPoint rounded(QPointF p) {
    return {qRound(p.x()), qRound(p.y())};
}

} // namespace

double pixelsPerCm(QSizeF millimetres, QSize pixels) {
    if (millimetres.width() <= 0 || pixels.width() <= 0)
        return FallbackPixelsPerCm;
    const double perCm = pixels.width() / (millimetres.width() / 10.0);
    // Between a wall-sized projection and a phone: anything else is a made-up size.
    if (perCm < 8.0 || perCm > 400.0)
        return FallbackPixelsPerCm;
    return perCm;
}

double normalAngle(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0)
        a += 360.0;
    return a >= 360.0 ? 0.0 : a;
}

double snapAngle(double degrees) {
    const double a = normalAngle(degrees);
    const double step = std::round(a / 15.0) * 15.0;
    const double snapped = std::abs(a - step) <= StepSnap ? step : std::round(a);
    return normalAngle(snapped);
}

double turnBy(double from, double to) {
    double d = std::fmod(to - from, 360.0);
    if (d <= -180.0)
        d += 360.0;
    else if (d > 180.0)
        d -= 360.0;
    return d;
}

QPointF along(double angle) {
    const double r = qDegreesToRadians(angle);
    return {std::cos(r), -std::sin(r)};
}

QPointF across(double angle) {
    const double r = qDegreesToRadians(angle);
    return {std::sin(r), std::cos(r)};
}

QPointF toPage(const Instrument& i, QPointF local) {
    return i.pivot + along(i.angle) * local.x() + across(i.angle) * local.y();
}

QPointF toLocal(const Instrument& i, QPointF page) {
    const QPointF d = page - i.pivot;
    return {QPointF::dotProduct(d, along(i.angle)), QPointF::dotProduct(d, across(i.angle))};
}

QPolygonF outline(const Instrument& i) {
    switch (i.kind) {
    case InstrumentKind::Ruler: {
        const double l = i.size / 2, w = i.width / 2;
        return placed(i, {{-l, -w}, {l, -w}, {l, w}, {-l, w}});
    }
    case InstrumentKind::SetSquare45:
    case InstrumentKind::SetSquare3060:
        return placed(i, setSquareCorners(i));
    case InstrumentKind::Protractor: {
        std::vector<QPointF> half;
        for (int d = 0; d <= 180; d += 3)
            half.push_back(arcPoint({0, 0}, i.size, d));
        return placed(i, half);
    }
    case InstrumentKind::Compass:
        return placed(i, {{0, 0}, toLocal(i, compassHinge(i)), {i.size, 0}});
    case InstrumentKind::Axes:
        return placed(i, {{-i.width, -i.height},
                          {i.width, -i.height},
                          {i.width, i.height},
                          {-i.width, i.height}});
    }
    return {};
}

std::vector<QLineF> rulingEdges(const Instrument& i) {
    std::vector<QLineF> edges;
    switch (i.kind) {
    case InstrumentKind::Ruler: {
        const QPolygonF o = outline(i);
        edges.emplace_back(o[0], o[1]); // the side with the scale
        edges.emplace_back(o[3], o[2]);
        break;
    }
    case InstrumentKind::SetSquare45:
    case InstrumentKind::SetSquare3060: {
        const QPolygonF o = outline(i);
        edges.emplace_back(o[0], o[1]);
        edges.emplace_back(o[0], o[2]);
        edges.emplace_back(o[2], o[1]);
        break;
    }
    case InstrumentKind::Protractor:
        edges.emplace_back(toPage(i, {-i.size, 0}), toPage(i, {i.size, 0}));
        break;
    case InstrumentKind::Compass:
    case InstrumentKind::Axes:
        break;
    }
    return edges;
}

int edgeNear(const Instrument& i, QPointF p) {
    int best = -1;
    double bestDistance = EdgeReach;
    const std::vector<QLineF> edges = rulingEdges(i);
    for (int e = 0; e < static_cast<int>(edges.size()); ++e) {
        const double d = distanceToSegment(edges[static_cast<size_t>(e)], p);
        if (d <= bestDistance) {
            best = e;
            bestDistance = d;
        }
    }
    return best;
}

bool onBody(const Instrument& i, QPointF p) {
    if (i.kind == InstrumentKind::Compass) {
        const QPointF hinge = compassHinge(i);
        return distanceToSegment({i.pivot, hinge}, p) <= HandleReach / 2 ||
               distanceToSegment({hinge, compassPencil(i)}, p) <= HandleReach / 2 ||
               QLineF(i.pivot, p).length() <= HandleReach;
    }
    return outline(i).containsPoint(p, Qt::OddEvenFill);
}

std::vector<HandlePlace> handles(const Instrument& i) {
    std::vector<HandlePlace> h;
    switch (i.kind) {
    case InstrumentKind::Ruler: {
        const double l = i.size / 2, w = i.width;
        h.push_back({Handle::Close, toPage(i, {-l + w / 2, 0})});
        h.push_back({Handle::Turn, toPage(i, {l - 1.5 * w, 0})});
        h.push_back({Handle::Length, toPage(i, {l - w / 2, 0})});
        break;
    }
    case InstrumentKind::SetSquare45:
    case InstrumentKind::SetSquare3060: {
        const std::vector<QPointF> c = setSquareCorners(i);
        const QPointF middle = (c[0] + c[1] + c[2]) / 3.0;
        h.push_back({Handle::Close, toPage(i, lerp(c[0], middle, 0.45))});
        h.push_back({Handle::Turn, toPage(i, lerp(c[1], middle, 0.45))});
        break;
    }
    case InstrumentKind::Protractor:
        h.push_back({Handle::Close, toPage(i, {-0.55 * i.size, -0.3 * i.size})});
        h.push_back({Handle::Turn, toPage(i, {0.55 * i.size, -0.3 * i.size})});
        break;
    case InstrumentKind::Compass: {
        const QPointF hinge = compassHinge(i);
        h.push_back({Handle::Close, hinge - across(i.angle) * CloseAboveHinge});
        h.push_back({Handle::Hinge, hinge});
        h.push_back({Handle::Pencil, compassPencil(i)});
        break;
    }
    case InstrumentKind::Axes:
        h.push_back({Handle::Close, toPage(i, {-i.width + HandleReach, -i.height + HandleReach})});
        h.push_back({Handle::Stamp, toPage(i, {i.width - HandleReach, -i.height + HandleReach})});
        h.push_back({Handle::Unit, toPage(i, {i.size, 0})});
        break;
    }
    return h;
}

Handle handleAt(const Instrument& i, QPointF p) {
    Handle best = Handle::None;
    double bestDistance = HandleReach;
    for (const HandlePlace& h : handles(i)) {
        const double d = QLineF(h.at, p).length();
        if (d <= bestDistance) {
            best = h.handle;
            bestDistance = d;
        }
    }
    return best;
}

QLineF ruledLine(const QLineF& edge, QPointF down, QPointF up) {
    const QPointF d = edge.p2() - edge.p1();
    const double len2 = QPointF::dotProduct(d, d);
    auto drop = [&](QPointF p) {
        const double t = len2 > 0 ? QPointF::dotProduct(p - edge.p1(), d) / len2 : 0;
        return edge.p1() + d * std::clamp(t, 0.0, 1.0);
    };
    return {drop(down), drop(up)};
}

std::pair<QPoint, QPoint> pixelEnds(const QLineF& line) {
    const double dx = line.dx(), dy = line.dy();
    auto end = [&](QPointF p) {
        if (std::abs(dx) >= std::abs(dy)) {
            if (dx == 0)
                return rounded(p);
            const double x = std::round(p.x());
            return QPoint(qRound(x), qRound(line.y1() + (x - line.x1()) * dy / dx));
        }
        const double y = std::round(p.y());
        return QPoint(qRound(line.x1() + (y - line.y1()) * dx / dy), qRound(y));
    };
    return {end(line.p1()), end(line.p2())};
}

QPointF compassPencil(const Instrument& c) {
    return toPage(c, {c.size, 0});
}

QPointF compassHinge(const Instrument& c) {
    return toPage(c, {c.size / 2, -(c.size / 2 + HingeLift)});
}

QPointF arcPoint(QPointF centre, double radius, double angle) {
    return centre + along(angle) * radius;
}

QPolygon arcPixels(QPointF centre, double radius, double start, double sweep) {
    sweep = std::clamp(sweep, -360.0, 360.0);
    const double length = qDegreesToRadians(std::abs(sweep)) * radius;
    const int chords = std::max(1, static_cast<int>(std::ceil(length / ArcChord)));
    QPolygon arc;
    for (int k = 0; k <= chords; ++k) {
        const QPoint p = rounded(arcPoint(centre, radius, start + sweep * k / chords));
        if (arc.isEmpty() || arc.last() != p)
            arc << p;
    }
    return arc;
}

double protractorReading(const Instrument& protractor, QPointF p) {
    const QPointF local = toLocal(protractor, p);
    return std::abs(qRadiansToDegrees(std::atan2(-local.y(), local.x())));
}

double edgeAngle(const QLineF& edge) {
    const double a = normalAngle(qRadiansToDegrees(std::atan2(-edge.dy(), edge.dx())));
    return a >= 180.0 ? a - 180.0 : a;
}

int axesUnitsAcross(const Instrument& axes) {
    return std::max(1, static_cast<int>(axes.width / axes.size));
}

int axesUnitsUp(const Instrument& axes) {
    return std::max(1, static_cast<int>(axes.height / axes.size));
}

AxesDrawing axesDrawing(const Instrument& a) {
    AxesDrawing d;
    const int nx = axesUnitsAcross(a), ny = axesUnitsUp(a);
    const double u = a.size;
    auto line = [&](QPointF from, QPointF to) {
        const auto [p, q] = pixelEnds(QLineF(toPage(a, from), toPage(a, to)));
        return QPolygon({p, q});
    };
    for (int k = -nx; k <= nx; ++k) {
        if (k != 0)
            d.grid.push_back(line({k * u, -ny * u}, {k * u, ny * u}));
    }
    for (int k = -ny; k <= ny; ++k) {
        if (k != 0)
            d.grid.push_back(line({-nx * u, k * u}, {nx * u, k * u}));
    }
    const double reachX = nx * u + u / 2, reachY = ny * u + u / 2;
    const double head = std::clamp(u / 3, 6.0, 14.0), tick = head / 2;
    d.axes.push_back(line({-reachX, 0}, {reachX, 0}));
    d.axes.push_back(line({0, reachY}, {0, -reachY}));
    d.axes.push_back(line({reachX - head, -head / 2}, {reachX, 0}));
    d.axes.push_back(line({reachX - head, head / 2}, {reachX, 0}));
    d.axes.push_back(line({-head / 2, -reachY + head}, {0, -reachY}));
    d.axes.push_back(line({head / 2, -reachY + head}, {0, -reachY}));
    for (int k = -nx; k <= nx; ++k) {
        if (k != 0)
            d.axes.push_back(line({k * u, -tick}, {k * u, tick}));
    }
    for (int k = -ny; k <= ny; ++k) {
        if (k != 0)
            d.axes.push_back(line({-tick, k * u}, {tick, k * u}));
    }
    return d;
}

} // namespace instruments
