#include "platform/os/qt_services.h"
#include "platform/os/school_share.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <algorithm>

namespace platform {

namespace {

bool isRemovableMount(const QString& root) {
    return root.startsWith(QLatin1String("/media/")) ||
           root.startsWith(QLatin1String("/run/media/"));
}

QString withSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

std::vector<Drive> QtDrives::table() {
    std::vector<Drive> drives;
    const QString c = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/K_Vorne/drive_c/");
    QDir().mkpath(c);
    drives.push_back({QLatin1Char('C'), DriveType::Fixed, c});

    QStringList roots;
    std::map<QString, QString> names;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && isRemovableMount(volume.rootPath())) {
            roots << volume.rootPath();
            // A volume without a label is mounted under a folder named after it anyway.
            names[volume.rootPath()] =
                volume.name().isEmpty() ? QDir(volume.rootPath()).dirName() : volume.name();
        }
    }
    std::sort(roots.begin(), roots.end());
    const std::optional<SchoolShare> share = schoolShare();
    assignVolumeLetters(roots, letters_, share ? share->letter : QChar());
    for (const auto& [root, letter] : letters_)
        drives.push_back({letter, DriveType::Removable, root + QLatin1Char('/'), names[root]});
    std::sort(drives.begin() + 1, drives.end(),
              [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    // The school's share after the local drives and the sticks.
    if (share)
        drives.push_back({share->letter, DriveType::Remote, share->root, share->name});

    const QString home = QDir::homePath();
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir() && QDir(pictures) != QDir(home))
        drives.push_back({QLatin1Char('Y'), DriveType::Fixed, withSeparator(pictures),
                          QStringLiteral("图片"), true});
    if (!home.isEmpty() && QFileInfo(home).isDir())
        drives.push_back({QLatin1Char('Z'), DriveType::Fixed, withSeparator(home),
                          QStringLiteral("主文件夹"), true});
    return drives;
}

} // namespace platform
