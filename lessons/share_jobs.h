// What the lesson commands do on the school's share, as jobs for the share's own thread: they
// never touch the board, only lesson folders, so the board stays the teacher's meanwhile. A
// lesson goes to the share from a lesson folder of this machine that the board was saved into
// first, and comes from the share into that folder before the board opens it.
#pragma once

#include "lessons/lesson_archive.h"
#include "platform/os/school_share.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {
class SmbClient;
}

namespace lessons {

class ShareArchiveFiles;

// The teacher's side of a job under way: a cancel, and the line the progress window shows.
// Each line is a sign of life: a job that gives none for the time limit has lost its server.
class ShareTask {
public:
    // `onLine`, when given, hears each line on the job's thread as it is said.
    explicit ShareTask(std::function<void()> onLine = {}) : onLine_(std::move(onLine)) {}

    bool cancelled() const { return cancelled_; }
    void cancel() { cancelled_ = true; }
    void say(const QString& line);
    // A sign of life with no new line.
    void alive();
    // The last line, and how many lines were said so far.
    std::pair<QString, int> said() const;

private:
    std::function<void()> onLine_;
    std::atomic<bool> cancelled_ = false;
    mutable std::mutex mutex_;
    QString line_;
    int count_ = 0;
};

// What a job comes back with.
struct ShareReply {
    ArchiveResult result;
    // The server did not answer (or could not be reached at all).
    bool unreachable = false;
    // A question the teacher must answer before the save can go on; the job is then run
    // again with the answer.
    QString question;
    // Open: the lesson as found (under a former name of the teacher's, maybe).
    std::optional<LessonOwner> lesson;
    // The lesson lists: the numbers saved on the share.
    SavedNumbers saved;
};

// The connection to the share, made when a job first needs it; one job uses it at a time.
class ShareSession {
public:
    explicit ShareSession(platform::SchoolShare share);
    ~ShareSession();

    const platform::SchoolShare& share() const { return share_; }
    // The share's files, connected and answering; nothing, with the teacher's message, when
    // the library, the password or the server is missing.
    ShareArchiveFiles* connect(ShareReply& reply);
    platform::SmbClient* client() { return client_.get(); }

private:
    platform::SchoolShare share_;
    std::unique_ptr<platform::SmbClient> client_;
    std::unique_ptr<ShareArchiveFiles> files_;
};

// The message for a server that does not answer.
QString shareUnreachable(const platform::SchoolShare& share);

// Brings the owner's lesson from the share's lesson folder `folder` into the local lesson
// folder `local`: interrupted saves on the share are finished first, and a lesson kept under
// one of `formerNames` is found under it.
ShareReply downloadLesson(ShareSession& session, const QString& folder, const LessonOwner& owner,
                          const QStringList& formerNames, const QString& local, ShareTask& task);
// Takes the owner's lesson from the local lesson folder `local` to the share's lesson folder
// `folder`, making its folders where missing. Asks (`question`) before it replaces a lesson
// saved before unless `replace` says the teacher agreed.
ShareReply uploadLesson(ShareSession& session, const QString& folder, const LessonOwner& owner,
                        const QStringList& formerNames, const QString& local, bool replace,
                        ShareTask& task);
// The volume and lesson numbers the teachers have saved in the share's lesson folder.
ShareReply savedOnShare(ShareSession& session, const QString& folder, const QStringList& teachers);

} // namespace lessons
