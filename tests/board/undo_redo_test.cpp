// Undo and redo through the board's own commands: every tool's stroke, erasing and clearing
// taken back and done again, the page and what the window shows pixel for pixel.
#include "board_fixture.h"

#include <functional>
#include <vector>

namespace {

struct Command {
    const char* what;
    std::function<void()> run;
    int steps = 1;
};

} // namespace

TEST_F(BoardFixture, EveryCommandIsUndoneAndRedonePixelForPixel) {
    const auto drawWith = [this](void (TForm3::*arm)()) {
        return [this, arm] {
            (Form3->*arm)();
            stroke({{150, 150}, {260, 230}, {330, 300}});
        };
    };
    const std::vector<Command> commands{
        {"pen", drawWith(&TForm3::SpeedButton3Click)},
        {"line", drawWith(&TForm3::SpeedButton14Click)},
        {"rectangle", drawWith(&TForm3::SpeedButton15Click)},
        {"ellipse", drawWith(&TForm3::SpeedButton17Click)},
        {"board eraser", drawWith(&TForm3::SpeedButton10Click)},
        {"area erase", drawWith(&TForm3::SpeedButton13Click)},
        {"selection cut and dropped",
         [drawWith] {
             drawWith (&TForm3::SpeedButton25Click)();
             Form3->FormMouseDown(600, 500); // the selection goes into the page
             Form3->FormMouseUp(600, 500);
         },
         2}, // the cut, and the picture put down

        {"clear", [] { Form3->SpeedButton5Click(); }},
    };
    const QRect below(0, 41, sw(), sh() - 41);
    for (const Command& c : commands) {
        SCOPED_TRACE(c.what);
        paintPage({100, 100, 400, 400}, Blue);
        paintPage({200, 200, 300, 260}, Green);
        Form3->SpeedButton3Click();
        const QImage before = Form3->Board.current().copy();
        c.run();
        const QImage after = Form3->Board.current().copy();
        ASSERT_NE(after, before);
        for (int i = 0; i < c.steps; ++i)
            Form3->SpeedButton4Click();
        EXPECT_EQ(Form3->Board.current(), before);
        EXPECT_EQ(Form3->Surface.copy(below), before.copy(below));
        for (int i = 0; i < c.steps; ++i)
            Form3->RedoButtonClick();
        EXPECT_EQ(Form3->Board.current(), after);
        EXPECT_EQ(Form3->Surface.copy(below), after.copy(below));
    }
}
