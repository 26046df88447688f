// Drawing what an instrument rules or turns onto a drawing window's surface, as its pen draws:
// solid lines of the pen's width and colour through the given pixels.
#pragma once

#include "platform/raster/canvas.h"

#include <QList>
#include <QPolygon>

// Draws the lines on the canvas, no point above row `top`, the canvas's own pen kept; what
// the drawing touched.
TRect drawInstrumentLines(platform::Canvas& canvas, const QList<QPolygon>& lines, int width,
                          TColor colour, int top = 0);
// Halfway between two colours: the grid's faint lines between the pen's and the page's.
TColor halfwayColour(TColor a, TColor b);
