// Strokes as the page stores them: what each tool commits, and what stays on the window only.
#include "board_fixture.h"

#include "platform/raster/cursors.h"

#include <QDir>
#include <QTextEdit>
#include <optional>

using namespace platform;

namespace {

// The program's folder is the current folder while it lives: the cursor files load from it.
class InProgramFolder {
public:
    InProgramFolder() : previous_(QDir::currentPath()) {
        QDir::setCurrent(QStringLiteral(KV_PROGRAM_FOLDER));
    }
    ~InProgramFolder() { QDir::setCurrent(previous_); }
    InProgramFolder(const InProgramFolder&) = delete;
    InProgramFolder& operator=(const InProgramFolder&) = delete;

private:
    QString previous_;
};

} // namespace

TEST_F(BoardFixture, ClickCommitsA21PixelSquareAndLeavesThePageState) {
    // Something on the window that the page does not hold yet.
    Form3->canvas().fillRect({0, 40, sw(), sh()}, Green);
    stroke({{100, 100}});
    EXPECT_EQ(pagePixel(90, 90), Green);
    EXPECT_EQ(pagePixel(110, 110), Green);
    EXPECT_EQ(pagePixel(89, 100), Background);
    EXPECT_EQ(pagePixel(111, 100), Background);
    EXPECT_EQ(pagePixel(100, 111), Background);
    EXPECT_EQ(Form3->Board.pageState(1), 0);
}

TEST_F(BoardFixture, PenStrokeIntoTheTitleBarRunsAlongRow40) {
    setPenWidth(1);
    Form3->SpeedButton3Click();
    stroke({{200, 100}, {300, 10}, {400, 0}});
    EXPECT_EQ(Form3->Board.pageState(1), 2);
    EXPECT_EQ(pagePixel(350, 40), Ink);
    EXPECT_EQ(pagePixel(350, 39), Background);
    EXPECT_EQ(Form3->Board.strokeBox().top, 40);
}

TEST_F(BoardFixture, ShapesLeaveOnlyTheirFinalOutline) {
    setPenWidth(1);
    struct Case {
        void (TForm3::*arm)();
        void (Canvas::*draw)(int, int, int, int);
    };
    const auto line = [](Canvas& c, int x1, int y1, int x2, int y2) {
        c.moveTo(x1, y1);
        c.lineTo(x2, y2);
    };
    for (const Case& c : {Case{&TForm3::SpeedButton15Click, &Canvas::rectangle},
                          Case{&TForm3::SpeedButton17Click, &Canvas::ellipse},
                          Case{&TForm3::SpeedButton14Click, nullptr}}) {
        Form3->SpeedButton5Click();
        (Form3->*c.arm)();
        // On the way to its end at (150, 150) the shape reached (200, 200).
        stroke({{100, 100}, {200, 200}, {150, 150}});
        const auto outline = [&](int x, int y) {
            QImage picture = makeBitmap(sw(), sh());
            Canvas canvas(picture);
            canvas.fillRect({0, 0, sw(), sh()}, Background);
            canvas.pen = Pen{1, Ink, PenStyle::Solid};
            canvas.brush.clear = true;
            if (c.draw)
                (canvas.*c.draw)(100, 100, x, y);
            else
                line(canvas, 100, 100, x, y);
            return picture;
        };
        const QImage earlier = outline(200, 200);
        const QImage final = outline(150, 150);
        int stale = 0;
        for (int y = 90; y < 215; ++y)
            for (int x = 90; x < 215; ++x) {
                stale += earlier.pixel(x, y) != final.pixel(x, y);
                ASSERT_EQ(pagePixel(x, y), fromRgb(final.pixel(x, y)))
                    << Form3->Board.toolMode() << " at " << x << "," << y;
            }
        EXPECT_GE(stale, 50) << Form3->Board.toolMode(); // the earlier outline was elsewhere
        EXPECT_EQ(Form3->Panel3->caption(), QStringLiteral("2.5，2.5"));
    }
}

// Each tool button arms its cursor, pen and brush, and clears the size readout or leaves it,
// in the order a teacher might press them.
TEST_F(BoardFixture, ToolButtonsArmTheirCursorPenAndReadout) {
    const InProgramFolder here;
    setPenWidth(3);
    struct Case {
        void (TForm3::*arm)();
        SpeedButton* TForm3::*button;
        const char* cursor;
        Pen pen;
        bool brushClear; // false: the brush is left as it was
        bool readoutCleared;
    };
    const Case cases[] = {
        {&TForm3::SpeedButton14Click,
         &TForm3::SpeedButton14,
         "Sonic cross2.cut",
         {3, Ink, PenStyle::Solid},
         false,
         false},
        {&TForm3::SpeedButton15Click,
         &TForm3::SpeedButton15,
         "Sonic cross3.cut",
         {3, Ink, PenStyle::Solid},
         true,
         false},
        {&TForm3::SpeedButton17Click,
         &TForm3::SpeedButton17,
         "prcs_mox1.cut",
         {3, Ink, PenStyle::Solid},
         true,
         false},
        // The board eraser keeps the pen's style and paints the background the window shows.
        {&TForm3::SpeedButton10Click,
         &TForm3::SpeedButton10,
         "Altr_Fsh.cut",
         {30, Background, PenStyle::Solid},
         false,
         true},
        {&TForm3::SpeedButton25Click,
         &TForm3::SpeedButton25,
         "prcs_mox2.cut",
         {1, Ink, PenStyle::Dot},
         true,
         false},
        {&TForm3::SpeedButton13Click,
         &TForm3::SpeedButton13,
         "prcs_mox2.cut",
         {1, Ink, PenStyle::Dot},
         true,
         false},
        // The pen keeps the dotted style that area erase left.
        {&TForm3::SpeedButton3Click,
         &TForm3::SpeedButton3,
         "Text_Hnd.cut",
         {3, Ink, PenStyle::Dot},
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cursor);
        Form3->Panel3->setCaption(QStringLiteral("5，3"));
        Form3->canvas().brush.clear = false;
        (Form3->*c.arm)();
        EXPECT_TRUE((Form3->*c.button)->isChecked());
        const std::optional<QCursor> expected = loadCursorFile(QString::fromUtf8(c.cursor));
        ASSERT_TRUE(expected);
        EXPECT_EQ(Form3->cursor().hotSpot(), expected->hotSpot());
        EXPECT_EQ(Form3->cursor().pixmap().toImage(), expected->pixmap().toImage());
        const Pen& pen = Form3->canvas().pen;
        EXPECT_EQ(pen.width, c.pen.width);
        EXPECT_EQ(pen.color, c.pen.color);
        EXPECT_EQ(pen.style, c.pen.style);
        EXPECT_EQ(Form3->canvas().brush.clear, c.brushClear);
        EXPECT_EQ(Form3->Panel3->caption().isEmpty(), c.readoutCleared);
    }
    // After an erase the area-erase tool takes up its dotted outline pen again.
    Form3->SpeedButton13Click();
    setPenWidth(5);
    stroke({{300, 300}, {400, 400}});
    EXPECT_EQ(Form3->canvas().pen.width, 1);
    EXPECT_EQ(Form3->canvas().pen.style, PenStyle::Dot);
}

TEST_F(BoardFixture, SizeReadoutShowsHalfTheDragInTenths) {
    Form3->SpeedButton15Click();
    struct Case {
        QPoint to;
        QString text;
    };
    for (const Case& c :
         {Case{{200, 160}, QStringLiteral("5，3")}, Case{{115, 95}, QStringLiteral("0.7，-0.2")},
          Case{{99, 100}, QStringLiteral("0，0")}}) {
        Form3->FormMouseDown(100, 100);
        Form3->FormMouseMove(Qt::LeftButton, c.to.x(), c.to.y());
        EXPECT_EQ(Form3->Panel3->caption(), c.text);
        Form3->FormMouseUp(c.to.x(), c.to.y());
    }
    // Moves without the left button draw nothing.
    Form3->FormMouseDown(100, 100);
    Form3->FormMouseMove(Qt::RightButton, 300, 300);
    EXPECT_EQ(Form3->Board.strokeBox().right, 100);
}

TEST_F(BoardFixture, BoardEraserErasesItsWholeBandForGood) {
    setPenWidth(9);
    paintPage({0, 200, sw(), 500}, Blue);
    Form3->SpeedButton10Click();
    EXPECT_EQ(Form3->canvas().pen.width, 90);
    stroke({{100, 350}, {400, 350}});
    Form3->Invalidate(); // what comes back at the next repaint is what the page holds
    for (const QPoint& p :
         {QPoint(250, 350), QPoint(250, 310), QPoint(250, 390), QPoint(60, 350), QPoint(440, 350)})
        EXPECT_EQ(surfacePixel(p.x(), p.y()), Background) << p.x() << "," << p.y();
    EXPECT_EQ(surfacePixel(250, 300), Blue);
    EXPECT_EQ(Form3->Board.pageState(1), 0);
}

TEST_F(BoardFixture, BoardEraserRestoresBackdropSquaresRightAndBelowThePointer) {
    setPenWidth(9);
    paintPage({0, 200, sw(), 700}, Blue);
    QImage backdrop = makeBitmap(sw(), sh());
    Canvas(backdrop).fillRect({0, 0, sw(), sh()}, Green);
    Form3->Board.setBackdrop(backdrop);
    Form3->SpeedButton10Click();
    stroke({{100, 300}, {100, 300}, {200, 300}, {300, 300}});
    Form3->Invalidate();
    EXPECT_EQ(surfacePixel(389, 389), Green); // the last square reaches 90 right and down
    EXPECT_EQ(surfacePixel(100, 300), Green);
    EXPECT_EQ(surfacePixel(200, 299), Blue); // nothing above or left of the pointer's path
    EXPECT_EQ(surfacePixel(99, 350), Blue);
    EXPECT_EQ(surfacePixel(390, 350), Blue);
}

TEST_F(BoardFixture, AreaEraseClearsTheWholeSweptBoxEvenWithoutAnOutline) {
    paintPage({0, 100, sw(), 600}, Blue);
    Form3->SpeedButton13Click();
    // Up and left first, so the outline never shows; the box is the whole path's.
    stroke({{300, 300}, {250, 250}, {350, 200}});
    for (const QPoint& p : {QPoint(250, 200), QPoint(349, 299), QPoint(300, 250)})
        EXPECT_EQ(pagePixel(p.x(), p.y()), Background) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(350, 250), QPoint(300, 300), QPoint(249, 250)})
        EXPECT_EQ(pagePixel(p.x(), p.y()), Blue) << p.x() << "," << p.y();
    // The tool stays armed with its dotted outline pen.
    EXPECT_EQ(Form3->canvas().pen.style, PenStyle::Dot);
    EXPECT_EQ(Form3->canvas().pen.width, 1);
}

// A stroke that runs under a panel moved away from the left edge keeps all of itself that
// was in view, on every side of the panel; what was drawn under the panel is gone from the
// surface too, so that closing the panel shows what the page holds.
TEST_F(BoardFixture, CommitNeverTakesTheTextPanelsPlace) {
    Form3->Panel4->setGeometry(600, 100, 200, 200);
    Form3->Panel4->show();
    Form3->canvas().fillRect({0, 40, sw(), sh()}, Green);
    stroke({{500, 250}, {900, 350}});
    for (const QPoint& p : {QPoint(495, 245), QPoint(700, 320), QPoint(850, 260)})
        EXPECT_EQ(pagePixel(p.x(), p.y()), Green) << p.x() << "," << p.y();
    EXPECT_EQ(pagePixel(700, 250), Background);
    EXPECT_EQ(surfacePixel(700, 250), Background);
    Form3->SpeedButton4Click();
    EXPECT_EQ(pagePixel(495, 245), Background);
}

namespace {

// The bounding box of the pixels of a colour in a picture; empty when there are none.
TRect boundsOf(const QImage& picture, TColor colour) {
    TRect box{picture.width(), picture.height(), 0, 0};
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (fromRgb(row[x]) == colour)
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
        }
    }
    return box.isEmpty() ? TRect{} : box;
}

} // namespace

// Rectangles in failure messages, as gtest finds them beside TRect.
[[maybe_unused]] static void PrintTo(const TRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

// The commit keeps the whole stroke but the text panel's place, exactly: the surface is green
// everywhere, also under the controls, so what turns green in the page is the region
// committed, and undo gives back exactly that region.
TEST_F(BoardFixture, CommitKeepsTheWholeStrokeButThePanelsPlace) {
    enum Control { TextPanel, TopStrip, BottomStrip };
    struct Case {
        const char* what;
        Control control;
        QRect at;
        std::vector<QPoint> stroke;
        TRect committed;
    };
    const int half = sh() / 2;
    const Case cases[] = {
        {"panel just right of the stroke",
         TextPanel,
         {405, 100, 200, 200},
         {{300, 150}, {400, 160}},
         {290, 140, 405, 171}},
        {"panel one column past the margin",
         TextPanel,
         {410, 100, 200, 200},
         {{300, 150}, {400, 160}},
         {290, 140, 410, 171}},
        {"panel well right of the stroke",
         TextPanel,
         {600, 100, 200, 200},
         {{300, 150}, {400, 160}},
         {290, 140, 411, 171}},
        {"stroke across the panel's right edge, below it",
         TextPanel,
         {600, 100, 200, 200},
         {{700, 400}, {900, 410}},
         {690, 390, 911, 421}},
        {"stroke from left of the panel to right of it, across it",
         TextPanel,
         {600, 100, 200, 200},
         {{500, 200}, {900, 210}},
         {490, 190, 911, 221}},
        {"stroke within the panel's columns, below it",
         TextPanel,
         {600, 100, 200, 200},
         {{650, 400}, {700, 410}},
         {640, 390, 711, 421}},
        {"click just right of the panel",
         TextPanel,
         {600, 100, 200, 200},
         {{805, 200}},
         {800, 190, 816, 211}},
        {"stroke into the panel from the left",
         TextPanel,
         {600, 100, 200, 200},
         {{550, 200}, {650, 210}},
         {540, 190, 600, 221}},
        // The strip is no part of the surface: what is drawn under it shows once it closes.
        {"click just below a top strip",
         TopStrip,
         {0, 41, sw(), 200},
         {{300, 245}},
         {290, 235, 311, 256}},
        {"stroke down into a bottom strip",
         BottomStrip,
         {0, half, sw(), half},
         {{300, half - 34}, {300, half + 66}},
         {290, half - 44, 311, half + 77}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget* control = c.control == TextPanel ? Form3->Panel4 : Form3->Panel5;
        control->setGeometry(c.at);
        control->show();
        paintPage({0, 0, sw(), sh()}, Background);
        Canvas(Form3->Board.editScratchBitmap()).fillRect({0, 0, sw(), sh()}, Blue);
        Form3->canvas().fillRect({0, 40, sw(), sh()}, Green);
        const QPoint* p = c.stroke.data();
        Form3->FormMouseDown(p->x(), p->y());
        for (const QPoint& q : c.stroke)
            Form3->FormMouseMove(Qt::LeftButton, q.x(), q.y());
        Form3->FormMouseUp(c.stroke.back().x(), c.stroke.back().y());
        EXPECT_EQ(boundsOf(Form3->Board.current(), Green), c.committed);
        if (c.control == TextPanel) {
            EXPECT_EQ(boundsOf(Form3->Board.current().copy(c.at), Green), TRect{});
        }
        Form3->SpeedButton4Click();
        EXPECT_EQ(boundsOf(Form3->Board.current(), Green), TRect{});
        EXPECT_EQ(boundsOf(Form3->Board.current(), Blue), TRect{});
        control->hide();
    }
}

TEST_F(BoardFixture, AreaEraseBesideThePanelClearsItsWholeBox) {
    paintPage({0, 100, sw(), 600}, Blue);
    Form3->Panel4->setGeometry(405, 100, 200, 200);
    Form3->Panel4->show();
    Form3->SpeedButton13Click();
    stroke({{300, 150}, {400, 200}});
    for (const QPoint& p : {QPoint(300, 150), QPoint(399, 199)})
        EXPECT_EQ(pagePixel(p.x(), p.y()), Background) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(400, 150), QPoint(299, 150), QPoint(350, 200)})
        EXPECT_EQ(pagePixel(p.x(), p.y()), Blue) << p.x() << "," << p.y();
}

// A press that begins on a control of the board (the title bar's empty place, the size
// readout, the text panel's title strip, the thumbnail strip) starts no stroke, whatever the
// tool and wherever the pointer is let go.
TEST_F(BoardFixture, APressOnAControlStartsNoStroke) {
    for (void (TForm3::*arm)() : {&TForm3::SpeedButton14Click, &TForm3::SpeedButton25Click}) {
        (Form3->*arm)();
        for (const QPoint& from :
             {QPoint(200, 20), QPoint(40, 20), QPoint(700, 110), QPoint(500, sh() / 2 + 100)}) {
            // A release of a press begun on the strip's picture chooses a page, which closes
            // the strip and the panel of a page without one: both are shown again each time.
            Form3->Panel4->setGeometry(600, 100, 200, 200);
            Form3->Panel4->show();
            Form3->Panel5->setGeometry(0, sh() / 2, sw(), sh() / 2);
            Form3->Panel5->show();
            pointerStroke({from, {450, 300}});
            EXPECT_FALSE(Form3->Image2->isVisible()) << from.x() << "," << from.y();
            EXPECT_EQ(boundsOf(Form3->Board.current(), Ink), TRect{})
                << from.x() << "," << from.y();
            EXPECT_EQ(Form3->Panel3->caption(), QString());
        }
    }
    EXPECT_EQ(Form3->Board.pageState(1), 0);
    // The same drag begun on the page draws.
    Form3->SpeedButton14Click();
    pointerStroke({{100, 300}, {450, 300}});
    EXPECT_EQ(pagePixel(300, 300), Ink);
    EXPECT_EQ(Form3->Board.pageState(1), 2);
}
