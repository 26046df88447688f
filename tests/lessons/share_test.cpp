// Lessons on a school's share, against a real Samba server: a lesson saved in one classroom
// opens in another and on the Windows program's mapped drive; a server that dies at any step
// of a save leaves one lesson whole; two classrooms saving at once never mix; a server that
// does not answer ends the job within its time limit while the program goes on.
#include "lessons/share_files.h"
#include "lessons/share_progress.h"
#include "platform/os/smb_client.h"
#include "samba_fixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <utime.h>

using namespace lessons;

namespace {

const LessonOwner Owner{QStringLiteral("教师1"), 2, 13};
const std::vector<TColor> Old{0x0000FF, 0x00FF00};
const std::vector<TColor> New{0xFF0000, 0x00FFFF, 0xFF00FF};

// The share's files, with the server killed just before the change numbered `killAt`: the
// writes, renames, removals and flushes that make up a save and its journal.
class KilledServerFiles final : public ArchiveFiles {
public:
    KilledServerFiles(ArchiveFiles& files, int killAt, std::function<void()> kill)
        : files_(files), killAt_(killAt), kill_(std::move(kill)) {}
    bool killed = false;

    std::optional<QByteArray> read(const QString& path) override { return files_.read(path); }
    std::optional<Stamp> stamp(const QString& path) override { return files_.stamp(path); }
    bool present(const QString& path) override { return files_.present(path); }
    bool write(const QString& path, const QByteArray& bytes) override {
        change();
        return files_.write(path, bytes);
    }
    bool rename(const QString& from, const QString& to) override {
        change();
        return files_.rename(from, to);
    }
    bool remove(const QString& path) override {
        change();
        return files_.remove(path);
    }
    bool flush(const QString& folder) override {
        change();
        return files_.flush(folder);
    }
    QStringList fileNames(const QString& folder) override { return files_.fileNames(folder); }
    bool makeFolder(const QString& path) override { return files_.makeFolder(path); }

private:
    void change() {
        if (++changes_ == killAt_) {
            killed = true;
            kill_();
        }
    }
    ArchiveFiles& files_;
    int killAt_;
    int changes_ = 0;
    std::function<void()> kill_;
};

class ShareLessons : public SambaFixture {
protected:
    ShareReply upload(const QString& staging, bool replace = true) {
        ShareSession session(share());
        ShareTask task;
        return uploadLesson(session, lessonUrl(), Owner, {}, staging, replace, task);
    }
    // Waits for the job the program gave up on to end: the share's jobs run one after the
    // other.
    void afterAbandonedJob() {
        runOnShare(
            nullptr, share(), [](ShareSession&, ShareTask&) { return ShareReply{}; }, QString(),
            QString());
    }
    // What is on the server besides the lessons' own files.
    QStringList leftovers() {
        QStringList names = QDir(lessonOnServer()).entryList(QDir::Files);
        names.removeIf([](const QString& name) {
            return name == LessonIndexFile || name.endsWith(PictureExtension) ||
                   name.endsWith(PanelExtension) || name.endsWith(TextExtension);
        });
        return names;
    }
};

TEST_F(ShareLessons, ASavedLessonOpensInASecondClassroomAndAsTheWindowsProgramsFiles) {
    drawLesson(New, {2});
    const QString staging = stage(Owner);
    const ShareReply saved = upload(staging, false);
    ASSERT_TRUE(saved.result.ok()) << saved.result.message.toStdString();
    EXPECT_TRUE(saved.question.isEmpty());

    const ShareReply opened = openElsewhere(Owner);
    ASSERT_TRUE(opened.result.ok()) << opened.result.message.toStdString();
    EXPECT_TRUE(holds(New, {2}));

    // A classroom PC with the share mapped as a drive reads the files of a save on its own
    // disk, byte for byte, and nothing else is left there.
    QStringList stagedNames = QDir(staging).entryList(QDir::Files);
    EXPECT_EQ(QDir(lessonOnServer()).entryList(QDir::Files), stagedNames);
    for (const QString& name : stagedNames) {
        QFile here(staging + name);
        QFile there(lessonOnServer() + name);
        ASSERT_TRUE(here.open(QIODevice::ReadOnly) && there.open(QIODevice::ReadOnly));
        EXPECT_EQ(here.readAll(), there.readAll()) << name.toStdString();
    }

    // A lesson there already is replaced only when the teacher agrees.
    const ShareReply again = upload(staging, false);
    EXPECT_TRUE(again.result.ok());
    EXPECT_TRUE(again.question.contains(QStringLiteral("要用现在的课替换它吗")));
}

TEST_F(ShareLessons, AServerKilledAtAnyStepOfASaveLeavesOneLessonWholeAndTheNextOpeningFinishesIt) {
    drawLesson(Old, {1});
    const QString oldStaging = secondDir.path() + QStringLiteral("/old/");
    QDir().mkpath(oldStaging);
    ASSERT_TRUE(LessonArchive().save(*board, oldStaging, Owner, true).ok());
    ASSERT_TRUE(upload(oldStaging).result.ok());
    drawLesson(New, {2});
    const QString staging = stage(Owner);

    bool newOnce = false;
    for (int killAt = 1;; ++killAt) {
        ArchiveResult result;
        bool killed = false;
        {
            ShareSession session(share());
            ShareReply connecting;
            ArchiveFiles* files = session.connect(connecting);
            ASSERT_NE(files, nullptr);
            KilledServerFiles dying(*files, killAt, [] { server(QStringLiteral("kill")); });
            result = LessonArchive(dying).copyLesson(DiskArchiveFiles::instance(), staging,
                                                     lessonUrl(), Owner);
            killed = dying.killed;
        }
        if (!killed) {
            ASSERT_TRUE(result.ok()) << result.message.toStdString();
            break;
        }
        // The teacher is told.
        EXPECT_FALSE(result.ok()) << killAt;
        EXPECT_FALSE(result.message.isEmpty()) << killAt;
        server(QStringLiteral("start"));
        const ShareReply opened = openElsewhere(Owner);
        ASSERT_TRUE(opened.result.ok()) << killAt << opened.result.message.toStdString();
        const bool isNew = board->pageCount() == static_cast<int>(New.size());
        EXPECT_TRUE(isNew ? holds(New, {2}) : holds(Old, {1})) << killAt;
        EXPECT_EQ(leftovers(), QStringList()) << killAt;
        if (isNew) {
            newOnce = true;
            ASSERT_TRUE(upload(oldStaging).result.ok());
        }
    }
    // The kills came both before and after the journal.
    EXPECT_TRUE(newOnce);
}

TEST_F(ShareLessons, TwoClassroomsSavingAtOnceTheSecondIsToldAndNothingMixes) {
    drawLesson(Old, {1});
    const QString second = secondDir.path() + QStringLiteral("/second/");
    QDir().mkpath(second);
    ASSERT_TRUE(LessonArchive().save(*board, second, Owner, true).ok());
    drawLesson(New, {2});
    const QString first = stage(Owner);

    // The second classroom saves while the first is half-way through its pages.
    ShareReply secondReply;
    bool secondTried = false;
    ShareTask firstTask([&] {
        if (secondTried || !firstTask.said().first.contains(QStringLiteral("第 2 页")))
            return;
        secondTried = true;
        ShareSession room204(share());
        ShareTask task;
        secondReply = uploadLesson(room204, lessonUrl(), Owner, {}, second, true, task);
    });
    ShareSession room101(share());
    const ShareReply firstReply =
        uploadLesson(room101, lessonUrl(), Owner, {}, first, true, firstTask);
    ASSERT_TRUE(secondTried);
    EXPECT_TRUE(firstReply.result.ok()) << firstReply.result.message.toStdString();
    EXPECT_EQ(secondReply.result.outcome, ArchiveResult::Refused);
    EXPECT_TRUE(secondReply.result.message.contains(QStringLiteral("正在另一台电脑")))
        << secondReply.result.message.toStdString();

    ASSERT_TRUE(openElsewhere(Owner).result.ok());
    EXPECT_TRUE(holds(New, {2}));
    EXPECT_EQ(leftovers(), QStringList());
    // Once the first is done, the second saves.
    ASSERT_TRUE(upload(second).result.ok());
    ASSERT_TRUE(openElsewhere(Owner).result.ok());
    EXPECT_TRUE(holds(Old, {1}));
}

TEST_F(ShareLessons, ALockLeftByAComputerThatStoppedHoldsTheLessonForItsLeaseOnly) {
    drawLesson(New, {});
    const QString staging = stage(Owner);
    const struct {
        int age; // seconds since the lock was last renewed
        bool refused;
    } cases[] = {{0, true}, {ShareLock::LeaseSeconds + 30, false}};
    for (const auto& c : cases) {
        const QString lock = lessonOnServer() + ShareLock::FileName;
        QFile file(lock);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("K_Vorne lesson lock 1\nroom204\tsave\t4242\tx\n");
        file.close();
        const time_t then = time(nullptr) - c.age;
        const utimbuf times{then, then};
        ASSERT_EQ(::utime(QFile::encodeName(lock).constData(), &times), 0);
        const ShareReply reply = upload(staging);
        EXPECT_EQ(reply.result.ok(), !c.refused) << c.age;
        EXPECT_EQ(reply.result.message.contains(QStringLiteral("room204")), c.refused) << c.age;
        QFile::remove(lock);
    }
}

TEST_F(ShareLessons, AServerThatDoesNotAnswerEndsTheSaveWithinItsTimeLimitWhileTheProgramRuns) {
    drawLesson(Old, {});
    ASSERT_TRUE(upload(stage(Owner)).result.ok());
    drawLesson(New, {});
    const QString staging = stage(Owner);
    for (const QString& failure : {QStringLiteral("pause"), QStringLiteral("kill")}) {
        server(failure);
        int ticks = 0;
        QTimer program;
        QObject::connect(&program, &QTimer::timeout, [&] { ++ticks; });
        program.start(100);
        QElapsedTimer waited;
        waited.start();
        const ShareReply reply = runOnShare(
            nullptr, share(),
            [&](ShareSession& session, ShareTask& task) {
                return uploadLesson(session, lessonUrl(), Owner, {}, staging, true, task);
            },
            QString(), QStringLiteral("课程没有保存成功，学校服务器上原来的课程保持不变。\n"));
        EXPECT_LT(waited.elapsed(), (TimeoutSeconds + 2) * 1000) << failure.toStdString();
        EXPECT_TRUE(reply.unreachable) << failure.toStdString();
        EXPECT_TRUE(reply.result.message.contains(QStringLiteral("无法连接到学校服务器")))
            << reply.result.message.toStdString();
        // The program's own events went on while it waited.
        EXPECT_GE(ticks, waited.elapsed() / 100 - 3) << failure.toStdString();
        server(failure == QLatin1String("pause") ? QStringLiteral("resume")
                                                 : QStringLiteral("start"));
        afterAbandonedJob();
        ASSERT_TRUE(openElsewhere(Owner).result.ok());
        EXPECT_TRUE(holds(Old, {}));
    }
}

TEST_F(ShareLessons, ACancelledSaveLeavesTheLessonOnTheShareAsItWas) {
    drawLesson(Old, {1});
    ASSERT_TRUE(upload(stage(Owner)).result.ok());
    drawLesson(New, {2});
    const QString staging = stage(Owner);

    // Half-way through the pages, with the server answering: the files written so far go.
    ShareSession session(share());
    ShareTask task([&] {
        if (task.said().first.contains(QStringLiteral("第 2 页")))
            task.cancel();
    });
    const ShareReply halfWay = uploadLesson(session, lessonUrl(), Owner, {}, staging, true, task);
    EXPECT_EQ(halfWay.result.outcome, ArchiveResult::Refused);
    EXPECT_EQ(leftovers(), QStringList());

    // While the server does not answer: the window's cancel ends the wait at once.
    server(QStringLiteral("pause"));
    QTimer::singleShot(300, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<ShareProgressWindow*>(window))
                progress->Button1->click();
        }
    });
    QElapsedTimer waited;
    waited.start();
    const ShareReply cancelled = runOnShare(
        nullptr, share(),
        [&](ShareSession& s, ShareTask& t) {
            return uploadLesson(s, lessonUrl(), Owner, {}, staging, true, t);
        },
        QStringLiteral("已取消"), QString());
    EXPECT_LT(waited.elapsed(), TimeoutSeconds * 1000);
    EXPECT_EQ(cancelled.result.outcome, ArchiveResult::Refused);
    EXPECT_EQ(cancelled.result.message, QStringLiteral("已取消"));
    server(QStringLiteral("resume"));
    afterAbandonedJob();

    ASSERT_TRUE(openElsewhere(Owner).result.ok());
    EXPECT_TRUE(holds(Old, {1}));
}

} // namespace
