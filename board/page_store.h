// The whiteboard's content and shared state: up to 99 screen-sized pages with their per-page
// attributes, the scratch pictures, and the drawing state of the board. Plain data, so that
// every window and every test can read and set it.
#pragma once

#include "platform/raster/rect.h"

#include <QImage>
#include <QString>
#include <algorithm>
#include <array>

constexpr int MaxPages = 99;

// A page's picture and what lives and dies with it.
struct PageBitmap {
    QImage Bitmap;
    // 0 no panel on the page, 1 text panel with the editor, 2 panel showing a document.
    int PanelKind = 0;

    bool exists() const { return !Bitmap.isNull(); }
};

// An array indexed by page number 1..99; index 0 is never used. A page number outside 0..99
// is a fault of the caller and throws, which ends the command with an error box.
template <typename T> class PerPage {
public:
    T& operator[](int page) { return items_.at(static_cast<std::size_t>(page)); }
    const T& operator[](int page) const { return items_.at(static_cast<std::size_t>(page)); }

private:
    std::array<T, MaxPages + 1> items_{};
};

struct PageStore {
    PerPage<PageBitmap> PageBitmaps;
    // 0 never prepared, 1 cleared and blank, 2 has content.
    PerPage<int> PageState;
    PerPage<int> PanelLeft;
    PerPage<int> PanelTop;
    PerPage<int> PanelWidth;
    PerPage<int> PanelHeight;
    PerPage<int> PanelBaked;
    int PageCount = 1;
    int CurrentPage = 1;

    // The board's one-level undo snapshot, and the annotation's frozen desktop picture.
    QImage ScratchBitmap;
    int BackdropActive = 0;
    QImage BackdropBitmap;
    QImage PrePanelBitmap;
    QImage FloatBitmap;
    int FloatPlaced = 0;
    int PendingPlacement = 0;
    QImage StampImage;
    QString StampFolder;
    int PanelDragWidth = 0;
    int PanelDragHeight = 0;
    // The folder of the running program, with a trailing separator.
    QString ProgramFolder;

    // The lesson picture that a paint in mode 2 stores into page LessonLoadPage.
    QImage LessonPicture;
    int LessonLoadPage = 1;
    // The page on which a scanned picture taller than the screen continues; 0 for none.
    int ContinuationPage = 0;
};

// Tool modes of the board.
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
    int StrokeLeft = 0;
    int StrokeTop = 0;
    int StrokeRight = 0;
    int StrokeBottom = 0;
    int AnchorX = 0;
    int AnchorY = 0;
    int SelectionRight = 0;
    int SelectionBottom = 0;
    int ZoomImageHeld = 0;
    float ZoomFactor = 0.0f;
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
