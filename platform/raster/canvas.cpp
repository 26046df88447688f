// The device-context canvas: lines, outlines and fills are rasterised here rather than by
// QPainter, so every pixel is the same on every machine; Qt only scales pictures.
#include "platform/raster/canvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

namespace platform {

namespace {

QRgb toRgb32(TColor c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

bool is32Bit(QImage::Format f) {
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
           f == QImage::Format_ARGB32_Premultiplied;
}

// Writes whole rows of pixels; every drawing call goes through here so clipping is in one place.
class Raster {
public:
    explicit Raster(QImage& image) : image_(image) {
        // Row writes assume 32-bit pixels; anything else is brought to the display's format.
        if (!image_.isNull() && !is32Bit(image_.format()))
            image_ = image_.convertToFormat(QImage::Format_RGB32);
    }

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // Pixels x0..x1 of row y, both included.
    void span(int y, std::int64_t x0, std::int64_t x1, QRgb colour) {
        if (y < 0 || y >= height())
            return;
        x0 = std::max<std::int64_t>(x0, 0);
        x1 = std::min<std::int64_t>(x1, width() - 1);
        if (x0 > x1)
            return;
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(row + x0, row + x1 + 1, colour);
    }

    void dot(std::int64_t x, std::int64_t y, QRgb colour) {
        if (x < 0 || y < 0 || x >= width() || y >= height())
            return;
        reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y)))[x] = colour;
    }

private:
    QImage& image_;
};

// Calls plot(x, y, i) for the i-th pixel of the line from (x0, y0) towards (x1, y1), the end
// point left out as GDI does, so that joined segments never draw their shared point twice.
template <class Plot>
void bresenham(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Plot&& plot) {
    const std::int64_t dx = std::llabs(x1 - x0);
    const std::int64_t dy = std::llabs(y1 - y0);
    const std::int64_t sx = x1 >= x0 ? 1 : -1;
    const std::int64_t sy = y1 >= y0 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy;
    const std::int64_t minor = xMajor ? dy : dx;
    std::int64_t err = 2 * minor - major;
    std::int64_t x = x0;
    std::int64_t y = y0;
    for (std::int64_t i = 0; i < major; ++i) {
        plot(x, y, i);
        if (err > 0) {
            if (xMajor)
                y += sy;
            else
                x += sx;
            err -= 2 * major;
        }
        err += 2 * minor;
        if (xMajor)
            x += sx;
        else
            y += sy;
    }
}

bool lineMissesImage(const Raster& r, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                     std::int64_t y1) {
    return std::max(x0, x1) < 0 || std::max(y0, y1) < 0 || std::min(x0, x1) >= r.width() ||
           std::min(y0, y1) >= r.height();
}

// A 1-pixel line from its start up to, not including, its end; `index` numbers the pixels
// along a whole outline so a dotted pattern runs on around corners. Returns the next index.
std::int64_t thinLine(Raster& r, QPoint a, QPoint b, std::int64_t index, QRgb colour, bool dotted,
                      std::optional<QRgb> gapColour) {
    const std::int64_t length =
        std::max(std::llabs(std::int64_t{b.x()} - a.x()), std::llabs(std::int64_t{b.y()} - a.y()));
    if (lineMissesImage(r, a.x(), a.y(), b.x(), b.y()))
        return index + length;
    bresenham(a.x(), a.y(), b.x(), b.y(), [&](std::int64_t x, std::int64_t y, std::int64_t i) {
        if (!dotted || (index + i) % 2 == 0)
            r.dot(x, y, colour);
        else if (gapColour)
            r.dot(x, y, *gapColour);
    });
    return index + length;
}

struct Interval {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    bool empty() const { return lo > hi; }
    void unite(double a, double b) {
        lo = std::min(lo, a);
        hi = std::max(hi, b);
    }
};

// Narrows `in` to the x where lo <= k*x + m <= hi.
void constrain(Interval& in, double k, double m, double lo, double hi) {
    if (k == 0.0) {
        if (m < lo || m > hi)
            in = Interval{};
        return;
    }
    double a = (lo - m) / k;
    double b = (hi - m) / k;
    if (a > b)
        std::swap(a, b);
    in.lo = std::max(in.lo, a);
    in.hi = std::min(in.hi, b);
}

// The pixels whose centres lie within `radius` of the segment a-b: a wide line with round
// caps; chained segments get round joins for free.
void capsule(Raster& r, double ax, double ay, double bx, double by, double radius, QRgb colour) {
    const double top = std::max(std::ceil(std::min(ay, by) - radius), 0.0);
    const double bottom = std::min(std::floor(std::max(ay, by) + radius), r.height() - 1.0);
    const double ex = bx - ax;
    const double ey = by - ay;
    const double len2 = ex * ex + ey * ey;
    const double r2 = radius * radius;
    constexpr double eps = 1e-9;
    for (double y = top; y <= bottom; y += 1.0) {
        Interval row;
        for (const auto& [cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
            const double dy = y - cy;
            if (dy * dy <= r2 + eps) {
                const double s = std::sqrt(std::max(r2 - dy * dy, 0.0));
                row.unite(cx - s, cx + s);
            }
        }
        if (len2 > 0.0) {
            Interval band{-std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::infinity()};
            const double reach = radius * std::sqrt(len2);
            constrain(band, ex, -ax * ex + (y - ay) * ey, 0.0, len2);
            constrain(band, ey, -ax * ey - (y - ay) * ex, -reach, reach);
            if (!band.empty())
                row.unite(band.lo, band.hi);
        }
        if (row.empty())
            continue;
        const double x0 = std::max(std::ceil(row.lo - eps), -1.0);
        const double x1 = std::min(std::floor(row.hi + eps), static_cast<double>(r.width()));
        r.span(static_cast<int>(y), static_cast<std::int64_t>(x0), static_cast<std::int64_t>(x1),
               colour);
    }
}

// A wide pen is centred on the pixel centres of its path for odd widths; an even width has no
// middle pixel, so its centre sits half a pixel up and left and the line is exactly `width`
// pixels across.
struct WidePen {
    double radius;
    double shift;
    explicit WidePen(int width) : radius(width / 2.0), shift(width % 2 == 0 ? -0.5 : 0.0) {}
};

void widePolyline(Raster& r, const std::vector<QPointF>& points, int width, QRgb colour) {
    const WidePen pen(width);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1];
        const QPointF b = points[i];
        capsule(r, a.x() + pen.shift, a.y() + pen.shift, b.x() + pen.shift, b.y() + pen.shift,
                pen.radius, colour);
    }
}

// The box a GDI call takes, corners in any order, right and bottom exclusive.
TRect normalised(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// The ellipse inscribed in a box touches the box's outer edges; a pixel is inside when its
// centre is. Lengths are doubled so the half-pixel centre of an even box stays an integer.
class InscribedEllipse {
public:
    explicit InscribedEllipse(const TRect& box)
        : box_(box), cx2_(std::int64_t{box.left} + box.right - 1),
          cy2_(std::int64_t{box.top} + box.bottom - 1), a2_(box.width()), b2_(box.height()) {}

    // The inside pixels of row y, or nothing.
    std::optional<std::pair<std::int64_t, std::int64_t>> span(std::int64_t y) const {
        if (y < box_.top || y >= box_.bottom)
            return std::nullopt;
        const std::int64_t dy = 2 * y - cy2_;
        // Inside when dx^2 * b^2 <= a^2 * (b^2 - dy^2); d is the largest such |dx|.
        std::int64_t d = 0;
        constexpr std::int64_t exactLimit = std::int64_t{1} << 15; // keeps a^2 * b^2 in 64 bits
        if (a2_ <= exactLimit && b2_ <= exactLimit) {
            const std::int64_t q = a2_ * a2_ * (b2_ * b2_ - dy * dy) / (b2_ * b2_);
            d = static_cast<std::int64_t>(std::sqrt(static_cast<double>(q)));
            while (d > 0 && d * d > q)
                --d;
            while ((d + 1) * (d + 1) <= q)
                ++d;
        } else {
            const auto a = static_cast<long double>(a2_);
            const auto b = static_cast<long double>(b2_);
            const auto t = static_cast<long double>(dy) / b;
            d = static_cast<std::int64_t>(std::floor(a * std::sqrt(std::max(1.0L - t * t, 0.0L))));
        }
        // x with |2x - cx2| <= d.
        const std::int64_t lo = floorDiv(cx2_ - d + 1, 2);
        const std::int64_t hi = floorDiv(cx2_ + d, 2);
        if (lo > hi)
            return std::nullopt;
        return std::pair{lo, hi};
    }

    double centreX() const { return static_cast<double>(cx2_) / 2.0; }
    double centreY() const { return static_cast<double>(cy2_) / 2.0; }
    // A wide pen runs through the centres of the outermost pixels, half inside, half outside.
    double penRadiusX() const { return static_cast<double>(a2_ - 1) / 2.0; }
    double penRadiusY() const { return static_cast<double>(b2_ - 1) / 2.0; }

private:
    static std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
        return a >= 0 ? a / b : -((-a + b - 1) / b);
    }

    TRect box_;
    std::int64_t cx2_;
    std::int64_t cy2_;
    std::int64_t a2_;
    std::int64_t b2_;
};

// The inside pixels of the ellipse that touch the outside on a side: a closed 1-pixel ring.
std::vector<QPoint> ellipseRing(const InscribedEllipse& e, const TRect& box, int rows) {
    std::vector<QPoint> ring;
    const std::int64_t first = std::max(box.top, -1);
    const std::int64_t last = std::min(box.bottom, rows + 1);
    for (std::int64_t y = first; y < last; ++y) {
        const auto row = e.span(y);
        if (!row)
            continue;
        const auto above = e.span(y - 1);
        const auto below = e.span(y + 1);
        // Pixels of this row whose upper and lower neighbours are inside too are interior.
        std::int64_t innerLo = row->first + 1;
        std::int64_t innerHi = row->second - 1;
        if (above && below) {
            innerLo = std::max({innerLo, above->first, below->first});
            innerHi = std::min({innerHi, above->second, below->second});
        } else {
            innerLo = 1;
            innerHi = 0;
        }
        for (std::int64_t x = row->first; x <= row->second; ++x) {
            if (x >= innerLo && x <= innerHi) {
                x = innerHi;
                continue;
            }
            ring.emplace_back(static_cast<int>(x), static_cast<int>(y));
        }
    }
    return ring;
}

} // namespace

TRect lineBounds(QPoint a, QPoint b, int penWidth) {
    return TRect{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()) + 1,
                 std::max(a.y(), b.y()) + 1}
        .inflated(penWidth / 2 + 2);
}

QImage makeUnfilledBitmap(int width, int height) {
    return QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
}

QImage makeBitmap(int width, int height) {
    QImage image = makeUnfilledBitmap(width, height);
    image.fill(0xFF000000u);
    return image;
}

void Canvas::lineTo(int x, int y) {
    Raster r(*image_);
    const QPoint from = position_;
    const QPoint to(x, y);
    position_ = to;
    const QRgb colour = toRgb32(pen.color);
    if (pen.width > 1) {
        widePolyline(r, {QPointF(from), QPointF(to)}, pen.width, colour);
        return;
    }
    // The dot pattern restarts with every call, as GDI's does, and the gaps take the brush's
    // colour unless the brush is clear (the background mode a Delphi canvas sets).
    std::optional<QRgb> gap;
    if (!brush.clear)
        gap = toRgb32(brush.color);
    thinLine(r, from, to, 0, colour, pen.style == PenStyle::Dot, gap);
}

void Canvas::rectangle(int x1, int y1, int x2, int y2) {
    const TRect box = normalised(x1, y1, x2, y2);
    if (box.isEmpty())
        return;
    if (!brush.clear)
        fillRect(box, brush.color);
    Raster r(*image_);
    const QRgb colour = toRgb32(pen.color);
    const QPoint tl(box.left, box.top);
    const QPoint tr(box.right - 1, box.top);
    const QPoint br(box.right - 1, box.bottom - 1);
    const QPoint bl(box.left, box.bottom - 1);
    if (pen.width > 1) {
        widePolyline(r, {tl, tr, br, bl, tl}, pen.width, colour);
        return;
    }
    const bool dotted = pen.style == PenStyle::Dot;
    if (box.width() == 1 || box.height() == 1) {
        // A one-pixel-thin box is a single line, both ends included.
        const std::int64_t next = thinLine(r, tl, br, 0, colour, dotted, std::nullopt);
        if (!dotted || next % 2 == 0)
            r.dot(br.x(), br.y(), colour);
        return;
    }
    std::int64_t i = 0;
    i = thinLine(r, tl, tr, i, colour, dotted, std::nullopt);
    i = thinLine(r, tr, br, i, colour, dotted, std::nullopt);
    i = thinLine(r, br, bl, i, colour, dotted, std::nullopt);
    thinLine(r, bl, tl, i, colour, dotted, std::nullopt);
}

void Canvas::ellipse(int x1, int y1, int x2, int y2) {
    const TRect box = normalised(x1, y1, x2, y2);
    if (box.isEmpty())
        return;
    const InscribedEllipse shape(box);
    Raster r(*image_);
    if (!brush.clear) {
        const QRgb fill = toRgb32(brush.color);
        for (int y = std::max(box.top, 0); y < std::min(box.bottom, r.height()); ++y) {
            if (const auto row = shape.span(y))
                r.span(y, row->first, row->second, fill);
        }
    }
    const QRgb colour = toRgb32(pen.color);
    if (pen.width > 1) {
        // Enough chords that none strays more than a tenth of a pixel from the curve.
        const double radius = std::max({shape.penRadiusX(), shape.penRadiusY(), 1.0});
        const double step = std::sqrt(0.8 / radius);
        const int n =
            std::clamp(static_cast<int>(std::ceil(2.0 * std::numbers::pi / step)), 8, 8192);
        std::vector<QPointF> points;
        points.reserve(static_cast<std::size_t>(n) + 1);
        for (int i = 0; i <= n; ++i) {
            const double t = 2.0 * std::numbers::pi * i / n;
            points.emplace_back(shape.centreX() + shape.penRadiusX() * std::cos(t),
                                shape.centreY() + shape.penRadiusY() * std::sin(t));
        }
        widePolyline(r, points, pen.width, colour);
        return;
    }
    std::vector<QPoint> ring = ellipseRing(shape, box, r.height());
    if (pen.style == PenStyle::Dot) {
        // The dots alternate along the curve, so walk the ring in angle order first.
        const double cx = shape.centreX();
        const double cy = shape.centreY();
        auto angle = [&](const QPoint& p) { return std::atan2(p.y() - cy, p.x() - cx); };
        std::sort(ring.begin(), ring.end(), [&](const QPoint& a, const QPoint& b) {
            const double ta = angle(a);
            const double tb = angle(b);
            if (ta != tb)
                return ta < tb;
            return std::hypot(a.x() - cx, a.y() - cy) < std::hypot(b.x() - cx, b.y() - cy);
        });
        for (std::size_t i = 0; i < ring.size(); i += 2)
            r.dot(ring[i].x(), ring[i].y(), colour);
        return;
    }
    for (const QPoint& p : ring)
        r.dot(p.x(), p.y(), colour);
}

void Canvas::fillRect(const TRect& rect, TColor color) {
    Raster r(*image_);
    const QRgb colour = toRgb32(color);
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, r.height());
    for (int y = top; y < bottom; ++y)
        r.span(y, rect.left, std::int64_t{rect.right} - 1, colour);
}

// Outside the picture GDI answers CLR_INVALID; we answer 0 and writes there are dropped.
TColor Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height())
        return 0;
    return fromRgb(image_->pixel(x, y));
}

void Canvas::setPixel(int x, int y, TColor color) {
    Raster r(*image_);
    r.dot(x, y, toRgb32(color));
}

namespace {

// Copies `from` of `source` to `to` in `target`, clipped to both pictures: the per-move
// restore of a rubber-band shape, so it is whole-row copies and nothing else.
void blit(QImage& target, const QImage& source, const TRect& from, QPoint to) {
    std::int64_t sx = from.left;
    std::int64_t sy = from.top;
    std::int64_t w = from.width();
    std::int64_t h = from.height();
    std::int64_t dx = to.x();
    std::int64_t dy = to.y();
    auto clip = [&](std::int64_t& a, std::int64_t& b, std::int64_t& n, std::int64_t limitA,
                    std::int64_t limitB) {
        if (a < 0) {
            b -= a;
            n += a;
            a = 0;
        }
        if (b < 0) {
            a -= b;
            n += b;
            b = 0;
        }
        n = std::min({n, limitA - a, limitB - b});
    };
    clip(sx, dx, w, source.width(), target.width());
    clip(sy, dy, h, source.height(), target.height());
    if (w <= 0 || h <= 0)
        return;

    if (!is32Bit(target.format()))
        target = target.convertToFormat(QImage::Format_RGB32);
    const QImage* src = &source;
    QImage converted;
    if (!is32Bit(source.format())) {
        converted = source
                        .copy(static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(w),
                              static_cast<int>(h))
                        .convertToFormat(QImage::Format_RGB32);
        src = &converted;
        sx = 0;
        sy = 0;
    }
    // Alpha is copied as it stands except into an opaque picture, which must stay opaque.
    const bool forceOpaque =
        target.format() == QImage::Format_RGB32 && src->format() != QImage::Format_RGB32;

    uchar* dstBits = target.bits(); // detaches first, so a shared source keeps its own pixels
    const bool sameBuffer = src->constBits() == dstBits;
    const auto bytes = static_cast<std::size_t>(w) * sizeof(QRgb);
    const auto dstStride = static_cast<std::size_t>(target.bytesPerLine());
    const auto srcStride = static_cast<std::size_t>(src->bytesPerLine());
    const uchar* srcBits = src->constBits();
    // Whole rows of two pictures with the same layout are one block: a page turn is one copy.
    if (!sameBuffer && !forceOpaque && sx == 0 && dx == 0 && dstStride == srcStride &&
        bytes == dstStride) {
        std::memcpy(dstBits + static_cast<std::size_t>(dy) * dstStride,
                    srcBits + static_cast<std::size_t>(sy) * srcStride,
                    static_cast<std::size_t>(h) * dstStride);
        return;
    }
    // Within one picture the rows are walked away from the overlap.
    const bool upwards = sameBuffer && dy > sy;
    for (std::int64_t k = 0; k < h; ++k) {
        const std::int64_t row = upwards ? h - 1 - k : k;
        uchar* d = dstBits + static_cast<std::size_t>(dy + row) * dstStride +
                   static_cast<std::size_t>(dx) * sizeof(QRgb);
        const uchar* s = srcBits + static_cast<std::size_t>(sy + row) * srcStride +
                         static_cast<std::size_t>(sx) * sizeof(QRgb);
        if (sameBuffer) {
            std::memmove(d, s, bytes);
        } else if (forceOpaque) {
            std::memcpy(d, s, bytes);
            auto* px = reinterpret_cast<QRgb*>(d);
            for (std::int64_t i = 0; i < w; ++i)
                px[i] |= 0xFF000000u;
        } else {
            std::memcpy(d, s, bytes);
        }
    }
}

} // namespace

void Canvas::copyRect(const QImage& source, const TRect& rect) {
    blit(*image_, source, rect, QPoint(rect.left, rect.top));
}

void Canvas::copyRect(const QImage& source, const TRect& from, QPoint to) {
    blit(*image_, source, from, to);
}

void Canvas::stretchCopy(const QImage& source, const TRect& from, const TRect& to) {
    if (from.isEmpty() || to.isEmpty())
        return;
    if (from.width() == to.width() && from.height() == to.height()) {
        blit(*image_, source, from, QPoint(to.left, to.top));
        return;
    }
    // Painting a picture into itself needs the source taken out first.
    const QImage src = &source == image_ ? source.copy(from.toQRect()) : source;
    const QRectF sourceRect =
        &source == image_ ? QRectF(0, 0, from.width(), from.height()) : QRectF(from.toQRect());
    QPainter painter(image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(to.toQRect()), src, sourceRect);
}

void Canvas::drawImage(int x, int y, const QImage& source) {
    blit(*image_, source, TRect{0, 0, source.width(), source.height()}, QPoint(x, y));
}

} // namespace platform
