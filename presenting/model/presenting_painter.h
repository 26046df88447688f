// Draws the open presenting tools over a picture of the window they lie over.
#pragma once

#include "presenting/model/presenting_model.h"

#include <QImage>

class QPainter;

namespace presenting {

// The loupe's picture: a square of 2 x radius, each pixel of the source square under its
// centre repeated over 2 x 2 pixels (no smoothing); black where the square leaves the source.
QImage loupePicture(const Magnifier& magnifier, const QImage& source);

// Draws the tools, in window coordinates, within `clip`: the curtain, the spotlight's dark,
// the loupe (enlarging `source`, the window's picture without the tools) and the close marks.
void paintTools(QPainter& painter, const PresentingModel& model, const QImage& source,
                const QRect& clip);

} // namespace presenting
