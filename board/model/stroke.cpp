#include "board/model/stroke.h"

void drawRubberBand(platform::Canvas& canvas, const QImage& backing, const TRect& wipe,
                    RubberBand shape, QPoint anchor, QPoint to) {
    canvas.copyRect(backing, wipe);
    switch (shape) {
    case RubberBand::Line:
        canvas.moveTo(anchor.x(), anchor.y());
        canvas.lineTo(to.x(), to.y());
        break;
    case RubberBand::Rectangle:
        canvas.rectangle(anchor.x(), anchor.y(), to.x(), to.y());
        break;
    case RubberBand::Ellipse:
        canvas.ellipse(anchor.x(), anchor.y(), to.x(), to.y());
        break;
    }
}
