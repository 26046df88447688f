// One geometry instrument lying over a page: what it is, where it lies, how it is turned and
// how large it is. Plain values; InstrumentModel holds them and changes them.
#pragma once

#include <QPointF>

enum class InstrumentKind { Ruler, SetSquare45, SetSquare3060, Protractor, Compass, Axes };

struct Instrument {
    int id = 0;
    InstrumentKind kind = InstrumentKind::Ruler;
    // The page it was opened on: it shows only there.
    int page = 1;
    // The point it turns about, in page pixels: the ruler's middle, a set square's right-angle
    // corner, the middle of the protractor's base, the compass's needle, the axes' origin.
    QPointF pivot;
    // Turned counter-clockwise as seen on the screen, in degrees, 0 <= angle < 360. For the
    // compass, the direction from the needle to the pencil.
    double angle = 0;
    // Its size in pixels: the ruler's length, a set square's shorter leg, the protractor's
    // radius, the compass's radius, one unit of the axes.
    double size = 0;
    // The ruler's width across; half the width of the axes' grid.
    double width = 0;
    // Half the height of the axes' grid.
    double height = 0;
};
