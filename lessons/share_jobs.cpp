#include "lessons/share_jobs.h"

#include "lessons/share_files.h"
#include "platform/os/smb_client.h"

#include <QElapsedTimer>
#include <QThread>

namespace lessons {

namespace {

// How long a job waits for another classroom that is only reading the lesson folder.
constexpr int ReaderWaitMs = 5000;

QString busy(const ShareLock& lock) {
    const QString who =
        lock.holder().isEmpty() ? QString() : QStringLiteral("（%1）").arg(lock.holder());
    return QStringLiteral("学校服务器上的课程正在另一台电脑%1上保存。为了不把两次保存混在一起，"
                          "这次没有进行。请稍后再试一次。")
        .arg(who);
}

// Takes the folder's lock, waiting a moment for a classroom that only reads it.
ShareLock::Outcome takeLock(ShareLock& lock, ShareTask& task) {
    QElapsedTimer waited;
    waited.start();
    while (true) {
        const ShareLock::Outcome outcome = lock.take();
        if (outcome != ShareLock::Busy || lock.holderSaves() || waited.elapsed() > ReaderWaitMs ||
            task.cancelled())
            return outcome;
        task.say(QStringLiteral("正在等待另一台电脑读完……"));
        QThread::msleep(200);
    }
}

// Every answer of the server is a sign of the job's life while it runs.
class Heartbeat {
public:
    Heartbeat(ShareSession& session, ShareTask& task) : session_(session) {
        if (session_.client() != nullptr)
            session_.client()->setHeartbeat([&task] { task.alive(); });
    }
    ~Heartbeat() {
        if (session_.client() != nullptr)
            session_.client()->setHeartbeat({});
    }
    Heartbeat(const Heartbeat&) = delete;
    Heartbeat& operator=(const Heartbeat&) = delete;

private:
    ShareSession& session_;
};

// The reply for a job that failed: the server's silence, when that is what it was.
ShareReply failed(ShareSession& session, ArchiveResult result, bool saving) {
    ShareReply reply;
    reply.result = std::move(result);
    const auto root = session.client()->stat(session.share().root);
    if (!root) {
        reply.unreachable = true;
        // A save says how far it came (the lesson on the share as it was, or to be finished
        // by the next opening); an opening needs no more than the reason.
        reply.result =
            ArchiveResult::failed((saving ? reply.result.message + QLatin1Char('\n') : QString()) +
                                  shareUnreachable(session.share()));
    }
    return reply;
}

ShareReply refused(ArchiveResult result) {
    ShareReply reply;
    reply.result = std::move(result);
    return reply;
}

} // namespace

void ShareTask::say(const QString& line) {
    {
        const std::lock_guard lock(mutex_);
        line_ = line;
        ++count_;
    }
    if (onLine_)
        onLine_();
}

void ShareTask::alive() {
    const std::lock_guard lock(mutex_);
    ++count_;
}

std::pair<QString, int> ShareTask::said() const {
    const std::lock_guard lock(mutex_);
    return {line_, count_};
}

QString shareUnreachable(const platform::SchoolShare& share) {
    return QStringLiteral("无法连接到学校服务器 %1（网络断开、服务器没有开机或没有应答）。")
        .arg(share.address);
}

ShareSession::ShareSession(platform::SchoolShare share) : share_(std::move(share)) {}

ShareSession::~ShareSession() = default;

ShareArchiveFiles* ShareSession::connect(ShareReply& reply) {
    if (!client_) {
        QString problem;
        const std::optional<QString> password = platform::sharePassword(share_, &problem);
        if (password) {
            client_ = platform::SmbClient::create(
                {share_.account, *password, share_.port, share_.timeoutSeconds * 1000}, &problem);
        }
        if (!client_) {
            reply.result = ArchiveResult::failed(
                QStringLiteral("无法使用学校服务器：%1\n请联系管理员。").arg(problem));
            return nullptr;
        }
        files_ = std::make_unique<ShareArchiveFiles>(*client_);
    }
    // The server answers, or the job ends here with nothing changed.
    if (!client_->stat(share_.root)) {
        reply.unreachable = true;
        reply.result = ArchiveResult::failed(shareUnreachable(share_));
        return nullptr;
    }
    return files_.get();
}

ShareReply downloadLesson(ShareSession& session, const QString& folder, const LessonOwner& owner,
                          const QStringList& formerNames, const QString& local, ShareTask& task) {
    task.say(QStringLiteral("正在连接学校服务器……"));
    ShareReply reply;
    ShareArchiveFiles* files = session.connect(reply);
    if (files == nullptr)
        return reply;
    const Heartbeat heartbeat(session, task);
    if (!files->present(folder))
        return refused(ArchiveResult::refused(LessonNotFound));
    if (task.cancelled())
        return refused(ArchiveResult::refused(QString()));
    ShareLock lock(*session.client(), folder, false);
    switch (takeLock(lock, task)) {
    case ShareLock::Busy:
        return refused(ArchiveResult::refused(busy(lock)));
    case ShareLock::Failed:
        // An account that may only read the share reads it without a lock.
        if (!session.client()->stat(folder))
            return failed(session, ArchiveResult::failed(LessonNotFound), false);
        break;
    case ShareLock::Taken:
        break;
    }
    LessonArchive share(*files);
    for (const QString& former : formerNames)
        share.renameTeacher(folder, former, owner.Teacher);
    if (ArchiveResult r = share.finishInterruptedSave(folder, owner.key()); !r.ok())
        return failed(session, r, false);
    // A lesson that could not go with its teacher's new name is still the teacher's.
    LessonOwner lesson = owner;
    for (const QString& former : formerNames) {
        if (lessonPageCount(*files, folder, lesson.key()))
            break;
        lesson.Teacher = former;
    }
    if (!lessonPageCount(*files, folder, lesson.key())) {
        if (!session.client()->stat(session.share().root))
            return failed(session, ArchiveResult::failed(LessonNotFound), false);
        return refused(ArchiveResult::refused(LessonNotFound));
    }
    LessonArchive here(PassingArchiveFiles::instance());
    const ArchiveResult r =
        here.copyLesson(*files, folder, local, lesson, [&](int page, int pages) {
            task.say(
                QStringLiteral("正在从学校服务器读取第 %1 页（共 %2 页）……").arg(page).arg(pages));
            return !task.cancelled();
        });
    if (!r.ok())
        return r.outcome == ArchiveResult::Refused ? refused(r) : failed(session, r, false);
    reply.lesson = lesson;
    return reply;
}

ShareReply uploadLesson(ShareSession& session, const QString& folder, const LessonOwner& owner,
                        const QStringList& formerNames, const QString& local, bool replace,
                        ShareTask& task) {
    task.say(QStringLiteral("正在连接学校服务器……"));
    ShareReply reply;
    ShareArchiveFiles* files = session.connect(reply);
    if (files == nullptr) {
        if (reply.unreachable)
            reply.result = ArchiveResult::failed(
                QStringLiteral("课程没有保存成功，学校服务器上原来的课程保持不变。\n") +
                reply.result.message);
        return reply;
    }
    const Heartbeat heartbeat(session, task);
    // The lesson folder's levels below the share's folder, one at a time.
    const QString root = session.share().root;
    QString level = root;
    for (const QString& part :
         folder.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        level += part + QLatin1Char('/');
        files->makeFolder(level);
    }
    if (task.cancelled())
        return refused(ArchiveResult::refused(QString()));
    ShareLock lock(*session.client(), folder, true);
    switch (takeLock(lock, task)) {
    case ShareLock::Busy:
        return refused(ArchiveResult::refused(busy(lock)));
    case ShareLock::Failed:
        return failed(session,
                      ArchiveResult::failed(QStringLiteral("课程没有保存：无法写入学校服务器上的"
                                                           "文件夹 %1。")
                                                .arg(folder)),
                      true);
    case ShareLock::Taken:
        break;
    }
    if (task.cancelled())
        return refused(ArchiveResult::refused(QString()));
    LessonArchive share(*files);
    for (const QString& former : formerNames)
        share.renameTeacher(folder, former, owner.Teacher);
    if (ArchiveResult r = share.finishInterruptedSave(folder, owner.key()); !r.ok())
        return failed(session, r, true);
    const std::optional<int> pages =
        lessonPageCount(DiskArchiveFiles::instance(), local, owner.key());
    const LessonArchive::SaveCheck check = share.checkSave(folder, owner, pages.value_or(1));
    if (check.verdict == LessonArchive::SaveCheck::Refused)
        return refused(ArchiveResult::refused(check.message));
    if (!replace) {
        if (check.verdict == LessonArchive::SaveCheck::AskToReplace) {
            reply.question = check.message;
            return reply;
        }
        if (const std::optional<int> saved = lessonPageCount(*files, folder, owner.key())) {
            reply.question = QStringLiteral("学校服务器上已有%1（%2页）。要用现在的课替换它吗？")
                                 .arg(owner.describe())
                                 .arg(*saved);
            return reply;
        }
    }
    const ArchiveResult r = share.copyLesson(
        DiskArchiveFiles::instance(), local, folder, owner, [&](int page, int count) {
            task.say(QStringLiteral("正在把第 %1 页保存到学校服务器（共 %2 页）……")
                         .arg(page)
                         .arg(count));
            return !task.cancelled();
        });
    if (!r.ok())
        return r.outcome == ArchiveResult::Refused ? refused(r) : failed(session, r, true);
    return reply;
}

ShareReply savedOnShare(ShareSession& session, const QString& folder, const QStringList& teachers) {
    ShareReply reply;
    ShareArchiveFiles* files = session.connect(reply);
    if (files != nullptr)
        reply.saved = savedLessonNumbers(*files, folder, teachers);
    return reply;
}

} // namespace lessons
