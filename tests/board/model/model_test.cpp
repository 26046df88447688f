// The board's model without any window: pages kept packed and brought back pixel for pixel,
// turning, the floating picture's commits, and what an untouched page costs.
#include "board/model/board_model.h"
#include "pictures.h"
#include "platform/raster/canvas.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr QSize Screen{640, 480};
constexpr TColor Background = 0x00400000;
constexpr TColor Ink = 0x000080FF;

class ModelTest : public ::testing::Test {
protected:
    BoardModel board;

    void SetUp() override {
        board.create(Screen, QStringLiteral("/nowhere/"));
        board.prepareCurrentPage();
    }

    // What a stroke leaves: the surface drawn on, then the release's commit.
    void drawStroke(const TRect& box, TColor colour) {
        QImage surface = board.current().copy();
        Canvas(surface).fillRect(box, colour);
        board.beginStroke(box.left, box.top, StrokeMargin);
        board.StrokeRight = box.right - 1;
        board.StrokeBottom = box.bottom - 1;
        board.commitStroke(surface);
        board.PageState[board.CurrentPage] = 2;
    }
};

} // namespace

TEST_F(ModelTest, APageLeftIsPackedAndComesBackPixelForPixel) {
    // Noise that does not compress, over a flat page that does.
    QImage original = board.current().copy();
    for (int y = 100; y < 200; ++y)
        for (int x = 0; x < Screen.width(); ++x)
            original.setPixel(x, y, qRgb((x * 7 + y) & 255, (x * y) & 255, (x ^ y) & 255));
    board.writePage(1, original);
    board.PageState[1] = 2;
    board.turnRight();
    board.settle();
    // Only the noise costs much once packed.
    EXPECT_LT(board.pageBytes(1), static_cast<std::size_t>(original.sizeInBytes()) / 4);
    EXPECT_EQ(board.pagePicture(1), original);
    // Single pixels read from the packed form, on both sides of the noise and at its corners.
    for (const QPoint p :
         {QPoint(0, 0), QPoint(639, 99), QPoint(3, 150), QPoint(639, 199), QPoint(639, 479)})
        EXPECT_EQ(board.pagePixel(1, p), pixelAt(original, p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_EQ(board.pagePixel(1, QPoint(640, 0)), std::nullopt);
    EXPECT_EQ(board.pageBackground(1), pixelAt(original, 639, 38));
    board.turnLeft();
    EXPECT_EQ(board.current(), original);
}

TEST_F(ModelTest, TurningMakesFilledPagesAndCarriesThePanelBounds) {
    board.PanelLeft[1] = 11;
    board.PanelHeight[1] = 222;
    board.turnRight(); // page 1 has no content: refused
    EXPECT_EQ(board.CurrentPage, 1);
    drawStroke({50, 50, 60, 60}, Ink);
    board.setBackgroundColour(0x00112233);
    board.turnRight();
    EXPECT_EQ(board.CurrentPage, 2);
    EXPECT_EQ(board.PageCount, 2);
    EXPECT_EQ(board.PageState[2], 0);
    EXPECT_EQ(pixelAt(board.current(), 5, 5), 0x00112233u);
    EXPECT_EQ(board.PanelLeft[2], 11);
    EXPECT_EQ(board.PanelHeight[2], 222);
    board.turnLeft();
    EXPECT_EQ(pixelAt(board.current(), 55, 55), Ink);
    EXPECT_EQ(pixelAt(board.current(), 5, 5), Background);
    board.turnLeft(); // at page 1: stays
    EXPECT_EQ(board.CurrentPage, 1);
}

TEST_F(ModelTest, FloatingPictureCommits) {
    QImage picture = makeBitmap(10, 10);
    picture.fill(toQColor(Ink));
    struct Case {
        const char* name;
        int placed;
        bool onPress;
        int firstInked; // the first column of the picture that reaches the page
    };
    for (const Case c :
         {Case{"placed, on a press", 1, true, 0}, Case{"selection, on a press", 0, true, 1},
          Case{"placed, plain", 1, false, 1}}) {
        SCOPED_TRACE(c.name);
        board.fill(1, Background);
        board.FloatPlaced = c.placed;
        board.ZoomFactor = 1.0f;
        board.showFloatingPicture(picture, {200, 200});
        if (c.onPress)
            board.commitFloatingPictureOnPress();
        else
            board.dropFloatingPicture();
        EXPECT_FALSE(board.floatingShown());
        const QImage& page = board.current();
        EXPECT_EQ(pixelAt(page, 200 + c.firstInked, 205), Ink);
        if (c.firstInked > 0) {
            EXPECT_EQ(pixelAt(page, 200, 205), Background);
        }
        EXPECT_EQ(board.BoardPaintMode, 1);
    }
}

// Every width asked for is held to 1..9, and only a change is announced.
TEST_F(ModelTest, PenWidthIsHeldToOneToNine) {
    int announced = 0;
    QObject::connect(&board, &BoardModel::penChanged, [&] { ++announced; });
    struct Case {
        int asked, held, announcedAfter;
    };
    for (const Case& c : {Case{12, 9, 1}, Case{10, 9, 1}, Case{0, 1, 2}, Case{-4, 1, 2},
                          Case{5, 5, 3}, Case{5, 5, 3}}) {
        board.setPenWidth(c.asked);
        EXPECT_EQ(board.PenWidth, c.held) << c.asked;
        EXPECT_EQ(announced, c.announcedAfter) << c.asked;
    }
}

TEST_F(ModelTest, ANeverDrawnPageCostsNothingUntilShown) {
    BoardModel fresh;
    fresh.create(Screen, QString());
    EXPECT_EQ(fresh.pageBytes(1), 0u); // made, not yet filled
    drawStroke({50, 50, 60, 60}, Ink);
    board.turnRight(); // page 2 is made, filled with the background
    board.turnLeft();
    board.settle();
    EXPECT_EQ(board.pageBytes(2), 0u); // held as one colour
    EXPECT_EQ(pixelAt(board.pagePicture(2), 300, 300), Background);
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
