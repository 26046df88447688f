#include "board/model/page_codec.h"

#include <zstd.h>

#include <cstring>
#include <stdexcept>

namespace {

// Level 1: flat pages shrink about as much as at any higher level, several times faster.
constexpr int CompressionLevel = 1;

std::size_t pageBytes(const QImage& page) {
    return static_cast<std::size_t>(page.sizeInBytes());
}

// The colour of a page whose pixels are all alike.
std::optional<TColor> solidColour(const QImage& page) {
    const auto* p = reinterpret_cast<const QRgb*>(page.constBits());
    const std::size_t count = pageBytes(page) / sizeof(QRgb);
    if (count == 0)
        return std::nullopt;
    const QRgb first = p[0];
    for (std::size_t i = 1; i < count; ++i)
        if (p[i] != first)
            return std::nullopt;
    return platform::fromRgb(first);
}

} // namespace

PackedPage solidPage(QSize size, TColor colour) {
    return {size, colour, {}};
}

PackedPage packPage(const QImage& page) {
    // A page never drawn on, or cleared, keeps nothing but its colour.
    if (const std::optional<TColor> colour = solidColour(page))
        return solidPage(page.size(), *colour);
    const std::size_t n = pageBytes(page);
    QByteArray out(static_cast<qsizetype>(ZSTD_compressBound(n)), Qt::Uninitialized);
    const std::size_t written = ZSTD_compress(out.data(), static_cast<std::size_t>(out.size()),
                                              page.constBits(), n, CompressionLevel);
    if (ZSTD_isError(written))
        throw std::runtime_error(ZSTD_getErrorName(written));
    out.truncate(static_cast<qsizetype>(written));
    out.squeeze();
    return {page.size(), std::nullopt, out};
}

QImage unpackPage(const PackedPage& packed, QImage reuse) {
    const QSize size = packed.size;
    const bool reusable =
        reuse.size() == size && reuse.format() == QImage::Format_RGB32 && reuse.isDetached();
    QImage page = reusable ? std::move(reuse) : QImage(size, QImage::Format_RGB32);
    if (page.isNull())
        throw std::bad_alloc();
    if (packed.solid) {
        page.fill(platform::toQColor(*packed.solid));
        return page;
    }
    const std::size_t n = pageBytes(page);
    const std::size_t got = ZSTD_decompress(page.bits(), n, packed.bytes.constData(),
                                            static_cast<std::size_t>(packed.bytes.size()));
    if (ZSTD_isError(got) || got != n)
        throw std::runtime_error("a stored page could not be expanded");
    return page;
}
