#include "platform/os/sync_folder.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

bool syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace platform
