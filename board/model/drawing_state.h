// The board's drawing state, held once for the whole program: the tool, the anchor of a press and
// the margin of the last stroke's box.
#pragma once

#include <QPoint>
#include <algorithm>

enum ToolModes {
    PenTool = 0,
    LineTool,
    RectangleTool,
    EllipseTool,
    BoardEraser,
    RangeSelection,
    AreaErase
};

struct DrawingState {
    int ToolMode = PenTool;
    int AnchorX = 0;
    int AnchorY = 0;
    int SelectionRight = 0;
    int SelectionBottom = 0;
    // The margin kept beside the box of the last stroke: wide enough for what its pen drew.
    int StrokeMarginOfBox = 10;
};

// The pixel whose colour is the page's background as the display shows it: the right-most
// column of the title-bar band, which the title bar leaves uncovered.
inline QPoint backgroundSamplePoint(int screenWidth) {
    return {screenWidth - 1, 38};
}

// The least margin added around a stroke's box when it is committed or undone.
constexpr int StrokeMargin = 10;

// The margin a stroke drawn with a pen of the given width needs: its band reaches half the
// width beside the pointer's path.
constexpr int strokeMarginFor(int penWidth) {
    return std::max(StrokeMargin, penWidth / 2 + 1);
}

// The board eraser's pen width for the pen width w: 15, 20, 30 .. 90.
constexpr int eraserWidth(int w) {
    return w == 1 ? 15 : 10 * w;
}
