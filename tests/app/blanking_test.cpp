// Ending the blanking: any mouse button gives the picture back and redraws the board.
#include "app/blanking.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"
#include "board_pages.h"

#include <QTest>
#include <QTimer>

using namespace platform;

TEST_F(AppFixture, AnyMouseButtonEndsBlanking) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        Form1->SpeedButton10Click();
        ASSERT_TRUE(Form5->isVisible());
        Form3->Board.setBoardPaintMode(0);
        QTest::mousePress(Form5, b, {}, QPoint(200, 300));
        EXPECT_FALSE(Form5->isVisible()) << b;
        EXPECT_EQ(Form3->Board.boardPaintMode(), 1);
        EXPECT_TRUE(Form1->Timer1->isActive());
    }
}

TEST_F(AppFixture, EndOfBlankingRedrawsTheVisibleBoard) {
    Form1->SpeedButton4Click();
    fillOnCurrentPage(Form3->Board, {0, 0, 100, 100}, 0x0000FF);
    Canvas(Form3->Surface).fillRect({0, 0, sw(), sh()}, 0x00FF00); // stale surface
    Form3->SpeedButton2Click();
    Form5->SpeedButton1Click();
    EXPECT_EQ(Form3->canvas().pixel(50, 50), 0x0000FFu);
    EXPECT_EQ(Form3->canvas().pixel(500, 500), 0x808080u);
}
