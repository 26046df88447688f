#include "board/model/page_codec.h"

#include <QPainter>
#include <zstd.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

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

std::optional<TColor> packedPixel(const PackedPage& packed, QPoint at) {
    const QSize size = packed.size;
    if (at.x() < 0 || at.y() < 0 || at.x() >= size.width() || at.y() >= size.height())
        return std::nullopt;
    if (packed.solid)
        return packed.solid;
    // Rows of Format_RGB32 are four bytes a pixel with no padding.
    const std::size_t offset =
        (static_cast<std::size_t>(at.y()) * static_cast<std::size_t>(size.width()) +
         static_cast<std::size_t>(at.x())) *
        sizeof(QRgb);
    const std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(),
                                                                       ZSTD_freeDCtx);
    if (!context)
        throw std::bad_alloc();
    std::vector<char> rows(offset + sizeof(QRgb));
    ZSTD_inBuffer in{packed.bytes.constData(), static_cast<std::size_t>(packed.bytes.size()), 0};
    ZSTD_outBuffer out{rows.data(), rows.size(), 0};
    while (out.pos < out.size) {
        const std::size_t before = in.pos + out.pos;
        const std::size_t result = ZSTD_decompressStream(context.get(), &out, &in);
        const bool stuck = in.pos + out.pos == before;
        if (ZSTD_isError(result) || (result == 0 && out.pos < out.size) || stuck)
            throw std::runtime_error("a stored page could not be expanded");
    }
    QRgb pixel;
    std::memcpy(&pixel, rows.data() + offset, sizeof pixel);
    return platform::fromRgb(pixel);
}

QImage pageOverBackground(const QImage& picture, QSize size, TColor background) {
    if (picture.size() == size && picture.format() == QImage::Format_RGB32)
        return picture;
    QImage page(size, QImage::Format_RGB32);
    page.fill(platform::toQColor(background));
    if (!picture.isNull())
        QPainter(&page).drawImage(0, 0, picture);
    return page;
}

QImage pageFittedOverBackground(const QImage& picture, QSize size, TColor background) {
    if (picture.isNull() || picture.size() == size)
        return pageOverBackground(picture, size, background);
    QImage page(size, QImage::Format_RGB32);
    page.fill(platform::toQColor(background));
    QRect target(QPoint(), picture.size().scaled(size, Qt::KeepAspectRatio));
    target.moveCenter(page.rect().center());
    QPainter painter(&page);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    return page;
}
