// The board's undo history: every kind of change taken back and done again pixel for pixel,
// many steps on a page, a page's history across turns, what starts it afresh, and its bound.
#include "board/model/board_model.h"
#include "pictures.h"
#include "platform/raster/canvas.h"

#include <functional>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr QSize Screen{640, 480};
constexpr TColor Background = 0x00400000;
constexpr TColor Ink = 0x000080FF;
constexpr TColor Blue = 0x00FF0000;

class HistoryTest : public ::testing::Test {
protected:
    BoardModel board;

    void SetUp() override {
        board.create(Screen, QStringLiteral("/nowhere/"));
        board.setBackgroundColour(Background);
        board.prepareCurrentPage();
    }

    // What a stroke leaves: the surface drawn on, then the release's commit.
    void drawStroke(const TRect& box, TColor colour) {
        QImage surface = board.current().copy();
        Canvas(surface).fillRect(box, colour);
        board.beginStroke(box.left, box.top, StrokeMargin);
        board.extendStroke(box.right - 1, box.bottom - 1);
        board.markContent(board.currentPage());
        board.commitStroke(surface);
    }

    QImage page() { return board.current().copy(); }
};

struct Change {
    const char* name;
    std::function<void(BoardModel&)> make;
};

} // namespace

TEST_F(HistoryTest, EveryKindOfChangeIsUndoneAndRedonePixelForPixel) {
    const QImage picture = filledPicture({50, 40}, Blue);
    const std::vector<Change> changes{
        {"stroke",
         [this](BoardModel&) {
             drawStroke({100, 100, 300, 110}, Blue);
         }},
        {"clear", [](BoardModel& b) { b.clearCurrentPage(); }},
        {"background fill", [](BoardModel& b) { b.fill(b.currentPage(), Blue); }},
        {"placed picture",
         [&picture](BoardModel& b) {
             b.placeFloatingPicture(picture, {90, 95});
             b.commitFloatingPictureOnPress();
         }},
        {"panel baked",
         [&picture](BoardModel& b) {
             b.bakePanel(picture, {80, 90, 130, 130});
         }},
        {"panel pinned",
         [&picture](BoardModel& b) {
             b.pinPanel(picture, {80, 90, 130, 130}, Background);
         }},
        {"annotation sent",
         [](BoardModel& b) {
             const QImage whole = filledPicture(Screen, Blue);
             b.sendToCurrentPage(&whole, {}, {});
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        board.setPageState(1, PageNeverPrepared); // the page shown afresh
        SetUp();
        drawStroke({50, 50, 120, 120}, Ink); // something for each change to change
        const QImage before = page();
        const int stateBefore = board.pageState(1);
        change.make(board);
        const QImage after = page();
        const int stateAfter = board.pageState(1);
        ASSERT_NE(after, before);
        board.undo();
        EXPECT_EQ(page(), before);
        EXPECT_EQ(board.pageState(1), stateBefore);
        board.redo();
        EXPECT_EQ(page(), after);
        EXPECT_EQ(board.pageState(1), stateAfter);
        board.undo();
        board.undo(); // and the stroke before it
        EXPECT_EQ(pixelAt(page(), 60, 60), Background);
    }
}

TEST_F(HistoryTest, SixtyStrokesThenFiftyUndosLeaveTheFirstTen) {
    std::vector<QImage> after;
    for (int i = 0; i < 60; ++i) {
        drawStroke({10 + i * 10, 50 + i * 5, 18 + i * 10, 90 + i * 5}, i % 2 ? Ink : Blue);
        after.push_back(page());
    }
    for (int i = 0; i < 50; ++i)
        board.undo();
    EXPECT_EQ(page(), after[9]);
    for (int i = 0; i < 50; ++i)
        board.redo();
    EXPECT_EQ(page(), after[59]);
    EXPECT_FALSE(board.canRedo());
}

TEST_F(HistoryTest, ANewChangeEndsWhatCouldBeRedone) {
    drawStroke({50, 50, 60, 60}, Ink);
    board.undo();
    EXPECT_TRUE(board.canRedo());
    drawStroke({100, 100, 110, 110}, Ink);
    EXPECT_FALSE(board.canRedo());
    board.redo(); // nothing
    EXPECT_EQ(pixelAt(page(), 55, 55), Background);
    EXPECT_EQ(pixelAt(page(), 105, 105), Ink);
}

TEST_F(HistoryTest, EachPageKeepsItsHistoryAcrossTurns) {
    drawStroke({50, 50, 60, 60}, Ink);
    board.turnRight();
    ASSERT_EQ(board.currentPage(), 2);
    EXPECT_FALSE(board.canUndo());
    drawStroke({100, 100, 110, 110}, Blue);
    board.turnLeft();
    board.undo();
    EXPECT_EQ(pixelAt(page(), 55, 55), Background);
    board.turnRight();
    EXPECT_EQ(pixelAt(page(), 105, 105), Blue);
    board.undo();
    EXPECT_EQ(pixelAt(page(), 105, 105), Background);
    board.turnLeft();
    board.redo();
    EXPECT_EQ(pixelAt(page(), 55, 55), Ink);
}

TEST_F(HistoryTest, OpeningALessonOrCreatingTheBoardStartsAFreshHistory) {
    drawStroke({50, 50, 60, 60}, Ink);
    board.pagesReplaced(1);
    EXPECT_FALSE(board.canUndo());
    drawStroke({50, 50, 60, 60}, Ink);
    board.create(Screen, QStringLiteral("/nowhere/"));
    EXPECT_FALSE(board.canUndo());
    EXPECT_EQ(board.history().heldBytes(), 0u);
}

TEST_F(HistoryTest, UndoTakesAPictureStillFloatingAwayAndNothingElse) {
    drawStroke({50, 50, 60, 60}, Ink);
    board.placeFloatingPicture(filledPicture({20, 20}, Blue), {200, 200});
    board.undo();
    EXPECT_FALSE(board.floatingShown());
    EXPECT_EQ(pixelAt(page(), 55, 55), Ink);
    EXPECT_EQ(pixelAt(page(), 210, 210), Background);
    board.undo();
    EXPECT_EQ(pixelAt(page(), 55, 55), Background);
}

TEST_F(HistoryTest, AReleaseThatChangesNothingIsNoStep) {
    drawStroke({50, 50, 60, 60}, Ink);
    board.beginStroke(200, 200, StrokeMargin); // a click: the surface is the page
    board.commitStroke(board.current().copy());
    board.undo();
    EXPECT_EQ(pixelAt(page(), 55, 55), Background); // the stroke, not the click
}

TEST_F(HistoryTest, TheFirstFillingOfAPageIsNoStep) {
    EXPECT_FALSE(board.canUndo()); // SetUp's page filled before it was first shown
    board.fill(1, Blue);           // a page never shown
    EXPECT_FALSE(board.canUndo());
}

// A picture that does not compress, so that steps cost what their rectangles hold.
TEST(PageHistoryBound, TheOldestStepsGoFirstAcrossPages) {
    QImage noise(200, 200, QImage::Format_RGB32);
    std::uint32_t seed = 1;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    PageHistory probe;
    probe.record(1, noise, {0, 0, 200, 200}, 2);
    const std::size_t oneStep = probe.heldBytes();
    PageHistory history(oneStep * 5 / 2);
    for (int page : {1, 2, 1, 2, 1}) {
        history.record(page, noise, {0, 0, 200, 200}, 2);
        EXPECT_LE(history.heldBytes(), history.bound());
    }
    // Two of the five fit: page 1's last and page 2's last.
    EXPECT_EQ(history.undoSteps(1) + history.undoSteps(2), 2u);
    EXPECT_EQ(history.undoSteps(1), 1u);
    QImage picture = noise.copy();
    int state = 2;
    EXPECT_TRUE(history.undo(1, picture, state));
    EXPECT_FALSE(history.undo(1, picture, state));
}

// A pin undone is no pin: erasing gives the background, not the picture that undo took away.
// Redone, erasing restores the picture again.
TEST_F(HistoryTest, APinUndoneNoLongerComesBackWhereErased) {
    const QImage picture = filledPicture({50, 40}, Blue);
    board.pinPanel(picture, {80, 90, 130, 130}, Background);
    const auto eraseOverPanel = [this] {
        board.beginStroke(70, 80, 0);
        board.extendStroke(140, 140);
        board.eraseStrokeBox(Background);
    };
    board.undo();
    ASSERT_EQ(pixelAt(page(), 100, 100), Background);
    eraseOverPanel();
    EXPECT_EQ(pixelAt(page(), 100, 100), Background);
    EXPECT_EQ(board.backdropActive(), 0);

    SetUp();
    board.pinPanel(picture, {80, 90, 130, 130}, Background);
    board.undo();
    board.redo();
    drawStroke({90, 95, 120, 125}, Ink);
    eraseOverPanel();
    EXPECT_EQ(pixelAt(page(), 100, 100), Blue);
}
