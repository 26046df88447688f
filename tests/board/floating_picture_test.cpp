// The floating picture: cut from the page or placed on it, dragged, zoomed and dropped back.
#include "app/toolbar.h"
#include "board_fixture.h"
#include "pictures.h"
#include "platform/raster/jpeg_decoder.h"

#include <QBuffer>
#include <functional>
#include <string>
#include <vector>

using namespace platform;

namespace {

class FloatingPictureTest : public BoardFixture {
protected:
    // Cuts the square (200, 200)-(300, 300) out of a page whose square is green.
    void cutGreenSquare() {
        paintPage({200, 200, 300, 300}, Green);
        Form3->SpeedButton25Click();
        stroke({{200, 200}, {250, 250}, {300, 300}});
    }
    ::testing::AssertionResult noInkIn(const QRect& area) const {
        const QImage& page = Form3->Board.current();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (fromRgb(page.pixel(x, y)) == Ink)
                    return ::testing::AssertionFailure() << "ink at " << x << "," << y;
        return ::testing::AssertionSuccess();
    }
    void place(const QImage& picture, QPoint at) {
        Form3->Board.armPicture(PicturePending, picture);
        stroke({at});
    }
};

} // namespace

TEST_F(FloatingPictureTest, ASelectionBecomesTheFloatingPictureAndLeavesAHole) {
    cutGreenSquare();
    ASSERT_TRUE(Form3->Image2->isVisible());
    EXPECT_EQ(Form3->Image2->geometry(), QRect(200, 200, 100, 100));
    EXPECT_EQ(Form3->Board.floatPlaced(), 0);
    EXPECT_EQ(fromRgb(Form3->Image2->picture().pixel(50, 50)), Green);
    EXPECT_EQ(pagePixel(250, 250), Background);
    EXPECT_EQ(Form3->Board.boardPaintMode(), 1);
}

TEST_F(FloatingPictureTest, DraggingUpOrLeftGivesAnEmptyPicture) {
    for (const QPoint& end : {QPoint(250, 250), QPoint(350, 250), QPoint(250, 350)}) {
        Form3->SpeedButton25Click();
        stroke({{300, 300}, end});
        EXPECT_TRUE(Form3->Image2->isVisible());
        EXPECT_EQ(Form3->Image2->size(), QSize(0, 0)) << end.x() << "," << end.y();
    }
    // Zooming an empty picture changes nothing.
    Form3->SpeedButton35Click();
    EXPECT_EQ(Form3->Image2->size(), QSize(0, 0));
}

TEST_F(FloatingPictureTest, APressOnThePictureDragsItAndDoesNotCommitIt) {
    cutGreenSquare();
    pointerStroke({{210, 210}, {310, 260}});
    EXPECT_EQ(Form3->Image2->pos(), QPoint(300, 250));
    EXPECT_TRUE(Form3->Image2->isVisible());
    EXPECT_EQ(pagePixel(350, 280), Background);
    // The window shows the hole where the picture was.
    EXPECT_EQ(surfacePixel(210, 210), Background);
    // A press beside it is the board's, and commits it.
    pointerStroke({{50, 600}});
    EXPECT_EQ(pagePixel(350, 280), Green);
}

// The title bar covers rows 0..39 above the floating picture, however the picture got there.
TEST_F(FloatingPictureTest, TheTitleBarStaysAboveThePicture) {
    struct Case {
        const char* how;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"enlarged",
         [this] {
             Form3->SpeedButton25Click();
             stroke({{50, 60}, {1000, 740}});
             Form3->SpeedButton35Click();
         }},
        {"dragged up",
         [this] {
             cutGreenSquare();
             pointerStroke({{250, 250}, {250, 70}});
         }},
        {"sent from the annotation",
         [] {
             Form3->Board.adoptSelection(filledPicture({300, 200}, Blue), QRect(100, 10, 300, 200));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        c.make();
        ASSERT_TRUE(Form3->Image2->isVisible());
        ASSERT_LT(Form3->Image2->y(), 40); // it reaches into the title bar's rows
        for (const int x : {5, 250, 350})
            for (const int y : {0, 20, 39}) {
                QWidget* on = Form3->childAt(x, y);
                EXPECT_TRUE(on == Form3->Panel2 || Form3->Panel2->isAncestorOf(on))
                    << x << "," << y;
            }
        stroke({{600, 700}}); // committed, ready for the next case
        Form3->SpeedButton3Click();
    }
}

TEST_F(FloatingPictureTest, APressCommitsASelectionWithoutItsFrame) {
    cutGreenSquare();
    Form3->Image2MouseDown(Qt::LeftButton, 0, 0);
    Form3->Image2MouseMove(Qt::LeftButton, 200, 200); // to (400, 400)
    stroke({{50, 600}}); // the press commits it; the release makes a new, empty selection
    EXPECT_EQ(Form3->Image2->size(), QSize(0, 0));
    EXPECT_EQ(pagePixel(401, 401), Green);
    EXPECT_EQ(pagePixel(450, 450), Green);
    EXPECT_EQ(pagePixel(400, 400), Background); // the frame's row and column stay out
    EXPECT_EQ(pagePixel(400, 450), Background);
    EXPECT_EQ(surfacePixel(450, 450), Green);
    EXPECT_EQ(Form3->Board.floatPlaced(), 0);
}

// However it was zoomed, a selection goes into the page without its dotted frame, whichever
// command commits it.
TEST_F(FloatingPictureTest, ACommitNeverBakesTheSelectionsFrame) {
    struct Zoom {
        const char* name;
        std::vector<bool> enlarge; // the steps, in order
    };
    struct Commit {
        const char* name;
        std::function<void()> run;
    };
    const Zoom zooms[] = {{"not zoomed", {}},
                          {"enlarged", {true}},
                          {"enlarged twice", {true, true}},
                          {"enlarged and reduced", {true, false}},
                          {"reduced", {false}}};
    const Commit commits[] = {
        {"turn right", [] { Form3->SpeedButton12Click(); }},
        {"turn left", [] { Form3->SpeedButton11Click(); }},
        {"a tool", [] { Form3->SpeedButton3Click(); }},
        {"range selection", [] { Form3->SpeedButton25Click(); }},
        {"a press",
         [this] {
             stroke({{50, 700}});
         }},
    };
    for (const Zoom& z : zooms)
        for (const Commit& c : commits) {
            SCOPED_TRACE(std::string(z.name) + ", " + c.name);
            paintPage({0, 0, sw(), sh()}, Background);
            cutGreenSquare();
            for (const bool enlarge : z.enlarge)
                (Form3->*(enlarge ? &TForm3::SpeedButton35Click : &TForm3::SpeedButton36Click))();
            const QRect r = Form3->Image2->geometry();
            c.run();
            ASSERT_EQ(Form3->Board.currentPage(), 1);
            // The frame's pixels would be the pen's colour; the picture holds none of it.
            EXPECT_TRUE(noInkIn(r));
            EXPECT_EQ(pagePixel(r.center().x(), r.center().y()), Green);
        }
}

TEST_F(FloatingPictureTest, APlacedPictureIsCommittedWhole) {
    place(filledPicture({20, 20}, Blue), {100, 100});
    ASSERT_TRUE(Form3->Image2->isVisible());
    EXPECT_EQ(Form3->Board.floatPlaced(), 1);
    EXPECT_EQ(Form3->Board.pendingPlacement(), 0);
    stroke({{600, 600}});
    EXPECT_EQ(pagePixel(100, 100), Blue);
    EXPECT_EQ(pagePixel(119, 119), Blue);
    EXPECT_EQ(pagePixel(120, 120), Background);
}

TEST_F(FloatingPictureTest, AToolButtonCommitsThePlainFormWhateverTheKind) {
    place(filledPicture({20, 20}, Blue), {100, 100});
    Form3->SpeedButton3Click();
    EXPECT_FALSE(Form3->Image2->isVisible());
    EXPECT_EQ(pagePixel(101, 101), Blue);
    EXPECT_EQ(pagePixel(118, 118), Blue);
    EXPECT_EQ(pagePixel(100, 100), Background);
    EXPECT_EQ(pagePixel(119, 119), Background);
}

TEST_F(FloatingPictureTest, PlacementsAtThePressPointOrBelowTheTitleBar) {
    Form3->Board.armPicture(PictureBelowTitlePending, filledPicture({30, 10}, Blue));
    Form3->SpeedButton13Click(); // whatever the tool
    stroke({{500, 500}});
    EXPECT_EQ(Form3->Image2->geometry(), QRect(0, 35, 30, 10));

    // A stamp picture decoded from its file.
    QImage stamp = filledPicture({40, 24}, 0x00336699);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(stamp.save(&buffer, "JPEG", 95));
    const std::optional<QImage> decoded = decodeJpeg(jpeg);
    ASSERT_TRUE(decoded);
    Form3->Board.armPicture(StampPending, *decoded);
    stroke({{300, 200}});
    EXPECT_EQ(Form3->Image2->geometry(), QRect(300, 200, 40, 24));
    const TColor c = fromRgb(Form3->Image2->picture().pixel(20, 12));
    EXPECT_NEAR(static_cast<int>(c & 0xFF), 0x99, 3);
    EXPECT_NEAR(static_cast<int>(c >> 16), 0x33, 3);
}

TEST_F(FloatingPictureTest, ZoomStepsScaleFromThePictureBeforeTheFirstStep) {
    place(filledPicture({101, 33}, Blue), {100, 100});
    Form3->SpeedButton35Click();
    Form3->SpeedButton35Click();
    EXPECT_EQ(Form3->Image2->size(), QSize(227, 74));
    EXPECT_EQ(Form3->Board.zoomImageHeld(), 1);
    Form3->SpeedButton36Click();
    Form3->SpeedButton36Click();
    EXPECT_EQ(Form3->Image2->size(), QSize(101, 33));
    EXPECT_FLOAT_EQ(Form3->Board.zoomFactor(), 1.0f);
}

TEST_F(FloatingPictureTest, EnlargingKeepsThePictureOnTheScreen) {
    place(filledPicture({100, 100}, Blue), {sw() - 50, 100});
    Form3->SpeedButton35Click();
    EXPECT_EQ(Form3->Image2->geometry(), QRect(sw() - 150, 100, 150, 150));
    // Wider than the screen: half of the overhang stays on the left.
    stroke({{10, 700}});
    place(filledPicture({sw() - 100, 50}, Blue), {0, 200});
    Form3->SpeedButton35Click();
    const int w = Form3->Image2->width();
    EXPECT_EQ(w, roundHalfEven((sw() - 100) * 1.5));
    EXPECT_EQ(Form3->Image2->x(), (sw() - w) / 2);
}

TEST_F(FloatingPictureTest, AReducedSelectionLosesTwoPixelsOfFrame) {
    cutGreenSquare();
    Form3->SpeedButton36Click();
    const QRect r = Form3->Image2->geometry();
    EXPECT_EQ(r.size(), QSize(67, 67));
    stroke({{50, 600}});
    EXPECT_EQ(pagePixel(r.left() + 2, r.top() + 2), Green);
    EXPECT_EQ(pagePixel(r.left() + 1, r.top() + 1), Background);
}

TEST_F(FloatingPictureTest, ClearDeletesAFloatingSelectionOnlyThenThePage) {
    paintPage({600, 600, 700, 700}, Blue);
    cutGreenSquare();
    Form3->SpeedButton5Click();
    EXPECT_FALSE(Form3->Image2->isVisible());
    EXPECT_EQ(pagePixel(650, 650), Blue);
    EXPECT_EQ(pagePixel(250, 250), Background);
    Form3->SpeedButton5Click();
    EXPECT_EQ(pagePixel(650, 650), Background);
}

TEST_F(FloatingPictureTest, UndoAfterASelectionPutsTheCutRegionBack) {
    cutGreenSquare();
    Form3->SpeedButton4Click();
    EXPECT_FALSE(Form3->Image2->isVisible());
    EXPECT_EQ(pagePixel(250, 250), Green);
    EXPECT_EQ(surfacePixel(250, 250), Green);
}

// Whatever floats when a scan or another picture is placed goes into the page first: a cut
// selection back over its hole, an earlier picture where it was left.
TEST_F(FloatingPictureTest, APictureArrivingCommitsTheOneThatFloats) {
    cutGreenSquare();
    Form3->Board.placeFloatingPicture(filledPicture({50, 20}, Blue), {600, 35});
    EXPECT_EQ(pagePixel(250, 250), Green);
    EXPECT_EQ(surfacePixel(250, 250), Green);
    Form3->Board.placeFloatingPicture(filledPicture({50, 20}, Yellow), {600, 35});
    EXPECT_EQ(pagePixel(625, 45), Blue);
    EXPECT_EQ(fromRgb(Form3->Image2->picture().pixel(25, 10)), Yellow);
}

// A picture placed on a page (a stamp, an own picture, an import, a scan) is content of the
// page: a new page can follow it, whether the picture was committed by a press or still
// floats when the teacher turns.
TEST_F(FloatingPictureTest, APageWithOnlyAPlacedPictureHasContent) {
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"committed by a press",
         [this] {
             place(filledPicture({30, 30}, Blue), {400, 400});
             stroke({{100, 600}});
         }},
        {"still floating",
         [] {
             Form3->Board.placeFloatingPicture(filledPicture({30, 30}, Blue), {0, 35});
         }},
    };
    for (const auto& [what, placePicture] : ways) {
        SCOPED_TRACE(what);
        const int page = Form3->Board.pageCount();
        placePicture();
        Form3->SpeedButton12Click();
        EXPECT_EQ(Form3->Board.currentPage(), page + 1);
    }
}
