#include "platform/raster/jpeg_decoder.h"

#include <algorithm>

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace platform {

namespace {

// A stamp is a small picture; a header that claims more is damaged or hostile, and is refused
// before the library allocates anything for the picture.
constexpr unsigned MaxSide = 16384;
constexpr unsigned long long MaxPixels = 1ULL << 26; // 256 MiB as a 32-bit image
// The library's own working memory: a progressive picture keeps all its coefficients, two
// bytes per sample, so a picture within MaxPixels needs at most 3 * 2 * MaxPixels.
constexpr long MaxLibraryMemory = 512L << 20;
// Each scan of a progressive picture makes the library go over all coefficients again; a few
// hundred bytes of crafted scans could keep it busy for minutes.
constexpr int MaxScans = 256;

// The library reports fatal errors by calling error_exit, which must not return: it jumps
// back to the decoder. Nothing with a destructor lives in the frame it jumps over.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
};

[[noreturn]] void errorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->back, 1);
}

void ignoreMessage(j_common_ptr) {}

void limitScans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans)
        errorExit(info);
}

bool sizeAccepted(unsigned width, unsigned height) {
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide &&
           static_cast<unsigned long long>(width) * height <= MaxPixels;
}

// One output row as opaque pixels. CMYK comes from print programs, which mostly write it
// inverted (an Adobe marker says so).
void convertRow(const unsigned char* in, QRgb* out, int width, bool cmyk, bool inverted) {
    if (!cmyk) {
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = qRgb(in[0], in[1], in[2]);
        return;
    }
    for (int x = 0; x < width; ++x, in += 4) {
        const int c = inverted ? in[0] : 255 - in[0];
        const int m = inverted ? in[1] : 255 - in[1];
        const int y = inverted ? in[2] : 255 - in[2];
        const int k = inverted ? in[3] : 255 - in[3];
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

// Decodes into `image`, which the caller owns; false on a fatal error before any row. Only
// plain values live in this frame, as the error path jumps back into it.
// With `least` above 0 the library decodes at the smallest of 1/8, 1/4 and 1/2 whose longer side
// is still at least `least`; `fullSize` is the picture's own size.
bool decodeInto(const unsigned char* bytes, unsigned long size, QImage* image, int least = 0,
                QSize* fullSize = nullptr) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.output_message = ignoreMessage;
    progress.progress_monitor = limitScans;
    volatile int rows = 0;
    if (setjmp(errors.back) != 0) {
        jpeg_destroy_decompress(&info);
        return rows > 0;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = MaxLibraryMemory;
    info.progress = &progress;
    jpeg_mem_src(&info, bytes, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
        !sizeAccepted(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (fullSize != nullptr)
        *fullSize = QSize(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
    if (least > 0) {
        const unsigned longer = std::max(info.image_width, info.image_height);
        info.scale_num = 1;
        info.scale_denom = 1;
        // A picture this small shows no difference from the exact transform.
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
        for (unsigned d : {8u, 4u, 2u}) {
            if ((longer + d - 1) / d >= static_cast<unsigned>(least)) {
                info.scale_denom = d;
                break;
            }
        }
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const bool inverted = info.saw_Adobe_marker != 0;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    const int components = cmyk ? 4 : 3;
    if (!sizeAccepted(info.output_width, info.output_height) ||
        info.output_components != components) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    *image = QImage(width, height, QImage::Format_RGB32);
    if (image->isNull()) { // the machine could not give the memory
        jpeg_destroy_decompress(&info);
        return false;
    }
    image->fill(Qt::black);
    // The row buffer belongs to the library, which frees it however decoding ends.
    JSAMPARRAY buffer =
        (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                  info.output_width * static_cast<unsigned>(components), 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, buffer, 1) != 1)
            break;
        convertRow(buffer[0], reinterpret_cast<QRgb*>(image->scanLine(y)), width, cmyk, inverted);
        rows = rows + 1;
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

std::optional<QImage> decodeJpeg(const QByteArray& data) {
    if (data.size() < 4)
        return std::nullopt;
    QImage image;
    if (!decodeInto(reinterpret_cast<const unsigned char*>(data.constData()),
                    static_cast<unsigned long>(data.size()), &image) ||
        image.isNull())
        return std::nullopt;
    return image;
}

std::optional<QImage> decodeJpegReduced(const QByteArray& data, int least, QSize& fullSize) {
    if (data.size() < 4 || least < 1)
        return std::nullopt;
    QImage image;
    if (!decodeInto(reinterpret_cast<const unsigned char*>(data.constData()),
                    static_cast<unsigned long>(data.size()), &image, least, &fullSize) ||
        image.isNull())
        return std::nullopt;
    return image;
}

std::optional<QImage> decodeJpegFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeJpeg(file.readAll());
}

} // namespace platform
