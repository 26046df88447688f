// Lesson folders on the school's file share, reached over SMB: the archive's file operations,
// and the claim that keeps two classrooms from writing one lesson folder at once.
#pragma once

#include "lessons/archive_files.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {
class SmbClient;
}

namespace lessons {

// The files of a share, named by "smb://" URLs. The server writes a file when it is closed,
// and each write closes its file, so a flush asks only that the server still answers: a
// connection lost since shows there, before the journal goes on.
class ShareArchiveFiles final : public ArchiveFiles {
public:
    explicit ShareArchiveFiles(platform::SmbClient& client) : client_(client) {}

    std::optional<QByteArray> read(const QString& path) override;
    std::optional<Stamp> stamp(const QString& path) override;
    bool present(const QString& path) override;
    bool write(const QString& path, const QByteArray& bytes) override;
    bool rename(const QString& from, const QString& to) override;
    bool remove(const QString& path) override;
    bool flush(const QString& folder) override;
    QStringList fileNames(const QString& folder) override;
    bool makeFolder(const QString& path) override;

private:
    platform::SmbClient& client_;
};

// The files of this machine for the lesson folder a lesson passes through on its way to or
// from the share: nothing there needs to outlive a crash (the lesson is on the share, or the
// save is reported failed), so nothing waits for the disk.
class PassingArchiveFiles final : public ArchiveFiles {
public:
    std::optional<QByteArray> read(const QString& path) override { return disk().read(path); }
    std::optional<Stamp> stamp(const QString& path) override { return disk().stamp(path); }
    bool present(const QString& path) override { return disk().present(path); }
    bool write(const QString& path, const QByteArray& bytes) override {
        return disk().write(path, bytes);
    }
    bool rename(const QString& from, const QString& to) override { return disk().rename(from, to); }
    bool remove(const QString& path) override { return disk().remove(path); }
    bool flush(const QString& folder) override;
    QStringList fileNames(const QString& folder) override { return disk().fileNames(folder); }
    bool makeFolder(const QString& path) override { return disk().makeFolder(path); }

    static PassingArchiveFiles& instance();

private:
    static DiskArchiveFiles& disk() { return DiskArchiveFiles::instance(); }
};

// A lesson folder claimed by one classroom: the lock file "kvorne.lock" in the folder, which
// names the computer that holds it. The holder renews it while it works; a lock that has not
// been renewed for LeaseSeconds, by the server's clock, was left by a computer that stopped
// (a crash, a power cut, a lost network) and is taken over.
class ShareLock {
public:
    static constexpr int LeaseSeconds = 60;
    static constexpr int RenewSeconds = 10;
    static inline const QString FileName = QStringLiteral("kvorne.lock");

    // `saving`: the lock is taken for a save (otherwise for a moment's reading).
    ShareLock(platform::SmbClient& client, QString folder, bool saving);
    // Gives the lock up, when it was taken.
    ~ShareLock();
    ShareLock(const ShareLock&) = delete;
    ShareLock& operator=(const ShareLock&) = delete;

    enum Outcome { Taken, Busy, Failed };
    Outcome take();
    // The computer that holds the lock, and whether it saves, after take() answered Busy.
    QString holder() const { return holder_; }
    bool holderSaves() const { return holderSaves_; }

private:
    void renew();

    platform::SmbClient& client_;
    QString folder_;
    QByteArray content_;
    QString holder_;
    bool holderSaves_ = false;
    bool taken_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread renewer_;
};

} // namespace lessons
