// Writes snapshots of the board into the recovery folder on a thread of its own, so that the
// teacher never waits for the disk. Every file is written whole (a temporary file, flushed,
// renamed) and the manifest last: the folder always holds a complete state as of some
// snapshot. The folder is its owner's only (0700, its files 0600). Page and text files are
// named by page and by the write that made them, so a
// newer write never replaces a file that the manifest in place still names; what the new
// manifest no longer names is removed after it is in place.
#pragma once

#include "board/model/recovery_snapshot.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <variant>

class RecoveryWriter {
public:
    // `fileLimit` is for tests of a crash in the middle of a write: after writing that many
    // files the writer stops for good, as a killed program would; negative for no limit.
    explicit RecoveryWriter(QString folder, int fileLimit = fileLimitFromEnvironment());
    // Waits for the file in hand; writes still queued are dropped.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    const QString& folder() const { return folder_; }

    // Queued after the writes handed over before it: each snapshot names only what changed
    // since the one before.
    void write(RecoverySnapshot snapshot);
    // Removes the folder once the writes before it are done.
    void discard();
    // Waits until everything handed over is done.
    void wait();
    // Whether a snapshot handed over still waits behind the write in hand.
    bool hasWaitingWrite();
    // The work still queued is dropped, the write in hand ends at its next file, and the
    // folder is removed; the writer does nothing more.
    void discardAndStop();

    // True (once) after a write failed: the next snapshot must carry every page's pixels.
    bool takeNeedsEveryPage() { return needsEveryPage_.exchange(false); }
    // How many files it has written, manifests included.
    int filesWritten() const { return filesWritten_.load(); }

    // The limit of the test hook, from the environment variable KVORNE_RECOVERY_FILE_LIMIT.
    static int fileLimitFromEnvironment();

private:
    struct Discard {};
    using Task = std::variant<RecoverySnapshot, Discard>;
    struct WrittenPage {
        std::uint64_t version = 0;
        QSize size;
        std::optional<TColor> solid;
        QString file;
    };
    struct WrittenText {
        QByteArray bytes;
        QString file;
    };

    void run();
    // False when the round could not be completed; the manifest in place stays.
    bool writeRound(RecoverySnapshot& snapshot);
    bool writeWhole(const QString& name, const QByteArray& bytes);
    void removeFolder();
    void removeUnnamed(const std::map<int, WrittenPage>& pages,
                       const std::map<int, WrittenText>& texts);

    const QString folder_;
    const int fileLimit_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> needsEveryPage_{false};
    std::atomic<int> filesWritten_{0};

    // Only the writer's thread touches these.
    std::uint64_t round_ = 0;
    bool stopped_ = false;
    std::map<int, WrittenPage> pages_;
    std::map<int, WrittenText> texts_;

    std::thread thread_;
};
