// Rectangles as the drawing code takes them: left, top, right, bottom, right and bottom
// exclusive.
#pragma once

#include <QRect>
#include <algorithm>

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    // The rectangle widened by k pixels on every side.
    TRect inflated(int k) const { return {left - k, top - k, right + k, bottom + k}; }
    TRect intersected(const TRect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    }
    // The least rectangle holding both; an empty one adds nothing.
    TRect united(const TRect& o) const {
        if (isEmpty())
            return o;
        if (o.isEmpty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    static TRect fromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    QRect toQRect() const { return isEmpty() ? QRect() : QRect(left, top, width(), height()); }
    bool operator==(const TRect&) const = default;
};
