#include "platform/os/qt_services.h"
#include "platform/os/sync_folder.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

Profiles::Loaded QtProfiles::load(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    QFile file(path);
    if (!info.isFile() || info.size() > MaxProfileSize || !file.open(QIODevice::ReadOnly))
        return {Loaded::Unreadable, {}};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {Loaded::Unreadable, {}};
    return {Loaded::Read, bytes};
}

bool QtProfiles::save(const QString& path, const QByteArray& bytes) {
    const bool isNew = !QFileInfo::exists(path);
    QSaveFile file(path);
    // Writing in place would leave half a file behind after a crash.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (isNew && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    if (file.write(bytes) != bytes.size() || !file.commit())
        return false;
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

} // namespace platform
