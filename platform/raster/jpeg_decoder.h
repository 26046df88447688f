// Stamp pictures (".jt" files) are JPEG files, decoded here with the IJG library directly.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace platform {

// The picture in JPEG data (colour, greyscale or CMYK, baseline or progressive) as an opaque
// 32-bit image; nothing when the data is not a JPEG picture, is damaged before its first row,
// claims a size no stamp has (over 16384 pixels a side or 2^26 pixels), or needs more memory
// than the machine gives. A picture cut short keeps the rows it has.
std::optional<QImage> decodeJpeg(const QByteArray& data);
std::optional<QImage> decodeJpegFile(const QString& path);
// The same picture decoded by the library at 1/2, 1/4 or 1/8 of its size, the smallest whose
// longer side is still at least `least` (whole when none is); `fullSize` is its own size.
std::optional<QImage> decodeJpegReduced(const QByteArray& data, int least, QSize& fullSize);

} // namespace platform
