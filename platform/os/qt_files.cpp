#include "platform/os/qt_services.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

bool QtFiles::exists(const QString& path) {
    return QFileInfo::exists(path);
}

bool QtFiles::removeFile(const QString& path) {
    return QFile::remove(path);
}

} // namespace platform
