#include "presenting/model/tool_shapes.h"

#include <algorithm>

namespace presenting {

namespace {

qint64 squaredDistance(QPoint a, QPoint b) {
    const qint64 dx = a.x() - b.x();
    const qint64 dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

// A close mark up and right of a circle, against its rim, moved inside the area when the
// circle is near an edge.
QRect closeMarkBeside(QPoint centre, int radius, const QRect& area) {
    // The corner of the circle's bounds at 45 degrees lies at radius / sqrt 2.
    const int offset = radius * 707 / 1000;
    QRect mark(centre.x() + offset, centre.y() - offset - CloseMarkSize, CloseMarkSize,
               CloseMarkSize);
    mark.moveLeft(std::clamp(mark.left(), area.left(), area.right() + 1 - CloseMarkSize));
    mark.moveTop(std::clamp(mark.top(), area.top(), area.bottom() + 1 - CloseMarkSize));
    return mark;
}

} // namespace

QRect Spotlight::circleBounds() const {
    return {centre.x() - radius, centre.y() - radius, 2 * radius + 1, 2 * radius + 1};
}

bool Spotlight::isClear(QPoint p) const {
    return squaredDistance(p, centre) <= qint64{radius} * radius;
}

QRect Spotlight::closeMark(const QRect& area) const {
    return closeMarkBeside(centre, radius, area);
}

Grip Spotlight::gripAt(QPoint p, const QRect& area) const {
    if (closeMark(area).contains(p))
        return Grip::Close;
    const qint64 d2 = squaredDistance(p, centre);
    const qint64 inner = std::max(0, radius - RimGrip);
    const qint64 outer = radius + RimGrip;
    if (d2 >= inner * inner && d2 <= outer * outer)
        return Grip::Resize;
    // Anywhere else the circle comes to the pen.
    return Grip::Move;
}

QRect Shade::closeMark() const {
    return {curtain.right() + 1 - CloseMarkSize - 4, curtain.top() + 4, CloseMarkSize,
            CloseMarkSize};
}

Grip Shade::gripAt(QPoint p) const {
    if (closeMark().contains(p))
        return Grip::Close;
    return covers(p) ? Grip::Edge : Grip::None;
}

QRect Magnifier::bounds() const {
    return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

bool Magnifier::contains(QPoint p) const {
    return squaredDistance(p, centre) <= qint64{radius} * radius;
}

QRect Magnifier::sourceRect() const {
    return {centre.x() - radius / Zoom, centre.y() - radius / Zoom, radius, radius};
}

QPoint Magnifier::sourceOf(QPoint shown) const {
    const QPoint offset = shown - bounds().topLeft();
    return sourceRect().topLeft() + QPoint(offset.x() / Zoom, offset.y() / Zoom);
}

QRect Magnifier::closeMark(const QRect& area) const {
    return closeMarkBeside(centre, radius, area);
}

Grip Magnifier::gripAt(QPoint p, const QRect& area) const {
    if (closeMark(area).contains(p))
        return Grip::Close;
    return contains(p) ? Grip::Move : Grip::None;
}

} // namespace presenting
