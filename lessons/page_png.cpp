#include "lessons/page_png.h"

#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace lessons {

namespace {

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

constexpr std::uint8_t FilterUp = 2;
// Readers cope with IDAT chunks of any size; smaller ones are the custom.
constexpr qsizetype IdatChunk = 256 * 1024;

void appendBigEndian(QByteArray& bytes, quint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xFF));
}

void appendChunk(QByteArray& png, const char* type, QByteArrayView data) {
    appendBigEndian(png, static_cast<quint32>(data.size()));
    const qsizetype start = png.size();
    png.append(type, 4);
    png.append(data);
    const auto crc =
        libdeflate_crc32(0, png.constData() + start, static_cast<std::size_t>(png.size() - start));
    appendBigEndian(png, crc);
}

quint32 readBigEndian(const char* p) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(p);
    return (quint32{b[0]} << 24) | (quint32{b[1]} << 16) | (quint32{b[2]} << 8) | quint32{b[3]};
}

// Pages up to this size (a 4K screen's) are inflated into memory the thread keeps.
constexpr std::size_t ReusedInflateBytes = std::size_t{3840 * 3 + 1} * 2160;

std::uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes a row's filter into `out`, given the row above as undone (zeros for the first).
bool unfilter(std::uint8_t filter, const std::uint8_t* __restrict in, std::uint8_t* __restrict out,
              const std::uint8_t* __restrict above, std::size_t length, std::size_t bpp) {
    switch (filter) {
    case 0:
        std::memcpy(out, in, length);
        return true;
    case 1:
        for (std::size_t i = 0; i < length; ++i)
            out[i] = static_cast<std::uint8_t>(in[i] + (i >= bpp ? out[i - bpp] : 0));
        return true;
    case 2:
        for (std::size_t i = 0; i < length; ++i)
            out[i] = static_cast<std::uint8_t>(in[i] + above[i]);
        return true;
    case 3:
        for (std::size_t i = 0; i < length; ++i) {
            const int left = i >= bpp ? out[i - bpp] : 0;
            out[i] = static_cast<std::uint8_t>(in[i] + ((left + above[i]) >> 1));
        }
        return true;
    case 4:
        for (std::size_t i = 0; i < length; ++i) {
            const int left = i >= bpp ? out[i - bpp] : 0;
            const int corner = i >= bpp ? above[i - bpp] : 0;
            out[i] = static_cast<std::uint8_t>(in[i] + paeth(left, above[i], corner));
        }
        return true;
    default:
        return false;
    }
}

// 8-bit RGB and RGBA without interlacing, what lesson pages are written as, read in one pass
// with a whole-buffer inflate; nothing when the file is of another kind (libpng reads it then)
// or damaged.
std::optional<QImage> decodeDirectly(const QByteArray& bytes, QSize maxSize) {
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype at = 8;
    quint32 width = 0, height = 0;
    std::size_t bpp = 0;
    QByteArray idat;
    bool ended = false;
    while (at + 12 <= size && !ended) {
        const quint32 length = readBigEndian(data + at);
        const QByteArrayView type(data + at + 4, 4);
        if (length > static_cast<quint32>(size - at - 12))
            return QImage();
        const char* body = data + at + 8;
        if (type == "IHDR") {
            if (length != 13 || body[8] != 8 || body[10] != 0 || body[11] != 0 || body[12] != 0)
                return std::nullopt;
            width = readBigEndian(body);
            height = readBigEndian(body + 4);
            if (body[9] == 2)
                bpp = 3;
            else if (body[9] == 6)
                bpp = 4;
            else
                return std::nullopt;
        } else if (type == "IDAT") {
            idat.append(body, length);
        } else if (type == "IEND") {
            ended = true;
        } else if (type == "PLTE" || type == "tRNS") {
            return std::nullopt;
        }
        at += 12 + static_cast<qsizetype>(length);
    }
    if (bpp == 0 || !ended)
        return bpp == 0 ? std::nullopt : std::optional(QImage());
    if (width == 0 || height == 0 || width > static_cast<quint32>(maxSize.width()) ||
        height > static_cast<quint32>(maxSize.height()))
        return QImage();
    const std::size_t stride = std::size_t{width} * bpp;
    // The inflated rows, in memory this thread keeps from page to page: a fresh buffer of a
    // page's size costs more in page faults than the inflate itself.
    thread_local std::vector<std::uint8_t> reused;
    std::vector<std::uint8_t> once;
    const std::size_t rawSize = (stride + 1) * height;
    std::vector<std::uint8_t>& raw = rawSize <= ReusedInflateBytes ? reused : once;
    raw.resize(rawSize);
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)>
        decompressor(libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    std::size_t produced = 0;
    if (!decompressor ||
        libdeflate_zlib_decompress(decompressor.get(), idat.constData(),
                                   static_cast<std::size_t>(idat.size()), raw.data(), raw.size(),
                                   &produced) != LIBDEFLATE_SUCCESS ||
        produced != raw.size())
        return QImage();
    QImage picture(static_cast<int>(width), static_cast<int>(height),
                   bpp == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (picture.isNull())
        return QImage();
    std::vector<std::uint8_t> line(stride, 0), above(stride, 0);
    for (quint32 y = 0; y < height; ++y) {
        const std::uint8_t* in = &raw[(stride + 1) * y];
        if (!unfilter(in[0], in + 1, line.data(), above.data(), stride, bpp))
            return QImage();
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(static_cast<int>(y)));
        const std::uint8_t* p = line.data();
        if (bpp == 3) {
            for (quint32 x = 0; x < width; ++x, p += 3)
                out[x] = qRgb(p[0], p[1], p[2]);
        } else {
            for (quint32 x = 0; x < width; ++x, p += 4)
                out[x] = qRgba(p[0], p[1], p[2], p[3]);
        }
        std::swap(line, above);
    }
    return picture;
}

// The calls that may end in png_error sit in functions of their own whose frames hold no
// object with a destructor: libpng leaves them by longjmp.

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
    // Rows are taken as 32-bit pixels one at a time and made RGB bytes in a small buffer:
    // converting the whole page first would cost a fresh page-sized picture.
    const QImage rgb32 = page.convertToFormat(QImage::Format_RGB32);
    const int width = rgb32.width();
    const int height = rgb32.height();
    const auto stride = static_cast<std::size_t>(width) * 3;
    // zlib's run-length strategy packs runs faster than any matching search could, and a page
    // is mostly rows equal to the row above, which "up" makes runs of zeros. A row at a time,
    // so that what is packed is still in the cache.
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        return {};
    QByteArray idat(
        static_cast<qsizetype>(deflateBound(&z, (stride + 1) * static_cast<std::size_t>(height))),
        Qt::Uninitialized);
    z.next_out = reinterpret_cast<Bytef*>(idat.data());
    z.avail_out = static_cast<uInt>(idat.size());
    std::vector<std::uint8_t> line(stride + 1);
    std::vector<std::uint8_t> row(stride), above(stride, 0);
    int status = Z_OK;
    for (int y = 0; y < height && status == Z_OK; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            std::uint8_t* out = &row[static_cast<std::size_t>(x) * 3];
            out[0] = static_cast<std::uint8_t>(qRed(pixels[x]));
            out[1] = static_cast<std::uint8_t>(qGreen(pixels[x]));
            out[2] = static_cast<std::uint8_t>(qBlue(pixels[x]));
        }
        line[0] = FilterUp;
        for (std::size_t i = 0; i < stride; ++i)
            line[i + 1] = static_cast<std::uint8_t>(row[i] - above[i]);
        std::swap(row, above);
        z.next_in = line.data();
        z.avail_in = static_cast<uInt>(line.size());
        status = deflate(&z, y + 1 == height ? Z_FINISH : Z_NO_FLUSH);
    }
    idat.truncate(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    if (status != Z_STREAM_END)
        return {};

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(idat.size() + 1024);
    QByteArray header;
    appendBigEndian(header, static_cast<quint32>(width));
    appendBigEndian(header, static_cast<quint32>(height));
    header.append(QByteArray("\x08\x02\x00\x00\x00", 5)); // 8 bits, RGB, deflate, basic, plain
    appendChunk(png, "IHDR", header);
    for (qsizetype at = 0; at < idat.size(); at += IdatChunk)
        appendChunk(png, "IDAT",
                    QByteArrayView(idat).sliced(at, std::min(IdatChunk, idat.size() - at)));
    appendChunk(png, "IEND", {});
    return png;
}

QImage decodePagePng(const QByteArray& bytes, QSize maxSize) {
    if (bytes.size() < 8 ||
        png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, 8) != 0)
        return {};
    if (std::optional<QImage> direct = decodeDirectly(bytes, maxSize))
        return *direct;
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
