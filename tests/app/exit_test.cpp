// Leaving the program: the question, the taskbar, the page text files and the outside tools.
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"

using namespace platform;

namespace {

class ExitTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Form3->Board.setProgramFolder(QStringLiteral("/lesson/"));
        for (int n = 1; n <= 13; ++n)
            fakes.files.present.insert(Form3->pageTextFile(n));
        fakes.windows.addWindow(QStringLiteral("panel"), true);
        fakes.windows.hideTaskbar();
        fakes.windows.screenSaverRunning = true;
        fakes.windows.closeRequests.clear();
    }
};

} // namespace

TEST_F(ExitTest, NoLeavesEverythingAsItWas) {
    Form3->Board.setPageCount(12);
    Form1->show();
    fakes.dialogs.answers = {Answer::No};
    Form1->SpeedButton1Click();
    ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown[0].text, QStringLiteral("确实要退出系统吗？"));
    EXPECT_EQ(fakes.dialogs.shown[0].title, QStringLiteral("提示信息"));
    EXPECT_EQ(fakes.windows.taskbarRestores, 0);
    EXPECT_TRUE(fakes.windows.screenSaverRunning);
    EXPECT_TRUE(fakes.files.removeAttempts.isEmpty());
    EXPECT_TRUE(fakes.windows.closeRequests.empty());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Application->Terminated());
}

// Every page's file is asked for in page order; one that cannot be deleted or was never
// written stops nothing and shows nothing.
TEST_F(ExitTest, YesDeletesThePageFilesOfTheCurrentPagesOnly) {
    Form3->Board.setPageCount(12);
    fakes.files.undeletable.insert(Form3->pageTextFile(5));
    fakes.files.present.remove(Form3->pageTextFile(7));
    fakes.dialogs.answers = {Answer::Yes};
    Form1->SpeedButton1Click();
    EXPECT_EQ(fakes.windows.taskbarRestores, 1);
    EXPECT_FALSE(fakes.windows.screenSaverRunning);
    QStringList attempted;
    for (int n = 1; n <= 12; ++n)
        attempted << QStringLiteral("/lesson/%1").arg(n);
    EXPECT_EQ(fakes.files.removeAttempts, attempted);
    EXPECT_EQ(fakes.files.present,
              (QSet<QString>{QStringLiteral("/lesson/5"), QStringLiteral("/lesson/13")}));
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(fakes.dialogs.shown.size() == 1u) << "no error box for the undeletable file";
}

TEST_F(ExitTest, CloseQueryClosesTheOutsideToolsWindows) {
    const WindowHandle tool1 = fakes.windows.addWindow(QStringLiteral("%*Y"));
    const WindowHandle engine = fakes.windows.addWindow(WritingEngineCaption);
    fakes.windows.addWindow(QStringLiteral("%*Y2"));
    fakes.windows.addWindow(QStringLiteral("xTouchMon"));
    const WindowHandle tool2 = fakes.windows.addWindow(QStringLiteral("%*Y"));
    bool canClose = true;
    Form1->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(fakes.windows.closeRequests, (std::vector<WindowHandle>{tool2, engine, tool1}));
}
