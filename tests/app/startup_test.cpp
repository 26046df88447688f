// The start-up checks: the colour-depth question, one running copy, the touch monitor's window;
// the windows made at start.
#include "annotate/overlay.h"
#include "app/blanking.h"
#include "app/forms.h"
#include "app/help_window.h"
#include "app/recovery.h"
#include "app/settings_button.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/model/pen_rules.h"
#include "board/whiteboard.h"
#include "intake/import_window.h"
#include "intake/scanner_source.h"
#include "lessons/change_password.h"
#include "lessons/keypad.h"
#include "lessons/settings_window.h"
#include "practice/practice_pad.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

using namespace platform;

TEST_F(StartupFixture, OnlyASecondWindowCaptionedWithTheTitleEndsTheProgram) {
    struct Case {
        QStringList others;
        bool terminated;
    };
    const Case cases[] = {
        {{}, false},
        {{QStringLiteral("K_Vorne")}, true},      // a copy that runs already, or any such window
        {{QStringLiteral("K_Vorne 2")}, false},   // only begins with the title
        {{QStringLiteral("K_Vorne1234")}, false}, // longer than the buffer holds
        {{QStringLiteral("k_vorne")}, false},     // the comparison is case-sensitive
        {{QString(), QStringLiteral("Editor")}, false},
    };
    for (const Case& c : cases) {
        FakeServices fresh;
        for (const QString& caption : c.others)
            fresh.windows.addWindow(caption);
        fresh.windows.addWindow(QStringLiteral("K_Vorne")); // the program's own
        TApplication app(QStringLiteral("K_Vorne"));
        Application = &app;
        Form1 = nullptr;
        TForm1 toolbar;
        Form1 = &toolbar;
        toolbar.FormCreate();
        EXPECT_EQ(app.Terminated(), c.terminated) << c.others.join(QLatin1Char('|')).toStdString();
        // The copy that runs already is asked to come to the front; a copy that runs on
        // answers such calls.
        EXPECT_EQ(!fresh.windows.calls.empty(), c.terminated);
        EXPECT_EQ(fresh.windows.answers.count(app.Handle()), c.terminated ? 0U : 1U);
        // The other steps run all the same.
        EXPECT_EQ(fresh.taskKeys.calls, (std::vector<std::pair<int, int>>{{1, 23}}));
        Form1 = nullptr;
        Application = nullptr;
    }
}

TEST_F(StartupFixture, TouchMonitorWindowsAreClosedAndNothingElse) {
    const WindowHandle monitor1 = fakes.windows.addWindow(QStringLiteral("xTouchMon"));
    fakes.windows.addWindow(QStringLiteral("xTouchMon2"));
    fakes.windows.addWindow(QStringLiteral("Kalender"));
    const WindowHandle monitor2 = fakes.windows.addWindow(QStringLiteral("xTouchMon"));
    createProgram();
    EXPECT_EQ(fakes.windows.closeRequests, (std::vector<WindowHandle>{monitor2, monitor1}));
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(StartupFixture, ColourDepthQuestionOnlyBelow24Bits) {
    struct Case {
        int depth;
        Answer answer;
        bool asked;
        std::vector<int> requests;
    };
    const Case cases[] = {
        {16, Answer::Yes, true, {24}},
        {16, Answer::No, true, {}},
        {24, Answer::Yes, false, {}},
        {32, Answer::Yes, false, {}},
    };
    for (const Case& c : cases) {
        FakeServices fresh;
        fresh.display.depth = c.depth;
        fresh.dialogs.answers = {c.answer};
        fresh.windows.addWindow(QStringLiteral("K_Vorne"));
        TApplication app(QStringLiteral("K_Vorne"));
        Application = &app;
        TForm1 toolbar;
        toolbar.FormCreate();
        ASSERT_EQ(fresh.dialogs.shown.size(), c.asked ? 1u : 0u) << c.depth;
        if (c.asked) {
            EXPECT_EQ(fresh.dialogs.shown[0].text,
                      QStringLiteral("您的系统颜色质量设置低于24位，是否调整?"));
            EXPECT_EQ(fresh.dialogs.shown[0].title, QStringLiteral("提示信息"));
        }
        EXPECT_EQ(fresh.display.depthRequests, c.requests) << c.depth;
        // The refused depth change is not reported and the program starts.
        EXPECT_FALSE(app.Terminated());
        Application = nullptr;
    }
}

TEST_F(StartupFixture, ToolbarIsDockedAtTheTopNearTheRightEdge) {
    createProgram();
    EXPECT_EQ(Form1->geometry(), QRect(sw() - 436, 0, 343, 39));
    EXPECT_TRUE(Form1->Timer1->isActive());
    EXPECT_EQ(Form1->Timer1->interval(), 1000);
    EXPECT_EQ(Form3->Board.boardPaintMode(), 0);
}

// A second copy's call brings a shrunk toolbar back, on top.
TEST_F(AppFixture, ACallFromASecondCopyBringsTheToolbarForward) {
    Form1->show();
    Form1->SpeedButton5Click();
    fakes.windows.zRequests.clear();
    ASSERT_EQ(fakes.windows.answers.count(Application->Handle()), 1U);
    fakes.windows.answers[Application->Handle()]();
    EXPECT_EQ(Form1->width(), 342);
    EXPECT_FALSE(Form1->SpeedButton6->isVisible());
    EXPECT_EQ(fakes.windows.zRequests,
              (std::vector<std::pair<WindowHandle, ZBand>>{{Form1->handle(), ZBand::Topmost}}));
}

// At start only the toolbar is made; every other window waits until the program first uses it,
// the recovery's start included.
TEST_F(AppFixture, OnlyTheToolbarIsMadeAtStart) {
    QTemporaryDir state;
    fakes.stateFolder.folder = state.path();
    Form1->show();
    BoardRecovery recovery(boardModel());
    recovery.start(Form1);
    ASSERT_TRUE(recovery.running());
    const std::pair<const char*, const QWidget*> others[] = {
        {"overlay", Form2.made()},       {"board", Form3.made()},     {"help", Form4.made()},
        {"blanking", Form5.made()},      {"settings", Form6.made()},  {"keypad", Form7.made()},
        {"password", Form8.made()},      {"scanner", Form11.made()},  {"import", Form12.made()},
        {"settings box", Form13.made()}, {"practice", Form14.made()},
    };
    for (const auto& [name, made] : others)
        EXPECT_EQ(made, nullptr) << name;

    // The first use makes the board, showing what the settings handed over at start.
    Form1->SpeedButton4Click();
    ASSERT_NE(Form3.made(), nullptr);
    EXPECT_TRUE(Form3->isVisible());
    const TColor background = boardModel().backgroundColour();
    EXPECT_EQ(fromQColor(Form3->palette().color(QPalette::Window)), background);
    EXPECT_EQ(fromQColor(Form3->RichEdit1->palette().color(QPalette::Base)),
              editorColourFor(background));
    EXPECT_EQ(Form3->RCP->Color(), background);
}

// Idle with the board open, no timer of the program's windows runs: the toolbar's keeps the
// toolbar on top only while it is shown, the settings window follows the drives only while
// it is open.
TEST_F(AppFixture, NoTimerRunsWhileTheBoardIsOpen) {
    Form1->show();
    Form1->SpeedButton4Click();
    ASSERT_TRUE(Form3->isVisible());
    QStringList running;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (const QTimer* timer : window->findChildren<QTimer*>()) {
            if (timer->isActive())
                running << QString::fromLatin1(timer->parent()->metaObject()->className());
        }
    }
    EXPECT_EQ(running, QStringList());
}

// A board made after the model changed shows the model as it is: the page, its text panel and
// the floating picture the annotation sent.
TEST_F(AppFixture, ABoardMadeLaterShowsWhatTheModelHolds) {
    BoardModel& model = boardModel();
    model.prepareCurrentPage();
    model.setPageState(1, 2);
    model.turnRight();
    ASSERT_EQ(model.currentPage(), 2);
    model.setPanelKind(2, 1);
    model.setPanelBounds(2, QRect(30, 60, 200, 150));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    model.placeFloatingPicture(picture, QPoint(300, 200));
    ASSERT_EQ(Form3.made(), nullptr);

    Form1->SpeedButton4Click();
    EXPECT_EQ(Form3->Edit2->text(), QStringLiteral("2"));
    EXPECT_TRUE(Form3->Panel4->isVisible());
    EXPECT_EQ(Form3->Panel4->geometry(), QRect(30, 60, 200, 150));
    EXPECT_TRUE(Form3->Image2->isVisible());
    EXPECT_EQ(Form3->Image2->geometry(), QRect(300, 200, 40, 30));
}
