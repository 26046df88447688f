#include "lessons/archive_files.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lessons {

namespace {

// Larger than any page, panel, text or index file: such a file is damaged.
constexpr qint64 MaxFileSize = qint64(1) << 30;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

} // namespace

std::optional<QByteArray> DiskArchiveFiles::read(const QString& path) {
    // Not blocking, so that a pipe of that name cannot hold the program up.
    Descriptor fd(::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > MaxFileSize)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(info.st_size));
    char chunk[65536];
    while (true) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || bytes.size() + got > MaxFileSize)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(chunk, got);
    }
}

std::optional<ArchiveFiles::Stamp> DiskArchiveFiles::stamp(const QString& path) {
    struct stat info {};
    if (::lstat(native(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return Stamp{static_cast<qint64>(info.st_size),
                 static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool DiskArchiveFiles::present(const QString& path) {
    struct stat info {};
    return ::lstat(native(path).constData(), &info) == 0;
}

bool DiskArchiveFiles::write(const QString& path, const QByteArray& bytes) {
    if (!remove(path))
        return false;
    Descriptor fd(::open(native(path).constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.get() < 0)
        return false;
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd.get(), data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return fd.close();
}

bool DiskArchiveFiles::rename(const QString& from, const QString& to) {
    return ::rename(native(from).constData(), native(to).constData()) == 0;
}

bool DiskArchiveFiles::remove(const QString& path) {
    return ::unlink(native(path).constData()) == 0 || errno == ENOENT;
}

bool DiskArchiveFiles::flush(const QString& folder) {
    Descriptor fd(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.get() >= 0 && ::syncfs(fd.get()) == 0;
}

QStringList DiskArchiveFiles::fileNames(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

bool DiskArchiveFiles::makeFolder(const QString& path) {
    return ::mkdir(native(path).constData(), 0700) == 0;
}

DiskArchiveFiles& DiskArchiveFiles::instance() {
    static DiskArchiveFiles files;
    return files;
}

} // namespace lessons
