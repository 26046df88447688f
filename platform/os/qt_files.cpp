#include "platform/os/qt_services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

bool QtFiles::exists(const QString& path) {
    return QFileInfo::exists(path);
}

bool QtFiles::removeFile(const QString& path) {
    return QFile::remove(path);
}

bool QtFiles::folderExists(const QString& path) {
    return QFileInfo(path).isDir();
}

bool QtFiles::makeFolder(const QString& path) {
    return QDir().mkdir(path);
}

QByteArray QtFiles::readAt(const QString& path, qint64 offset, qint64 count) {
    QFile file(path);
    if (offset < 0 || count <= 0 || !file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(count);
}

bool QtFiles::writeAt(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    // ReadWrite opens an existing file without cutting it; a missing one is not created, and
    // a link (a lesson folder on a stick may carry one) is not written through.
    const QFileInfo info(path);
    if (offset < 0 || info.isSymLink() || !info.isFile() || !file.open(QIODevice::ReadWrite) ||
        !file.seek(offset))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

bool QtFiles::copyFile(const QString& from, const QString& to, bool overwrite) {
    if (!QFileInfo(from).isFile() || QFileInfo(to).isSymLink())
        return false;
    if (QFileInfo::exists(to)) {
        if (!overwrite || !QFile::remove(to))
            return false;
    }
    return QFile::copy(from, to) && QFile::setPermissions(to, OwnerOnly);
}

} // namespace platform
