// Pen width and colours, undo and clearing.
#include "app/toolbar.h"
#include "board_fixture.h"
#include "lessons/settings_window.h"
#include "platform/raster/rich_text.h"
#include "platform/widgets/shell.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <vector>

using namespace platform;

namespace {

TColor editorColour() {
    return fromQColor(Form3->RichEdit1->palette().color(QPalette::Base));
}

// The program's shell while a test looks at how the board opens the settings window; the
// rest of the shell does nothing.
class SettingsShell final : public Shell {
public:
    SettingsShell() : previous_(shell()) { installShell(this); }
    ~SettingsShell() override { installShell(&previous_); }
    SettingsShell(const SettingsShell&) = delete;
    SettingsShell& operator=(const SettingsShell&) = delete;

    std::vector<TeacherChoice> openings;
    std::function<void()> atOpening;

    void openSettings(TeacherChoice teacher) override {
        openings.push_back(teacher);
        if (atOpening)
            atOpening();
    }
    void showToolbar() override {}
    void hideToolbar() override {}
    void openBoard() override {}
    void activateAnnotateTarget() override {}
    void blankProjection(bool) override {}
    bool projectionBlanked() const override { return false; }
    void openHelp() override {}
    void hidePracticePad() override {}
    void returnToPracticePad() override {}

private:
    Shell& previous_;
};

} // namespace

TEST_F(BoardFixture, PenWidthStopsAt9And1WithoutReapplyingIt) {
    setPenWidth(9);
    Form3->canvas().pen.width = 3; // what another command left
    Form3->SpeedButton7Click();
    EXPECT_EQ(Form3->Edit1->text(), QStringLiteral("9"));
    EXPECT_EQ(Form3->canvas().pen.width, 3);
    setPenWidth(1);
    Form3->canvas().pen.width = 3;
    Form3->SpeedButton8Click();
    EXPECT_EQ(Form3->Edit1->text(), QStringLiteral("1"));
    EXPECT_EQ(Form3->canvas().pen.width, 3);
}

TEST_F(BoardFixture, BoardEraserWidthsFollowThePenWidth) {
    Form3->SpeedButton10Click();
    const int expected[] = {15, 20, 30, 40, 50, 60, 70, 80, 90};
    setPenWidth(1);
    for (int w = 1; w <= 9; ++w) {
        EXPECT_EQ(Form3->canvas().pen.width, expected[w - 1]) << w;
        Form3->SpeedButton7Click();
    }
    // Other tools take the width itself, also the outline pens of selection and area erase.
    Form3->SpeedButton13Click();
    Form3->SpeedButton8Click();
    EXPECT_EQ(Form3->canvas().pen.width, 8);
}

TEST_F(BoardFixture, PenColourGoesToThePenButNotToTheBoardEraser) {
    fakes.dialogs.colours = {Blue, std::nullopt, Yellow};
    Form3->SpeedButton9Click();
    EXPECT_EQ(Form3->LCP->Color(), Blue);
    EXPECT_EQ(Form3->canvas().pen.color, Blue);
    Form3->Board.setBoardPaintMode(0);
    Form3->LCPClick(); // cancelled: nothing changes but the paint mode
    EXPECT_EQ(Form3->LCP->Color(), Blue);
    EXPECT_EQ(Form3->Board.boardPaintMode(), 1);
    Form3->SpeedButton10Click();
    Form3->SpeedButton9Click();
    EXPECT_EQ(Form3->LCP->Color(), Yellow);
    EXPECT_EQ(Form3->canvas().pen.color, Background);
}

TEST_F(BoardFixture, BackgroundChangeOnAPageWithContent) {
    struct Case {
        platform::Answer answer;
        TColor page;   // the page's background afterwards
        int state;     // its PageState afterwards
        TColor eraser; // what the armed board eraser paints afterwards
    };
    for (const Case& c : {Case{platform::Answer::Yes, Yellow, 1, Yellow},
                          Case{platform::Answer::No, Background, 2, Background}}) {
        Form3->Board.setBackgroundColour(Background);
        paintPage({0, 0, sw(), sh()}, Background);
        Form3->SpeedButton10Click();
        stroke({{100, 100}});
        Form3->Board.setPageState(1, 2);
        fakes.dialogs.shown.clear();
        fakes.dialogs.colours = {Yellow};
        fakes.dialogs.answers = {c.answer};
        Form3->RCPClick();
        ASSERT_EQ(fakes.dialogs.shown.size(), 2u);
        EXPECT_EQ(fakes.dialogs.shown[1].text, QStringLiteral("是否清除本页内容？"));
        EXPECT_EQ(Form3->RCP->Color(), Yellow); // new pages take it either way
        EXPECT_EQ(pagePixel(500, 500), c.page);
        EXPECT_EQ(surfacePixel(sw() - 1, 37), c.page); // the probe pixel does not stay
        EXPECT_EQ(Form3->Board.pageState(1), c.state);
        EXPECT_EQ(Form3->canvas().pen.color, c.eraser);
    }
}

TEST_F(BoardFixture, UnchangedBackgroundAsksNothing) {
    Form3->Board.setPageState(1, 2);
    paintPage({10, 100, 20, 110}, Blue);
    fakes.dialogs.colours = {Background};
    Form3->RCPClick();
    EXPECT_EQ(fakes.dialogs.shown.size(), 1u); // the colour dialog only
    EXPECT_EQ(pagePixel(15, 105), Blue);
    EXPECT_EQ(Form3->Board.pageState(1), 2);
}

TEST_F(BoardFixture, EditorColourFollowsTheChosenBackground) {
    struct Case {
        TColor chosen;
        TColor editor;
    };
    for (const Case& c :
         {Case{0x00000000, 0x00626262}, Case{0x00000040, 0x00626262}, Case{0x00400040, 0x00626262},
          Case{0x00808080, 0x00A5A5A5}, Case{0x00123456, 0x00123456}}) {
        fakes.dialogs.colours = {c.chosen};
        Form3->RCPClick();
        EXPECT_EQ(editorColour(), c.editor) << std::hex << c.chosen;
    }
}

TEST_F(BoardFixture, UndoGoesBackStrokeByStrokeAndRedoForward) {
    setPenWidth(1);
    stroke({{100, 200}, {500, 200}}); // A
    stroke({{300, 190}, {300, 210}}); // B, across A
    EXPECT_EQ(pagePixel(300, 195), Ink);
    Form3->SpeedButton4Click();
    EXPECT_EQ(pagePixel(300, 195), Background);
    EXPECT_EQ(pagePixel(300, 200), Ink); // A stays
    Form3->SpeedButton4Click();
    EXPECT_EQ(pagePixel(300, 200), Background);
    EXPECT_EQ(surfacePixel(300, 200), Background);
    Form3->RedoButtonClick();
    EXPECT_EQ(pagePixel(300, 200), Ink);
    EXPECT_EQ(pagePixel(300, 195), Background);
    Form3->RedoButtonClick();
    EXPECT_EQ(pagePixel(300, 195), Ink);
    EXPECT_EQ(surfacePixel(300, 195), Ink);
}

TEST_F(BoardFixture, UndoAfterAClearBringsThePageBack) {
    setPenWidth(1);
    stroke({{100, 200}, {500, 200}});
    stroke({{300, 190}, {300, 210}});
    Form3->SpeedButton5Click();
    EXPECT_EQ(Form3->Board.pageState(1), 1);
    EXPECT_EQ(pagePixel(300, 200), Background);
    Form3->SpeedButton4Click();
    EXPECT_EQ(pagePixel(150, 200), Ink);
    EXPECT_EQ(pagePixel(300, 195), Ink);
    EXPECT_EQ(Form3->Board.pageState(1), 2); // it turns again as a page with content
}

TEST_F(BoardFixture, UndoCoversAWideEraserBand) {
    paintPage({0, 200, sw(), 500}, Blue);
    setPenWidth(9);
    Form3->SpeedButton10Click();
    stroke({{100, 350}, {400, 350}});
    Form3->SpeedButton4Click();
    for (const QPoint& p : {QPoint(250, 350), QPoint(250, 310), QPoint(60, 350)})
        EXPECT_EQ(pagePixel(p.x(), p.y()), Blue) << p.x() << "," << p.y();
}

TEST_F(BoardFixture, SettingsKeepThePanelBoundsOfThePage) {
    Form3->Panel4->setGeometry(12, 50, 333, 222);
    QTimer::singleShot(0, [] { Form6->close(); });
    Form3->SpeedButton6Click(); // returns when the settings window closes
    EXPECT_EQ(
        (std::array{Form3->Board.panelBounds(1).x(), Form3->Board.panelBounds(1).y(),
                    Form3->Board.panelBounds(1).width(), Form3->Board.panelBounds(1).height()}),
        (std::array{12, 50, 333, 222}));
    EXPECT_FALSE(Form6->isVisible());
}

TEST_F(BoardFixture, SettingsWriteTheShownPanelsTextFirstAndClearTheTeacher) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Form3->Board.setProgramFolder(dir.path() + QLatin1Char('/'));
    const QString file = Form3->pageTextFile(1);
    const QString text = QStringLiteral("牛顿第一定律");
    Form3->RichEdit1->setPlainText(text);
    SettingsShell settings;
    bool writtenFirst = false;
    settings.atOpening = [&] { writtenFirst = QFile::exists(file); };

    Form3->SpeedButton6Click(); // the panel hidden: nothing of it is written
    EXPECT_FALSE(writtenFirst);
    Form3->Panel4->show();
    Form3->SpeedButton6Click();
    EXPECT_TRUE(writtenFirst);
    QTextDocument back;
    ASSERT_TRUE(loadRichText(back, file));
    EXPECT_EQ(back.toPlainText(), text);
    EXPECT_EQ(settings.openings, (std::vector{TeacherChoice::Cleared, TeacherChoice::Cleared}));

    // A file that cannot be written ends the command before the settings open.
    Form3->Board.setProgramFolder(QStringLiteral("/nonexistent-folder/"));
    Form3->guarded([] { Form3->SpeedButton6Click(); });
    ASSERT_FALSE(fakes.dialogs.shown.empty());
    EXPECT_EQ(fakes.dialogs.shown.back().kind, QStringLiteral("error"));
    EXPECT_EQ(settings.openings.size(), 2u);
}
