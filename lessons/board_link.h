// What the settings window asks of the whiteboard when it hands a teacher's pen and background
// over: at the program's start and at the window's OK. The program gives the settings window
// its implementation over the board's model when it creates the window; tests give a fake.
#pragma once

#include "platform/raster/tcolor.h"

namespace lessons {

class BoardLink {
public:
    virtual ~BoardLink() = default;

    // The board's background colour swatch (RCP).
    virtual TColor backgroundColour() const = 0;
    // The board's pen colour swatch (LCP) takes the colour, and so does its pen, unless the
    // board eraser is armed: the eraser keeps painting the background.
    virtual void setPenColour(TColor colour) = 0;
    // The board's width readout takes the width (1..9). With applyToPen the pen takes it as
    // the board's own width buttons apply it (the armed eraser its own width for it); without,
    // the pen takes it when a drawing tool is next chosen.
    virtual void setPenWidth(int width, bool applyToPen) = 0;
    // The board's background colour swatch takes the colour; pages filled from now on take it.
    virtual void setBackgroundSwatch(TColor colour) = 0;
    // The colour of the board window itself, which an armed board eraser paints with.
    virtual void setWindowColour(TColor colour) = 0;
    // The colour of the text panel's editor.
    virtual void setEditorColour(TColor colour) = 0;
    // PageState of the current page: 0 never prepared, 1 blank, 2 has content.
    virtual int currentPageState() const = 0;
    // Fills the whole of the current page with the colour.
    virtual void fillCurrentPage(TColor colour) = 0;
    // What the board's next paint draws (the toolbar's BoardPaintMode): 0 or 1.
    virtual void setPaintMode(int mode) = 0;
    // Asks for the board window to be painted again.
    virtual void invalidate() = 0;
    // The pen draws smooth, anti-aliased ink, or the exact aliased pixels.
    virtual void setSmoothInk(bool /*on*/) {}
};

} // namespace lessons
