// The file operations the lesson archive makes in a lesson folder, as one small service: the
// archive's safety rests on their order (write, flush, rename, flush the folder), and tests
// put a service in its place that fills up or stops dead after a number of operations.
//
// A lesson folder may lie on a stick that anyone prepared: no operation follows a symbolic
// link in it. A link where a file should be reads as a file that cannot be read.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace lessons {

class ArchiveFiles {
public:
    virtual ~ArchiveFiles() = default;

    // What tells one version of a file from another without reading it.
    struct Stamp {
        qint64 size = -1;
        qint64 modified = 0; // nanoseconds since the epoch
        bool operator==(const Stamp&) const = default;
    };

    // The whole file; nothing when it is missing, not a plain file (a link, a folder) or
    // cannot be read.
    virtual std::optional<QByteArray> read(const QString& path) = 0;
    // Nothing unless a plain file of that name is there.
    virtual std::optional<Stamp> stamp(const QString& path) = 0;
    // Whether anything at all has that name: a file, a folder, a link (a dangling one too).
    virtual bool present(const QString& path) = 0;
    // Writes a new file whole: whatever had that name (a file, a link) is removed first, so
    // that nothing outside the folder is ever written through a link. False when anything
    // failed (a full disk, a missing folder); what was written may then lie there in part.
    virtual bool write(const QString& path, const QByteArray& bytes) = 0;
    // Renames a file over another of the new name, in one step.
    virtual bool rename(const QString& from, const QString& to) = 0;
    // True when the file is gone afterwards, also when it was never there.
    virtual bool remove(const QString& path) = 0;
    // Makes everything written in the folder so far (files, renames, removals) reach the
    // disk before it returns true.
    virtual bool flush(const QString& folder) = 0;
    // The names of the files in a folder.
    virtual QStringList fileNames(const QString& folder) = 0;
    // Creates one level of folders; false when it is there already or its parent is not.
    virtual bool makeFolder(const QString& path) = 0;
};

// The files of this machine. Safe to use from several threads at once.
class DiskArchiveFiles final : public ArchiveFiles {
public:
    std::optional<QByteArray> read(const QString& path) override;
    std::optional<Stamp> stamp(const QString& path) override;
    bool present(const QString& path) override;
    bool write(const QString& path, const QByteArray& bytes) override;
    bool rename(const QString& from, const QString& to) override;
    bool remove(const QString& path) override;
    // The whole file system the folder lies on, at once: one flush of a lesson's hundreds of
    // files costs what flushing a few of them one by one would.
    bool flush(const QString& folder) override;
    QStringList fileNames(const QString& folder) override;
    bool makeFolder(const QString& path) override;

    // The one instance the program uses.
    static DiskArchiveFiles& instance();
};

} // namespace lessons
