// Picture conversion: the scaled draw into a transparent black target, read back as the opaque
// bitmap its temporary BMP would give, and the callers' rules for sizes and rectangles.
#include "intake/picture_conversion.h"

#include "platform/os/services.h"
#include "platform/raster/jpeg_decoder.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// A picture with an alpha channel keeps its colours unpremultiplied, so that a picture taken
// unchanged reads back with the colours it was stored with.
QImage decodedFormat(const QImage& image) {
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return image.format() == wanted ? image : image.convertToFormat(wanted);
}

bool drawable(const FloatRect& r) {
    return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
           std::isfinite(r.height) && r.width > 0 && r.height > 0;
}

QRectF toQRectF(const FloatRect& r) {
    return {static_cast<double>(r.x), static_cast<double>(r.y), static_cast<double>(r.width),
            static_cast<double>(r.height)};
}

FloatRect floatRect(double x, double y, double width, double height) {
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
            static_cast<float>(height)};
}

bool hasPixels(QSize size) {
    return size.width() > 0 && size.height() > 0;
}

long long pixelsOf(QSize size) {
    return static_cast<long long>(size.width()) * size.height();
}

int longerSide(QSize size) {
    return std::max(size.width(), size.height());
}

// The largest size of `size`'s shape (within a pixel) that has at most `most` pixels; `size`
// itself when it has no more.
QSize withinPixels(QSize size, long long most) {
    if (!hasPixels(size) || pixelsOf(size) <= most)
        return size;
    const double f = std::sqrt(static_cast<double>(most) / static_cast<double>(pixelsOf(size)));
    QSize fitted(std::max(1, static_cast<int>(size.width() * f)),
                 std::max(1, static_cast<int>(size.height() * f)));
    while (pixelsOf(fitted) > most) {
        if (fitted.width() >= fitted.height())
            fitted.rwidth() -= 1;
        else
            fitted.rheight() -= 1;
    }
    return fitted;
}

ConversionRequest requestFor(const QString& programFolder, InterpolationMode mode) {
    ConversionRequest r;
    r.programFolder = programFolder;
    r.interpolation = mode;
    return r;
}

// Target round(W * f) x round(H * f), destination (0, 0, W * f, H * f): the zoom steps' shape.
void zoomTo(ConversionRequest& r, QSize captured, float zoom) {
    const double w = captured.width() * static_cast<double>(zoom);
    const double h = captured.height() * static_cast<double>(zoom);
    r.targetWidth = roundHalfEven(w);
    r.targetHeight = roundHalfEven(h);
    r.destination = floatRect(0, 0, w, h);
}

} // namespace

const std::vector<EncoderId>& ImageEncoders() {
    static const std::vector<EncoderId> encoders = [] {
        const std::array<EncoderId, 5> order{{{"bmp", "image/bmp"},
                                              {"jpeg", "image/jpeg"},
                                              {"gif", "image/gif"},
                                              {"tiff", "image/tiff"},
                                              {"png", "image/png"}}};
        const QList<QByteArray> writable = QImageWriter::supportedMimeTypes();
        std::vector<EncoderId> list;
        for (const EncoderId& e : order)
            if (writable.contains(e.mimeType))
                list.push_back(e);
        return list;
    }();
    return encoders;
}

int FindEncoderByMimeType(const QString& mimeType, EncoderId& out) {
    int found = -1;
    const std::vector<EncoderId>& encoders = ImageEncoders();
    for (std::size_t i = 0; i < encoders.size(); ++i) {
        if (QString::fromLatin1(encoders[i].mimeType) == mimeType) {
            out = encoders[i];
            found = static_cast<int>(i);
        }
    }
    return found;
}

void RaisePictureReadLimit() {
    QImageReader::setAllocationLimit(PictureReadLimitMegabytes);
}

std::optional<CapturedPicture> CapturedPicture::open(const QString& path) {
    QImageReader reader(path);
    // A picture is recognised by its content, whatever its name ends in, and drawn as stored.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull() || !hasPixels(image.size()))
        return std::nullopt;
    return CapturedPicture(decodedFormat(image));
}

std::optional<CapturedPicture> CapturedPicture::openReduced(const QString& path, int least,
                                                            QSize& fullSize) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QSize full = reader.size();
    const long long wanted = 2LL * least;
    const bool small = longerSide(full) <= 2 * wanted;
    if (hasPixels(full) && (!small || pixelsOf(full) > MaxTargetPixels)) {
        QSize decoded = full;
        if (!small) {
            const double f = static_cast<double>(wanted) / longerSide(full);
            decoded = QSize(std::max(1, static_cast<int>(std::ceil(full.width() * f))),
                            std::max(1, static_cast<int>(std::ceil(full.height() * f))));
        }
        // Never more pixels than the largest target, which is all Qt is allowed to decode.
        decoded = withinPixels(decoded, MaxTargetPixels);
        // A JPEG photograph is decoded by the library at a fraction of its size, which reads
        // only what that fraction needs.
        if (reader.format() == "jpeg") {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) {
                if (std::optional<QImage> reduced =
                        platform::decodeJpegReduced(file.readAll(), longerSide(decoded), fullSize);
                    reduced && hasPixels(fullSize) && pixelsOf(reduced->size()) <= MaxTargetPixels)
                    return CapturedPicture(std::move(*reduced));
            }
        }
        reader.setScaledSize(decoded);
    }
    const QImage image = reader.read();
    if (image.isNull() || !hasPixels(image.size()))
        return std::nullopt;
    // A reader that cannot tell the size before decoding decodes the whole picture.
    fullSize = hasPixels(full) ? full : image.size();
    return CapturedPicture(decodedFormat(image));
}

std::optional<CapturedPicture> CapturedPicture::fromBitmap(const QImage& bitmap) {
    if (bitmap.isNull() || !hasPixels(bitmap.size()))
        return std::nullopt;
    // The bitmap's pixels are shared until either side changes them.
    return CapturedPicture(bitmap.format() == QImage::Format_RGB32
                               ? bitmap
                               : bitmap.convertToFormat(QImage::Format_RGB32));
}

namespace {

// The converted picture made transparent where the drawing left it uncovered: the coverage is
// that of an opaque picture of the source's size drawn the same way.
QImage withClearBands(const QImage& converted, QSize source, const ConversionRequest& request,
                      bool smooth) {
    QImage coverage(converted.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    if (drawable(request.destination) && drawable(request.source)) {
        QImage opaque(source, QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        painter.drawImage(toQRectF(request.destination), opaque, toQRectF(request.source));
    }
    QImage result = converted.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, coverage);
    return result;
}

} // namespace

std::optional<QImage> ConvertPicture(const CapturedPicture& picture,
                                     const ConversionRequest& request, QImage reuse) {
    const QSize size =
        request.drawn ? QSize(request.targetWidth, request.targetHeight) : picture.size();
    if (!hasPixels(size) || static_cast<long long>(size.width()) * size.height() > MaxTargetPixels)
        return std::nullopt;

    if (request.deleteTmpBmpFirst)
        platform::files().removeFile(request.programFolder + QStringLiteral("tmp.bmp"));

    if (!request.drawn)
        return picture.image().convertToFormat(QImage::Format_RGB32);

    // The target is 32-bit ARGB, all zero, and reads back as its colour channels made opaque,
    // so what the drawing leaves uncovered is black. Fast scaling of an opaque picture only
    // copies pixels, so an opaque target started black gives the same picture without the
    // read-back pass; smooth scaling rounds differently on an opaque target, so it keeps ARGB.
    const bool smooth = request.interpolation == InterpolationMode::HighQuality ||
                        request.interpolation == InterpolationMode::HighQualityBicubic;
    const bool opaque = !smooth && !picture.image().hasAlphaChannel();
    const QImage::Format format = opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32;
    QImage target = reuse.size() == size && reuse.format() == format && reuse.isDetached()
                        ? std::move(reuse)
                        : QImage(size, format);
    if (target.isNull())
        return std::nullopt;
    target.fill(opaque ? 0xFF000000u : 0u);
    // A rectangle with no positive extent draws nothing rather than a mirror image.
    if (drawable(request.destination) && drawable(request.source)) {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        painter.drawImage(toQRectF(request.destination), picture.image(), toQRectF(request.source));
    }
    // Converting unpremultiplied ARGB to RGB keeps the colour channels and drops the alpha.
    if (!opaque)
        target = target.convertToFormat(QImage::Format_RGB32);
    if (request.clearBands)
        return withClearBands(target, picture.size(), request, smooth);
    return target;
}

int roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    // The program never leaves the default rounding mode, which rounds ties to even.
    return static_cast<int>(std::nearbyint(value));
}

ConversionRequest importThumbnailRequest(QSize source, const QString& programFolder) {
    ConversionRequest r = requestFor(programFolder, InterpolationMode::Unset);
    if (!hasPixels(source))
        return r;
    const double w = source.width();
    const double h = source.height();
    r.targetWidth = 100;
    r.targetHeight = 100;
    if (w > h) {
        const double s = 100.0 / w;
        r.destination = floatRect(0, (w - h) * s / 2, 100, h * s);
    } else {
        const double s = 100.0 / h;
        r.destination = floatRect((h - w) * s / 2, 0, w * s, 100);
    }
    r.source = floatRect(0, 0, w, h);
    return r;
}

ConversionRequest sidePanelRequest(QSize source, int screenWidth, const QString& programFolder) {
    ConversionRequest r = requestFor(programFolder, InterpolationMode::HighQualityBicubic);
    if (!hasPixels(source))
        return r;
    const std::int64_t product = std::int64_t{source.height()} * screenWidth;
    const int scaledHeight =
        roundHalfEven(static_cast<double>(product) / static_cast<double>(source.width()));
    r.destination = floatRect(0, 0, screenWidth, scaledHeight);
    r.source = floatRect(0, 0, source.width(), source.height());
    if (source.width() >= screenWidth) {
        r.targetWidth = screenWidth;
        r.targetHeight = scaledHeight;
    } else {
        r.drawn = false;
        r.targetWidth = source.width();
        r.targetHeight = source.height();
    }
    return r;
}

std::optional<QImage> sidePanelPicture(const QString& path, int screenWidth,
                                       const QString& programFolder, bool& atScreenWidth) {
    // The size the picture is placed at, from its own size as the file tells it.
    auto placedSize = [&](QSize full) {
        const ConversionRequest rule = sidePanelRequest(full, screenWidth, programFolder);
        return withinPixels(QSize(rule.targetWidth, rule.targetHeight), MaxTargetPixels);
    };
    QImageReader probe(path);
    probe.setDecideFormatFromContent(true);
    QSize full = probe.size();
    // Decoded with at least twice the placed width; a reader that cannot tell the size first
    // decodes the whole picture.
    int least = INT_MAX / 4;
    if (hasPixels(full)) {
        const QSize placed = placedSize(full);
        least = static_cast<int>(std::min<double>(
            INT_MAX / 4,
            std::ceil(static_cast<double>(longerSide(full)) * placed.width() / full.width())));
    }
    const std::optional<CapturedPicture> picture =
        CapturedPicture::openReduced(path, std::max(1, least), full);
    if (!picture)
        return std::nullopt;
    ConversionRequest request = sidePanelRequest(full, screenWidth, programFolder);
    atScreenWidth = request.drawn;
    const QSize placed = placedSize(full);
    if (request.drawn || picture->size() != placed) {
        // Drawn smoothly from the decoded picture into the placed size: at the screen's width,
        // or a picture larger than the conversion makes brought down to it.
        request.drawn = true;
        request.interpolation = InterpolationMode::HighQualityBicubic;
        request.targetWidth = placed.width();
        request.targetHeight = placed.height();
        request.destination = floatRect(0, 0, placed.width(), placed.height());
        request.source = floatRect(0, 0, picture->size().width(), picture->size().height());
    }
    return ConvertPicture(*picture, request);
}

ConversionRequest thumbnailStripRequest(QSize page, const QString& programFolder) {
    ConversionRequest r = requestFor(programFolder, InterpolationMode::LowQuality);
    if (!hasPixels(page))
        return r;
    const double w = page.width();
    const double h = page.height();
    r.targetWidth = roundHalfEven(w / 2);
    r.targetHeight = roundHalfEven(h / 2);
    r.destination = floatRect(0, 0, w / 2, h / 2);
    r.source = floatRect(0, 0, w, h);
    return r;
}

ConversionRequest boardZoomRequest(QSize captured, float zoom, FloatingKind kind,
                                   const QString& programFolder) {
    ConversionRequest r = requestFor(programFolder, InterpolationMode::HighQualityBicubic);
    if (!hasPixels(captured))
        return r;
    zoomTo(r, captured, zoom);
    if (kind == FloatingKind::Placed) {
        r.source = floatRect(0, 0, captured.width(), captured.height());
    } else {
        r.source = floatRect(1, 1, captured.width() - 3, captured.height() - 3);
        r.interpolation =
            zoom >= 1.0f ? InterpolationMode::LowQuality : InterpolationMode::HighQuality;
    }
    return r;
}

ConversionRequest scannerRequest(QSize scan, QSize screen, ScanPageMode mode,
                                 const QString& programFolder) {
    ConversionRequest r = requestFor(programFolder, InterpolationMode::HighQualityBicubic);
    r.deleteTmpBmpFirst = true;
    if (!hasPixels(scan))
        return r;
    const double w = scan.width();
    const double h = scan.height();
    const double k = (screen.width() + 50.0) / w;
    const int t = mode == ScanPageMode::Single ? screen.height() : roundHalfEven(h * k);
    r.targetWidth = roundHalfEven(w * k);
    r.targetHeight = t;
    r.destination = floatRect(0, 0, w * k, t);
    r.source = floatRect(0, 0, w, t / k);
    return r;
}

ConversionRequest overlayZoomRequest(QSize captured, float zoom, ZoomDirection step,
                                     const QString& programFolder) {
    ConversionRequest r = requestFor(programFolder, InterpolationMode::HighQualityBicubic);
    r.temporaryFile =
        step == ZoomDirection::Enlarge ? QStringLiteral("tmp.bmt") : QStringLiteral("tmp.bmp");
    if (!hasPixels(captured))
        return r;
    zoomTo(r, captured, zoom);
    r.source = floatRect(2, 2, captured.width() - 4, captured.height() - 4);
    return r;
}

QPoint keptOnScreen(QPoint topLeft, QSize size, QSize screen, ZoomDirection step) {
    int left = topLeft.x();
    int top = topLeft.y();
    const int w = size.width();
    const int h = size.height();
    if (step == ZoomDirection::Enlarge) {
        if (left + w > screen.width())
            left = screen.width() - w;
        if (left < 0)
            left /= 2;
        if (top + h > screen.height())
            top = screen.height() - h;
        if (top < 0)
            top /= 2;
    } else {
        if (left < 0 && w < screen.width())
            left = 0;
        if (top < 0 && h < screen.height())
            top = 0;
    }
    return {left, top};
}
