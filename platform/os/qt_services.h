// The desktop implementations of the file, profile, drive and process services.
#pragma once

#include "platform/os/drives.h"
#include "platform/os/files.h"
#include "platform/os/processes.h"
#include "platform/os/profiles.h"

namespace platform {

class QtFiles final : public Files {
public:
    bool exists(const QString& path) override;
    bool removeFile(const QString& path) override;
    bool folderExists(const QString& path) override;
    bool makeFolder(const QString& path) override;
    QByteArray readAt(const QString& path, qint64 offset, qint64 count) override;
    bool writeAt(const QString& path, qint64 offset, const QByteArray& bytes) override;
    bool copyFile(const QString& from, const QString& to, bool overwrite) override;
};

// Profile files on disk, replaced through a temporary file in the same folder that is flushed
// to the disk and renamed over the old file; the folder is flushed after the rename.
class QtProfiles final : public Profiles {
public:
    Loaded load(const QString& path) override;
    bool save(const QString& path, const QByteArray& bytes) override;

    // No profile of the program comes near this; a larger file is not read.
    static constexpr qint64 MaxProfileSize = 16 * 1024 * 1024;
};

// The drive table of this machine: "C" is the folder "K_Vorne/drive_c" of the user's data
// (created when missing); the volumes mounted under /media and /run/media take letters from
// "D" on and keep them while they stay mounted; "Y" is the user's pictures folder (when it is
// a folder other than home) and "Z" the home folder.
class QtDrives final : public Drives {
public:
    std::vector<Drive> table() override;

private:
    std::map<QString, QChar> letters_; // mounted volume's root -> its letter
};

class QtProcesses final : public Processes {
public:
    // Program names are looked up in `programFolder` before the PATH.
    explicit QtProcesses(QString programFolder) : programFolder_(std::move(programFolder)) {}
    bool startProgram(const QString& commandLine, ShowState show) override;
    bool openDocument(const QString& address) override;

    // The program and its arguments that a command line starts, the program looked up as
    // above; an empty program when the line names none that can be found.
    static QStringList resolveCommandLine(const QString& commandLine, const QString& programFolder);

private:
    QString programFolder_;
};

} // namespace platform
