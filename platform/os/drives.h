// Drive letters as the Windows program names its folders ("D:\Program files\..."), mapped onto
// folders of this machine by a table: "C" is a folder of the user's own data, the mounted
// removable volumes follow from "D" on. A letter that is not in the table names nothing.
#pragma once

#include <QChar>
#include <QString>
#include <optional>
#include <vector>

namespace platform {

// The numbers GetDriveType answers with.
enum class DriveType {
    Unknown = 0,
    NoRootDir = 1, // no such drive
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6
};

struct Drive {
    QChar letter; // upper case
    DriveType type = DriveType::Unknown;
    QString folder; // the drive's root on this machine, with a trailing separator
};

class Drives {
public:
    virtual ~Drives() = default;
    // The drives in letter order; the same volumes keep the same letters while they stay.
    virtual std::vector<Drive> table() = 0;
};

// The drive of a letter (either case); nothing when the table has no such drive.
std::optional<Drive> findDrive(Drives& drives, QChar letter);
// GetDriveType of the letter's root: NoRootDir when the table has no such drive.
DriveType driveType(Drives& drives, QChar letter);
// The folder of this machine that a path "X:\a\b" names: the drive's folder + "a/b". Nothing
// when the path does not start with a drive letter and a colon, when the table has no such
// drive, or when a part of it is "." or ".." (it could leave the drive).
std::optional<QString> localPath(Drives& drives, const QString& windowsPath);

} // namespace platform
