// The page store as the whiteboard makes it, and how the board's painting uses it.
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"
#include "board_pages.h"

#include <QLabel>
#include <QTextEdit>

using namespace platform;

TEST_F(AppFixture, PageStoreAfterCreation) {
    EXPECT_EQ(Form3->Board.pageCount(), 1);
    EXPECT_EQ(Form3->Board.currentPage(), 1);
    EXPECT_EQ(Form3->Board.pagePicture(1).size(), QSize(sw(), sh()));
    EXPECT_EQ(Form3->Board.panelKind(1), 0);
    EXPECT_FALSE(Form3->Board.exists(2));
    EXPECT_EQ(Form3->Board.pageState(1), 0);
    EXPECT_EQ(Form3->Board.scratchBitmap().size(), QSize(sw(), sh()));
    EXPECT_EQ(Form3->Board.toolMode(), PenTool);
    EXPECT_EQ(Form3->Board.backdropActive(), 0);
    EXPECT_EQ(
        (std::array{Form3->Board.panelBounds(1).x(), Form3->Board.panelBounds(1).y(),
                    Form3->Board.panelBounds(1).width(), Form3->Board.panelBounds(1).height()}),
        (std::array{0, 41, 368, sh() - 45}));
    EXPECT_TRUE(Form3->Board.programFolder().endsWith(QLatin1Char('/')));
    EXPECT_EQ(Form3->pageTextFile(7), Form3->Board.programFolder() + QStringLiteral("7"));
    EXPECT_EQ(Form3->Edit1->text(), QStringLiteral("2"));
    EXPECT_EQ(Form3->Edit2->text(), QStringLiteral("1"));
    // The default teacher's settings, handed over by the settings window at creation.
    EXPECT_EQ(Form3->LCP->Color(), 0x000000FFu);
    EXPECT_EQ(Form3->RCP->Color(), 0x00808080u);
    EXPECT_EQ(Form3->RichEdit1->palette().color(QPalette::Base), QColor(0xA5, 0xA5, 0xA5));
    EXPECT_TRUE(Form3->SpeedButton3->isChecked());
    EXPECT_EQ(Form3->Panel2->width(), sw() - 1);
    EXPECT_EQ(Form3->Panel1->geometry().right() + 1, sw() - 2); // right-aligned in the title bar
    EXPECT_TRUE(Form3->Panel4->isHidden());
    EXPECT_TRUE(Form3->Image2->isHidden());
}

TEST_F(AppFixture, OpeningTheBoardFillsOnlyANeverShownPage) {
    Form3->Board.setBackgroundColour(0x00112233);
    Form1->SpeedButton4Click();
    auto storedPixel = [](int x, int y) {
        return fromRgb(Form3->Board.pagePicture(1).pixel(x, y));
    };
    EXPECT_EQ(storedPixel(0, 0), 0x00112233u);
    EXPECT_EQ(storedPixel(sw() - 1, sh() - 1), 0x00112233u);
    EXPECT_EQ(Form3->Board.boardPaintMode(), 0);
    // The window shows the page, the background sample column included.
    EXPECT_EQ(Form3->canvas().pixel(sw() - 1, 38), 0x00112233u);

    // A page that was shown before is drawn as stored.
    Form3->SpeedButton40Click();
    Form3->Board.setPageState(1, 1);
    fillOnCurrentPage(Form3->Board, {10, 50, 20, 60}, 0x0000FF);
    Form3->Board.setBackgroundColour(0x00FFFFFF);
    Form1->SpeedButton4Click();
    EXPECT_EQ(Form3->Board.boardPaintMode(), 1);
    // The stored page itself, read after the second opening: not filled again.
    EXPECT_EQ(storedPixel(0, 0), 0x00112233u);
    EXPECT_EQ(Form3->canvas().pixel(15, 55), 0x000000FFu);
}
