#include "lessons/share_files.h"

#include "platform/os/smb_client.h"

#include <QSysInfo>
#include <QUuid>

#include <cerrno>
#include <unistd.h>

namespace lessons {

namespace {

// As on the disk: larger than any file of a lesson.
constexpr qint64 MaxFileSize = qint64(1) << 30;

const QByteArray LockHeader = QByteArrayLiteral("K_Vorne lesson lock 1\n");

} // namespace

std::optional<QByteArray> ShareArchiveFiles::read(const QString& path) {
    return client_.read(path, MaxFileSize);
}

std::optional<ArchiveFiles::Stamp> ShareArchiveFiles::stamp(const QString& path) {
    const auto info = client_.stat(path);
    if (!info || !S_ISREG(info->st_mode))
        return std::nullopt;
    return Stamp{static_cast<qint64>(info->st_size),
                 static_cast<qint64>(info->st_mtim.tv_sec) * 1000000000 + info->st_mtim.tv_nsec};
}

bool ShareArchiveFiles::present(const QString& path) {
    return client_.stat(path).has_value();
}

bool ShareArchiveFiles::write(const QString& path, const QByteArray& bytes) {
    return remove(path) && client_.write(path, bytes, true);
}

bool ShareArchiveFiles::rename(const QString& from, const QString& to) {
    return client_.rename(from, to);
}

bool ShareArchiveFiles::remove(const QString& path) {
    if (client_.unlink(path))
        return true;
    // Only a file that is surely not there counts as removed; a server that does not answer
    // does not.
    return errno == ENOENT && !client_.stat(path) && errno == ENOENT;
}

bool ShareArchiveFiles::flush(const QString& folder) {
    const auto info = client_.stat(folder);
    return info && S_ISDIR(info->st_mode);
}

QStringList ShareArchiveFiles::fileNames(const QString& folder) {
    return client_.list(folder).value_or(QStringList());
}

bool ShareArchiveFiles::makeFolder(const QString& path) {
    return client_.mkdir(path);
}

bool PassingArchiveFiles::flush(const QString& folder) {
    return disk().present(folder);
}

PassingArchiveFiles& PassingArchiveFiles::instance() {
    static PassingArchiveFiles files;
    return files;
}

ShareLock::ShareLock(platform::SmbClient& client, QString folder, bool saving)
    : client_(client), folder_(std::move(folder)) {
    content_ = LockHeader + QSysInfo::machineHostName().toUtf8() + '\t' +
               (saving ? QByteArrayLiteral("save") : QByteArrayLiteral("open")) + '\t' +
               QByteArray::number(static_cast<qint64>(::getpid())) + '\t' +
               QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '\n';
}

ShareLock::~ShareLock() {
    if (!taken_)
        return;
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    renewer_.join();
    // Only our own lock goes: one taken over meanwhile is the other computer's.
    if (client_.read(folder_ + FileName, 4096) == std::optional(content_))
        client_.unlink(folder_ + FileName);
}

ShareLock::Outcome ShareLock::take() {
    const QString path = folder_ + FileName;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (client_.write(path, content_, true)) {
            taken_ = true;
            renewer_ = std::thread([this] { renew(); });
            return Taken;
        }
        if (errno != EEXIST)
            return Failed;
        const auto lock = client_.stat(path);
        const std::optional<QByteArray> text = client_.read(path, 4096);
        // The server's present time: that of a file written now.
        const QString probe =
            path + QLatin1Char('.') + QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (!lock || !client_.write(probe, content_, true))
            return Failed;
        const auto now = client_.stat(probe);
        client_.unlink(probe);
        if (!now)
            return Failed;
        if (now->st_mtim.tv_sec - lock->st_mtim.tv_sec < LeaseSeconds) {
            const QList<QByteArray> fields =
                text ? text->mid(LockHeader.size()).split('\t') : QList<QByteArray>();
            holder_ = fields.isEmpty() ? QString() : QString::fromUtf8(fields.first()).trimmed();
            holderSaves_ = fields.size() < 2 || fields[1] != "open";
            return Busy;
        }
        // Left by a computer that stopped: moved aside under a name of ours, so that of two
        // computers taking it over at once only one removes it; one that another computer
        // took meanwhile is theirs.
        if (client_.read(path, 4096) != text || !client_.rename(path, probe))
            continue;
        client_.unlink(probe);
    }
    return Failed;
}

void ShareLock::renew() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::seconds(RenewSeconds), [this] { return stop_; })) {
        lock.unlock();
        client_.overwrite(folder_ + FileName, content_);
        lock.lock();
    }
}

} // namespace lessons
