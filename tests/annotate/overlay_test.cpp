// The annotation overlay: opening and leaving, strokes against the captured screen, the
// floating picture, undo and clearing, the pen settings and the bars.
#include "app/blanking.h"
#include "board_pages.h"
#include "overlay_fixture.h"
#include "platform/widgets/shell.h"
#include "pointer.h"
#include "practice/practice_pad.h"

#include <QTest>
#include <QTimer>

using namespace platform;

namespace {

using OverlayTest = OverlayFixture;

} // namespace

TEST_F(OverlayTest, OpeningCapturesTheScreenWithTheToolbarGoneAndLeavingBringsItBack) {
    const WindowHandle target = fakes.windows.addWindow(QStringLiteral("课件"));
    fakes.windows.windowAtPoint = target;
    Form1->show();
    bool toolbarGoneAtGrab = false;
    bool overlayHiddenAtGrab = false;
    fakes.display.onGrab = [&] {
        toolbarGoneAtGrab = Form1->isHidden() && !Form1->Timer1->isActive();
        overlayHiddenAtGrab = !Form2->isVisible();
    };
    bool shownModally = false;
    QTimer::singleShot(0, [&] {
        shownModally = Form2->isModalShowing();
        EXPECT_TRUE(samePixels(Form2->Surface, fakes.display.screen));
        EXPECT_EQ(Form2->Panel2->geometry(), QRect(sw() - 436, 0, 343, 41));
        EXPECT_TRUE(Form2->Panel1->isHidden());
        // A range floating when the teacher leaves is thrown away.
        Form2->SpeedButton15->click();
        stroke({{100, 100}, {200, 200}});
        Form2->SpeedButton16->click();
    });
    Form1->SpeedButton3Click(); // returns when the overlay closes

    EXPECT_EQ(fakes.display.grabs, 1);
    EXPECT_TRUE(toolbarGoneAtGrab);
    EXPECT_TRUE(overlayHiddenAtGrab);
    EXPECT_TRUE(shownModally);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_TRUE(Form2->Image1->isHidden());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(Form1->Timer1->isActive());
    EXPECT_EQ(fakes.windows.foreground, target);
    EXPECT_TRUE(samePixels(Form3->Board.scratchBitmap(), fakes.display.screen));
    EXPECT_TRUE(samePixels(Form2->ScreenCapture, fakes.display.screen));
}

TEST_F(OverlayTest, ASecondOpeningShowsTheScreenAsItIsNowAndUndoShowsThatCapture) {
    open();
    stroke({{100, 300}, {400, 300}});
    Form2->SpeedButton16Click();
    fakes.display.screen = filled(sw(), sh(), Green);
    open();
    EXPECT_TRUE(samePixels(Form2->Surface, fakes.display.screen));
    Form2->SpeedButton17Click();
    EXPECT_TRUE(samePixels(Form2->Surface, fakes.display.screen));
    EXPECT_TRUE(samePixels(Form3->Board.scratchBitmap(), fakes.display.screen));
}

TEST_F(OverlayTest, AClickCommitsA21By21BoxOfWhatTheWindowShows) {
    open();
    // What the window shows beyond the committed picture, as a drawing in progress would.
    Canvas(Form2->Surface).fillRect({0, 0, sw(), sh()}, Red);
    stroke({{300, 300}});
    for (int y = 285; y < 316; ++y)
        for (int x = 285; x < 316; ++x) {
            const bool inBox = x >= 290 && x <= 310 && y >= 290 && y <= 310;
            ASSERT_EQ(scratch(x, y), inBox ? Red : pattern(x, y)) << x << "," << y;
        }
    EXPECT_TRUE(samePixels(Form2->Annotation.undoPicture(), fakes.display.screen));
}

TEST_F(OverlayTest, UndoAfterTwoStrokesTakesBackOnlyTheSecondAndRepeatsTheSame) {
    open();
    stroke({{100, 200}, {300, 200}});
    stroke({{100, 400}, {300, 400}});
    ASSERT_EQ(scratch(200, 400), Ink);
    for (int i = 0; i < 2; ++i) {
        Form2->SpeedButton24->click();
        EXPECT_EQ(scratch(200, 200), Ink);
        EXPECT_EQ(scratch(200, 400), pattern(200, 400));
        EXPECT_EQ(surface(200, 400), pattern(200, 400));
    }
}

TEST_F(OverlayTest, TheEraserRestoresTheCaptureOverTheWholeSweptBoxAndItsMargin) {
    open();
    stroke({{100, 300}, {700, 300}});
    Form2->SpeedButton21->click();
    EXPECT_EQ(Form2->canvas().pen.width, 1);
    EXPECT_EQ(Form2->canvas().pen.style, PenStyle::Dot);
    // Out to (500, 500) and back: the final rectangle ends at x 300, the swept box at 500.
    stroke({{200, 280}, {500, 500}, {300, 320}});
    for (int x = 185; x < 516; ++x) {
        const bool swept = x >= 190 && x <= 510;
        ASSERT_EQ(scratch(x, 300), swept ? pattern(x, 300) : Ink) << x;
        ASSERT_EQ(surface(x, 300), scratch(x, 300)) << x;
    }
}

TEST_F(OverlayTest, TheLineToolWipesItsRubberBandAndCommitsTheLastLine) {
    open();
    Form2->SpeedButton27->click();
    stroke({{100, 100}, {300, 300}, {300, 150}});
    EXPECT_EQ(scratch(200, 125), Ink);
    EXPECT_EQ(scratch(200, 200), pattern(200, 200)); // where the band was on its way
    EXPECT_TRUE(samePixels(Form2->Surface, Form3->Board.scratchBitmap()));
}

TEST_F(OverlayTest, ASelectionCopiesAndADroppedPictureLosesExactlyItsBorder) {
    open();
    Form2->SpeedButton15->click();
    stroke({{200, 200}, {250, 250}, {300, 300}});
    EXPECT_TRUE(Form2->Annotation.selectionMade());
    ASSERT_EQ(Form2->Image1->geometry(), QRect(200, 200, 100, 100));
    EXPECT_FALSE(Form2->Image1->isHidden());
    EXPECT_EQ(pixelAt(Form2->Image1->picture(), 50, 50), pattern(250, 250));
    EXPECT_EQ(pixelAt(Form2->Image1->picture(), 0, 0), Ink); // the dotted frame came along
    EXPECT_TRUE(
        samePixels(Form3->Board.scratchBitmap(), fakes.display.screen)); // a copy, not a cut

    Form2->Image1MouseDown(Qt::LeftButton, 10, 10);
    Form2->Image1MouseMove(Qt::LeftButton, 110, 60);
    ASSERT_EQ(Form2->Image1->pos(), QPoint(300, 250));
    // Where it was, the window shows the picture again, without the frame.
    EXPECT_EQ(surface(200, 200), pattern(200, 200));

    stroke({{700, 600}}); // the press drops it
    for (int y = 250; y < 350; ++y)
        for (int x = 300; x < 400; ++x) {
            const bool inner = x > 300 && x < 399 && y > 250 && y < 349;
            ASSERT_EQ(scratch(x, y), inner ? pattern(x - 100, y - 50) : pattern(x, y))
                << x << "," << y;
        }
    EXPECT_EQ(surface(350, 300), pattern(250, 250));
}

TEST_F(OverlayTest, APressOnThePictureDragsItAndAPressBesideItDropsIt) {
    open();
    Form2->SpeedButton15->click();
    stroke({{200, 200}, {300, 300}});
    pointerStroke(Form2->windowHandle(), {{210, 210}, {310, 260}});
    EXPECT_EQ(Form2->Image1->pos(), QPoint(300, 250));
    EXPECT_FALSE(Form2->Image1->isHidden());
    EXPECT_TRUE(samePixels(Form3->Board.scratchBitmap(), fakes.display.screen));
    pointerStroke(Form2->windowHandle(), {{700, 600}});
    EXPECT_EQ(scratch(350, 300), pattern(250, 250));
}

TEST_F(OverlayTest, APressOnABarsEmptyPlaceDrawsNothing) {
    open();
    const int bar = sw() - ToolbarDockOffset;
    for (const QPoint& on : {QPoint(bar + 100, 40), QPoint(bar, 20)}) {
        pointerStroke(Form2->windowHandle(), {on, {500, 500}});
        EXPECT_TRUE(samePixels(Form3->Board.scratchBitmap(), fakes.display.screen))
            << on.x() << "," << on.y();
    }
    pointerStroke(Form2->windowHandle(),
                  {{400, 500}, {500, 500}}); // on the picture, the same drag draws
    EXPECT_EQ(scratch(450, 500), Ink);
}

TEST_F(OverlayTest, ChoosingThePenDiscardsAMovedSelectionAndLeavesThePixelsWhereTheyWere) {
    open();
    Form2->SpeedButton15->click();
    stroke({{200, 200}, {300, 300}});
    Form2->Image1MouseDown(Qt::LeftButton, 10, 10);
    Form2->Image1MouseMove(Qt::LeftButton, 210, 10);
    Form2->SpeedButton25->click();
    EXPECT_TRUE(Form2->Image1->isHidden());
    EXPECT_FALSE(Form2->Annotation.selectionMade());
    EXPECT_TRUE(samePixels(Form2->Surface, fakes.display.screen));
    EXPECT_TRUE(samePixels(Form3->Board.scratchBitmap(), fakes.display.screen));
}

TEST_F(OverlayTest, ARangeDraggedUpOrLeftGivesAnEmptyPictureAndStillCountsAsSelected) {
    open();
    Form2->SpeedButton15->click();
    for (const QPoint& end : {QPoint(250, 250), QPoint(350, 250), QPoint(250, 350)}) {
        Form2->Annotation.endSelection();
        stroke({{300, 300}, end});
        EXPECT_TRUE(Form2->Annotation.selectionMade());
        EXPECT_TRUE(Form2->Image1->picture().isNull()) << end.x() << "," << end.y();
        EXPECT_TRUE(Form2->Image1->width() == 0 || Form2->Image1->height() == 0);
        EXPECT_TRUE(samePixels(Form2->Surface, Form3->Board.scratchBitmap())); // the band is gone
    }
}

TEST_F(OverlayTest, PenWidthStopsAtNineAndOneAndFollowsInEveryTool) {
    open();
    Form2->SpeedButton26Click(); // the line tool takes the width as the pen does
    for (int i = 0; i < 6; ++i)
        Form2->SpeedButton7->click();
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("9"));
    EXPECT_EQ(Form2->canvas().pen.width, 9);
    Form2->SpeedButton7->click();
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("9"));
    for (int i = 0; i < 8; ++i)
        Form2->SpeedButton8->click();
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("1"));
    EXPECT_EQ(Form2->canvas().pen.width, 1);
    Form2->SpeedButton8->click();
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("1"));

    for (int i = 0; i < 4; ++i)
        Form2->SpeedButton7->click();
    Form2->SpeedButton2->click();
    EXPECT_EQ(Form2->canvas().pen.width, 1);
    Form2->SpeedButton4->click();
    EXPECT_EQ(Form2->canvas().pen.width, 5);
    EXPECT_EQ(Form2->canvas().pen.style, PenStyle::Solid);
}

TEST_F(OverlayTest, APenColourChosenIsThePensAndACancelChangesNothing) {
    open();
    fakes.dialogs.colours = {Green, std::nullopt};
    Form2->SpeedButton9->click();
    EXPECT_EQ(Form2->LCP->Color(), Green);
    Canvas(Form2->Surface).fillRect({0, 0, 50, 50}, Red);
    Form2->LCPClick();
    EXPECT_EQ(Form2->LCP->Color(), Green);
    EXPECT_EQ(surface(10, 10), pattern(10, 10)); // shown again from the annotated picture
    stroke({{100, 200}, {300, 200}});
    EXPECT_EQ(scratch(200, 200), Green);
}

TEST_F(OverlayTest, ClearingAllCannotBeUndoneAndTheSmallBarsClearKeepsToTheSelection) {
    open();
    stroke({{100, 200}, {600, 200}});
    Form2->SpeedButton5->click();
    Form2->SpeedButton17->click();
    EXPECT_TRUE(samePixels(Form3->Board.scratchBitmap(), fakes.display.screen));
    EXPECT_TRUE(samePixels(Form2->Surface, fakes.display.screen));

    stroke({{100, 200}, {600, 200}});
    Form2->SpeedButton15->click();
    stroke({{200, 150}, {300, 250}});
    Form2->SpeedButton20->click();
    EXPECT_EQ(scratch(250, 200), pattern(250, 200));
    EXPECT_EQ(scratch(150, 200), Ink);
    EXPECT_EQ(scratch(350, 200), Ink);
    EXPECT_EQ(pixelAt(Form2->Annotation.undoPicture(), 250, 200), pattern(250, 200));
    EXPECT_FALSE(Form2->Image1->isHidden()); // the floating picture stays
}

TEST_F(OverlayTest, ZoomWithNothingEverSelectedDoesNothing) {
    open();
    Form2->SpeedButton11->click();
    Form2->SpeedButton12->click();
    EXPECT_TRUE(Form2->Image1->isHidden());
    EXPECT_FALSE(Form2->Annotation.zoom().holdsSource());
    EXPECT_FLOAT_EQ(Form2->Annotation.zoom().factor(), 1.0f);
    EXPECT_TRUE(fakes.dialogs.shown.empty());
}

TEST_F(OverlayTest, ZoomStepsScaleFromTheSelectionAndKeepItOnTheScreen) {
    open();
    Form2->SpeedButton15->click();
    stroke({{100, 100}, {201, 141}}); // 101 x 41
    for (int i = 0; i < 3; ++i)
        Form2->SpeedButton11->click();
    EXPECT_EQ(Form2->Image1->size(), QSize(341, 138)); // 3.375 times, rounded
    EXPECT_EQ(Form2->Image1->picture().size(), QSize(341, 138));
    for (int i = 0; i < 3; ++i)
        Form2->SpeedButton12->click();
    EXPECT_EQ(Form2->Image1->size(), QSize(101, 41));
    EXPECT_FLOAT_EQ(Form2->Annotation.zoom().factor(), 1.0f);

    // Wider than the screen once enlarged: centred.
    stroke({{10, 300}, {1000, 340}});
    EXPECT_FLOAT_EQ(Form2->Annotation.zoom().factor(), 1.0f);
    Form2->SpeedButton11->click();
    EXPECT_EQ(Form2->Image1->geometry(), QRect((sw() - 1485) / 2, 300, 1485, 60));
}

TEST_F(OverlayTest, EachBarsToolsAreARadioGroupOfTheirOwnAndShareTheHandlers) {
    open();
    struct Case {
        SpeedButton* button;
        int tool;
    };
    for (const Case& c :
         {Case{Form2->SpeedButton21, OverlayEraser}, Case{Form2->SpeedButton27, OverlayLine},
          Case{Form2->SpeedButton25, OverlayPen}, Case{Form2->SpeedButton2, OverlayEraser},
          Case{Form2->SpeedButton26, OverlayLine}, Case{Form2->SpeedButton15, OverlayRange},
          Case{Form2->SpeedButton4, OverlayPen}}) {
        c.button->click();
        EXPECT_EQ(Form2->Annotation.overlayTool(), c.tool) << c.button->toolTip().toStdString();
    }
    Form2->SpeedButton21->click();
    EXPECT_TRUE(Form2->SpeedButton21->isChecked());
    EXPECT_FALSE(Form2->SpeedButton25->isChecked());
    EXPECT_TRUE(Form2->SpeedButton4->isChecked()); // the full bar's group is apart
}

TEST_F(OverlayTest, TheBarsTakeTurnsAndGoingBackRepaintsTheBand) {
    open();
    Form2->SpeedButton23->click();
    EXPECT_TRUE(Form2->Panel2->isHidden());
    EXPECT_FALSE(Form2->Panel1->isHidden());
    EXPECT_EQ(Form2->Panel1->geometry(), QRect(sw() - 591, 0, 591, 40));
    Canvas(Form2->Surface).fillRect({0, 0, sw(), 60}, Red);
    Form2->SpeedButton18->click();
    EXPECT_FALSE(Form2->Panel2->isHidden());
    EXPECT_TRUE(Form2->Panel1->isHidden());
    EXPECT_EQ(Form2->Annotation.anchor(), QPoint(sw() - 600, 0));
    EXPECT_EQ(Form2->Annotation.end(), QPoint(sw(), 40));
    EXPECT_EQ(surface(sw() - 600, 39), pattern(sw() - 600, 39));
    EXPECT_EQ(surface(sw() - 601, 39), Red);
    EXPECT_EQ(surface(sw() - 1, 40), Red);
}

TEST_F(OverlayTest, BlankingAboveTheOpenOverlayTakesTheClickAndRedrawsTheOverlay) {
    Form1->SpeedButton4Click(); // the whiteboard is visible too
    Form1->show();
    QTimer::singleShot(0, [&] {
        stroke({{100, 200}, {300, 200}});
        Form2->SpeedButton22->click();
        EXPECT_TRUE(Form5->isVisible());
        EXPECT_FALSE(Form1->Timer1->isActive());
        EXPECT_EQ(fakes.windows.pointer, QPoint(sw(), 50));
        Canvas(Form2->Surface).fillRect({0, 0, sw(), sh()}, Red);
        QTest::mouseClick(Form5->windowHandle(), Qt::RightButton, {}, QPoint(300, 300));
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_TRUE(samePixels(Form2->Surface, Form3->Board.scratchBitmap()));
        EXPECT_EQ(surface(200, 200), Ink);
        Form2->SpeedButton3Click();
    });
    Form1->SpeedButton3Click();
    EXPECT_EQ(Form5->windowModality(), Qt::NonModal); // blanking from elsewhere is not modal
}

TEST_F(OverlayTest, GoingToTheWhiteboardFillsANewPageOrShowsTheOneWithContent) {
    for (const int state : {0, 2}) {
        Form3->Board.setPageState(1, state);
        fillOnCurrentPage(Form3->Board, {0, 0, sw(), sh()}, Red);
        Form3->Board.setBoardPaintMode(0);
        Form14->show();
        open();
        Form2->SpeedButton6->click();
        EXPECT_FALSE(Form2->isVisible());
        EXPECT_FALSE(Form14->isVisible());
        EXPECT_TRUE(Form3->isVisible());
        EXPECT_TRUE(Form1->isHidden());
        EXPECT_EQ(page(100, 100), state == 0 ? Background : Red) << state;
        EXPECT_EQ(Form3->Board.boardPaintMode(), state == 0 ? 0 : 1) << state;
        Form3->hide();
    }
}
