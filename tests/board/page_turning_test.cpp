// Turning pages: when a new page is made, what it starts with, and what each page keeps.
#include "app/toolbar.h"
#include "board_fixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace platform;

TEST_F(BoardFixture, AFreshBoardGetsPage2OnlyAfterAStroke) {
    Form3->SpeedButton12Click();
    EXPECT_EQ(Form3->Board.currentPage(), 1);
    EXPECT_EQ(Form3->Board.pageCount(), 1);
    stroke({{100, 100}}); // a click alone is no content
    Form3->SpeedButton12Click();
    EXPECT_EQ(Form3->Board.pageCount(), 1);
    stroke({{100, 100}, {200, 200}});
    Form3->SpeedButton12Click();
    EXPECT_EQ(Form3->Board.currentPage(), 2);
    EXPECT_EQ(Form3->Board.pageCount(), 2);
    EXPECT_EQ(Form3->Edit2->text(), QStringLiteral("2"));
    EXPECT_EQ(Form3->ScrollBar1->maximum(), 2);
    // Back on page 1 the stroke is there, and page 2 is kept.
    Form3->SpeedButton11Click();
    EXPECT_EQ(Form3->Edit2->text(), QStringLiteral("1"));
    EXPECT_EQ(surfacePixel(150, 150), Ink);
    Form3->SpeedButton11Click(); // nothing left of page 1
    EXPECT_EQ(Form3->Board.currentPage(), 1);
    EXPECT_EQ(Form3->Board.pageCount(), 2);
}

TEST_F(BoardFixture, ExistingPagesTurnEvenWhenBlank) {
    for (int n = 2; n <= 5; ++n) {
        Form3->Board.setPageState(Form3->Board.currentPage(), 2);
        Form3->SpeedButton12Click();
    }
    ASSERT_EQ(Form3->Board.pageCount(), 5);
    Form3->SpeedButton11Click();
    Form3->SpeedButton11Click();
    ASSERT_EQ(Form3->Board.currentPage(), 3);
    Form3->Board.setPageState(3, 0);
    Form3->SpeedButton12Click();
    EXPECT_EQ(Form3->Board.currentPage(), 4);
    EXPECT_EQ(Form3->Board.pageCount(), 5);
}

TEST_F(BoardFixture, Page99IsTheLast) {
    for (int n = 2; n <= 99; ++n) {
        Form3->Board.setPageState(Form3->Board.currentPage(), 2);
        Form3->SpeedButton12Click();
    }
    ASSERT_EQ(Form3->Board.currentPage(), 99);
    Form3->Board.setPageState(99, 2);
    Form3->SpeedButton12Click();
    EXPECT_EQ(Form3->Board.currentPage(), 99);
    EXPECT_EQ(Form3->Board.pageCount(), 99);
    EXPECT_EQ(Form3->Edit2->text(), QStringLiteral("99"));
}

TEST_F(BoardFixture, NewPagesStartInTheCurrentBackgroundWithAnEmptyEditor) {
    const QRect first = Form3->Board.panelBounds(1);
    Form3->Board.setPanelBounds(1, QRect(30, first.y(), 400, first.height()));
    Form3->RichEdit1->setPlainText(QStringLiteral("第一页"));
    Form3->Board.setBackgroundColour(Yellow);
    Form3->Board.setPageState(1, 2);
    Form3->SpeedButton12Click();
    EXPECT_EQ(pagePixel(10, 10, 2), Yellow);
    EXPECT_EQ(surfacePixel(500, 500), Yellow);
    EXPECT_EQ(Form3->Board.pageState(2), 0);
    EXPECT_EQ(Form3->Board.panelKind(2), 0);
    EXPECT_TRUE(Form3->RichEdit1->toPlainText().isEmpty());
    EXPECT_EQ(Form3->Board.panelBounds(2).x(), 30);
    EXPECT_EQ(Form3->Board.panelBounds(2).width(), 400);
    EXPECT_EQ(fromQColor(Form3->RichEdit1->palette().color(QPalette::Base)), Yellow);
    // Page 1 keeps its own background.
    EXPECT_EQ(pagePixel(10, 10, 1), Background);
}

TEST_F(BoardFixture, UndoAfterATurnTakesBackOnlyTheEnteredPagesOwnSteps) {
    setPenWidth(1);
    stroke({{100, 200}, {500, 200}});
    Form3->SpeedButton12Click();
    Canvas(Form3->Board.editScratchBitmap())
        .fillRect({0, 0, sw(), sh()}, Blue); // whatever it holds
    Form3->SpeedButton4Click();              // a new page: nothing to take back
    EXPECT_EQ(pagePixel(300, 200, 2), Background);
    EXPECT_EQ(pagePixel(10, 50, 2), Background);
    Form3->SpeedButton11Click();
    Form3->SpeedButton4Click();
    EXPECT_EQ(pagePixel(300, 200, 1), Background);
}

TEST_F(BoardFixture, BoardEraserTakesTheEnteredPagesBackground) {
    Form3->Board.setPageState(1, 2);
    Form3->SpeedButton12Click();
    paintPage({0, 0, sw(), sh()}, Blue);
    Form3->SpeedButton10Click();
    EXPECT_EQ(Form3->canvas().pen.color, Blue);
    Form3->SpeedButton11Click();
    EXPECT_EQ(Form3->canvas().pen.color, Background);
    Form3->SpeedButton12Click();
    EXPECT_EQ(Form3->canvas().pen.color, Blue);
}

TEST_F(BoardFixture, TextPanelDocumentGoesWithItsPage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Form3->Board.setProgramFolder(dir.path() + QLatin1Char('/'));
    Form3->Board.setPanelKind(1, 1);
    Form3->Panel4->setGeometry(50, 60, 300, 200);
    Form3->Panel4->show();
    Form3->RichEdit1->setPlainText(QStringLiteral("牛顿第一定律\n惯性 {a\\b}"));
    Form3->Board.setPageState(1, 2);
    Form3->SpeedButton12Click();
    EXPECT_TRUE(Form3->Panel4->isHidden());
    EXPECT_TRUE(QFile::exists(Form3->pageTextFile(1)));
    Form3->RichEdit1->setPlainText(QStringLiteral("别的"));
    Form3->SpeedButton11Click();
    EXPECT_FALSE(Form3->Panel4->isHidden());
    EXPECT_EQ(Form3->Panel4->geometry(), QRect(50, 60, 300, 200));
    EXPECT_EQ(Form3->RichEdit1->toPlainText(), QStringLiteral("牛顿第一定律\n惯性 {a\\b}"));

    // Its file gone (a lesson opened without it): the panel comes back empty, and the text of
    // the page left is not written into this page's file.
    Form3->SpeedButton12Click();
    QFile::remove(Form3->pageTextFile(1));
    Form3->RichEdit1->setPlainText(QStringLiteral("第二页"));
    Form3->SpeedButton11Click();
    EXPECT_FALSE(Form3->Panel4->isHidden());
    EXPECT_TRUE(Form3->RichEdit1->toPlainText().isEmpty());
}

TEST_F(BoardFixture, AnUnwritablePageFileEndsTheTurnWithAMessage) {
    Form3->Board.setProgramFolder(QStringLiteral("/nonexistent-folder/"));
    Form3->Panel4->show();
    Form3->Board.setPageState(1, 2);
    Form3->guarded([] { Form3->SpeedButton12Click(); });
    ASSERT_FALSE(fakes.dialogs.shown.empty());
    EXPECT_EQ(fakes.dialogs.shown.back().kind, QStringLiteral("error"));
    EXPECT_EQ(Form3->Board.currentPage(), 1); // the page is not left
}

TEST_F(BoardFixture, ATallPictureContinuesOnTheNextPage) {
    Form3->Board.setContinuationPage(2);
    Form3->Image2->setGeometry(0, 35, 300, sh() + 200);
    Form3->Board.setPageState(1, 2);
    Form3->SpeedButton12Click();
    EXPECT_TRUE(Form3->Image2->isVisible());
    EXPECT_EQ(Form3->Image2->y(), 90 - sh());
    EXPECT_EQ(Form3->Board.continuationPage(), 0);
}

// A double click on the toolbar's whiteboard button: its second press lands on the board's
// line tool, at the same place, and must not arm it; a press after the interval does, and so
// does one on a board opened otherwise than by a click.
TEST_F(BoardFixture, ThePressAfterTheOpeningClickIsNotTheBoards) {
    SpeedButton* line = Form3->SpeedButton14;
    Form3->showBoard();
    QWidget other;
    other.setGeometry(line->mapToGlobal(QPoint(0, 0)).x(), line->mapToGlobal(QPoint(0, 0)).y(),
                      line->width(), line->height());
    other.show();
    QTest::mouseClick(&other, Qt::LeftButton); // the toolbar's button, at the same place
    other.hide();
    Form3->showBoard();
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_FALSE(line->isChecked());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_TRUE(line->isChecked());

    Form3->SpeedButton3->click(); // the pen again
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    Form3->showBoard(); // opened by a key, long after the last click
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_TRUE(line->isChecked());
}

// The page number on the title bar shows whole, two digits too, and large while it can.
TEST_F(BoardFixture, ThePageNumberFitsItsBox) {
    QLineEdit* box = Form3->Edit2;
    for (const char* number : {"1", "9", "12", "88", "99"}) {
        box->setText(QString::fromLatin1(number));
        EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(box->text()), box->width() - 4)
            << number;
    }
    box->setText(QStringLiteral("1"));
    EXPECT_EQ(box->font().pixelSize(), 24);
}
