#include "instruments/instrument_strokes.h"

#include <algorithm>

using namespace platform;

TColor halfwayColour(TColor a, TColor b) {
    TColor mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned sum = ((a >> shift) & 0xFFu) + ((b >> shift) & 0xFFu);
        mixed |= (sum / 2) << shift;
    }
    return mixed;
}

TRect drawInstrumentLines(Canvas& c, const QList<QPolygon>& lines, int width, TColor colour,
                          int top) {
    const Pen kept = c.pen;
    c.pen = Pen{width, colour, PenStyle::Solid};
    TRect drawn;
    for (const QPolygon& line : lines) {
        if (line.isEmpty())
            continue;
        QPoint from(line[0].x(), std::max(line[0].y(), top));
        c.moveTo(from.x(), from.y());
        drawn = drawn.united(lineBounds(from, from, width));
        for (int k = 1; k < line.size(); ++k) {
            const QPoint to(line[k].x(), std::max(line[k].y(), top));
            c.lineTo(to.x(), to.y());
            drawn = drawn.united(lineBounds(from, to, width));
            from = to;
        }
    }
    c.pen = kept;
    return drawn;
}
