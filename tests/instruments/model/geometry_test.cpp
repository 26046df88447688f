// The instruments' geometry without a window: turns, ruled lines, arcs and readings.
#include "instruments/model/geometry.h"
#include "instruments/model/instrument_model.h"

#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>

using namespace instruments;

namespace {

double distanceToLine(QPointF p, const QLineF& line) {
    const QPointF d = line.p2() - line.p1();
    return std::abs(d.x() * (p.y() - line.y1()) - d.y() * (p.x() - line.x1())) /
           std::hypot(d.x(), d.y());
}

Instrument ruler(QPointF pivot, double angle, double length = 600, double width = 60) {
    Instrument i;
    i.kind = InstrumentKind::Ruler;
    i.pivot = pivot;
    i.angle = angle;
    i.size = length;
    i.width = width;
    return i;
}

} // namespace

TEST(InstrumentGeometry, TurnsSnapToFifteenDegreeStepsNearThemElseToWholeDegrees) {
    const struct {
        double hand, snapped;
    } cases[] = {
        {0.4, 0},    {13.2, 15}, {16.9, 15}, {17.1, 17}, {17.6, 18},    {28.01, 30},
        {31.99, 30}, {32.5, 33}, {44.2, 45}, {7.5, 8},   {-0.7, 0},     {-30.4, 330},
        {359.2, 0},  {361.4, 0}, {725.0, 5}, {89.0, 90}, {100.49, 100}, {262.3, 262},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(snapAngle(c.hand), c.snapped) << c.hand;
}

TEST(InstrumentGeometry, TurningAcrossZeroCountsTheShortWay) {
    const struct {
        double from, to, by;
    } cases[] = {{350, 10, 20}, {10, 350, -20}, {0, 180, 180}, {90, 91, 1}, {-170, 170, -20}};
    for (const auto& c : cases)
        EXPECT_NEAR(turnBy(c.from, c.to), c.by, 1e-9) << c.from << " to " << c.to;
}

TEST(InstrumentGeometry, ARuledLineLiesOnTheTurnedEdgeFromPenDownToPenUp) {
    const Instrument r = ruler({640, 400}, 30);
    const QLineF upper = rulingEdges(r)[0];
    // The upper edge runs along the turned length, half the width above the middle.
    EXPECT_NEAR(upper.angle(), 30, 1e-9);
    EXPECT_NEAR(distanceToLine(r.pivot, upper), 30, 1e-9);
    EXPECT_NEAR(upper.length(), 600, 1e-9);

    // Pen down 6 pixels outside the edge, up 4 pixels inside it further along.
    const QPointF a = toPage(r, {-100, -36}), b = toPage(r, {150, -26});
    EXPECT_EQ(edgeNear(r, a), 0);
    const QLineF line = ruledLine(upper, a, b);
    EXPECT_NEAR(distanceToLine(line.p1(), upper), 0, 1e-9);
    EXPECT_NEAR(distanceToLine(line.p2(), upper), 0, 1e-9);
    EXPECT_NEAR(QLineF(line.p1(), toPage(r, {-100, -30})).length(), 0, 1e-9);
    EXPECT_NEAR(QLineF(line.p2(), toPage(r, {150, -30})).length(), 0, 1e-9);
    EXPECT_NEAR(line.length(), 250, 1e-9);

    // Past the ruler's end the line stops at the end.
    const QLineF past = ruledLine(upper, a, toPage(r, {900, -30}));
    EXPECT_NEAR(QLineF(past.p2(), upper.p2()).length(), 0, 1e-9);
}

TEST(InstrumentGeometry, PressesFindEdgesHandlesAndTheBody) {
    const Instrument r = ruler({500, 500}, 45);
    const struct {
        QPointF local;
        int edge;
        Handle handle;
        bool body;
    } cases[] = {
        {{0, -30 - EdgeReach + 1}, 0, Handle::None, false},  // just outside the upper edge
        {{0, -30 - EdgeReach - 2}, -1, Handle::None, false}, // beyond reach
        {{0, 28}, 1, Handle::None, true},                    // inside, by the lower edge
        {{0, 0}, -1, Handle::None, true},                    // the middle moves it
        {{-270, 0}, -1, Handle::Close, true},
        {{210, 0}, -1, Handle::Turn, true},
        {{270, 3}, -1, Handle::Length, true},
    };
    for (const auto& c : cases) {
        const QPointF p = toPage(r, c.local);
        EXPECT_EQ(edgeNear(r, p), c.edge) << c.local.x() << "," << c.local.y();
        EXPECT_EQ(handleAt(r, p), c.handle) << c.local.x() << "," << c.local.y();
        EXPECT_EQ(onBody(r, p), c.body) << c.local.x() << "," << c.local.y();
    }
}

// The line's ends in whole pixels stay on the edge at any turn, also across a 4K screen: each
// end lies within half a pixel of the edge's line along the line's shorter direction.
TEST(InstrumentGeometry, PixelEndsStayOnTheEdgeAtAnyTurnAndLength) {
    for (double angle : {0.0, 1.0, 17.0, 30.0, 45.0, 60.0, 89.0, 90.0, 123.0, 200.0, 333.3}) {
        const QLineF edge(QPointF(1920.37, 1080.81),
                          QPointF(1920.37, 1080.81) + along(angle) * 3700.0);
        const auto [a, b] = pixelEnds(edge);
        EXPECT_LE(distanceToLine(a, edge), 0.5) << angle;
        EXPECT_LE(distanceToLine(b, edge), 0.5) << angle;
        EXPECT_NEAR(QLineF(a, b).length(), 3700, 1.5) << angle;
    }
}

TEST(InstrumentGeometry, ArcsStartAndEndWhereTheCompassTurnedAndKeepTheRadius) {
    const QPointF centre(400.3, 300.6);
    const struct {
        double start, sweep;
    } cases[] = {{30, 90}, {0, -45}, {350, 20}, {120, 360}, {10, 500}};
    for (const auto& c : cases) {
        const QPolygon arc = arcPixels(centre, 150, c.start, c.sweep);
        const double sweep = std::clamp(c.sweep, -360.0, 360.0);
        EXPECT_LE(QLineF(arc.first(), arcPoint(centre, 150, c.start)).length(), 0.75);
        EXPECT_LE(QLineF(arc.last(), arcPoint(centre, 150, c.start + sweep)).length(), 0.75);
        for (const QPoint& p : arc)
            EXPECT_NEAR(QLineF(centre, p).length(), 150, 0.75);
    }
    // A full circle closes on itself; counter-clockwise as seen, so a quarter turn from the
    // right ends at the top.
    const QPolygon circle = arcPixels({100, 100}, 50, 0, 360);
    EXPECT_EQ(circle.first(), circle.last());
    EXPECT_EQ(arcPixels({100, 100}, 50, 0, 90).last(), QPoint(100, 50));
}

TEST(InstrumentGeometry, ReadingsOfTheProtractorAndOfEdges) {
    Instrument p;
    p.kind = InstrumentKind::Protractor;
    p.pivot = {300, 300};
    p.size = 200;
    p.angle = 20;
    const struct {
        double towards, reading;
    } cases[] = {{20, 0}, {80, 60}, {110, 90}, {200, 180}, {-10, 30}};
    for (const auto& c : cases)
        EXPECT_NEAR(protractorReading(p, arcPoint(p.pivot, 100, c.towards)), c.reading, 1e-9)
            << c.towards;

    EXPECT_NEAR(edgeAngle(QLineF(0, 0, 10, -10)), 45, 1e-9);
    EXPECT_NEAR(edgeAngle(QLineF(10, -10, 0, 0)), 45, 1e-9);
    EXPECT_NEAR(edgeAngle(QLineF(0, 0, 10, 0)), 0, 1e-9);
}

TEST(InstrumentGeometry, CentimetresFromTheScreensSizeOrTheFixedUnit) {
    const struct {
        QSizeF millimetres;
        QSize pixels;
        double perCm;
    } cases[] = {
        {{345, 194}, {1920, 1080}, 1920 / 34.5},
        {{1210, 680}, {3840, 2160}, 3840 / 121.0},
        {{0, 0}, {1280, 800}, FallbackPixelsPerCm},
        {{10, 10}, {3840, 2160}, FallbackPixelsPerCm}, // a made-up size
    };
    for (const auto& c : cases)
        EXPECT_NEAR(pixelsPerCm(c.millimetres, c.pixels), c.perCm, 1e-9);
}

TEST(InstrumentModel, InstrumentsShowOnlyOnTheirPageAndCloseThere) {
    InstrumentModel model;
    model.setPixelsPerCm(40);
    QSignalSpy changed(&model, &InstrumentModel::changed);
    const int ruler = model.open(InstrumentKind::Ruler, 1, QRectF(0, 40, 1280, 760));
    const int compass = model.open(InstrumentKind::Compass, 2, QRectF(0, 40, 1280, 760));
    ASSERT_EQ(model.onPage(1).size(), 1u);
    EXPECT_EQ(model.onPage(1)[0].id, ruler);
    EXPECT_EQ(model.onPage(2)[0].id, compass);
    EXPECT_TRUE(model.onPage(3).empty());
    // The ruler opens in whole centimetres, as long as fits 0.6 of the view: 19 cm.
    EXPECT_DOUBLE_EQ(model.find(ruler)->size, 19 * 40.0);
    EXPECT_EQ(model.find(ruler)->pivot, QPointF(640, 420));

    model.close(ruler);
    EXPECT_EQ(model.find(ruler), nullptr);
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[2][0].toInt(), 1);
}

TEST(InstrumentModel, HandsTurnSizeAndSetTheInstruments) {
    InstrumentModel model;
    model.setPixelsPerCm(40);
    const QRectF view(0, 40, 1280, 760);
    const int ruler = model.open(InstrumentKind::Ruler, 1, view);
    model.turnTo(ruler, 43.6);
    EXPECT_DOUBLE_EQ(model.find(ruler)->angle, 45);

    // Lengthened, its left end stays; held to 5 cm at the least.
    const QPointF left = model.find(ruler)->pivot - along(45) * (model.find(ruler)->size / 2);
    model.setRulerLength(ruler, 1000);
    const Instrument* r = model.find(ruler);
    EXPECT_NEAR(QLineF(r->pivot - along(45) * (r->size / 2), left).length(), 0, 1e-9);
    EXPECT_DOUBLE_EQ(r->size, 1000);
    model.setRulerLength(ruler, 3);
    EXPECT_DOUBLE_EQ(model.find(ruler)->size, 200);
    model.setRulerLength(ruler, 619);
    EXPECT_DOUBLE_EQ(model.find(ruler)->size, 600) << "whole centimetres";

    // The compass's pencil leg: radius and direction from the needle.
    const int compass = model.open(InstrumentKind::Compass, 1, view);
    const QPointF needle = model.find(compass)->pivot;
    model.setCompassPencil(compass, needle + QPointF(0, -150));
    EXPECT_DOUBLE_EQ(model.find(compass)->size, 150);
    EXPECT_DOUBLE_EQ(model.find(compass)->angle, 90);
    EXPECT_NEAR(QLineF(compassPencil(*model.find(compass)), needle + QPointF(0, -150)).length(), 0,
                1e-9);
    model.setCompassPencil(compass, needle);
    EXPECT_GT(model.find(compass)->size, 0);
}

TEST(InstrumentModel, TheAxesGridLiesOnWholeUnitsAroundTheOrigin) {
    InstrumentModel model;
    model.setPixelsPerCm(40);
    const int id = model.open(InstrumentKind::Axes, 1, QRectF(0, 40, 1280, 760));
    model.setAxesUnit(id, 59.1); // whole millimetres: 1.5 cm

    const Instrument& axes = *model.find(id);
    // 6 cm by 4 cm either side of the origin: 4 units across, 2 up.
    EXPECT_EQ(axesUnitsAcross(axes), 4);
    EXPECT_EQ(axesUnitsUp(axes), 2);
    const AxesDrawing d = axesDrawing(axes);
    EXPECT_EQ(d.grid.size(), 8u + 4u);
    for (const QPolygon& line : d.grid) {
        const QPoint p = line.first();
        const bool vertical = line.first().x() == line.last().x();
        const int offset = vertical ? p.x() - 640 : p.y() - 420;
        EXPECT_EQ(offset % 60, 0) << p.x() << "," << p.y();
    }
}
