#include "platform/os/qt_services.h"

#include <QDir>
#include <QStandardPaths>
#include <QStorageInfo>
#include <algorithm>

namespace platform {

namespace {

bool isRemovableMount(const QString& root) {
    return root.startsWith(QLatin1String("/media/")) ||
           root.startsWith(QLatin1String("/run/media/"));
}

} // namespace

std::vector<Drive> QtDrives::table() {
    std::vector<Drive> drives;
    const QString c = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/K_Vorne/drive_c/");
    QDir().mkpath(c);
    drives.push_back({QLatin1Char('C'), DriveType::Fixed, c});

    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && isRemovableMount(volume.rootPath()))
            roots << volume.rootPath();
    }
    std::sort(roots.begin(), roots.end());
    char16_t letter = u'D';
    for (const QString& root : roots) {
        if (letter > u'Z')
            break;
        drives.push_back({QChar(letter), DriveType::Removable, root + QLatin1Char('/')});
        ++letter;
    }
    return drives;
}

} // namespace platform
