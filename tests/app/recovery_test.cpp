// The start after a crash: the question, the pages brought back or discarded, the lock that
// keeps a second copy away from the first one's folder, and the exit that leaves nothing.
#include "app/forms.h"
#include "app/recovery.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/model/recovery_reader.h"
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
        boardModel().setProgramFolder(programFolder.path() + QLatin1Char('/'));
    }

    // What an earlier run that was killed left: strokes on pages 1 and 3, a text panel on
    // page 3, page 3 current; on this screen, or on one larger by `larger`.
    BoardModel& leaveCrashedRun(QSize larger = QSize(0, 0)) {
        crashed_.create(QSize(sw(), sh()) + larger, QStringLiteral("/nowhere/"));
        crashed_.setBackgroundColour(Grey);
        crashed_.prepareCurrentPage();
        for (int page = 1; page <= 3; ++page) {
            QImage picture = crashed_.current().copy();
            if (page != 2)
                Canvas(picture).fillRect({100 * page, 200, 100 * page + 50, 260}, Ink);
            crashed_.writePage(page, picture);
            crashed_.setPageState(page, PageWithContent);
            if (page < 3)
                crashed_.turnRight();
        }
        crashed_.setPanelKind(3, TextPanel);
        crashed_.setPanelBounds(3, QRect(40, 41, 300, 200));
        RecoveryWriter writer(folder(), -1);
        const QString noText = state.filePath(QStringLiteral("no text"));
        RecoveryRecorder recorder(crashed_, writer, [noText](int) { return noText; });
        crashed_.setPanelShown(true);
        recorder.panelTextBytes = [](const QTextDocument&) {
            return QByteArray("{\\rtf1 page three}");
        };
        recorder.record();
        writer.wait();
        return crashed_;
    }

    // The folders set aside beside the recovery folder.
    QStringList setAside() const {
        return QDir(state.path()).entryList({QStringLiteral("recovery.*")}, QDir::Dirs);
    }

    QString manifest() const { return folder() + QStringLiteral("/manifest.json"); }

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
    BoardRecovery recovery(Form3->Board);
    recovery.start(Form1);

    ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown[0].text, Question);
    EXPECT_EQ(fakes.dialogs.shown[0].title, QStringLiteral("提示信息"));
    BoardModel& board = Form3->Board;
    EXPECT_EQ(board.pageCount(), 3);
    EXPECT_EQ(board.currentPage(), 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(board.pagePicture(page), crashed.pagePicture(page)) << page;
        EXPECT_EQ(board.pageState(page), 2);
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

// No is a clean start: nothing of the run before is kept, also not the page texts it left in
// the program folder (or a new page's panel would open with one of them).
TEST_F(RecoveryStartTest, NoDiscardsThePagesAndTheBoardStartsEmpty) {
    leaveCrashedRun();
    for (const int page : {1, 2, 3, 7, 99}) {
        QFile text(Form3->pageTextFile(page));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("{\\rtf1 crashed run}");
    }
    fakes.dialogs.answers = {Answer::No};
    BoardRecovery recovery(Form3->Board);
    recovery.start(Form1);
    EXPECT_EQ(questions(), std::vector<QString>{Question});
    EXPECT_FALSE(QDir(folder()).exists());
    EXPECT_TRUE(setAside().isEmpty());
    EXPECT_EQ(QDir(programFolder.path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(Form3->Board.pageCount(), 1);
    EXPECT_EQ(Form3->Board.pageState(1), 0);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_TRUE(recovery.running());
}

TEST_F(RecoveryStartTest, ACopyWithoutTheLockNeitherAsksNorReadsNorRemoves) {
    leaveCrashedRun();
    fakes.stateFolder.heldElsewhere.insert(lockFile());
    BoardRecovery recovery(Form3->Board);
    recovery.start(Form1);
    EXPECT_TRUE(fakes.dialogs.shown.empty());
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/manifest.json")));
    EXPECT_FALSE(recovery.running());
    recovery.finish();
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/manifest.json")));
}

TEST_F(RecoveryStartTest, NothingToOfferAsksNothing) {
    BoardRecovery recovery(Form3->Board);
    recovery.start(Form1);
    EXPECT_TRUE(fakes.dialogs.shown.empty());
    EXPECT_TRUE(recovery.running());
    EXPECT_EQ(fakes.stateFolder.held, QSet<QString>{lockFile()});
}

// A damaged folder: what is intact is offered, what is not is named, and the folder is set
// aside whole; the board brought back is written into a new folder at once.
TEST_F(RecoveryStartTest, ADamagedFolderOffersWhatIsIntactAndIsSetAsideWhole) {
    BoardModel& crashed = leaveCrashedRun();
    const QString page1 = QDir(folder()).entryList({QStringLiteral("page-1-*")}).value(0);
    ASSERT_TRUE(QFile::remove(folder() + '/' + page1));
    const QStringList files = QDir(folder()).entryList(QDir::Files);
    fakes.dialogs.answers = {Answer::Yes};
    BoardRecovery recovery(Form3->Board);
    recovery.start(Form1);

    ASSERT_EQ(setAside().size(), 1);
    const QString aside = state.filePath(setAside().value(0));
    EXPECT_EQ(QDir(aside).entryList(QDir::Files), files);
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0], Question + QStringLiteral("\n第 1 页无法读取。\n无法读取的恢复文件已"
                                                        "保留在“%1”。")
                                             .arg(aside));
    BoardModel& board = Form3->Board;
    EXPECT_EQ(board.currentPage(), 3);
    EXPECT_EQ(board.pagePicture(3), crashed.pagePicture(3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(manifest()); }, 10000));
}

// Nothing of it can be read: the teacher is told so, and the folder is set aside.
TEST_F(RecoveryStartTest, AFolderWithNothingReadableIsNamedAndSetAside) {
    leaveCrashedRun();
    for (const QString& name : QDir(folder()).entryList(QDir::Files))
        QFile::resize(folder() + '/' + name, 3);
    BoardRecovery recovery(Form3->Board);
    recovery.start(Form1);
    ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown[0].kind, QStringLiteral("inform"));
    EXPECT_TRUE(fakes.dialogs.shown[0].text.startsWith(
        QStringLiteral("上次未正常退出，未保存的页面无法读取。\n")));
    EXPECT_TRUE(fakes.dialogs.shown[0].text.contains(QStringLiteral("第 1、3 页无法读取。")));
    EXPECT_EQ(setAside().size(), 1);
    EXPECT_FALSE(QDir(folder()).exists());
    EXPECT_EQ(Form3->Board.pageState(1), 0);
    EXPECT_TRUE(recovery.running());
}

// Pages drawn on a larger screen come back cut at this one's edge: their files are kept aside
// until the teacher saves, and the teacher is told.
TEST_F(RecoveryStartTest, PagesLargerThanTheScreenAreKeptAsideUntilTheyAreSaved) {
    leaveCrashedRun(QSize(200, 100));
    const QStringList files = QDir(folder()).entryList(QDir::Files);
    fakes.dialogs.answers = {Answer::Yes};
    BoardRecovery recovery(Form3->Board);
    recovery.start(Form1);

    ASSERT_EQ(setAside().size(), 1);
    const QString aside = state.filePath(setAside().value(0));
    EXPECT_EQ(QDir(aside).entryList(QDir::Files), files);
    ASSERT_EQ(fakes.dialogs.shown.size(), 2u);
    EXPECT_EQ(
        fakes.dialogs.shown[1].text,
        QStringLiteral("恢复的页面比本屏幕大，超出屏幕的部分没有显示。\n原来的恢复文件保留在“%"
                       "1”，直到保存课程或退出。")
            .arg(aside));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(manifest()); }, 10000));
    EXPECT_EQ(readRecovery(folder(), Form3->Board.pageSize(), Grey)->pages.at(0).packed.size,
              Form3->Board.pageSize());

    discardRecovery();
    EXPECT_TRUE(setAside().isEmpty());
}

// The exit command removes the folder; any other end of the program leaves it for the next
// start.
TEST_F(RecoveryStartTest, TheExitCommandLeavesNoFolderAndOtherEndsKeepIt) {
    for (const bool exitCommand : {false, true}) {
        SCOPED_TRACE(exitCommand);
        {
            BoardRecovery recovery(Form3->Board);
            recovery.start(Form1);
            Form3->Board.fill(Form3->Board.currentPage(), Blue);
            Form3->Board.setPageState(Form3->Board.currentPage(), 2);
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
