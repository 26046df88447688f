// The file operations the program's logic asks of the system.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

class Files {
public:
    virtual ~Files() = default;
    virtual bool exists(const QString& path) = 0;
    // False when the file is missing or cannot be deleted.
    virtual bool removeFile(const QString& path) = 0;

    virtual bool folderExists(const QString& path) = 0;
    // Creates one level, as CreateDirectory does: false when the folder exists already or its
    // parent is missing.
    virtual bool makeFolder(const QString& path) = 0;

    // Up to `count` bytes from `offset` of the file; fewer or none when it is shorter or
    // missing.
    virtual QByteArray readAt(const QString& path, qint64 offset, qint64 count) = 0;
    // Writes the bytes at `offset` of an existing file; the rest of the file stays as it was.
    // False when the file is missing or is a link, or the bytes cannot all be written.
    virtual bool writeAt(const QString& path, qint64 offset, const QByteArray& bytes) = 0;

    // Copies a file; false when the source is missing, when the target exists and may not be
    // overwritten, when the target is a link (a dangling one too), or when the copy fails. A copy
    // is readable and writable by its owner only.
    virtual bool copyFile(const QString& from, const QString& to, bool overwrite) = 0;
};

} // namespace platform
