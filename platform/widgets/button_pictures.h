// The pictures of the program's buttons, drawn by the program itself so that they stay sharp
// at any size and need no picture files.
#pragma once

#include "platform/widgets/controls.h"

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
    Redo,
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

// A flat button with its picture and hint.
platform::SpeedButton* pictureButton(QWidget* parent, int left, int top, int width, int height,
                                     const QString& hint, Glyph glyph);
// A tool of a bar: a picture button as high as the bar's buttons (38), one of the bar's
// exclusive buttons, so that arming it lifts the tool that was down.
platform::SpeedButton* toolButton(QWidget* bar, int left, int top, int width, const QString& hint,
                                  Glyph glyph);
