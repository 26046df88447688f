// The pictures of the program's buttons, drawn by the program itself so that they stay sharp
// at any size and need no picture files.
#pragma once

#include <QIcon>

enum class Glyph {
    Whiteboard,
    Annotate,
    Logo,
    Keyboard,
    Practice,
    Blank,
    Help,
    Exit,
    Shrink,
    Restore,
    Undo,
    Clear,
    BoardEraser,
    AreaErase,
    Pen,
    Line,
    Rectangle,
    Ellipse,
    Select,
    ZoomIn,
    ZoomOut,
    Thumbnails,
    Import,
    PageLeft,
    PageRight,
    Settings,
    Return,
    WiderPen,
    NarrowerPen,
    Close,
};

QIcon buttonPicture(Glyph glyph, int size = 32);
