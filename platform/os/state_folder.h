// The program's own folder for what it keeps from one run to the next, and locks on files in
// it that tell a running copy of the program from one that ended.
#pragma once

#include <QString>
#include <memory>

namespace platform {

// Held while the object lives.
class FileLock {
public:
    virtual ~FileLock() = default;
};

class StateFolder {
public:
    virtual ~StateFolder() = default;
    // The folder, without a trailing separator, made when missing; empty when it cannot be.
    virtual QString path() = 0;
    // Locks the file (made when missing) for as long as the returned lock lives; nothing when
    // another running copy holds it or it cannot be made. A copy that ends in any way, also
    // killed, lets go of its locks.
    virtual std::unique_ptr<FileLock> lockFile(const QString& path) = 0;
};

} // namespace platform
