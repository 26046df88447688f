// A stroke as the pointer draws it, the same on the board and on the annotation overlay: the
// press point, the box of every point dragged through since, and what a move draws live on the
// window's surface (the pen's segment, or a rubber band wiped and drawn again).
#pragma once

#include "platform/raster/canvas.h"
#include "platform/raster/rect.h"

#include <QImage>
#include <QPoint>
#include <algorithm>

struct StrokeBox {
    QPoint anchor;
    // Left, top, right, bottom: pointer positions, all four inside the stroke.
    TRect box;

    void begin(QPoint at) {
        anchor = at;
        box = {at.x(), at.y(), at.x(), at.y()};
    }
    void extend(QPoint to) {
        box = {std::min(box.left, to.x()), std::min(box.top, to.y()), std::max(box.right, to.x()),
               std::max(box.bottom, to.y())};
    }
    // The box widened by `margin`, reaching as far past its right and bottom pointer positions
    // as before its left and top: a click gives a square of 2 x margin + 1.
    TRect region(int margin) const {
        return {box.left - margin, box.top - margin, box.right + margin + 1,
                box.bottom + margin + 1};
    }
};

enum class RubberBand { Line, Rectangle, Ellipse };

// The pen's segment from where it stands to `to`, in the canvas's pen; the pixels it may have
// touched.
inline TRect penSegmentTo(platform::Canvas& canvas, QPoint to) {
    const QPoint from = canvas.penPosition();
    canvas.lineTo(to.x(), to.y());
    return platform::lineBounds(from, to, canvas.pen.width);
}

// The band of the last move is wiped with `backing` over `wipe`, and the band from `anchor` to
// `to` drawn in the canvas's pen and brush.
void drawRubberBand(platform::Canvas& canvas, const QImage& backing, const TRect& wipe,
                    RubberBand shape, QPoint anchor, QPoint to);
