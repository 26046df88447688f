#include "platform/os/drives.h"

#include <QStringList>
#include <algorithm>

namespace platform {

void assignVolumeLetters(const QStringList& roots, std::map<QString, QChar>& kept, QChar reserved) {
    for (auto it = kept.begin(); it != kept.end();)
        it = roots.contains(it->first) && it->second != reserved ? std::next(it) : kept.erase(it);
    for (const QString& root : roots) {
        if (kept.contains(root))
            continue;
        for (char16_t letter = FirstVolumeLetter; letter <= LastVolumeLetter; ++letter) {
            const bool taken = letter == reserved.unicode() ||
                               std::any_of(kept.begin(), kept.end(),
                                           [&](const auto& k) { return k.second == letter; });
            if (!taken) {
                kept.emplace(root, QChar(letter));
                break;
            }
        }
    }
}

std::optional<Drive> findDrive(Drives& drives, QChar letter) {
    const QChar upper = letter.toUpper();
    for (const Drive& drive : drives.table()) {
        if (drive.letter == upper)
            return drive;
    }
    return std::nullopt;
}

DriveType driveType(Drives& drives, QChar letter) {
    const std::optional<Drive> drive = findDrive(drives, letter);
    return drive ? drive->type : DriveType::NoRootDir;
}

std::optional<QString> localPath(Drives& drives, const QString& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != QLatin1Char(':') ||
        !windowsPath[0].isLetter() || windowsPath[0].unicode() > 0x7F)
        return std::nullopt;
    const std::optional<Drive> drive = findDrive(drives, windowsPath[0]);
    if (!drive)
        return std::nullopt;
    // Windows takes a slash for a backslash as well.
    QString rest = windowsPath.mid(2);
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QStringList parts = rest.split(QLatin1Char('\\'));
    for (const QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return std::nullopt;
    }
    // "X:\a\b\" keeps its trailing separator; empty parts from doubled separators go.
    const bool trailing = rest.endsWith(QLatin1Char('\\'));
    parts.removeAll(QString());
    QString path = drive->folder + parts.join(QLatin1Char('/'));
    if (trailing && !parts.isEmpty())
        path += QLatin1Char('/');
    return path;
}

} // namespace platform
