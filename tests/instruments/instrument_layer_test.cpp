// The instruments' layer over a window: which presses it takes, and what it hands the window
// to draw.
#include "instruments/instrument_layer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>

using namespace instruments;

namespace {

// A drawing window: it counts the presses that reach it.
class Host : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

class InstrumentLayerTest : public ::testing::Test {
protected:
    InstrumentLayerTest() : layer(&host, model) {
        host.resize(1280, 800);
        model.setPixelsPerCm(40);
    }

    void send(QEvent::Type type, QPointF at, Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent e(type, at, host.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&host, &e);
    }
    void stroke(const std::vector<QPointF>& points) {
        send(QEvent::MouseButtonPress, points.front());
        for (const QPointF& p : points)
            send(QEvent::MouseMove, p);
        send(QEvent::MouseButtonRelease, points.back(), Qt::NoButton);
    }
    Instrument only() const { return model.onPage(1).at(0); }

    Host host;
    InstrumentModel model;
    InstrumentLayer layer;
};

} // namespace

TEST_F(InstrumentLayerTest, PressesAwayFromTheInstrumentsAreTheWindows) {
    layer.open(InstrumentKind::Ruler, 40);
    send(QEvent::MouseButtonPress, {40, 100});
    send(QEvent::MouseButtonRelease, {40, 100}, Qt::NoButton);
    EXPECT_EQ(host.presses, 1);
    // On the ruler's body the press moves it and the window never sees it.
    const QPointF pivot = only().pivot;
    stroke({pivot, pivot + QPointF(10, 20)});
    EXPECT_EQ(host.presses, 1);
    EXPECT_EQ(only().pivot, pivot + QPointF(10, 20));
}

TEST_F(InstrumentLayerTest, APenNearAnEdgeRulesALineOnTheTurnedEdge) {
    layer.open(InstrumentKind::Ruler, 40);
    const int id = only().id;
    const Instrument r = only();
    // The turn handle dragged round by 31 degrees: the ruler lands on 30.
    const QPointF knob = handles(r)[1].at;
    const double reach = QLineF(r.pivot, knob).length();
    stroke({knob, r.pivot + along(15) * reach, r.pivot + along(31) * reach});
    EXPECT_DOUBLE_EQ(model.find(id)->angle, 30);

    QSignalSpy ended(&layer, &InstrumentLayer::drawingEnded);
    const Instrument turned = *model.find(id);
    const QLineF edge = rulingEdges(turned)[0];
    stroke({toPage(turned, {-120, -turned.width / 2 - 6}),
            toPage(turned, {180, -turned.width / 2 + 3})});
    EXPECT_EQ(host.presses, 0);
    ASSERT_EQ(ended.size(), 1);
    const auto lines = ended[0][0].value<QList<QPolygon>>();
    ASSERT_EQ(lines.size(), 1);
    ASSERT_EQ(lines[0].size(), 2);
    for (const QPoint& end : lines[0]) {
        const QPointF local = toLocal(turned, end);
        EXPECT_NEAR(local.y(), -turned.width / 2, 0.6);
    }
    EXPECT_NEAR(QLineF(lines[0][0], lines[0][1]).length(), 300, 1.5);
    EXPECT_NEAR(edge.angle(), 30, 1e-9);
    EXPECT_NE(layer.readout().indexOf(QStringLiteral("30°")), -1) << layer.readout().toStdString();
}

TEST_F(InstrumentLayerTest, TheCompassDrawsWhatItTurnedAndNothingWhenTurnedBack) {
    layer.open(InstrumentKind::Compass, 40);
    const Instrument c = only();
    const QPointF hinge = compassHinge(c);
    const double reach = QLineF(c.pivot, hinge).length();
    const double at = QLineF(c.pivot, hinge).angle();
    QSignalSpy ended(&layer, &InstrumentLayer::drawingEnded);

    stroke({hinge, c.pivot + along(at + 30) * reach, c.pivot + along(at + 60) * reach,
            c.pivot + along(at + 20) * reach, hinge});
    ASSERT_EQ(ended.size(), 1);
    EXPECT_TRUE(ended[0][0].value<QList<QPolygon>>().isEmpty());

    std::vector<QPointF> round;
    for (int a = 0; a <= 380; a += 20)
        round.push_back(c.pivot + along(at + a) * reach);
    stroke(round);
    ASSERT_EQ(ended.size(), 2);
    const auto circle = ended[1][0].value<QList<QPolygon>>();
    ASSERT_EQ(circle.size(), 1);
    EXPECT_EQ(circle[0].first(), circle[0].last());
    for (const QPoint& p : circle[0])
        EXPECT_NEAR(QLineF(c.pivot, p).length(), c.size, 0.75);
}

TEST_F(InstrumentLayerTest, InstrumentsShowOnTheirPageAndCloseFromTheirMark) {
    layer.open(InstrumentKind::SetSquare45, 40);
    const Instrument s = only();
    layer.setPage(2);
    send(QEvent::MouseButtonPress, s.pivot + QPointF(20, -20));
    send(QEvent::MouseButtonRelease, s.pivot + QPointF(20, -20), Qt::NoButton);
    EXPECT_EQ(host.presses, 1) << "another page's set square takes no press";

    layer.setPage(1);
    stroke({handles(s)[0].at});
    EXPECT_TRUE(model.onPage(1).empty());
}
