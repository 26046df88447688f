// The start after a crash: the question, the pages brought back or discarded, the lock that
// keeps a second copy away from the first one's folder, and the exit that leaves nothing.
#include "app/recovery.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/model/recovery_recorder.h"
#include "board/model/recovery_writer.h"
#include "board/whiteboard.h"
#include "platform/os/qt_state_folder.h"
#include "platform/raster/canvas.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {

constexpr TColor Grey = 0x00808080;
constexpr TColor Ink = 0x000000FF;
constexpr TColor Blue = 0x00FF0000;
const QString Question = QStringLiteral("上次未正常退出，是否恢复未保存的页面？");

class RecoveryStartTest : public AppFixture {
protected:
    QTemporaryDir state;
    QTemporaryDir programFolder;

    QString folder() const { return state.filePath(QStringLiteral("recovery")); }
    QString lockFile() const { return state.filePath(QStringLiteral("recovery.lock")); }

    void SetUp() override {
        AppFixture::SetUp();
        fakes.stateFolder.folder = state.path();
        Form3->Board.ProgramFolder = programFolder.path() + QLatin1Char('/');
    }

    // What an earlier run that was killed left: strokes on pages 1 and 3, a text panel on
    // page 3, page 3 current.
    BoardModel& leaveCrashedRun() {
        crashed_.create(QSize(sw(), sh()), QStringLiteral("/nowhere/"));
        crashed_.setBackgroundColour(Grey);
        crashed_.prepareCurrentPage();
        for (int page = 1; page <= 3; ++page) {
            QImage picture = crashed_.current().copy();
            if (page != 2)
                Canvas(picture).fillRect({100 * page, 200, 100 * page + 50, 260}, Ink);
            crashed_.writePage(page, picture);
            crashed_.PageState[page] = 2;
            if (page < 3)
                crashed_.turnRight();
        }
        crashed_.setPanelKind(3, 1);
        crashed_.PanelLeft[3] = 40;
        crashed_.PanelTop[3] = 41;
        crashed_.PanelWidth[3] = 300;
        crashed_.PanelHeight[3] = 200;
        RecoveryWriter writer(folder(), -1);
        const QString noText = state.filePath(QStringLiteral("no text"));
        RecoveryRecorder recorder(crashed_, writer, [noText](int) { return noText; });
        recorder.openPanel = [] {
            return RecoveryRecorder::OpenPanel{QRect(40, 41, 300, 200), 1,
                                               [] { return QByteArray("{\\rtf1 page three}"); }};
        };
        recorder.record();
        writer.wait();
        return crashed_;
    }

    std::vector<QString> questions() const {
        std::vector<QString> texts;
        for (const FakeDialogs::Shown& shown : fakes.dialogs.shown)
            texts.push_back(shown.text);
        return texts;
    }

private:
    BoardModel crashed_;
};

} // namespace

TEST_F(RecoveryStartTest, YesBringsThePagesBackAndShowsTheBoardOnThePageThatWasCurrent) {
    BoardModel& crashed = leaveCrashedRun();
    Form1->show();
    fakes.dialogs.answers = {Answer::Yes};
    BoardRecovery recovery(*Form3);
    recovery.start(Form1);

    ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown[0].text, Question);
    EXPECT_EQ(fakes.dialogs.shown[0].title, QStringLiteral("提示信息"));
    BoardModel& board = Form3->Board;
    EXPECT_EQ(board.PageCount, 3);
    EXPECT_EQ(board.CurrentPage, 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(board.pagePicture(page), crashed.pagePicture(page)) << page;
        EXPECT_EQ(board.PageState[page], 2);
    }
    EXPECT_EQ(board.panelKind(3), 1);
    QFile text(Form3->pageTextFile(3));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), "{\\rtf1 page three}");

    EXPECT_TRUE(Form3->isVisible());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_EQ(Form3->Edit2->text(), QStringLiteral("3"));
    EXPECT_EQ(fromRgb(Form3->Surface.pixel(325, 230)), Ink);
    EXPECT_EQ(Form3->Panel4->geometry(), QRect(40, 41, 300, 200));
    EXPECT_TRUE(recovery.running());
}

TEST_F(RecoveryStartTest, NoDiscardsThePagesAndTheBoardStartsEmpty) {
    leaveCrashedRun();
    fakes.dialogs.answers = {Answer::No};
    BoardRecovery recovery(*Form3);
    recovery.start(Form1);
    EXPECT_EQ(questions(), std::vector<QString>{Question});
    EXPECT_FALSE(QDir(folder()).exists());
    EXPECT_EQ(Form3->Board.PageCount, 1);
    EXPECT_EQ(Form3->Board.PageState[1], 0);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_TRUE(recovery.running());
}

TEST_F(RecoveryStartTest, ACopyWithoutTheLockNeitherAsksNorReadsNorRemoves) {
    leaveCrashedRun();
    fakes.stateFolder.heldElsewhere.insert(lockFile());
    BoardRecovery recovery(*Form3);
    recovery.start(Form1);
    EXPECT_TRUE(fakes.dialogs.shown.empty());
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/manifest.json")));
    EXPECT_FALSE(recovery.running());
    recovery.finish();
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/manifest.json")));
}

TEST_F(RecoveryStartTest, NothingToOfferAsksNothing) {
    BoardRecovery recovery(*Form3);
    recovery.start(Form1);
    EXPECT_TRUE(fakes.dialogs.shown.empty());
    EXPECT_TRUE(recovery.running());
    EXPECT_EQ(fakes.stateFolder.held, QSet<QString>{lockFile()});
}

// The exit command removes the folder; any other end of the program leaves it for the next
// start.
TEST_F(RecoveryStartTest, TheExitCommandLeavesNoFolderAndOtherEndsKeepIt) {
    for (const bool exitCommand : {false, true}) {
        SCOPED_TRACE(exitCommand);
        {
            BoardRecovery recovery(*Form3);
            recovery.start(Form1);
            Form3->Board.fill(Form3->Board.CurrentPage, Blue);
            Form3->Board.PageState[Form3->Board.CurrentPage] = 2;
            Form3->Board.turnRight(); // a turn writes at once
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return QFile::exists(folder() + QStringLiteral("/manifest.json")); }, 10000));
            if (exitCommand) {
                fakes.dialogs.answers = {Answer::Yes};
                Form1->SpeedButton1Click();
            }
        }
        EXPECT_EQ(QDir(folder()).exists(), !exitCommand);
        EXPECT_TRUE(fakes.stateFolder.held.isEmpty());
        fakes.dialogs.answers = {Answer::No};
    }
}

// The lock of the desktop is the kernel's: a second holder is refused until the first lets go.
TEST(StateFolderLock, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
    QTemporaryDir dir;
    QtStateFolder folders;
    const QString path = dir.filePath(QStringLiteral("recovery.lock"));
    std::unique_ptr<FileLock> first = folders.lockFile(path);
    ASSERT_TRUE(first);
    EXPECT_FALSE(folders.lockFile(path));
    first.reset();
    EXPECT_TRUE(folders.lockFile(path));
    EXPECT_FALSE(folders.lockFile(dir.filePath(QStringLiteral("missing/recovery.lock"))));
}
