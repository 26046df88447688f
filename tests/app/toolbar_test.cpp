// The toolbar's geometry and its commands.
#include "annotate/overlay.h"
#include "app/blanking.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"

#include <QMessageBox>
#include <QTimer>

using namespace platform;

TEST_F(AppFixture, ShrinkAndRestoreKeepTheToolbarDocked) {
    EXPECT_EQ(Form1->geometry(), QRect(sw() - 436, 0, 343, 39));
    Form1->SpeedButton5Click();
    EXPECT_EQ(Form1->geometry(), QRect(sw() - 436 + 275, 0, 16, 16));
    EXPECT_EQ(Form1->Panel1->size(), QSize(16, 16));
    EXPECT_FALSE(Form1->SpeedButton6->isHidden());
    EXPECT_TRUE(Form1->SpeedButton3->isHidden());
    Form1->SpeedButton6Click();
    EXPECT_EQ(Form1->geometry(), QRect(sw() - 436, 0, 342, 40));
    EXPECT_EQ(Form1->Panel1->size(), QSize(351, 40));
    EXPECT_TRUE(Form1->SpeedButton6->isHidden());
    EXPECT_FALSE(Form1->SpeedButton3->isHidden());
    // A second round ends in the same place.
    Form1->SpeedButton5Click();
    Form1->SpeedButton6Click();
    EXPECT_EQ(Form1->geometry(), QRect(sw() - 436, 0, 342, 40));
}

TEST_F(AppFixture, OnScreenToolButtonClosesItsWindowsOrStartsIt) {
    const WindowHandle a = fakes.windows.addWindow(QStringLiteral("%*Y"));
    fakes.windows.addWindow(QStringLiteral("%*Y "));
    const WindowHandle b = fakes.windows.addWindow(QStringLiteral("%*Y"));
    fakes.windows.closeRequests.clear();
    fakes.processes.started.clear(); // the start-up script
    Form1->SpeedButton8Click();
    EXPECT_EQ(fakes.windows.closeRequests, (std::vector<WindowHandle>{b, a}));
    EXPECT_TRUE(fakes.processes.started.isEmpty());

    // With no tool window left the next click starts the tool, whether or not it can start.
    fakes.processes.startSucceeds = false;
    Form1->SpeedButton8Click();
    EXPECT_EQ(fakes.processes.started, QStringList{QStringLiteral("vrnkb.dll")});
    EXPECT_TRUE(fakes.dialogs.shown.empty());
}

TEST_F(AppFixture, KeepOnTopTimerPutsTheToolbarAtTheTopBelowAnOpenQuestion) {
    using Requests = std::vector<std::pair<WindowHandle, ZBand>>;
    Form1->show();
    Form1->Timer1Timer();
    EXPECT_EQ(fakes.windows.zRequests, (Requests{{Form1->handle(), ZBand::Topmost}}));

    // The exit question opens over the toolbar: each tick puts it back above the toolbar.
    QMessageBox box(QMessageBox::Question, ConfirmTitle, QStringLiteral("确实要退出系统吗？"),
                    QMessageBox::Yes | QMessageBox::No, Form1);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    fakes.windows.zRequests.clear();
    Form1->Timer1Timer();
    const auto boxHandle = static_cast<WindowHandle>(box.winId());
    EXPECT_EQ(fakes.windows.zRequests,
              (Requests{{Form1->handle(), ZBand::Topmost}, {boxHandle, ZBand::Topmost}}));

    box.hide();
    fakes.windows.zRequests.clear();
    Form1->Timer1Timer();
    EXPECT_EQ(fakes.windows.zRequests, (Requests{{Form1->handle(), ZBand::Topmost}}));
}

TEST_F(AppFixture, WhiteboardButtonHidesTheToolbarAndShowsTheBoard) {
    Form1->show();
    Form1->SpeedButton4Click();
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_TRUE(Form3->isVisible());
    // Back to the desktop with the board's return button.
    Form3->SpeedButton40Click();
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(Form1->Timer1->isActive());
}

TEST_F(AppFixture, BlankingTakesTheToolbarOutOfTheTopBand) {
    Form1->show();
    Form1->SpeedButton10Click();
    EXPECT_EQ(fakes.windows.zRequests.front(), std::make_pair(Form1->handle(), ZBand::NotTopmost));
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->geometry(), QRect(0, 0, sw(), sh()));
    EXPECT_EQ(Form5->SpeedButton1->geometry(), QRect(sw() - 33, 0, 33, 33));
    EXPECT_EQ(fakes.windows.pointer, QPoint(sw(), 50));
}

// Annotation gives back, when it ends, the window that was under the point (500, 360) when it
// opened: the topmost shown window there, whatever lies above it elsewhere.
TEST_F(AppFixture, AnnotationRemembersTheWindowUnderTheMiddleOfTheScreen) {
    fakes.windows.addWindow(QStringLiteral("桌面"), false, {0, 0, 1024, 768});
    const WindowHandle lesson =
        fakes.windows.addWindow(QStringLiteral("课件"), false, {300, 200, 400, 300});
    fakes.windows.addWindow(QStringLiteral("左边"), false, {300, 300, 200, 100}); // to x 499
    fakes.windows.addWindow(QStringLiteral("下边"), false, {450, 361, 100, 100}); // from y 361
    const WindowHandle closed =
        fakes.windows.addWindow(QStringLiteral("已关闭"), false, {480, 340, 50, 50});
    fakes.windows.requestClose(closed);
    const WindowHandle hidden =
        fakes.windows.addWindow(QStringLiteral("隐藏"), false, {480, 340, 50, 50});
    fakes.windows.find(hidden)->mapped = false;

    Form1->show();
    QTimer::singleShot(0, [] { Form2->hide(); }); // the overlay is modal: leave it at once
    Form1->SpeedButton3Click();
    EXPECT_EQ(Form1->AnnotateTargetWindow, lesson);
}
