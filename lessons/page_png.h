// Lesson pages as PNG files: standard PNG that any reader opens, written the way flat
// whiteboard pages compress fast (rows that repeat the row above, runs of one colour).
#pragma once

#include <QByteArray>
#include <QImage>

namespace lessons {

// The page as an 8-bit RGB PNG; empty when the picture is empty or the encoder fails.
QByteArray encodePagePng(const QImage& page);
// Any PNG as a picture of 32-bit pixels: RGB32, or ARGB32 when the file has transparency.
// A null picture when the bytes are not a PNG or are damaged, or when the picture is larger
// than `maxSize` in either direction.
QImage decodePagePng(const QByteArray& bytes, QSize maxSize);

} // namespace lessons
