// Profile (INI) files: where their bytes come from and go to, and the accessor an operation
// opens on one file, reads and writes through, and commits once.
#pragma once

#include "platform/os/ini_text.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace platform {

class Profiles {
public:
    virtual ~Profiles() = default;

    struct Loaded {
        enum State { Missing, Read, Unreadable } state = Missing;
        QByteArray bytes;
    };
    // The file's bytes as they are now. A file that exists but cannot be read (or is too large
    // to be a profile) is Unreadable, so that no write replaces what could not be seen.
    virtual Loaded load(const QString& path) = 0;
    // Replaces the file whole or not at all: the old file stays as it was when anything fails
    // (a missing folder, a file that cannot be replaced, a full disk). A new file is readable
    // and writable by its owner only; a replaced one keeps its mode.
    virtual bool save(const QString& path, const QByteArray& bytes) = 0;
};

// The error a failed or refused write raises; the handler's error box shows its text.
class ProfileWriteError : public std::runtime_error {
public:
    explicit ProfileWriteError(const QString& path);
};

// One operation's access to one profile file, named after the Windows program's accessor.
// Reads see the operation's own earlier writes. Nothing reaches the file before UpdateFile,
// which writes it once, whole; an accessor released without it leaves the file as it was, so
// an operation that fails halfway changes nothing.
class IniFile {
public:
    IniFile(Profiles& profiles, QString path);
    ~IniFile() = default;
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& FileName() const { return path_; }
    // False when the file is there but could not be read: reads then give the defaults, which
    // are not what the file holds, and no write is let through.
    bool Readable() const { return readable_; }

    // A value read through a buffer of 2048 bytes; the default, less its trailing spaces,
    // when the section or key is missing.
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    // An integer read the StrToIntDef way; the default when missing or not a number.
    int ReadInteger(const QString& section, const QString& key, int fallback) const;

    // Writes raise ProfileWriteError for text that would not read back the same (a line
    // break above all) and change nothing.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

    // Writes the changes, if there are any; raises ProfileWriteError when the file cannot be
    // written, which leaves it as it was.
    void UpdateFile();

    static constexpr int ValueBufferSize = 2048;

private:
    Profiles& profiles_;
    QString path_;
    bool readable_ = true;
    bool changed_ = false;
    IniText text_;
};

} // namespace platform
