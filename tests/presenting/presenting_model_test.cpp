// The presenting tools without a window: what the spotlight darkens, where the curtain's edge
// goes, what the loupe shows, and that none of them changes the picture beneath.
#include "presenting/model/presenting_model.h"
#include "presenting/model/presenting_painter.h"

#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>

using namespace presenting;

namespace {

const QRect Area(0, 40, 800, 560);

// A page of distinct pixels, so that a loupe showing the wrong one is seen.
QImage patternPage() {
    QImage page(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            page.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)));
    return page;
}

QImage flatPage(QRgb colour) {
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(colour);
    return page;
}

// The page with the tools drawn over it, as the window shows it; the page itself is only read.
QImage shown(const PresentingModel& model, const QImage& page) {
    QImage frame = page.copy();
    QPainter painter(&frame);
    paintTools(painter, model, page, frame.rect());
    return frame;
}

void drag(PresentingModel& model, QPoint from, QPoint to) {
    ASSERT_TRUE(model.press(from));
    model.move(from + (to - from) / 2);
    model.move(to);
    model.release();
}

} // namespace

TEST(Spotlight, DarkensAllButTheCircleAndLeavesThePage) {
    PresentingModel model;
    model.setArea(Area);
    model.open(Tool::Spotlight);
    const Spotlight& spot = model.spotlight();
    ASSERT_EQ(spot.centre, Area.center());
    const QImage page = flatPage(qRgb(250, 100, 50));
    const QImage before = page.copy();
    const QImage frame = shown(model, page);
    const int r = spot.radius;
    const QPoint c = spot.centre;
    struct Case {
        QPoint at;
        bool clear;
    } cases[] = {
        {c, true},
        {c + QPoint(r - 3, 0), true},
        {c + QPoint(0, -(r - 3)), true},
        {c + QPoint(r + 3, 0), false},
        {c + QPoint(r, r), false}, // the bounds' corner, outside the circle
        {Area.topLeft() + QPoint(5, 5), false},
        {Area.bottomRight() - QPoint(5, 5), false},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(spot.isClear(k.at), k.clear) << k.at.x() << "," << k.at.y();
        const QColor got(frame.pixel(k.at));
        if (k.clear) {
            EXPECT_EQ(got.rgb(), page.pixel(k.at)) << k.at.x() << "," << k.at.y();
        } else {
            // 80 % black: a fifth of the page's colour is left.
            EXPECT_NEAR(got.red(), 50, 1) << k.at.x() << "," << k.at.y();
            EXPECT_NEAR(got.green(), 20, 1);
            EXPECT_NEAR(got.blue(), 10, 1);
        }
    }
    // Above the area (the title bar) nothing is darkened.
    EXPECT_EQ(frame.pixel(5, 5), page.pixel(5, 5));
    EXPECT_EQ(page, before);
}

TEST(Spotlight, MovesWithThePenAndResizesFromItsRim) {
    PresentingModel model;
    model.setArea(Area);
    model.open(Tool::Spotlight);
    const QPoint c = model.spotlight().centre;
    const int r = model.spotlight().radius;
    // Inside: the circle follows the pen's movement.
    drag(model, c + QPoint(10, 10), c + QPoint(60, -20));
    EXPECT_EQ(model.spotlight().centre, c + QPoint(50, -30));
    EXPECT_EQ(model.spotlight().radius, r);
    // On the rim: the radius follows the pen's distance from the centre.
    const QPoint c2 = model.spotlight().centre;
    drag(model, c2 + QPoint(r, 0), c2 + QPoint(r + 40, 0));
    EXPECT_EQ(model.spotlight().centre, c2);
    EXPECT_EQ(model.spotlight().radius, r + 40);
    // Never smaller than its least size, never off the area.
    drag(model, c2 + QPoint(r + 40, 0), c2);
    EXPECT_EQ(model.spotlight().radius, Spotlight::MinRadius);
    drag(model, c2, c2 + QPoint(-5000, -5000));
    EXPECT_EQ(model.spotlight().centre, Area.topLeft());
}

TEST(Shade, EachDragDirectionTakesItsEdgeAndThePageShowsBeyondIt) {
    const QImage page = flatPage(qRgb(255, 255, 255));
    const QImage before = page.copy();
    struct Case {
        const char* direction;
        QPoint drag;
        QRect curtain;
    } cases[] = {
        {"down", {0, 120}, Area.adjusted(0, 120, 0, 0)},
        {"up", {0, -120}, Area.adjusted(0, 0, 0, -120)},
        {"right", {200, 3}, Area.adjusted(200, 0, 0, 0)},
        {"left", {-200, -3}, Area.adjusted(0, 0, -200, 0)},
        // As far as it goes: a strip of the least size is left to take hold of.
        {"down, past the end",
         {0, 5000},
         QRect(Area.left(), Area.bottom() + 1 - Shade::MinCurtain, Area.width(),
               Shade::MinCurtain)},
    };
    for (const Case& k : cases) {
        PresentingModel model;
        model.setArea(Area);
        model.open(Tool::Shade);
        ASSERT_EQ(model.shade().curtain, Area);
        const QPoint from = Area.center();
        drag(model, from, from + k.drag);
        EXPECT_EQ(model.shade().curtain, k.curtain) << k.direction;
        const QImage frame = shown(model, page);
        // The curtain's edge pixels are its own, the pixels just beyond are the page's.
        const QRect c = model.shade().curtain;
        const QPoint inside = k.drag.y() > 3    ? QPoint(c.center().x(), c.top())
                              : k.drag.y() < -3 ? QPoint(c.center().x(), c.bottom())
                              : k.drag.x() > 0  ? QPoint(c.left(), c.center().y())
                                                : QPoint(c.right(), c.center().y());
        const QPoint outside = inside + (k.drag.y() > 3    ? QPoint(0, -1)
                                         : k.drag.y() < -3 ? QPoint(0, 1)
                                         : k.drag.x() > 0  ? QPoint(-1, 0)
                                                           : QPoint(1, 0));
        EXPECT_NE(frame.pixel(inside), page.pixel(inside)) << k.direction;
        EXPECT_EQ(qAlpha(frame.pixel(inside)), 255);
        EXPECT_EQ(frame.pixel(outside), page.pixel(outside)) << k.direction;
        // Opaque: the middle of the curtain is one colour whatever the page.
        EXPECT_EQ(frame.pixel(c.center()), shown(model, patternPage()).pixel(c.center()));
    }
    EXPECT_EQ(page, before);
}

TEST(Shade, DraggingBackCoversThePageAgain) {
    PresentingModel model;
    model.setArea(Area);
    model.open(Tool::Shade);
    const QPoint from = Area.center();
    ASSERT_TRUE(model.press(from));
    model.move(from + QPoint(0, 150));
    model.move(from + QPoint(0, 40));
    model.release();
    EXPECT_EQ(model.shade().curtain, Area.adjusted(0, 40, 0, 0));
}

TEST(Magnifier, ShowsTheSourceTwiceAsLargeWithoutSmoothing) {
    const QImage page = patternPage();
    const QImage before = page.copy();
    Magnifier loupe;
    loupe.centre = {400, 300};
    const QImage picture = loupePicture(loupe, page);
    ASSERT_EQ(picture.size(), QSize(2 * loupe.radius, 2 * loupe.radius));
    const QPoint from = loupe.sourceRect().topLeft();
    // Every source pixel fills a 2 x 2 block; the loupe's middle shows its centre.
    for (const QPoint& s :
         {QPoint(0, 0), QPoint(1, 0), QPoint(17, 31), QPoint(54, 55), QPoint(109, 109)}) {
        for (const QPoint& d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
            const QPoint shownAt = s * 2 + d;
            EXPECT_EQ(picture.pixel(shownAt), page.pixel(from + s))
                << s.x() << "," << s.y() << " +" << d.x() << "," << d.y();
            EXPECT_EQ(loupe.sourceOf(loupe.bounds().topLeft() + shownAt), from + s);
        }
    }
    EXPECT_EQ(picture.pixel(loupe.radius, loupe.radius), page.pixel(loupe.centre));
    EXPECT_EQ(page, before);
}

TEST(Magnifier, IsBlackWhereItsSquareLeavesThePicture) {
    const QImage page = flatPage(qRgb(200, 200, 200));
    Magnifier loupe;
    loupe.centre = {10, 10};
    const QImage picture = loupePicture(loupe, page);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(loupe.radius, loupe.radius), qRgb(200, 200, 200));
}

TEST(Magnifier, InTheWindowShowsThePageUnderItEnlargedAndFollowsThePen) {
    PresentingModel model;
    model.setArea(Area);
    model.open(Tool::Magnifier);
    const QImage page = patternPage();
    const QImage before = page.copy();
    drag(model, model.magnifier().centre, QPoint(300, 250));
    ASSERT_EQ(model.magnifier().centre, QPoint(300, 250));
    const QImage frame = shown(model, page);
    const Magnifier& loupe = model.magnifier();
    for (const QPoint& offset : {QPoint(0, 0), QPoint(-40, 20), QPoint(33, -61)}) {
        const QPoint at = loupe.centre + offset;
        EXPECT_EQ(frame.pixel(at), page.pixel(loupe.sourceOf(at)))
            << offset.x() << "," << offset.y();
    }
    // Beside the loupe the page shows as it is, and presses there reach the page.
    const QPoint beside = loupe.centre + QPoint(loupe.radius + 60, 0);
    EXPECT_EQ(frame.pixel(beside), page.pixel(beside));
    EXPECT_FALSE(model.pressRegion().contains(beside));
    EXPECT_FALSE(model.press(beside));
    EXPECT_EQ(page, before);
}

TEST(PresentingModel, EachToolClosesFromItsOwnMarkOnly) {
    for (Tool tool : {Tool::Spotlight, Tool::Shade, Tool::Magnifier}) {
        PresentingModel model;
        model.setArea(Area);
        for (Tool t : {Tool::Spotlight, Tool::Shade, Tool::Magnifier})
            model.open(t);
        // The loupe taken aside, off the spotlight's mark.
        drag(model, model.magnifier().centre, Area.topLeft() + QPoint(200, 200));
        const QRect mark = tool == Tool::Spotlight ? model.spotlight().closeMark(Area)
                           : tool == Tool::Shade   ? model.shade().closeMark()
                                                   : model.magnifier().closeMark(Area);
        ASSERT_TRUE(Area.contains(mark));
        EXPECT_TRUE(model.press(mark.center()));
        model.release();
        for (Tool t : {Tool::Spotlight, Tool::Shade, Tool::Magnifier})
            EXPECT_EQ(model.isOpen(t), t != tool) << static_cast<int>(tool) << static_cast<int>(t);
    }
}

TEST(PresentingModel, ThePageTakesPressesBesideTheCurtainButNotUnderTheSpotlight) {
    PresentingModel model;
    model.setArea(Area);
    model.open(Tool::Shade);
    drag(model, Area.center(), Area.center() + QPoint(0, 200));
    const QPoint revealed = Area.topLeft() + QPoint(100, 100);
    EXPECT_FALSE(model.pressRegion().contains(revealed));
    EXPECT_FALSE(model.press(revealed));
    model.open(Tool::Spotlight);
    EXPECT_TRUE(model.pressRegion().contains(revealed));
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
