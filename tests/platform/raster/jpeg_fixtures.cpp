#include "jpeg_fixtures.h"

#include <QColor>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>
#include <vector>

namespace jpegfixtures {

namespace {

bool cmyk(Kind kind) {
    return kind == Kind::CmykAdobe || kind == Kind::CmykPlain;
}

bool grey(Kind kind) {
    return kind == Kind::Greyscale || kind == Kind::GreyscaleProgressive;
}

// One row as the encoder takes it for `kind`.
std::vector<JSAMPLE> row(const QImage& picture, int y, Kind kind) {
    std::vector<JSAMPLE> out;
    for (int x = 0; x < picture.width(); ++x) {
        const QRgb p = picture.pixel(x, y);
        const auto r = static_cast<JSAMPLE>(qRed(p));
        const auto g = static_cast<JSAMPLE>(qGreen(p));
        const auto b = static_cast<JSAMPLE>(qBlue(p));
        if (grey(kind)) {
            out.push_back(static_cast<JSAMPLE>(qGray(p)));
        } else if (kind == Kind::CmykAdobe) {
            out.insert(out.end(), {r, g, b, 255}); // inverted C, M, Y and no black
        } else if (kind == Kind::CmykPlain) {
            out.insert(out.end(), {static_cast<JSAMPLE>(255 - r), static_cast<JSAMPLE>(255 - g),
                                   static_cast<JSAMPLE>(255 - b), 0});
        } else {
            out.insert(out.end(), {r, g, b});
        }
    }
    return out;
}

// The library is C: no exception may pass through it.
[[noreturn]] void fail(j_common_ptr info) {
    (*info->err->output_message)(info);
    std::abort();
}

} // namespace

QByteArray encode(const QImage& picture, Kind kind, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = fail;
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width());
    info.image_height = static_cast<JDIMENSION>(picture.height());
    info.input_components = grey(kind) ? 1 : cmyk(kind) ? 4 : 3;
    info.in_color_space = grey(kind) ? JCS_GRAYSCALE : cmyk(kind) ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (cmyk(kind))
        info.write_Adobe_marker = kind == Kind::CmykAdobe ? TRUE : FALSE;
    if (kind == Kind::Progressive || kind == Kind::GreyscaleProgressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < picture.height(); ++y) {
        std::vector<JSAMPLE> line = row(picture, y, kind);
        JSAMPROW rows[] = {line.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray result(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return result;
}

QByteArray withClaimedSize(QByteArray jpeg, int width, int height) {
    // Markers after the start of image: FF xx, a two-byte length, the segment.
    qsizetype at = 2;
    while (at + 9 < jpeg.size()) {
        const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
        const int length = (static_cast<unsigned char>(jpeg[at + 2]) << 8) |
                           static_cast<unsigned char>(jpeg[at + 3]);
        if (marker >= 0xC0 && marker <= 0xC2) { // a frame header: precision, height, width
            jpeg[at + 5] = static_cast<char>(height >> 8);
            jpeg[at + 6] = static_cast<char>(height & 0xFF);
            jpeg[at + 7] = static_cast<char>(width >> 8);
            jpeg[at + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
        at += 2 + length;
    }
    throw std::runtime_error("no frame header");
}

QByteArray cutInFirstScan(const QByteArray& jpeg) {
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    if (scan < 0)
        throw std::runtime_error("no scan");
    const int length = (static_cast<unsigned char>(jpeg[scan + 2]) << 8) |
                       static_cast<unsigned char>(jpeg[scan + 3]);
    const qsizetype data = scan + 2 + length;
    // The scan's data ends at the first marker that is neither a stuffed FF nor a restart.
    qsizetype end = data;
    while (end + 1 < jpeg.size()) {
        const auto next = static_cast<unsigned char>(jpeg[end + 1]);
        if (static_cast<unsigned char>(jpeg[end]) == 0xFF && next != 0 &&
            (next < 0xD0 || next > 0xD7))
            break;
        ++end;
    }
    return jpeg.left(data + (end - data) / 2);
}

QByteArray withLastScanRepeated(const QByteArray& jpeg, int times) {
    const qsizetype scan = jpeg.lastIndexOf("\xFF\xDA");
    const qsizetype end = jpeg.size() - 2; // the end-of-image marker
    if (scan < 0 || !jpeg.endsWith("\xFF\xD9"))
        throw std::runtime_error("no last scan");
    return jpeg.left(end) + jpeg.mid(scan, end - scan).repeated(times) + jpeg.mid(end);
}

QImage blocks() {
    QImage picture(48, 32, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    for (int i = 0; i < 4; ++i) {
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 12; ++x)
                picture.setPixel(12 * i + x, y, colours[i]);
        }
    }
    return picture;
}

std::vector<Fixture> all() {
    const QImage picture = blocks();
    const QByteArray baseline = encode(picture, Kind::Baseline);
    const QByteArray progressive = encode(picture, Kind::Progressive);
    return {
        {QStringLiteral("baseline"), baseline},
        {QStringLiteral("progressive"), progressive},
        {QStringLiteral("greyscale"), encode(picture, Kind::Greyscale)},
        {QStringLiteral("greyscale progressive"), encode(picture, Kind::GreyscaleProgressive)},
        {QStringLiteral("cmyk adobe"), encode(picture, Kind::CmykAdobe)},
        {QStringLiteral("cmyk plain"), encode(picture, Kind::CmykPlain)},
        {QStringLiteral("baseline cut short"), cutInFirstScan(baseline)},
        {QStringLiteral("progressive cut short"), cutInFirstScan(progressive)},
        {QStringLiteral("progressive cut in a later table"),
         progressive.left(progressive.lastIndexOf("\xFF\xDA") + 3)},
        {QStringLiteral("progressive claiming 60000 x 60000"),
         withClaimedSize(progressive, 60000, 60000)},
        {QStringLiteral("baseline claiming 65535 x 1"), withClaimedSize(baseline, 65535, 1)},
        {QStringLiteral("progressive with 300 more scans"), withLastScanRepeated(progressive, 300)},
    };
}

} // namespace jpegfixtures
