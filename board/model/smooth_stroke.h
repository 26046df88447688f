// Smooth ink: a pen stroke drawn anti-aliased as a curve through the pointer's samples, with
// no corner at any sample (each piece between two samples a cubic whose tangents follow the
// samples on either side), and the shapes of the line, rectangle and ellipse tools
// anti-aliased. The newest piece cannot know the sample after it yet: it is drawn at once with
// the tangent it has, and drawn again with the right one when the next sample comes, over the
// pixels it was drawn on. So what is shown is always the whole stroke up to the last sample,
// and the release adds nothing to it.
#pragma once

#include "platform/raster/rect.h"
#include "platform/raster/tcolor.h"

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <vector>

class SmoothStroke {
public:
    // A press at a pixel: the stroke starts there; nothing is drawn yet.
    void begin(QPoint at, qreal width, TColor colour);
    // The next sample and the pen's width there: the stroke drawn on to it. The rectangle of
    // the surface that changed; empty for a sample where the stroke already is.
    TRect extend(QImage& surface, QPoint at, qreal width);

private:
    struct Sample {
        QPointF at;
        qreal width = 1;
    };
    // The piece from a to b with the tangents at both ends; the rectangle it covers.
    TRect drawPiece(QPainter& painter, const QImage& surface, const Sample& a, QPointF ta,
                    const Sample& b, QPointF tb);
    TRect pieceArea(const QImage& surface, const Sample& a, QPointF ta, const Sample& b,
                    QPointF tb) const;
    void keepTail(const QImage& surface, const TRect& area);
    void restoreTail(QImage& surface);

    QColor colour_;
    int samples_ = 0;
    Sample before_; // the sample before the last, where the last finished piece ends
    Sample last_;
    QPointF tangentBefore_;
    // The pixels under the newest piece before it was drawn.
    TRect tailArea_;
    std::vector<QRgb> tailPixels_;
};

// The shapes' rubber band with smooth ink, from the anchor to the pointer as the tools draw
// them aliased: a line between the two pixels, a rectangle or an ellipse in the box they span.
enum class SmoothShape { Line, Rectangle, Ellipse };
void drawSmoothShape(QImage& surface, SmoothShape shape, QPoint anchor, QPoint to, int width,
                     TColor colour);

// The pen's width at a pressure 0..1 reported by a tablet: the chosen width at half the
// pressure, from 0.4 of it at the lightest touch to 1.6 of it at the firmest.
qreal pressedWidth(int width, qreal pressure);
