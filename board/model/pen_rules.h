// The rules the board, the overlay, the settings window and the lesson export share about the
// pen's width and the text editor's colour.
#pragma once

#include "platform/raster/tcolor.h"

#include <algorithm>

// A pen is 1 to 9 pixels wide; any width asked for is held to that.
constexpr int MinPenWidth = 1;
constexpr int MaxPenWidth = 9;

constexpr int clampPenWidth(int width) {
    return std::clamp(width, MinPenWidth, MaxPenWidth);
}

// The text editor's colour on a page of the given background: a lighter grey on the default
// grey, so that the panel stands out, else the background itself.
constexpr TColor EditorOnGrey = 0x00A5A5A5;

constexpr TColor editorColourFor(TColor background) {
    return background == platform::clGray ? EditorOnGrey : background;
}

// The editor's colour when the teacher picks a background on the board: the darkest choices
// get a mid grey the text can be read on, the rest follow editorColourFor.
constexpr TColor editorColourForChosen(TColor background) {
    switch (background) {
    case 0x00000000:
    case 0x00000040:
    case 0x00400040:
        return 0x00626262;
    default:
        return editorColourFor(background);
    }
}
