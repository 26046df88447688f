// Cursors read from Windows cursor files (".cut" is a .cur file under another name).
#pragma once

#include <QCursor>
#include <QString>
#include <optional>

namespace platform {

// The cursor in `fileName`, resolved against the current folder, with its hotspot;
// nothing when the file is missing or is not a cursor file.
std::optional<QCursor> loadCursorFile(const QString& fileName);

} // namespace platform
