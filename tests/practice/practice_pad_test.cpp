// Writing practice from the toolbar's button: the pad's place, the engine's start, the watch
// over the engine with its start-up grace, and every way practice ends.
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"
#include "external/ani/engine_layout.h"
#include "practice/practice_pad.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

const QString Engine = WritingEngineCaption;

} // namespace

class PracticeTest : public AppFixture {
protected:
    WindowHandle taskbar = 0;

    void SetUp() override {
        AppFixture::SetUp();
        taskbar = fakes.windows.addWindow(QStringLiteral("panel"), true);
        Form3->Board.setProgramFolder(QStringLiteral("/opt/K Vorne/"));
    }

    // The desktop's windows from the top, and nothing else.
    void desktop(const QStringList& captions) {
        for (const WindowHandle w : fakes.windows.topLevelWindows()) {
            if (w != taskbar)
                fakes.windows.find(w)->open = false;
        }
        for (auto caption = captions.rbegin(); caption != captions.rend(); ++caption)
            fakes.windows.addWindow(*caption);
        fakes.windows.find(taskbar)->open = false; // hidden panels are no part of the walk
    }

    bool taskbarShown() { return fakes.windows.find(taskbar)->mapped; }
    bool practising() const { return Form14->Tag == 1 && Form14->Timer1->isActive(); }
    void expectEnded(const char* how) {
        EXPECT_FALSE(Form14->isVisible()) << how;
        EXPECT_EQ(Form14->Tag, 0) << how;
        EXPECT_FALSE(Form14->Timer1->isActive()) << how;
        EXPECT_TRUE(taskbarShown()) << how;
        EXPECT_FALSE(fakes.windows.screenSaverRunning) << how;
    }
};

TEST_F(PracticeTest, PadRunsTheStartUpScriptHiddenOnceAtStart) {
    const QString script = QLatin1Char('"') + QCoreApplication::applicationDirPath() +
                           QStringLiteral("/auto-ip.cmd\"");
    ASSERT_EQ(fakes.processes.started, QStringList{script});
    EXPECT_EQ(fakes.processes.shows, std::vector<ShowState>{ShowState::Hide});
}

// The pad's place on each screen, the engine's writing area below it, and the start: the pad
// shown and in use, the taskbar hidden, the engine started by its full path, the watch on.
TEST_F(PracticeTest, ToolbarButtonPlacesThePadAboveTheEnginesGridAndStartsTheEngine) {
    struct Case {
        QSize screen;
        QRect pad;
        int memoHeight, labelTop, saveTop;
    };
    const Case cases[] = {
        {{1024, 768}, {236, 72, 551, 154}, 125, 132, 80},
        {{1024, 600}, {236, 40, 551, 103}, 86, 88, 72},
        {{1280, 1024}, {364, 200, 551, 154}, 125, 132, 80},
        // Lower than the layout was made for: the pad's top stays on the screen.
        {{800, 576}, {124, 0, 551, 154}, 125, 132, 80},
        {{1920, 1080}, {684, 228, 551, 154}, 125, 132, 80},
    };
    Form1->show();
    int starts = 0;
    for (const Case& c : cases) {
        const QString screen = QStringLiteral("%1x%2").arg(c.screen.width()).arg(c.screen.height());
        fakes.display.size = c.screen;
        Form1->SpeedButton9Click();
        ++starts;
        EXPECT_EQ(Form14->geometry(), c.pad) << screen.toStdString();
        EXPECT_EQ(Form14->Memo1->geometry(), QRect(0, 0, 513, c.memoHeight));
        EXPECT_EQ(Form14->Label1->geometry(), QRect(8, c.labelTop, 395, 13));
        EXPECT_EQ(Form14->SpeedButton3->geometry(), QRect(517, c.saveTop, 31, 30));
        EXPECT_TRUE(Form14->isVisible());
        EXPECT_TRUE(practising());
        EXPECT_FALSE(taskbarShown());
        EXPECT_TRUE(fakes.windows.screenSaverRunning);
        // Every click starts another copy of the engine.
        ASSERT_EQ(fakes.processes.started.size(), 1 + starts);
        EXPECT_EQ(fakes.processes.started.back(), QStringLiteral("\"/opt/K Vorne/ani.dll\""));
        EXPECT_EQ(fakes.processes.shows.back(), ShowState::Show);
        // The engine writes below the pad and the toolbar.
        const EngineLayout engine = engineLayout(c.screen);
        EXPECT_GT(engine.controls.top(), Form14->geometry().bottom()) << screen.toStdString();
        EXPECT_GT(engine.controls.top(), Form1->geometry().bottom());
        EXPECT_GT(engine.grid.top(), engine.controls.bottom());
        EXPECT_LE(engine.grid.bottom(), c.screen.height() - 1);
        EXPECT_GE(engine.cell, c.screen.height() / 5);
        EXPECT_EQ(engine.grid.size(), QSize(engine.cell * engine.visibleCells, engine.cell));
        EXPECT_GE(engine.grid.left(), 0);
        EXPECT_LE(engine.grid.right(), c.screen.width() - 1);
    }
    EXPECT_TRUE(Form1->isVisible()) << "the toolbar stays";
}

// One tick of the watch, the engine seen already (or never started), from the desktop's
// windows top first.
TEST_F(PracticeTest, WatchSendsTheEngineDownOrEndsPracticeWhenItHasGone) {
    struct Case {
        const char* what;
        QStringList windows;
        bool padHidden;
        int lowered; // the index of the window sent to the bottom, -1 for none
        bool ends;
    };
    const QString other = QStringLiteral("Other");
    const Case cases[] = {
        {"engine below others", {other, QString(), Engine, Engine}, false, 2, false},
        {"engine on top, captioned last", {Engine, other}, false, 0, false},
        {"engine while the pad is hidden", {other, Engine}, true, 1, false},
        // What lies at the bottom is a window manager's business, and says nothing.
        {"no engine, captionless last", {other, QString()}, false, -1, true},
        {"no windows at all", {}, false, -1, false},
        {"no engine, captioned last", {QString(), other}, false, -1, true},
        {"no engine, captioned last, pad hidden", {other}, true, -1, true},
        {"a longer caption is not the engine", {Engine + QLatin1Char(' ')}, false, -1, true},
    };
    fakes.processes.startSucceeds = false; // no start-up grace: the rule alone
    for (const Case& c : cases) {
        Form1->SpeedButton9Click();
        if (c.padHidden)
            Form14->hide();
        desktop(c.windows);
        const std::vector<WindowHandle> walk = fakes.windows.topLevelWindows();
        fakes.windows.zRequests.clear();
        const int restores = fakes.windows.taskbarRestores;

        Form14->Timer1Timer();
        if (c.lowered >= 0) {
            const WindowHandle engine = walk[static_cast<size_t>(c.lowered)];
            EXPECT_EQ(fakes.windows.zRequests,
                      (std::vector<std::pair<WindowHandle, ZBand>>{{engine, ZBand::Bottom}}))
                << c.what;
            // The pad and the toolbar stay above the engine, whatever a window manager does
            // with a window that fills the screen.
            EXPECT_EQ(fakes.windows.owners,
                      (std::map<WindowHandle, WindowHandle>{{Form14->winId(), engine},
                                                            {Form1->handle(), engine}}))
                << c.what;
        } else {
            EXPECT_TRUE(fakes.windows.zRequests.empty()) << c.what;
        }
        if (c.ends) {
            expectEnded(c.what);
            EXPECT_TRUE(fakes.windows.owners.empty()) << c.what;
            EXPECT_EQ(fakes.windows.taskbarRestores, restores + 1) << c.what;
        } else {
            EXPECT_TRUE(practising()) << c.what;
            EXPECT_EQ(Form14->isVisible(), !c.padHidden) << c.what;
            EXPECT_EQ(fakes.windows.taskbarRestores, restores) << c.what;
        }
    }
}

// An engine just started maps its window some ticks later: practice waits for it up to five
// seconds, and from the moment it has been seen the rule applies at once.
TEST_F(PracticeTest, WatchGivesAStartingEngineFiveSeconds) {
    Form1->SpeedButton9Click();
    desktop({QStringLiteral("Other")});
    for (int tick = 1; tick < 50; ++tick) {
        Form14->Timer1Timer();
        ASSERT_TRUE(practising()) << "tick " << tick;
    }
    Form14->Timer1Timer();
    expectEnded("no engine after five seconds");

    // The engine shows, then ends by its own means: the next tick ends practice.
    Form1->SpeedButton9Click();
    desktop({Engine, QStringLiteral("Other")});
    Form14->Timer1Timer();
    EXPECT_TRUE(practising());
    desktop({QStringLiteral("Other")});
    Form14->Timer1Timer();
    expectEnded("engine ended");

    // A second click starts another engine and gives it its own grace.
    Form1->SpeedButton9Click();
    desktop({Engine, QStringLiteral("Other")});
    Form14->Timer1Timer();
    Form1->SpeedButton9Click();
    desktop({QStringLiteral("Other")});
    Form14->Timer1Timer();
    EXPECT_TRUE(practising());

    // An engine that could not be started gets no grace.
    fakes.processes.startSucceeds = false;
    Form1->SpeedButton9Click();
    Form14->Timer1Timer();
    expectEnded("engine not started");
}

// The pad's exit button, and a close request from the desktop to the pad, close every engine
// window and give the taskbar back.
TEST_F(PracticeTest, LeavingClosesTheEngineAndRestoresTheTaskbar) {
    for (const bool byCloseRequest : {false, true}) {
        Form1->SpeedButton9Click();
        desktop({Engine, QStringLiteral("书写练习"), Engine + QStringLiteral("2"), Engine});
        const std::vector<WindowHandle> walk = fakes.windows.topLevelWindows();
        fakes.windows.closeRequests.clear();
        if (byCloseRequest)
            Form14->close();
        else
            Form14->SpeedButton1->click();
        EXPECT_EQ(fakes.windows.closeRequests, (std::vector<WindowHandle>{walk[0], walk[3]}));
        expectEnded(byCloseRequest ? "close request" : "exit button");
    }
}

// The board hides the pad without ending practice; its return shows the pad, which hides the
// taskbar again.
TEST_F(PracticeTest, WhiteboardHidesThePadAndItsReturnShowsItAgain) {
    Form1->show();
    Form1->SpeedButton9Click();
    Form1->SpeedButton4Click();
    EXPECT_FALSE(Form14->isVisible());
    EXPECT_TRUE(practising());
    EXPECT_FALSE(taskbarShown());

    fakes.windows.restoreTaskbar(); // something else brought it back meanwhile
    Form3->SpeedButton40Click();
    EXPECT_TRUE(Form14->isVisible());
    EXPECT_FALSE(taskbarShown());

    // After practice has ended the board's return leaves the pad hidden.
    Form14->SpeedButton1Click();
    Form1->SpeedButton4Click();
    Form3->SpeedButton40Click();
    EXPECT_FALSE(Form14->isVisible());
    EXPECT_TRUE(taskbarShown());
}

TEST_F(PracticeTest, PadHoldsItsDesignedTexts) {
    EXPECT_EQ(Form14->lines(),
              (QStringList{QStringLiteral("可以在本栏内输入多行文字"),
                           QStringLiteral("拖动下面的放大镜图标选中任意一行可改变待书写框内容"),
                           QStringLiteral("也可以直接在待书写框内输入文字")}));
    EXPECT_EQ(Form14->Label1->text(),
              QStringLiteral("提示：为了保证正常运行，请在点击[停止]按钮前，完成最后一笔笔画。"));
    EXPECT_EQ(Form14->SpeedButton1->toolTip(), QStringLiteral("退出"));
    EXPECT_EQ(Form14->Memo1->font().pixelSize(), 15);
    EXPECT_EQ(Form14->Memo1->focusPolicy(), Qt::ClickFocus);
    const Qt::WindowFlags flags = Form14->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(Form14->Timer1->interval(), 100);
    EXPECT_FALSE(Form14->Timer1->isActive());
}

namespace {

// The relative luminance of a colour and the contrast of two, as screen readability is measured.
double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

// The hint line under the memo can be read on the pad's face.
TEST_F(PracticeTest, TheHintLineCanBeRead) {
    const QPalette colours = Form14->Label1->palette();
    EXPECT_GE(
        contrast(colours.color(QPalette::WindowText), Form14->palette().color(QPalette::Window)),
        4.5);
}
