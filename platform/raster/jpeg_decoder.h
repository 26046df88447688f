// Stamp pictures (".jt" files) are JPEG files, decoded here with the IJG library directly.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace platform {

// The picture in JPEG data as an opaque 32-bit image; nothing when the data is not a JPEG
// picture or is damaged before its first row. A picture cut short keeps the rows it has.
std::optional<QImage> decodeJpeg(const QByteArray& data);
std::optional<QImage> decodeJpegFile(const QString& path);

} // namespace platform
