// The board's model without any window: pages kept packed and brought back pixel for pixel,
// turning, the floating picture's commits, and what an untouched page costs.
#include "board/model/board_model.h"
#include "pictures.h"
#include "platform/raster/canvas.h"

#include <QGuiApplication>
#include <QStringList>
#include <functional>
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
        board.extendStroke(box.right - 1, box.bottom - 1);
        board.commitStroke(surface);
        board.setPageState(board.currentPage(), 2);
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
    board.setPageState(1, 2);
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
    board.setPanelBounds(1, QRect(11, 0, 0, 222));
    board.turnRight(); // page 1 has no content: refused
    EXPECT_EQ(board.currentPage(), 1);
    drawStroke({50, 50, 60, 60}, Ink);
    board.setBackgroundColour(0x00112233);
    board.turnRight();
    EXPECT_EQ(board.currentPage(), 2);
    EXPECT_EQ(board.pageCount(), 2);
    EXPECT_EQ(board.pageState(2), 0);
    EXPECT_EQ(pixelAt(board.current(), 5, 5), 0x00112233u);
    EXPECT_EQ(board.panelBounds(2).x(), 11);
    EXPECT_EQ(board.panelBounds(2).height(), 222);
    board.turnLeft();
    EXPECT_EQ(pixelAt(board.current(), 55, 55), Ink);
    EXPECT_EQ(pixelAt(board.current(), 5, 5), Background);
    board.turnLeft(); // at page 1: stays
    EXPECT_EQ(board.currentPage(), 1);
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
        if (c.placed == 1)
            board.placeFloatingPicture(picture, {200, 200});
        else
            board.adoptSelection(picture, QRect({200, 200}, picture.size()));
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
        EXPECT_EQ(board.boardPaintMode(), 1);
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
        EXPECT_EQ(board.penWidth(), c.held) << c.asked;
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

// Every change says what changed, once, and a change to the same value says nothing.
TEST_F(ModelTest, EachOperationSaysWhatItChanged) {
    drawStroke({50, 50, 60, 60}, Ink);
    QStringList said;
    const auto log = [&](const QString& what) { said << what; };
    const auto logPage = [&](const char* what) {
        return [&, what](int page) { log(QStringLiteral("%1 %2").arg(what).arg(page)); };
    };
    QObject::connect(&board, &BoardModel::pageChanged, [&](int page, TRect r) {
        log(QStringLiteral("pageChanged %1 %2,%3,%4,%5")
                .arg(page)
                .arg(r.left)
                .arg(r.top)
                .arg(r.right)
                .arg(r.bottom));
    });
    QObject::connect(&board, &PageStore::pageWritten, logPage("pageWritten"));
    QObject::connect(&board, &PageStore::pageStateChanged, logPage("pageStateChanged"));
    QObject::connect(&board, &PageStore::panelChanged, logPage("panelChanged"));
    QObject::connect(&board, &PageStore::pageCountChanged, logPage("pageCountChanged"));
    QObject::connect(&board, &PageStore::currentPageChanged, logPage("currentPageChanged"));
    QObject::connect(&board, &BoardModel::penChanged, [&] { log(QStringLiteral("penChanged")); });
    QObject::connect(&board, &BoardModel::backgroundChanged,
                     [&] { log(QStringLiteral("backgroundChanged")); });
    QObject::connect(&board, &BoardModel::floatingChanged,
                     [&] { log(QStringLiteral("floatingChanged")); });
    QObject::connect(&board, &BoardModel::toolChanged, [&] { log(QStringLiteral("toolChanged")); });
    QObject::connect(&board, &BoardModel::panelTextChanged,
                     [&] { log(QStringLiteral("panelTextChanged")); });

    struct Case {
        const char* name;
        std::function<void()> change;
        QStringList expected;
    };
    const QImage picture = filledPicture({10, 10}, Ink);
    const std::vector<Case> cases{
        {"page state", [&] { board.setPageState(1, PageCleared); }, {"pageStateChanged 1"}},
        {"the same page state", [&] { board.setPageState(1, PageCleared); }, {}},
        {"content marked", [&] { board.markContent(1); }, {"pageStateChanged 1"}},
        {"content marked again", [&] { board.markContent(1); }, {}},
        {"panel place",
         [&] {
             board.setPanelBounds(1, {5, 41, 300, 200});
         },
         {"panelChanged 1"}},
        {"the same panel place",
         [&] {
             board.setPanelBounds(1, {5, 41, 300, 200});
         },
         {}},
        {"panel kind", [&] { board.setPanelKind(1, TextPanel); }, {"panelChanged 1"}},
        {"panel document",
         [&] { board.setPanelDocument(1, QStringLiteral("a.htm")); },
         {"panelChanged 1"}},
        {"panel shown", [&] { board.setPanelShown(true); }, {"panelChanged 1"}},
        {"panel text",
         [&] { board.panelText().setPlainText(QStringLiteral("x")); },
         {"panelTextChanged"}},
        {"pixels written", [&] { board.writePage(1, board.current()); }, {"pageWritten 1"}},
        {"page filled",
         [&] { board.fill(1, Background); },
         {"pageWritten 1", "pageChanged 1 0,0,0,0"}},
        {"fill undone", [&] { board.undo(); }, {"pageWritten 1", "pageChanged 1 0,0,640,480"}},
        {"area erased",
         [&] {
             board.beginStroke(100, 100, StrokeMargin);
             board.extendStroke(120, 110);
             board.eraseStrokeBox(Background);
         },
         {"pageWritten 1", "pageChanged 1 100,100,120,110"}},
        {"pen width", [&] { board.setPenWidth(5); }, {"penChanged"}},
        {"pen colour", [&] { board.setPenColour(Ink); }, {"penChanged"}},
        {"background", [&] { board.setBackgroundColour(Ink); }, {"backgroundChanged"}},
        {"floating picture",
         [&] {
             board.showFloatingPicture(picture, {200, 200});
         },
         {"floatingChanged"}},
        {"floating picture moved",
         [&] {
             board.moveFloatingPicture({210, 200});
         },
         {"floatingChanged"}},
        {"page count", [&] { board.setPageCount(3); }, {"pageCountChanged 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        said.clear();
        c.change();
        EXPECT_EQ(said, c.expected);
    }
}

// Another lesson's pages take the place of the old ones: no instrument stays over them, and
// every page an instrument lay on is said to have changed, so that its layer hides it.
TEST_F(ModelTest, PagesReplacedCloseTheInstruments) {
    const QRectF view(0, 40, Screen.width(), Screen.height() - 40);
    board.instruments().open(InstrumentKind::Ruler, 1, view);
    board.instruments().open(InstrumentKind::Compass, 3, view);
    QList<int> changed;
    QObject::connect(&board.instruments(), &InstrumentModel::changed,
                     [&](int page) { changed << page; });

    board.pagesReplaced(2);

    for (int page : {1, 3})
        EXPECT_TRUE(board.instruments().onPage(page).empty()) << "page " << page;
    EXPECT_EQ(changed, QList<int>({1, 3}));
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
