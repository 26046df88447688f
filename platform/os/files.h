// The file operations the program's logic asks of the system.
#pragma once

#include <QString>

namespace platform {

class Files {
public:
    virtual ~Files() = default;
    virtual bool exists(const QString& path) = 0;
    // False when the file is missing or cannot be deleted.
    virtual bool removeFile(const QString& path) = 0;
};

} // namespace platform
