// Where the engine puts its writing box, its buttons and its practice grid on a screen: below
// the practice pad, which the toolbar puts at the top centre, and clear of the toolbar.
#pragma once

#include <QRect>
#include <QSize>

struct EngineLayout {
    QRect controls; // the writing box and the buttons, in one row
    QRect grid;     // whole square cells side by side, centred
    int cell = 0;   // a cell's side
    int visibleCells = 0;
};

// The pad's bottom edge on a screen of that size, as the toolbar places it.
int padBottom(QSize screen);

EngineLayout engineLayout(QSize screen);
