// A scanned image put on the board: a little wider than the screen, as the floating picture just
// below the title bar; in double-page mode a scan taller than the screen goes on over the next
// page.
#pragma once

#include "intake/picture_conversion.h"
#include "intake/scan_target.h"

#include <QImage>

// Where a scanned picture is placed.
inline constexpr QPoint ScanPlacement{-5, 35};

// Places `scan` on the board's current page. False, with the board as it was, when the picture
// conversion cannot make the picture (an empty scan, or one too large once scaled).
bool PlaceScannedImage(ScanTarget& board, const QImage& scan, ScanPageMode mode);
