// The presenting tools on the board and on the annotation overlay, as the window shows them:
// above the floating picture, below the bars, kept through a turn, and never in the page.
#include "../annotate/overlay_fixture.h"
#include "board_fixture.h"
#include "pointer.h"
#include "presenting/presenting_tools.h"

#include <QAction>
#include <QMenu>

using namespace platform;
using presenting::Tool;

namespace {

class BoardPresentingTest : public BoardFixture {
protected:
    presenting::PresentingModel& tools() { return Form3->Presenting->model(); }
    void open(Tool tool) { Form3->Presenting->action(tool)->trigger(); }
    // The window as it shows, its children over the surface.
    TColor shownPixel(QPoint p) { return fromRgb(Form3->grab().toImage().pixel(p)); }
};

} // namespace

TEST_F(BoardPresentingTest, TheButtonTakesTheThirdFreeSlotAndMovesNoOtherButton) {
    const QRect bar = Form3->Panel1->geometry();
    EXPECT_EQ(Form3->PresentingButton->parentWidget(), Form3->Panel2);
    EXPECT_EQ(Form3->PresentingButton->geometry(), QRect(bar.left() - 120, 1, 38, 38));
    EXPECT_EQ(bar, QRect(sw() - 1 - 1 - 722, 1, 722, 38));
    EXPECT_FALSE(Form3->PresentingButton->toolTip().isEmpty());
    // Its menu holds the three tools.
    EXPECT_EQ(Form3->Presenting->menu()->actions().size(), 3);
}

TEST_F(BoardPresentingTest, TheSpotlightDarkensTheFloatingPictureButNotTheTitleBarOrThePage) {
    paintPage({0, 0, sw(), sh()}, Yellow);
    // A floating picture, cut from the page, away from the middle.
    paintPage({100, 100, 200, 200}, Green);
    Form3->SpeedButton25Click();
    stroke({{100, 100}, {200, 200}});
    ASSERT_TRUE(Form3->Image2->isVisible());
    const QImage page = Form3->Board.current().copy();
    const TColor titleBar = shownPixel({200, 20});

    open(Tool::Spotlight);
    ASSERT_TRUE(tools().isOpen(Tool::Spotlight));
    const QPoint centre = tools().spotlight().centre;
    EXPECT_EQ(shownPixel(centre), Yellow);
    const QColor floating = toQColor(shownPixel({150, 150}));
    EXPECT_NEAR(floating.green(), 51, 1); // a fifth of the picture's green
    EXPECT_EQ(floating.red(), 0);
    EXPECT_EQ(shownPixel({200, 20}), titleBar);
    EXPECT_EQ(Form3->Board.current(), page);
    // A picture shown after the spotlight opened is under it too.
    Form3->Image2->raise();
    EXPECT_NEAR(toQColor(shownPixel({150, 150})).green(), 51, 1);
}

TEST_F(BoardPresentingTest, ATurnKeepsTheToolsAndTheirCloseMarksCloseThem) {
    stroke({{300, 300}, {400, 400}}); // a page with content turns right
    open(Tool::Shade);
    open(Tool::Magnifier);
    Form3->SpeedButton12Click(); // to page 2
    ASSERT_EQ(Form3->Board.currentPage(), 2);
    EXPECT_TRUE(tools().isOpen(Tool::Shade));
    EXPECT_TRUE(tools().isOpen(Tool::Magnifier));
    EXPECT_TRUE(Form3->Presenting->layer()->isVisible());
    // Closed with the pen, through the window.
    const QRect shadeMark = tools().shade().closeMark();
    pointerStroke({shadeMark.center()});
    EXPECT_FALSE(tools().isOpen(Tool::Shade));
    pointerStroke({tools().magnifier().closeMark(tools().area()).center()});
    EXPECT_FALSE(tools().isOpen(Tool::Magnifier));
    EXPECT_FALSE(Form3->Presenting->layer()->isVisible());
}

TEST_F(BoardPresentingTest, ThePenDragsTheShadeAndWritesOnTheShownPage) {
    paintPage({0, 0, sw(), sh()}, Yellow);
    open(Tool::Shade);
    const QRect area = tools().area();
    ASSERT_EQ(area, QRect(0, 40, sw(), sh() - 40));
    // Nothing shows through the curtain.
    EXPECT_NE(shownPixel({300, 300}), Yellow);
    const QImage page = Form3->Board.current().copy();
    pointerStroke({{300, 300}, {300, 330}, {300, 400}});
    EXPECT_EQ(tools().shade().curtain.top(), 140);
    EXPECT_EQ(Form3->Board.current(), page); // the drag drew nothing
    EXPECT_EQ(shownPixel({300, 100}), Yellow);
    // The shown strip is the page's: a stroke there lands in it.
    pointerStroke({{100, 80}, {200, 80}});
    EXPECT_EQ(pagePixel(150, 80), Ink);
}

TEST_F(BoardPresentingTest, TheLoupeShowsThePageTwiceAsLargeAndFollowsThePen) {
    paintPage({0, 0, sw(), sh()}, Yellow);
    paintPage({400, 300, 402, 302}, Blue); // a 2 x 2 dot
    open(Tool::Magnifier);
    pointerStroke({tools().magnifier().centre, {401, 301}});
    ASSERT_EQ(tools().magnifier().centre, QPoint(401, 301));
    const QImage page = Form3->Board.current().copy();
    // The dot fills 4 x 4 around the loupe's centre: source (400, 300) at (399, 299).
    for (const QPoint& p : {QPoint(399, 299), QPoint(402, 302)})
        EXPECT_EQ(shownPixel(p), Blue) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(398, 299), QPoint(403, 302)})
        EXPECT_EQ(shownPixel(p), Yellow) << p.x() << "," << p.y();
    EXPECT_EQ(Form3->Board.current(), page);
}

namespace {

class OverlayPresentingTest : public OverlayFixture {};

} // namespace

TEST_F(OverlayPresentingTest, AButtonBesideEachBarAndTheSpotlightOverTheFrozenDesktop) {
    open();
    // The bars stay where they were; the piece with the button is left of the one shown.
    EXPECT_EQ(Form2->Panel2->geometry(), QRect(sw() - 436, 0, 343, 41));
    const auto button = Form2->findChildren<SpeedButton*>(QStringLiteral("presentingButton"));
    ASSERT_EQ(button.size(), 2);
    const auto visibleButton = [&] {
        for (SpeedButton* b : button)
            if (b->isVisible())
                return b;
        return static_cast<SpeedButton*>(nullptr);
    };
    ASSERT_NE(visibleButton(), nullptr);
    EXPECT_EQ(visibleButton()->mapTo(Form2, QPoint(0, 0)), QPoint(sw() - 436 - 40 + 1, 1));
    Form2->SpeedButton23Click(); // the full bar
    ASSERT_NE(visibleButton(), nullptr);
    EXPECT_EQ(visibleButton()->mapTo(Form2, QPoint(0, 0)), QPoint(Form2->Panel1->x() - 40 + 1, 1));

    const QImage annotated = Form2->Board.scratchBitmap().copy();
    Form2->Presenting->action(Tool::Spotlight)->trigger();
    const QImage shown = Form2->grab().toImage();
    const QPoint centre = Form2->Presenting->model().spotlight().centre;
    EXPECT_EQ(fromRgb(shown.pixel(centre)), pattern(centre.x(), centre.y()));
    EXPECT_NE(fromRgb(shown.pixel(5, 300)), pattern(5, 300));
    // The bar is above the dark.
    const QPoint onBar = Form2->Panel1->geometry().center();
    EXPECT_EQ(shown.pixel(onBar),
              Form2->Panel1->grab().toImage().pixel(Form2->Panel1->rect().center()));
    EXPECT_EQ(Form2->Board.scratchBitmap(), annotated);
}
