#include "lessons/page_png.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace lessons {

namespace {

struct Sink {
    QByteArray bytes;
};

void writeToSink(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    sink->bytes.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushSink(png_structp) {}

struct Source {
    const QByteArray* bytes;
    qsizetype offset = 0;
};

void readFromSource(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    const auto wanted = static_cast<qsizetype>(length);
    if (source->bytes->size() - source->offset < wanted)
        png_error(png, "truncated");
    std::memcpy(data, source->bytes->constData() + source->offset, length);
    source->offset += wanted;
}

// Damaged files are expected (a pulled stick); they make a blank page, not a message on the
// console.
void quietWarning(png_structp, png_const_charp) {}
[[noreturn]] void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// The calls that may end in png_error sit in functions of their own whose frames hold no
// object with a destructor: libpng leaves them by longjmp.

bool writeImage(png_structp png, png_infop info, const QImage& rgb) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgb.width()),
                 static_cast<png_uint_32>(rgb.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // A page is mostly rows equal to the row above: "up" makes them zeros, and zlib's
    // run-length strategy packs zeros at memory speed where its default search would crawl.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_strategy(png, Z_RLE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < rgb.height(); ++y)
        png_write_row(png, rgb.constScanLine(y));
    png_write_end(png, info);
    return true;
}

bool readHeader(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

// Every kind of PNG becomes B, G, R, A bytes: the memory order of Qt's 32-bit pixels.
bool setUpTransforms(png_structp png, png_infop info, bool alpha) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool readImage(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

struct Writer {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    ~Writer() { png_destroy_write_struct(&png, &info); }
};

struct Reader {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
};

} // namespace

QByteArray encodePagePng(const QImage& page) {
    if (page.isNull())
        return {};
    const QImage rgb =
        page.format() == QImage::Format_RGB888 ? page : page.convertToFormat(QImage::Format_RGB888);
    Writer writer;
    if (writer.info == nullptr)
        return {};
    Sink sink;
    sink.bytes.reserve(256 * 1024);
    png_set_write_fn(writer.png, &sink, writeToSink, flushSink);
    if (!writeImage(writer.png, writer.info, rgb))
        return {};
    return sink.bytes;
}

QImage decodePagePng(const QByteArray& bytes, QSize maxSize) {
    if (bytes.size() < 8 ||
        png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, 8) != 0)
        return {};
    Reader reader;
    if (reader.info == nullptr)
        return {};
    Source source{&bytes};
    png_set_read_fn(reader.png, &source, readFromSource);
    if (!readHeader(reader.png, reader.info))
        return {};
    const png_uint_32 width = png_get_image_width(reader.png, reader.info);
    const png_uint_32 height = png_get_image_height(reader.png, reader.info);
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(maxSize.width()) ||
        height > static_cast<png_uint_32>(maxSize.height()))
        return {};
    const bool alpha = (png_get_color_type(reader.png, reader.info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                       png_get_valid(reader.png, reader.info, PNG_INFO_tRNS) != 0;
    if (!setUpTransforms(reader.png, reader.info, alpha) ||
        png_get_rowbytes(reader.png, reader.info) != static_cast<size_t>(width) * 4)
        return {};
    QImage picture(static_cast<int>(width), static_cast<int>(height),
                   alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = picture.scanLine(static_cast<int>(y));
    if (!readImage(reader.png, rows.data()))
        return {};
    return picture;
}

} // namespace lessons
