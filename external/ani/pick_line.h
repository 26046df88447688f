// Taking a line from the practice pad with the engine's magnifier. Where the magnifier is dropped
// on the pad's list of lines, the engine clicks three times, which selects that whole line in
// the pad; the selection then reaches the engine as the desktop's selected text does.
#pragma once

#include <QPoint>
#include <QSize>

// Whether a point of the pad, in the pad's own coordinates, lies on its list of lines (not on
// its scroll bar, its hint or its buttons). The list is 513 pixels wide at the pad's top left,
// 125 high, or 86 on the pad's compact layout.
bool onPadLines(QPoint inPad, QSize padSize);

// Whether the top window at a screen point is the practice pad with its list of lines there.
bool padLinesAt(QPoint screenPoint);

// Presses and releases the left button three times where the pointer is.
void tripleClick();
