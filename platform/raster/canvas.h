// A drawing surface with the semantics of a Windows device context, over a QImage:
// no antialiasing, right and bottom edges exclusive, a pen with a current position.
#pragma once

#include "platform/raster/rect.h"
#include "platform/raster/tcolor.h"

#include <QImage>
#include <QPoint>

namespace platform {

enum class PenStyle { Solid, Dot };

struct Pen {
    int width = 1;
    TColor color = clBlack;
    PenStyle style = PenStyle::Solid; // a dotted pen wider than 1 draws solid
};

struct Brush {
    bool clear = true; // a clear brush leaves the inside of rectangles and ellipses alone
    TColor color = clWhite;
};

// A picture in the display's format (32-bit, opaque), filled black.
QImage makeBitmap(int width, int height);
// The same, its pixels not yet written: the memory is only taken when they are. For
// pictures that are always filled or written before they are read.
QImage makeUnfilledBitmap(int width, int height);

// What a line from a to b drawn with a pen of the given width can touch.
TRect lineBounds(QPoint a, QPoint b, int penWidth);

class Canvas {
public:
    explicit Canvas(QImage& target) : image_(&target) {}

    Pen pen;
    Brush brush;

    QImage& image() { return *image_; }

    void moveTo(int x, int y) { position_ = {x, y}; }
    QPoint penPosition() const { return position_; }
    // Draws from the current position to (x, y), leaving out the end point for a 1-pixel
    // pen, and makes (x, y) the current position.
    void lineTo(int x, int y);
    // Outline with the pen, inside with the brush; corners as given, right and bottom exclusive.
    void rectangle(int x1, int y1, int x2, int y2);
    void ellipse(int x1, int y1, int x2, int y2);
    void fillRect(const TRect& rect, TColor color);
    TColor pixel(int x, int y) const;
    void setPixel(int x, int y, TColor color);
    // Copies `rect` of `source` onto the same rectangle of this canvas, clipped to both.
    void copyRect(const QImage& source, const TRect& rect);
    // Copies `from` of `source` to the same size at `to` on this canvas, clipped to both.
    void copyRect(const QImage& source, const TRect& from, QPoint to);
    // Copies `from` of `source` onto `to` of this canvas, scaled when the sizes differ.
    void stretchCopy(const QImage& source, const TRect& from, const TRect& to);
    void drawImage(int x, int y, const QImage& source);

private:
    QImage* image_;
    QPoint position_;
};

} // namespace platform
