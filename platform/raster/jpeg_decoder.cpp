#include "platform/raster/jpeg_decoder.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace platform {

namespace {

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

// Decodes into `image`, which the caller owns; false on a fatal error before any row. Only
// plain values live in this frame, as the error path jumps back into it.
bool decodeInto(const unsigned char* bytes, unsigned long size, QImage* image) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.output_message = ignoreMessage;
    volatile int rows = 0;
    if (setjmp(errors.back) != 0) {
        jpeg_destroy_decompress(&info);
        return rows > 0;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    // Bigger than any picture the board can show: a damaged header, not a picture.
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 ||
        info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *image = QImage(width, height, QImage::Format_RGB32);
    image->fill(Qt::black);
    // The row buffer belongs to the library, which frees it however decoding ends.
    JSAMPARRAY buffer = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info),
                                                  JPOOL_IMAGE, info.output_width * 3, 1);
    const unsigned char* line = buffer[0];
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, buffer, 1) != 1)
            break;
        auto* out = reinterpret_cast<QRgb*>(image->scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = qRgb(line[3 * x], line[3 * x + 1], line[3 * x + 2]);
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

std::optional<QImage> decodeJpegFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeJpeg(file.readAll());
}

} // namespace platform
