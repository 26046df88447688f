// Drive letters as the Windows program names its folders ("D:\Program files\..."), mapped onto
// folders of this machine by a table: "C" is a folder of the user's own data, the mounted
// removable volumes take letters from "D" on, the school's file share, where one is set up,
// has the letter the administrator gave it (its folder is its "smb://" address), and the
// user's pictures folder and home are "Y" and "Z". A letter that is not in the table names
// nothing.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <map>
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
    Drive() = default;
    Drive(QChar driveLetter, DriveType driveType, QString root, QString volumeName = {},
          bool ofTheUser = false)
        : letter(driveLetter), type(driveType), folder(std::move(root)),
          name(std::move(volumeName)), userFolder(ofTheUser) {}

    QChar letter; // upper case
    DriveType type = DriveType::Unknown;
    QString folder;          // the drive's root on this machine, with a trailing separator
    QString name;            // the volume's name, or the folder's plain name; may be empty
    bool userFolder = false; // a folder of the user's (pictures, home) rather than a volume
};

// The first and last letters removable volumes take; "Y" and "Z" are the user's folders.
constexpr char16_t FirstVolumeLetter = u'D';
constexpr char16_t LastVolumeLetter = u'X';

// Letters for the mounted volumes `roots`: a volume keeps the letter `kept` holds for it while
// it stays mounted, and one newly mounted takes the lowest free letter (first come, first
// lettered), so plugging in a second stick never re-letters the first. `kept` is updated: the
// volumes gone leave it, the new ones enter it. Volumes beyond the last letter get none, and
// none gets the `reserved` letter (the school's share's).
void assignVolumeLetters(const QStringList& roots, std::map<QString, QChar>& kept,
                         QChar reserved = {});

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
