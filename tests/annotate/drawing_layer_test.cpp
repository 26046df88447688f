// What the board and the overlay share, seen through both windows: the floating picture's zoom.
#include "overlay_fixture.h"

#include <functional>

using namespace platform;

namespace {

using DrawingLayerTest = OverlayFixture;

} // namespace

// Every step scales the picture as it was before the first step: going back and forth never
// blurs it further, and an enlargement made again is the first one, pixel for pixel.
TEST_F(DrawingLayerTest, ZoomStepsAlwaysScaleFromThePictureBeforeTheFirstStep) {
    const QImage source = patterned(101, 41);
    struct Case {
        const char* where;
        std::function<void()> make;
        std::function<void(bool enlarge)> step;
        std::function<QImage()> shown;
    };
    const auto boardStep = [](bool enlarge) { Form3->Board.zoomStep(enlarge); };
    const auto boardShown = [] { return Form3->Image2->picture(); };
    const auto overlayStep = [](bool enlarge) {
        enlarge ? Form2->SpeedButton11Click() : Form2->SpeedButton12Click();
    };
    const auto overlayShown = [] { return Form2->Image1->picture(); };
    for (const Case& c : {
             Case{"board, a placed picture",
                  [&] {
                      Form3->Board.placeFloatingPicture(source, {100, 100});
                  },
                  boardStep, boardShown},
             Case{"board, a selection",
                  [&] {
                      Form3->Board.adoptSelection(source, {100, 100, 101, 41});
                  },
                  boardStep, boardShown},
             Case{"overlay, a selection",
                  [&] {
                      open();
                      Form2->SpeedButton15Click();
                      stroke({{100, 100}, {201, 141}});
                  },
                  overlayStep, overlayShown},
         }) {
        SCOPED_TRACE(c.where);
        c.make();
        c.step(true);
        const QImage once = c.shown();
        ASSERT_EQ(once.size(), QSize(152, 62)) << "1.5 times, rounded";
        for (int i = 0; i < 3; ++i) {
            c.step(false);
            c.step(true);
            EXPECT_TRUE(samePixels(c.shown(), once));
        }
        c.step(true);
        c.step(true);
        c.step(false);
        c.step(false);
        EXPECT_TRUE(samePixels(c.shown(), once));
    }
}
