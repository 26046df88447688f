// The canvas draws what a Windows device context draws, pixel for pixel: end points left out,
// right and bottom edges exclusive, dotted pens, clipping at every edge.
#include "platform/raster/canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr TColor kPen = 0x0000FF;   // red: blue and red swapped would show
constexpr TColor kBrush = 0x00FF00; // green
constexpr TColor kPaper = 0x808080; // what a test fills the picture with first

// The picture as rows of characters: '#' pen, 'b' brush, '.' paper, '?' anything else.
std::string art(const Canvas& canvas, int width, int height) {
    std::string out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const TColor c = canvas.pixel(x, y);
            out += c == kPen ? '#' : c == kBrush ? 'b' : c == kPaper ? '.' : '?';
        }
        out += '\n';
    }
    return out;
}

std::string lines(std::initializer_list<const char*> rows) {
    std::string out;
    for (const char* row : rows)
        out += std::string(row) + '\n';
    return out;
}

struct CanvasTest : ::testing::Test {
    QImage image = makeBitmap(12, 10);
    Canvas canvas{image};

    void SetUp() override {
        canvas.fillRect({0, 0, 12, 10}, kPaper);
        canvas.pen.color = kPen;
        canvas.brush.color = kBrush;
    }
    std::string picture() const { return art(canvas, image.width(), image.height()); }
    int count(TColor c) const {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += canvas.pixel(x, y) == c ? 1 : 0;
        return n;
    }
};

TEST(Bitmap, IsOpaqueBlackInTheDisplayFormat) {
    const QImage image = makeBitmap(5, 3);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0));
}

TEST_F(CanvasTest, ColoursAreStoredAsTheTColorSays) {
    canvas.setPixel(1, 1, rgbColor(10, 20, 30));
    EXPECT_EQ(image.pixel(1, 1), qRgb(10, 20, 30));
    EXPECT_EQ(canvas.pixel(1, 1), rgbColor(10, 20, 30));
}

TEST_F(CanvasTest, OutOfRangeReadsZeroAndWritesNothing) {
    const QImage before = image.copy();
    for (const QPoint p : {QPoint(-1, 0), QPoint(0, -1), QPoint(12, 0), QPoint(0, 10)}) {
        EXPECT_EQ(canvas.pixel(p.x(), p.y()), 0u);
        canvas.setPixel(p.x(), p.y(), kPen);
    }
    EXPECT_EQ(image, before);
}

TEST_F(CanvasTest, ThinLineDrawsFromItsStartUpToButNotItsEnd) {
    struct Case {
        QPoint from, to;
    };
    const Case cases[] = {
        {{1, 1}, {8, 1}},  {{8, 1}, {1, 1}}, {{2, 0}, {2, 9}}, {{1, 1}, {7, 7}},
        {{10, 2}, {1, 6}}, {{3, 9}, {5, 1}}, {{4, 4}, {4, 4}},
    };
    for (const Case& c : cases) {
        SetUp();
        canvas.moveTo(c.from.x(), c.from.y());
        canvas.lineTo(c.to.x(), c.to.y());
        SCOPED_TRACE(::testing::Message() << c.from.x() << "," << c.from.y() << " -> " << c.to.x()
                                          << "," << c.to.y() << "\n"
                                          << picture());
        EXPECT_EQ(canvas.penPosition(), c.to);
        EXPECT_EQ(canvas.pixel(c.to.x(), c.to.y()), kPaper);
        const int steps =
            std::max(std::abs(c.to.x() - c.from.x()), std::abs(c.to.y() - c.from.y()));
        EXPECT_EQ(count(kPen), steps);
        if (steps > 0) {
            EXPECT_EQ(canvas.pixel(c.from.x(), c.from.y()), kPen);
        }
    }
}

TEST_F(CanvasTest, JoinedThinLinesLeaveNoGapAndNoOverlap) {
    canvas.moveTo(1, 1);
    canvas.lineTo(9, 4);
    canvas.lineTo(2, 8);
    canvas.lineTo(2, 8); // a zero-length line draws nothing
    EXPECT_EQ(count(kPen), 8 + 7);
    EXPECT_EQ(canvas.pixel(9, 4), kPen);
    EXPECT_EQ(canvas.pixel(2, 8), kPaper);
}

TEST_F(CanvasTest, DottedThinLineAlternatesFromItsStartAndEveryCallStartsAfresh) {
    canvas.pen.style = PenStyle::Dot;
    canvas.moveTo(0, 1);
    canvas.lineTo(11, 1);
    canvas.moveTo(0, 3);
    canvas.lineTo(6, 9);
    canvas.lineTo(11, 4); // starts with a dot again, on the corner the first line left out
    EXPECT_EQ(picture(), lines({
                             "............",
                             "#.#.#.#.#.#.",
                             "............",
                             "#...........",
                             "............",
                             "..#.......#.",
                             "............",
                             "....#...#...",
                             "............",
                             "......#.....",
                         }));
}

TEST_F(CanvasTest, DottedLineGapsTakeTheBrushUnlessItIsClear) {
    canvas.pen.style = PenStyle::Dot;
    canvas.brush.clear = false;
    canvas.moveTo(0, 0);
    canvas.lineTo(6, 0);
    EXPECT_EQ(picture().substr(0, 13), "#b#b#b......\n");
}

TEST_F(CanvasTest, WidePenIsSolidEvenWhenDottedAndCoversItsEndPoint) {
    for (const PenStyle style : {PenStyle::Solid, PenStyle::Dot}) {
        SetUp();
        canvas.pen.width = 3;
        canvas.pen.style = style;
        canvas.moveTo(2, 4);
        canvas.lineTo(8, 4);
        EXPECT_EQ(picture(), lines({
                                 "............",
                                 "............",
                                 "............",
                                 ".#########..",
                                 ".#########..",
                                 ".#########..",
                                 "............",
                                 "............",
                                 "............",
                                 "............",
                             }));
    }
}

TEST_F(CanvasTest, WidePenIsItsWidthAcrossForOddAndEvenWidths) {
    for (const int width : {2, 3, 4, 5, 6}) {
        SetUp();
        canvas.pen.width = width;
        canvas.moveTo(6, 0);
        canvas.lineTo(6, 9);
        SCOPED_TRACE(::testing::Message() << "width " << width << "\n" << picture());
        int across = 0;
        for (int x = 0; x < 12; ++x)
            across += canvas.pixel(x, 5) == kPen ? 1 : 0;
        EXPECT_EQ(across, width);
        EXPECT_EQ(canvas.pixel(6, 9), kPen); // the end point's cap
    }
}

TEST_F(CanvasTest, WidePenDotAtASinglePointIsARoundDisc) {
    canvas.pen.width = 5;
    canvas.moveTo(5, 5);
    canvas.lineTo(5, 5);
    EXPECT_EQ(picture(), lines({
                             "............",
                             "............",
                             "............",
                             "....###.....",
                             "...#####....",
                             "...#####....",
                             "...#####....",
                             "....###.....",
                             "............",
                             "............",
                         }));
}

TEST_F(CanvasTest, RectangleOutlineIsInsideTheBoxAndTheClearBrushLeavesTheInside) {
    canvas.rectangle(9, 7, 2, 1); // corners in either order
    EXPECT_EQ(picture(), lines({
                             "............",
                             "..#######...",
                             "..#.....#...",
                             "..#.....#...",
                             "..#.....#...",
                             "..#.....#...",
                             "..#######...",
                             "............",
                             "............",
                             "............",
                         }));
}

TEST_F(CanvasTest, RectangleWithASolidBrushFillsInsideTheOutline) {
    canvas.brush.clear = false;
    canvas.rectangle(1, 1, 6, 5);
    EXPECT_EQ(picture(), lines({
                             "............",
                             ".#####......",
                             ".#bbb#......",
                             ".#bbb#......",
                             ".#####......",
                             "............",
                             "............",
                             "............",
                             "............",
                             "............",
                         }));
}

TEST_F(CanvasTest, DottedRectangleRunsItsPatternOnAroundTheCorners) {
    canvas.pen.style = PenStyle::Dot;
    canvas.rectangle(1, 1, 7, 6);
    EXPECT_EQ(picture(), lines({
                             "............",
                             ".#.#.#......",
                             "......#.....",
                             ".#..........",
                             "......#.....",
                             ".#.#.#......",
                             "............",
                             "............",
                             "............",
                             "............",
                         }));
}

TEST_F(CanvasTest, ThinAndEmptyRectangles) {
    canvas.rectangle(1, 1, 2, 5); // one pixel wide: a line with both ends
    canvas.rectangle(4, 2, 9, 3); // one pixel high
    canvas.rectangle(6, 6, 7, 7); // a single pixel
    canvas.rectangle(9, 5, 9, 9); // no width: nothing
    EXPECT_EQ(picture(), lines({
                             "............",
                             ".#..........",
                             ".#..#####...",
                             ".#..........",
                             ".#..........",
                             "............",
                             "......#.....",
                             "............",
                             "............",
                             "............",
                         }));
}

TEST_F(CanvasTest, WideRectangleOutlineIsCentredOnTheBoxEdge) {
    canvas.pen.width = 3;
    canvas.rectangle(3, 2, 10, 9);
    // The left edge is column 3: the pen covers 2..4, the inside from 5 is untouched.
    EXPECT_EQ(picture().substr(13 * 5, 13), "..###...###.\n");
}

TEST_F(CanvasTest, EllipseIsInscribedInItsBox) {
    const TRect box{1, 2, 11, 9};
    for (const bool clear : {true, false}) {
        SetUp();
        canvas.brush.clear = clear;
        canvas.ellipse(box.left, box.top, box.right, box.bottom);
        SCOPED_TRACE(picture());
        int left = 99, right = -1, top = 99, bottom = -1;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                if (canvas.pixel(x, y) == kPaper)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        EXPECT_EQ(left, box.left);
        EXPECT_EQ(right, box.right - 1);
        EXPECT_EQ(top, box.top);
        EXPECT_EQ(bottom, box.bottom - 1);
        // The ring is closed: the middle row and column each cross it exactly twice.
        EXPECT_EQ(canvas.pixel(box.left, 5), kPen);
        EXPECT_EQ(canvas.pixel(box.right - 1, 5), kPen);
        EXPECT_EQ(canvas.pixel(5, 5), clear ? kPaper : kBrush);
        EXPECT_EQ(canvas.pixel(box.left, box.top), kPaper); // corners stay outside
    }
}

TEST_F(CanvasTest, FillRectIsClippedAndLeavesRightAndBottomOut) {
    struct Case {
        TRect rect;
        int filled;
    };
    const Case cases[] = {
        {{2, 3, 5, 7}, 3 * 4},     {{-4, -4, 2, 3}, 2 * 3}, {{10, 8, 20, 20}, 2 * 2},
        {{-5, 4, 30, 5}, 12},      {{12, 0, 20, 10}, 0},    {{5, 5, 3, 8}, 0},
        {{0, 0, 12, 10}, 12 * 10},
    };
    for (const Case& c : cases) {
        SetUp();
        canvas.fillRect(c.rect, kBrush);
        SCOPED_TRACE(picture());
        EXPECT_EQ(count(kBrush), c.filled);
        const TRect inside = c.rect.intersected({0, 0, 12, 10});
        if (!inside.isEmpty()) {
            EXPECT_EQ(canvas.pixel(inside.left, inside.top), kBrush);
            EXPECT_EQ(canvas.pixel(inside.right - 1, inside.bottom - 1), kBrush);
        }
    }
}

// A source whose every pixel differs, so a copy from the wrong place shows.
QImage numbered(int width, int height) {
    QImage image = makeBitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x + 1, y + 1, 0x40));
    return image;
}

TEST(CanvasCopy, CopyRectCopiesExactlyTheIntersectionOfBothPictures) {
    const QImage source = numbered(9, 7); // smaller than the target on purpose
    const TRect rects[] = {
        {2, 1, 6, 5},       {-3, -2, 4, 3},   {5, 4, 30, 30},
        {-10, -10, 40, 40}, {20, 20, 25, 25}, {8, 6, 9, 7},
    };
    for (const TRect& rect : rects) {
        QImage target = makeBitmap(12, 10);
        Canvas canvas(target);
        canvas.copyRect(source, rect);
        const TRect copied = rect.intersected({0, 0, 9, 7}).intersected({0, 0, 12, 10});
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                const bool in =
                    x >= copied.left && x < copied.right && y >= copied.top && y < copied.bottom;
                ASSERT_EQ(target.pixel(x, y), in ? source.pixel(x, y) : qRgb(0, 0, 0))
                    << "rect " << rect.left << "," << rect.top << "," << rect.right << ","
                    << rect.bottom << " pixel " << x << "," << y;
            }
    }
}

TEST(CanvasCopy, CopyFromAPictureWithAlphaKeepsTheTargetOpaque) {
    QImage source(4, 4, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 0));
    QImage target = makeBitmap(4, 4);
    Canvas canvas(target);
    canvas.copyRect(source, {0, 0, 4, 4});
    EXPECT_EQ(target.format(), QImage::Format_RGB32);
    EXPECT_EQ(target.pixel(2, 2), qRgb(10, 20, 30));
    EXPECT_EQ(qAlpha(reinterpret_cast<const QRgb*>(target.constScanLine(2))[2]), 255);
}

TEST(CanvasCopy, CopyLeavesASharedSourceUntouched) {
    QImage target = makeBitmap(6, 6);
    const QImage snapshot = target; // shares the pixels until one side writes
    QImage source = numbered(6, 6);
    Canvas canvas(target);
    canvas.copyRect(source, {0, 0, 6, 6});
    EXPECT_EQ(snapshot.pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(3, 3), source.pixel(3, 3));
}

TEST(CanvasCopy, StretchCopyOfEqualSizesMovesThePixels) {
    const QImage source = numbered(8, 8);
    QImage target = makeBitmap(8, 8);
    Canvas canvas(target);
    canvas.stretchCopy(source, {1, 2, 4, 4}, {5, 6, 8, 8});
    EXPECT_EQ(target.pixel(5, 6), source.pixel(1, 2));
    EXPECT_EQ(target.pixel(7, 7), source.pixel(3, 3));
    EXPECT_EQ(target.pixel(4, 6), qRgb(0, 0, 0));
}

TEST(CanvasCopy, StretchCopyWithinOnePictureHandlesOverlap) {
    // Shifting a block one row down and right inside the same picture, as scrolling does.
    QImage image = numbered(8, 8);
    const QImage before = image.copy();
    Canvas canvas(image);
    canvas.stretchCopy(image, {0, 0, 6, 6}, {1, 1, 7, 7});
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 7; ++x)
            ASSERT_EQ(image.pixel(x, y), before.pixel(x - 1, y - 1)) << x << "," << y;
}

TEST(CanvasCopy, StretchCopyScalesByPixelRepetition) {
    const QImage source = numbered(2, 2);
    QImage target = makeBitmap(6, 6);
    Canvas canvas(target);
    canvas.stretchCopy(source, {0, 0, 2, 2}, {1, 1, 5, 5});
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x)
            ASSERT_EQ(target.pixel(x, y), source.pixel((x - 1) / 2, (y - 1) / 2)) << x << "," << y;
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(5, 5), qRgb(0, 0, 0));
}

TEST(CanvasCopy, DrawImageIsClippedAtEveryEdge) {
    const QImage source = numbered(4, 4);
    QImage target = makeBitmap(5, 5);
    Canvas canvas(target);
    canvas.drawImage(-2, 3, source);
    EXPECT_EQ(target.pixel(0, 3), source.pixel(2, 0));
    EXPECT_EQ(target.pixel(1, 4), source.pixel(3, 1));
    EXPECT_EQ(target.pixel(2, 3), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(0, 2), qRgb(0, 0, 0));
}

} // namespace
