#include "board/model/smooth_stroke.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>

using namespace platform;

namespace {

// Pixels are drawn through their centres.
QPointF centreOf(QPoint p) {
    return {p.x() + 0.5, p.y() + 0.5};
}

qreal length(QPointF v) {
    return std::sqrt(v.x() * v.x() + v.y() * v.y());
}

// A tangent no longer than one and a half times the piece it leaves, so that a sharp turn
// after a short piece bends without a loop.
QPointF held(QPointF tangent, qreal piece) {
    const qreal most = 1.5 * piece;
    const qreal l = length(tangent);
    return l > most && l > 0 ? tangent * (most / l) : tangent;
}

// The cubic of the piece from a to b: Hermite tangents as Bézier control points.
QPainterPath piecePath(QPointF a, QPointF ta, QPointF b, QPointF tb) {
    const qreal piece = length(b - a);
    QPainterPath path(a);
    path.cubicTo(a + held(ta, piece) / 3, b - held(tb, piece) / 3, b);
    return path;
}

QPen inkPen(const QColor& colour, qreal width) {
    QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return pen;
}

TRect areaOf(const QRectF& bounds, qreal width, const QImage& surface) {
    const qreal reach = width / 2 + 2;
    const QRectF r = bounds.adjusted(-reach, -reach, reach, reach);
    const TRect area{static_cast<int>(std::floor(r.left())), static_cast<int>(std::floor(r.top())),
                     static_cast<int>(std::ceil(r.right())),
                     static_cast<int>(std::ceil(r.bottom()))};
    return area.intersected({0, 0, surface.width(), surface.height()});
}

} // namespace

void SmoothStroke::begin(QPoint at, qreal width, TColor colour) {
    colour_ = toQColor(colour);
    last_ = {centreOf(at), width};
    before_ = last_;
    tangentBefore_ = {};
    samples_ = 1;
    tailArea_ = {};
}

TRect SmoothStroke::pieceArea(const QImage& surface, const Sample& a, QPointF ta, const Sample& b,
                              QPointF tb) const {
    const qreal width = std::max(a.width, b.width);
    return areaOf(piecePath(a.at, ta, b.at, tb).controlPointRect(), width, surface);
}

TRect SmoothStroke::drawPiece(QPainter& painter, const QImage& surface, const Sample& a, QPointF ta,
                              const Sample& b, QPointF tb) {
    const QPainterPath path = piecePath(a.at, ta, b.at, tb);
    painter.setPen(inkPen(colour_, (a.width + b.width) / 2));
    painter.drawPath(path);
    return areaOf(path.controlPointRect(), std::max(a.width, b.width), surface);
}

void SmoothStroke::keepTail(const QImage& surface, const TRect& area) {
    tailArea_ = area;
    const std::size_t row = static_cast<std::size_t>(area.width());
    tailPixels_.resize(row * static_cast<std::size_t>(std::max(0, area.height())));
    for (int y = 0; y < area.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(surface.constScanLine(area.top + y));
        std::memcpy(tailPixels_.data() + row * static_cast<std::size_t>(y), from + area.left,
                    row * sizeof(QRgb));
    }
}

void SmoothStroke::restoreTail(QImage& surface) {
    const std::size_t row = static_cast<std::size_t>(tailArea_.width());
    for (int y = 0; y < tailArea_.height(); ++y) {
        auto* to = reinterpret_cast<QRgb*>(surface.scanLine(tailArea_.top + y));
        std::memcpy(to + tailArea_.left, tailPixels_.data() + row * static_cast<std::size_t>(y),
                    row * sizeof(QRgb));
    }
}

TRect SmoothStroke::extend(QImage& surface, QPoint at, qreal width) {
    const Sample next{centreOf(at), width};
    if (samples_ == 0 || next.at == last_.at)
        return {};
    TRect changed;
    QPointF tangentLast = next.at - last_.at;
    const QPointF tangentNext = next.at - last_.at;
    if (samples_ >= 2) {
        // The newest piece again, now that its end's tangent is known.
        restoreTail(surface);
        changed = tailArea_;
        tangentLast = (next.at - before_.at) / 2;
    }
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    if (samples_ >= 2) {
        changed = changed.united(
            drawPiece(painter, surface, before_, tangentBefore_, last_, tangentLast));
    }
    // The raster painter draws straight into the surface's pixels: they are read as drawn.
    keepTail(surface, pieceArea(surface, last_, tangentLast, next, tangentNext));
    changed = changed.united(drawPiece(painter, surface, last_, tangentLast, next, tangentNext));
    before_ = last_;
    tangentBefore_ = tangentLast;
    last_ = next;
    ++samples_;
    return changed;
}

void drawSmoothShape(QImage& surface, SmoothShape shape, QPoint anchor, QPoint to, int width,
                     TColor colour) {
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(inkPen(toQColor(colour), width));
    painter.setBrush(Qt::NoBrush);
    if (shape == SmoothShape::Line) {
        painter.drawLine(centreOf(anchor), centreOf(to));
        return;
    }
    // The box the two corners span, right and bottom exclusive as the aliased shapes take it.
    const QRectF box = QRectF(centreOf(anchor), centreOf(to) - QPointF(1, 1)).normalized();
    if (shape == SmoothShape::Rectangle)
        painter.drawRect(box);
    else
        painter.drawEllipse(box);
}

qreal pressedWidth(int width, qreal pressure) {
    return width * (0.4 + 1.2 * std::clamp(pressure, 0.0, 1.0));
}
