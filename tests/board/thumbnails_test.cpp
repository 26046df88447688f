// The thumbnail strip: what it shows, how it scrolls, and the page chosen from it.
#include "panel_fixture.h"
#include "platform/raster/rich_text.h"

#include <QScrollBar>
#include <QTest>
#include <functional>

using namespace platform;

namespace {

TColor stripPixel(int x, int y) {
    return fromRgb(Form3->Image3->picture().pixel(x, y));
}

} // namespace

TEST_F(PanelFixture, OnePageShowsItsPageBesideABackgroundHalf) {
    paintPage({200, 200, 400, 400}, Blue);
    Form3->SpeedButton1Click();
    ASSERT_TRUE(Form3->Panel5->isVisible());
    EXPECT_EQ(Form3->Panel5->geometry(), QRect(0, sh() / 2 - 18, sw(), sh() / 2 + 18));
    EXPECT_EQ(Form3->Image3->geometry(), QRect(0, 18, sw(), sh() / 2));
    EXPECT_EQ(Form3->Edit3->text(), QStringLiteral(" 1"));
    EXPECT_EQ(Form3->ScrollBar1->maximum(), 1);
    EXPECT_EQ(stripPixel(150, 150), Blue);
    EXPECT_EQ(stripPixel(50, 50), Background);
    EXPECT_EQ(stripPixel(sw() / 2 + 150, 150), Background);
    EXPECT_EQ(stripPixel(sw() / 2, 100), clBlack);
    // Pressed again while open, it only flips the bar row.
    Form3->SpeedButton1Click();
    EXPECT_EQ(Form3->Panel5->geometry(), QRect(0, sh() / 2, sw(), sh() / 2));
    EXPECT_EQ(Form3->Panel6->height(), 1);
    Form3->SpeedButton30Click();
    EXPECT_TRUE(Form3->Panel5->isHidden());
}

TEST_F(PanelFixture, TheClickChoosesTheLeftPageOrTheRightOneWhenThereIsOne) {
    makePages(3);
    struct Case {
        int from;   // the page the strip is opened on
        int x;      // where it is clicked
        int chosen; // the page shown then
    } const cases[] = {{1, 100, 1}, {1, 700, 2}, {3, 100, 3}, {3, 700, 3}};
    for (const Case& c : cases) {
        Form3->Board.choosePage(c.from);
        Form3->SpeedButton1Click();
        Form3->Image3MouseUp(Qt::LeftButton, c.x, 50);
        EXPECT_EQ(Form3->Board.currentPage(), c.chosen) << c.from << " " << c.x;
        EXPECT_EQ(Form3->Edit2->text(), QString::number(c.chosen));
        EXPECT_TRUE(Form3->Panel5->isHidden());
    }
}

TEST_F(PanelFixture, ArrowsMoveTwoPagesInTwoPageViewAndOneInHalfPageView) {
    makePages(6);
    Form3->Board.choosePage(1);
    Form3->SpeedButton1Click();
    Form3->ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Form3->ScrollBar1->value(), 3);
    EXPECT_EQ(Form3->Edit3->text(), QStringLiteral(" 3"));
    Form3->SpeedButton28Click();
    Form3->ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Form3->ScrollBar1->value(), 4);
    Form3->SpeedButton27Click();
    Form3->ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Form3->ScrollBar1->value(), 2);
}

// Each scroll ends with the finer renders, an arrow's as well as the thumb's.
TEST_F(PanelFixture, AnArrowClickEndsWithTheRenders) {
    makePages(4);
    Form3->Board.fill(4, Green);
    Form3->Board.choosePage(1);
    Form3->SpeedButton1Click();
    Form3->StripRightBitmap = QImage();
    QScrollBar* bar = Form3->ScrollBar1;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), 3);
    ASSERT_FALSE(Form3->StripRightBitmap.isNull());
    EXPECT_EQ(fromRgb(Form3->StripRightBitmap.pixel(10, 10)), Green);
    // The divider follows page P's background: black on a black page is drawn white.
    Form3->Board.fill(1, clBlack);
    Form3->ScrollBar1->setValue(1);
    EXPECT_EQ(stripPixel(sw() / 2, 100), clWhite);
}

// The teacher holds the thumb or an arrow: the strip follows all the way, and the hold is not
// ended by the strip's redrawing at each step.
TEST_F(PanelFixture, TheThumbDragsAndAHeldArrowRepeats) {
    makePages(30);
    Form3->Board.choosePage(1);
    Form3->SpeedButton1Click();
    QScrollBar* bar = Form3->ScrollBar1;
    const QPoint thumb(bar->height() + 4, bar->height() / 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
    for (int dx = 10; dx <= 130; dx += 10)
        QTest::mouseMove(bar, thumb + QPoint(dx, 0));
    EXPECT_GT(bar->value(), 5) << "dragged 130 px";
    EXPECT_TRUE(bar->isSliderDown()) << "still held";
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(130, 0));
    EXPECT_EQ(Form3->Edit3->text(), QStringLiteral(" ") + QString::number(bar->value()));

    bar->setValue(1);
    const QPoint rightArrow(bar->width() - 4, bar->height() / 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, rightArrow);
    EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->value() > 3; }, 5000))
        << "a held arrow repeats";
    QTest::mouseRelease(bar, Qt::LeftButton, {}, rightArrow);
    EXPECT_TRUE(Form3->Panel6->isVisible());
}

// The faults mended in the strip and the panel, each on a board of its own.
class Faults;
struct FaultCase {
    const char* name;
    std::function<void(Faults&)> run;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class Faults : public PanelFixture, public ::testing::WithParamInterface<FaultCase> {
public:
    using PanelFixture::Background;
    using PanelFixture::Blue;
    using PanelFixture::fakes;
    using PanelFixture::Green;
    using PanelFixture::Ink;
    using PanelFixture::makePages;
    using PanelFixture::openPanel;
    using PanelFixture::pagePixel;
    using PanelFixture::paintPage;
    using PanelFixture::stroke;
    using PanelFixture::views;
};

TEST_P(Faults, AreMended) {
    GetParam().run(*this);
}

namespace {

const QRect Place(500, 100, 300, 200);

const FaultCase faults[] = {
    {"ChoosingAPageSavesThePanelOfThePageLeft",
     [](Faults& t) {
         t.makePages(2);
         t.openPanel(Place);
         Form3->SpeedButton1Click();
         Form3->RichEdit1->setPlainText(QStringLiteral("后来写的"));
         Form3->Panel4->move(520, 120);
         Form3->Image3MouseUp(Qt::LeftButton, 100, 50); // page 2 itself
         Form3->Board.choosePage(1);
         EXPECT_EQ(Form3->Board.panelBounds(2).x(), 520);
         Form3->Board.choosePage(2);
         EXPECT_EQ(Form3->RichEdit1->toPlainText(), QStringLiteral("后来写的"));
     }},
    {"ChoosingAPageClearsTheBackdrop",
     [](Faults&) {
         Form3->Board.setBackdrop(Form3->Board.current());
         Form3->SpeedButton1Click();
         Form3->Image3MouseUp(Qt::LeftButton, 100, 50);
         EXPECT_EQ(Form3->Board.backdropActive(), 0);
     }},
    {"DropAfterTheStripKeepsTheTextInThePage",
     [](Faults& t) {
         t.openPanel(Place);
         Form3->SpeedButton1Click(); // bakes the panel
         Form3->SpeedButton30Click();
         ASSERT_EQ(Form3->Board.panelBaked(1), 1);
         Form3->SpeedButton41Click();
         // The editor's grey, not the background.
         EXPECT_EQ(t.pagePixel(Place.left() + 1, Place.bottom() - 1), 0x00A5A5A5u);
         EXPECT_EQ(Form3->Board.panelBaked(1), 0);
     }},
    {"ABorderPressOverAPanelNeverBakedLeavesThePage",
     [](Faults& t) {
         t.paintPage({0, 41, 1024, 768}, Faults::Blue);
         t.openPanel(Place);
         Form3->RichEdit1MouseDown(Place.width() - 2, 50);
         EXPECT_EQ(t.pagePixel(Place.center().x(), Place.center().y()), Faults::Blue);
     }},
    {"NormalSizeAndCloseNeverWriteAnotherPagesPicture",
     [](Faults& t) {
         t.openPanel(Place); // page 1's picture kept
         t.makePages(2);
         t.paintPage({0, 41, 1024, 768}, Faults::Green);
         t.openPanel(Place); // page 2's picture kept
         Form3->SpeedButton11Click();
         Form3->SpeedButton22Click();
         EXPECT_EQ(t.pagePixel(600, 300), Faults::Background);
         Form3->SpeedButton31Click(); // pin on page 1
         Form3->SpeedButton18Click();
         Form3->SpeedButton19Click();
         EXPECT_EQ(t.pagePixel(Place.center().x(), Place.center().y()), Faults::Background);
         EXPECT_EQ(Form3->Board.backdropActive(), 0);
     }},
    {"NormalSizeKeepsWhatWasWrittenAndTakesOutOnlyTheBakedPicture",
     [](Faults& t) {
         t.openPanel(Place);
         t.stroke({{850, 400}, {900, 400}}); // written with the panel open
         Form3->SpeedButton22Click();
         EXPECT_EQ(t.pagePixel(875, 400), Faults::Ink);
         // Full screen, its picture baked for the thumbnails, then normal size again: the
         // page's own pixels come back where the large panel was baked.
         Form3->SpeedButton21Click();
         Form3->SpeedButton1Click();
         Form3->SpeedButton30Click();
         ASSERT_NE(t.pagePixel(875, 400), Faults::Ink);
         Form3->SpeedButton22Click();
         EXPECT_EQ(t.pagePixel(875, 400), Faults::Ink);
         EXPECT_EQ(t.pagePixel(600, 600), Faults::Background);
         EXPECT_EQ(Form3->Board.panelBaked(1), 0);
     }},
    {"ClosingOrMovingABakedPanelPutsBackThePageUnderIt",
     [](Faults& t) {
         const std::vector<std::pair<const char*, std::function<void()>>> ways = {
             {"close", [] { Form3->SpeedButton19Click(); }},
             {"drag bar", [] { Form3->Image1MouseDown(Qt::LeftButton, 280, 5); }},
             {"editor border",
              [] { Form3->RichEdit1MouseDown(Form3->RichEdit1->viewport()->width() - 2, 50); }},
         };
         const QPoint under(Place.left() + 60, Place.top() + 60);
         for (const auto& [what, action] : ways) {
             SCOPED_TRACE(what);
             t.paintPage({under.x() - 10, under.y() - 10, under.x() + 20, 400}, Faults::Blue);
             t.openPanel(Place);
             Form3->SpeedButton1Click(); // the strip bakes the panel over the blue
             Form3->SpeedButton30Click();
             ASSERT_NE(t.pagePixel(under.x(), under.y()), Faults::Blue);
             action();
             EXPECT_EQ(t.pagePixel(under.x(), under.y()), Faults::Blue);
             EXPECT_EQ(Form3->Board.panelBaked(1), 0);
             Form3->SpeedButton19Click();
         }
     }},
    {"APinnedPanelComesBackWithItsText",
     [](Faults& t) {
         t.openPanel(Place, QStringLiteral("钉住的字"));
         Form3->SpeedButton31Click();
         Form3->SpeedButton12Click();
         Form3->SpeedButton11Click();
         EXPECT_TRUE(Form3->Panel4->isVisible());
         EXPECT_EQ(Form3->RichEdit1->toPlainText(), QStringLiteral("钉住的字"));
         Form3->SpeedButton19Click();
         QTextDocument text;
         ASSERT_TRUE(loadRichText(text, Form3->pageTextFile(1)));
         EXPECT_EQ(text.toPlainText(), QStringLiteral("钉住的字"));
         // Written after the panel opened, then pinned over: closing puts the writing back.
         Form3->SpeedButton18Click();
         t.stroke({{900, 400}, {950, 400}});
         Form3->Panel4->move(850, 350);
         Form3->SpeedButton31Click();
         ASSERT_NE(t.pagePixel(925, 400), Faults::Ink);
         Form3->SpeedButton18Click();
         Form3->SpeedButton19Click();
         EXPECT_EQ(t.pagePixel(925, 400), Faults::Ink);
     }},
    {"EachPageShowsItsOwnDocument",
     [](Faults& t) {
         t.fakes.dialogs.fileNames = {QStringLiteral("/lesson/a.htm"),
                                      QStringLiteral("/lesson/b.htm")};
         t.openPanel(Place);
         Form3->SpeedButton26Click();
         t.makePages(2);
         t.openPanel(Place);
         Form3->SpeedButton26Click();
         Form3->SpeedButton11Click();
         ASSERT_FALSE(t.views.loads.isEmpty());
         EXPECT_EQ(t.views.loads.back(), QStringLiteral("/lesson/a.htm"));
     }},
    {"ADocumentPageKeepsItsOwnText",
     [](Faults& t) {
         t.fakes.dialogs.fileNames = {QStringLiteral("/lesson/b.htm")};
         t.openPanel(Place, QStringLiteral("甲"));
         t.makePages(2);
         t.openPanel(Place, QStringLiteral("乙"));
         Form3->SpeedButton26Click(); // page 2 shows a document over its text
         Form3->SpeedButton11Click();
         Form3->SpeedButton12Click();
         Form3->SpeedButton11Click(); // page 2 left again, with the editor behind the document
         QTextDocument text;
         ASSERT_TRUE(loadRichText(text, Form3->pageTextFile(2)));
         EXPECT_EQ(text.toPlainText(), QStringLiteral("乙"));
     }},
    {"AnOpenedLessonForgetsThePanelsOfTheOldPages",
     [](Faults& t) {
         t.fakes.dialogs.fileNames = {QStringLiteral("/lesson/a.htm")};
         t.paintPage({0, 41, 1024, 768}, Faults::Green);
         t.openPanel(Place); // the green page's picture kept
         Form3->SpeedButton26Click();
         // A lesson whose page 1 holds a document of its own lesson and a blue page.
         Form3->Board.writePage(1, [] {
             QImage page(1024, 768, QImage::Format_RGB32);
             page.fill(toQColor(Faults::Blue));
             return page;
         }());
         Form3->Board.setPanelKind(1, 2);
         Form3->Board.pagesReplaced(1);
         EXPECT_EQ(t.views.loads.back(), QStringLiteral("navigate:"));
         Form3->SpeedButton22Click(); // normal size puts back only a picture of this page
         EXPECT_EQ(t.pagePixel(600, 300), Faults::Blue);
     }},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(StripAndPanel, Faults, ::testing::ValuesIn(faults),
                         [](const auto& c) { return std::string(c.param.name); });
