// The settings window's hand-over as the whiteboard receives it.
#include "app/board_hand_over.h"
#include "board_fixture.h"

#include <QTextEdit>

TEST_F(BoardFixture, HandOverKeepsTheArmedEraserPaintingTheBackground) {
    BoardHandOver board(Form3->Board, Form3);
    Form3->SpeedButton10Click(); // the board eraser
    board.setPenColour(Green);
    EXPECT_EQ(Form3->LCP->Color(), Green);
    EXPECT_EQ(Form3->canvas().pen.color, Background);
    board.setWindowColour(Yellow);
    EXPECT_EQ(Form3->canvas().pen.color, Yellow);
    board.setPenWidth(5, false);
    EXPECT_EQ(Form3->Edit1->text(), QStringLiteral("5"));
    EXPECT_EQ(Form3->canvas().pen.width, eraserWidth(5));
}

TEST_F(BoardFixture, HandOverFillsTheBlankPageAndRepaintsTheShownBoard) {
    BoardHandOver board(Form3->Board, Form3);
    board.setBackgroundSwatch(Blue);
    EXPECT_EQ(board.backgroundColour(), Blue);
    EXPECT_EQ(Form3->RCP->Color(), Blue);
    EXPECT_EQ(pagePixel(300, 300), Background); // the swatch alone changes no page
    board.fillCurrentPage(Blue);
    board.invalidate();
    EXPECT_EQ(pagePixel(300, 300), Blue);
    EXPECT_EQ(surfacePixel(300, 300), Blue);
    board.setEditorColour(Yellow);
    EXPECT_EQ(platform::fromQColor(Form3->RichEdit1->palette().color(QPalette::Base)), Yellow);
}
