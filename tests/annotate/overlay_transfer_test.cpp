// Sending the annotated picture, or only the floating selection, to the whiteboard's current
// or next page, up to the last page the store holds.
#include "overlay_fixture.h"

using namespace platform;

namespace {

class TransferTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        open();
        stroke({{100, 200}, {300, 200}});
    }
    // The whiteboard on page n, the last page made so far, in the given state; its picture is
    // red, as content would be.
    void boardOn(int n, int state) {
        Form3->Board.writePage(n, filled(sw(), sh(), Red));
        Form3->Board.setPageCount(n);
        Form3->Board.setCurrentPage(n);
        Form3->Edit2->setText(QString::number(n));
        Form3->Board.setPageState(n, state);
    }
    void selectRange() {
        Form2->SpeedButton15->click();
        stroke({{200, 150}, {300, 250}});
    }
    QImage pageBitmap(int n) const { return Form3->Board.pagePicture(n); }
};

struct Start {
    int page;
    int state;
};

} // namespace

TEST_F(TransferTest, TheWholeOverlayGoesToTheCurrentPageWithoutItsBars) {
    for (const Start s : {Start{1, 0}, Start{1, 1}, Start{1, 2}, Start{99, 2}}) {
        SCOPED_TRACE(::testing::Message() << "page " << s.page << " state " << s.state);
        boardOn(s.page, s.state);
        Form2->SpeedButton13->click();
        EXPECT_EQ(Form3->Board.currentPage(), s.page);
        EXPECT_EQ(Form3->Board.pageState(s.page), 2);
        EXPECT_TRUE(samePixels(pageBitmap(s.page), Form2->Surface));
        EXPECT_EQ(page(200, 200), Ink);
        EXPECT_EQ(page(sw() - 436 + 10, 10), pattern(sw() - 436 + 10, 10)); // under the bar
        EXPECT_TRUE(Form2->isVisible());
    }
}

TEST_F(TransferTest, TheNextPageTurnsFromAPageWithContentAndIsTheCurrentOneOtherwise) {
    struct Case {
        Start start;
        int to;
    };
    for (const Case c : {Case{{1, 0}, 1}, Case{{1, 1}, 1}, Case{{1, 2}, 2}, Case{{98, 2}, 99},
                         Case{{99, 0}, 99}, Case{{99, 1}, 99}}) {
        SCOPED_TRACE(::testing::Message() << "page " << c.start.page << " state " << c.start.state);
        boardOn(c.start.page, c.start.state);
        Form2->SpeedButton14->click();
        EXPECT_EQ(Form3->Board.currentPage(), c.to);
        EXPECT_EQ(Form3->Edit2->text(), QString::number(c.to));
        EXPECT_EQ(Form3->Board.pageCount(), c.to);
        EXPECT_EQ(Form3->Board.pageState(c.to), 2);
        EXPECT_TRUE(samePixels(pageBitmap(c.to), Form2->Surface));
        if (c.to != c.start.page) {
            EXPECT_EQ(page(200, 200, c.start.page), Red);
        }
        EXPECT_TRUE(Form2->isVisible());
    }
}

TEST_F(TransferTest, FromTheLastPageWithContentOnlyTheWhiteboardsPictureIsDropped) {
    boardOn(99, 2);
    Form3->Board.showFloatingPicture(filled(20, 20, Green), {100, 100});
    selectRange();
    Form2->SpeedButton14->click();
    EXPECT_TRUE(Form3->Image2->isHidden());
    EXPECT_EQ(page(101, 101), Green);
    EXPECT_EQ(page(118, 118), Green);
    EXPECT_EQ(page(100, 100), Red); // its border stays out
    EXPECT_EQ(page(119, 119), Red);
    EXPECT_EQ(page(200, 200), Red); // nothing of the overlay
    EXPECT_EQ(Form3->Board.currentPage(), 99);
    EXPECT_EQ(Form3->Board.pageCount(), 99);
    EXPECT_EQ(Form3->Board.pageState(99), 2);
    // The overlay is as it was, its selection still floating.
    EXPECT_TRUE(Form2->Annotation.selectionMade());
    EXPECT_FALSE(Form2->Image1->isHidden());
    EXPECT_TRUE(fakes.dialogs.shown.empty());
}

TEST_F(TransferTest, AFloatingSelectionAloneBecomesTheWhiteboardsFloatingPictureInPlace) {
    for (const bool next : {false, true}) {
        SCOPED_TRACE(next ? "next page" : "current page");
        boardOn(1, next ? 2 : 0);
        Form3->Board.armTool(PenTool);
        Form3->SpeedButton3->setChecked(true);
        // A picture already floating on the whiteboard is dropped into the page first.
        Form3->Board.showFloatingPicture(filled(20, 20, Green), {500, 500});
        selectRange();
        const QImage selection = Form2->Image1->picture();
        (next ? Form2->SpeedButton14 : Form2->SpeedButton13)->click();

        const int to = next ? 2 : 1;
        EXPECT_EQ(Form3->Board.currentPage(), to);
        EXPECT_FALSE(Form3->Image2->isHidden());
        EXPECT_EQ(Form3->Image2->geometry(), QRect(200, 150, 100, 100));
        EXPECT_TRUE(samePixels(Form3->Image2->picture(), selection));
        EXPECT_TRUE(samePixels(Form3->Board.floatBitmap(), selection));
        EXPECT_EQ(Form3->Board.toolMode(), RangeSelection);
        EXPECT_TRUE(Form3->SpeedButton25->isChecked());
        EXPECT_EQ(Form3->Board.floatPlaced(), 0);
        // Only the selection arrives: the page under it has nothing of the overlay.
        EXPECT_EQ(page(250, 200, to), Background);
        EXPECT_EQ(page(sw() - 400, 10, to), Background);
        EXPECT_EQ(page(501, 501, 1), Green);
        EXPECT_EQ(page(500, 500, 1), next ? Red : Background);
        EXPECT_EQ(Form3->Board.pageState(to), 2);
        // The overlay's floating picture is gone, its frame with it.
        EXPECT_TRUE(Form2->Image1->isHidden());
        EXPECT_FALSE(Form2->Annotation.selectionMade());
        EXPECT_EQ(surface(200, 150), pattern(200, 150));
    }
}

TEST_F(TransferTest, TheSentSelectionDropsOnTheWhiteboardAsASelectionDoes) {
    boardOn(1, 0);
    selectRange();
    Form2->SpeedButton13->click();
    Form2->SpeedButton6->click();
    ASSERT_TRUE(Form3->isVisible());
    Form3->FormMouseDown(900, 700);
    EXPECT_TRUE(Form3->Image2->isHidden());
    // The frame's outer pixel stays out, the next one is the selection's.
    EXPECT_EQ(page(200, 180), Background);
    EXPECT_EQ(page(201, 181), pattern(201, 181));
    EXPECT_EQ(page(250, 200), Ink);
}

TEST_F(TransferTest, UndoOnTheWhiteboardAfterTheOverlayPutsNothingOfItIntoThePage) {
    Form2->SpeedButton16Click();
    Form1->SpeedButton4Click();
    const QImage before = pageBitmap(1).copy();
    Form3->FormMouseDown(100, 300);
    Form3->FormMouseMove(Qt::LeftButton, 400, 300);
    Form3->FormMouseUp(400, 300);
    Form3->SpeedButton40Click();
    open();
    stroke({{100, 400}, {300, 400}});
    Form2->SpeedButton6->click();
    // The board's own last stroke goes, and nothing of the overlay comes.
    Form3->SpeedButton4Click();
    EXPECT_TRUE(samePixels(pageBitmap(1), before));
}
