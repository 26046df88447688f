// Smooth ink on the board: a fast zig-zag is one unbroken anti-aliased band through every
// sample, the release keeps exactly what was shown, shapes are anti-aliased and erasers are
// not, and a tablet's pressure widens and narrows the pen.
#include "board_fixture.h"

#include <QTabletEvent>
#include <queue>
#include <set>
#include <vector>

using namespace platform;

namespace {

class SmoothInkTest : public BoardFixture {
protected:
    void SetUp() override {
        BoardFixture::SetUp();
        Form3->Board.setSmoothInk(true);
    }

    static QImage surface() { return Form3->Surface.copy(); }

    // Pixels of a rectangle that are neither of the two colours: partly covered ones.
    static int mixedPixels(const QImage& picture, const TRect& r, TColor a, TColor b) {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const TColor c = fromRgb(picture.pixel(x, y));
                count += c != a && c != b ? 1 : 0;
            }
        return count;
    }

    // The pixels reached from `from` over pixels that are not the background, 4-connected.
    static std::set<std::pair<int, int>> inkReachedFrom(const QImage& picture, QPoint from) {
        std::set<std::pair<int, int>> seen{{from.x(), from.y()}};
        std::queue<QPoint> open;
        open.push(from);
        while (!open.empty()) {
            const QPoint p = open.front();
            open.pop();
            for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                const QPoint q = p + d;
                if (!picture.valid(q) || fromRgb(picture.pixel(q)) == Background ||
                    !seen.insert({q.x(), q.y()}).second)
                    continue;
                open.push(q);
            }
        }
        return seen;
    }
};

} // namespace

TEST_F(SmoothInkTest, AFastZigZagIsOneUnbrokenSmoothBandAndTheReleaseKeepsWhatWasShown) {
    setPenWidth(2);
    std::vector<QPoint> samples;
    for (int i = 0; i < 12; ++i)
        samples.emplace_back(100 + 45 * i, i % 2 == 0 ? 150 : 400);
    Form3->FormMouseDown(samples[0].x(), samples[0].y());
    for (const QPoint& p : samples)
        Form3->FormMouseMove(Qt::LeftButton, p.x(), p.y());
    const QImage shown = surface();

    // Through every sample, and no background between one sample and the next.
    const auto band = inkReachedFrom(shown, samples[0]);
    for (const QPoint& p : samples)
        EXPECT_TRUE(band.contains({p.x(), p.y()})) << p.x() << "," << p.y();
    // Anti-aliased: edge pixels between the ink and the background.
    EXPECT_GT(mixedPixels(shown, {90, 140, 620, 410}, Ink, Background), 200);

    Form3->FormMouseUp(samples.back().x(), samples.back().y());
    EXPECT_EQ(Form3->Board.current().copy(0, 41, sw(), sh() - 41),
              shown.copy(0, 41, sw(), sh() - 41));
    Form3->Invalidate(); // the page drawn again: nothing jumps
    EXPECT_EQ(surface(), shown);
}

TEST_F(SmoothInkTest, ShapesAreAntiAliasedAndErasersHardEdged) {
    setPenWidth(3);
    struct Case {
        const char* what;
        void (TForm3::*arm)();
        bool mixed;
    };
    const std::vector<Case> cases{
        {"line", &TForm3::SpeedButton14Click, true},
        {"rectangle", &TForm3::SpeedButton15Click, true},
        {"ellipse", &TForm3::SpeedButton17Click, true},
        {"board eraser", &TForm3::SpeedButton10Click, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        paintPage({0, 41, sw(), sh()}, Blue);
        (Form3->*c.arm)();
        stroke({{200, 200}, {260, 230}, {330, 290}});
        const int mixed = mixedPixels(Form3->Board.current(), {150, 150, 400, 350}, Blue, Ink);
        // The eraser paints the page's background colour (the grey outside the blue).
        const int erased =
            mixedPixels(Form3->Board.current(), {150, 150, 400, 350}, Blue, Background);
        if (c.mixed)
            EXPECT_GT(mixed, 10);
        else
            EXPECT_EQ(erased, 0);
    }
}

TEST_F(SmoothInkTest, ATabletsPressureWidensAndNarrowsThePenAndAMouseDrawsTheChosenWidth) {
    setPenWidth(5);
    const auto pressed = [](qreal pressure) {
        QTabletEvent event(QEvent::TabletMove, QPointingDevice::primaryPointingDevice(),
                           QPointF(0, 0), QPointF(0, 0), pressure, 0, 0, 0, 0, 0, {},
                           Qt::LeftButton, Qt::LeftButton);
        QCoreApplication::sendEvent(Form3, &event);
    };
    pressed(1.0);
    stroke({{100, 150}, {300, 150}});
    pressed(0.1);
    stroke({{100, 250}, {300, 250}});
    pointerStroke({{400, 200}, {600, 200}}); // a mouse: no pressure
    const auto band = [](int x, int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            count += fromRgb(Form3->Board.current().pixel(x, y)) != Background ? 1 : 0;
        return count;
    };
    const int firm = band(200, 130, 170);
    const int light = band(200, 230, 270);
    const int mouse = band(500, 180, 220);
    EXPECT_GE(firm, 8);  // 1.6 x 5
    EXPECT_LE(light, 4); // 0.52 x 5
    EXPECT_GE(mouse, 5);
    EXPECT_LE(mouse, 7);
}
