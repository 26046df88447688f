// The program folder: where the program reads its own files (cursors, help, stamps, the outside
// programs) and writes its working files (page texts, temporary pictures, the administrator
// record), all by relative names.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The program folder, with a trailing separator: the executable's folder unless the program
// chose another at start.
QString programFolder();
void setProgramFolder(const QString& folder);

// Files the program writes into a copy of its own; every other file of an installed program
// folder is linked.
inline const QStringList& programFolderCopies() {
    static const QStringList copies{QStringLiteral("admin.sec")};
    return copies;
}

// Lies in an installed program folder, and only there: the package puts it there.
inline const QString InstalledMarker = QStringLiteral("k-vorne.installed");

// The folder to work in, with a trailing separator. A build folder the user may write to is
// the program folder itself. An installed one (read-only, or marked as installed, since root
// may write anywhere) is stood in for by `perUser`, made by linkProgramFolder; when that
// fails, the installed folder is used as it is.
QString chooseProgramFolder(const QString& installed, const QString& perUser);

// Makes `perUser` (and keeps it up to date) as a stand-in for the installed program folder:
// a link to each installed file, so that files started or read by a relative name are found
// there, and a private copy of each file the program writes. Files the program wrote there
// itself are kept; links to files no longer installed are removed. False when the folder
// cannot be made.
bool linkProgramFolder(const QString& installed, const QString& perUser);

} // namespace platform
