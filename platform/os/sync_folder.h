// Flushing a folder to the disk: after a rename, the folder's new entry reaches the disk only
// when the folder itself is flushed, so a file saved by rename is safe only after this.
#pragma once

#include <QString>

namespace platform {

// False when the folder cannot be opened or flushed.
bool syncFolder(const QString& folder);

} // namespace platform
