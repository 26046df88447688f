#include "platform/os/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

QString withSeparator(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString& chosenFolder() {
    static QString folder;
    return folder;
}

// Makes `link` a link to `target`, unless it is one already or is a file of the user's.
bool linkTo(const QString& target, const QString& link) {
    const QFileInfo existing(link);
    if (existing.isSymLink()) {
        if (existing.symLinkTarget() == target)
            return true;
        QFile::remove(link);
    } else if (existing.exists()) {
        return true;
    }
    return QFile::link(target, link);
}

bool copyOnce(const QString& source, const QString& copy) {
    if (QFileInfo::exists(copy))
        return true;
    if (!QFile::copy(source, copy))
        return false;
    // The copy is the user's own, readable and writable by them only (it holds a password code).
    return QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
}

// Links left behind by an earlier version that no longer installs their file.
void removeStaleLinks(const QString& installed, const QString& perUser) {
    QDirIterator it(perUser, QDir::Files | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo link(it.next());
        if (link.isSymLink() && link.symLinkTarget().startsWith(installed) &&
            !QFileInfo::exists(link.symLinkTarget()))
            QFile::remove(link.filePath());
    }
}

} // namespace

QString programFolder() {
    if (chosenFolder().isEmpty())
        return withSeparator(QCoreApplication::applicationDirPath());
    return chosenFolder();
}

void setProgramFolder(const QString& folder) {
    chosenFolder() = withSeparator(folder);
}

QString chooseProgramFolder(const QString& installed, const QString& perUser) {
    const QString from = withSeparator(QDir(installed).absolutePath());
    if (QFileInfo(from).isWritable() && !QFileInfo::exists(from + InstalledMarker))
        return from;
    if (!linkProgramFolder(from, perUser)) {
        qWarning("Cannot make the program folder %s; working in %s", qPrintable(perUser),
                 qPrintable(from));
        return from;
    }
    return withSeparator(QDir(perUser).absolutePath());
}

bool linkProgramFolder(const QString& installed, const QString& perUser) {
    const QString from = withSeparator(QDir(installed).absolutePath());
    const QString to = withSeparator(QDir(perUser).absolutePath());
    if (!QDir().mkpath(to))
        return false;
    bool complete = true;
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(from.size());
        const QString target = to + relative;
        QDir().mkpath(QFileInfo(target).path());
        complete &= programFolderCopies().contains(relative) ? copyOnce(source, target)
                                                             : linkTo(source, target);
    }
    removeStaleLinks(from, to);
    if (!complete)
        qWarning("Some files of %s could not be linked into %s", qPrintable(from), qPrintable(to));
    return true;
}

} // namespace platform
