#include "platform/os/owner_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace platform {

bool makeOwnerOnlyFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    return (info.st_mode & 07777) == 0700 || ::chmod(native.constData(), 0700) == 0;
}

} // namespace platform
