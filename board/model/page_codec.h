// A page's pixels in the form the store keeps pages that are not shown: a solid colour costs
// nothing, anything else is compressed. Flat whiteboard pages compress about a hundredfold.
#pragma once

#include "platform/raster/tcolor.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <optional>

struct PackedPage {
    QSize size;
    // Set when every pixel has this colour; the bytes are then empty.
    std::optional<TColor> solid;
    QByteArray bytes;

    std::size_t heldBytes() const { return static_cast<std::size_t>(bytes.size()); }
};

// A whole page of one colour.
PackedPage solidPage(QSize size, TColor colour);
PackedPage packPage(const QImage& page);
// The page's pixels again, written into `reuse` when it has the page's size and is not shared,
// else into a new picture.
QImage unpackPage(const PackedPage& packed, QImage reuse = {});
// A page of `size`: the picture at (0, 0) at its own size over the background colour (a
// picture from a screen of another size), or the picture itself when it already is one.
QImage pageOverBackground(const QImage& picture, QSize size, TColor background);
// A page of `size` for a picture from a screen of another size: the picture scaled to fit,
// its aspect ratio kept, centred over the background colour; a picture of the page's size is
// the page pixel for pixel.
QImage pageFittedOverBackground(const QImage& picture, QSize size, TColor background);
// One pixel of the page, expanding only the rows up to it; nothing outside the page.
std::optional<TColor> packedPixel(const PackedPage& packed, QPoint at);
