// A folder that only its owner may enter: what the program keeps of a teacher's work between
// runs lives in one, whatever the umask.
#pragma once

#include <QString>

namespace platform {

// Makes the folder (and any missing folders above it) and gives it mode 0700; a folder that
// is there already is given that mode too. False when it cannot be made, is not a folder (a
// symbolic link included) or its mode cannot be set.
bool makeOwnerOnlyFolder(const QString& path);

} // namespace platform
