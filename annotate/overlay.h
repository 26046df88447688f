// The annotation overlay: a frozen picture of the desktop that the teacher writes on, with its
// two button bars, and the commands that send the picture to the whiteboard.
#pragma once

#include "annotate/model/annotation_model.h"
#include "board/model/board_model.h"
#include "platform/raster/rect.h"
#include "platform/widgets/drawing_window.h"
#include "platform/widgets/single_window.h"

#include <QCursor>
#include <QImage>
#include <QRect>
#include <optional>

namespace presenting {
class PresentingTools;
}
class OverlayInstruments;

class TForm2 : public platform::DrawingWindow {
    Q_OBJECT
public:
    explicit TForm2(BoardModel& board);

    // The whiteboard's model: its ScratchBitmap is the annotated picture, and the transfer
    // goes into its pages.
    BoardModel& Board;
    // The overlay's own state: tool, pen, stroke, floating selection, zoom and undo picture.
    AnnotationModel Annotation;

    platform::Panel* Panel2;              // small bar, at the toolbar's place
    platform::SpeedButton* SpeedButton20; // clear, selection-aware
    platform::SpeedButton* SpeedButton17; // undo
    platform::SpeedButton* SpeedButton21; // eraser
    platform::SpeedButton* SpeedButton25; // pen
    platform::SpeedButton* SpeedButton27; // line
    platform::SpeedButton* SpeedButton23; // show the full bar
    platform::SpeedButton* SpeedButton22; // blanking
    platform::SpeedButton* SpeedButton19; // help
    platform::SpeedButton* SpeedButton16; // leave

    platform::Panel* Panel1;              // full bar, against the right edge
    platform::SpeedButton* SpeedButton9;  // pen colour, under the swatch
    platform::Swatch* LCP;                // pen colour
    platform::NumberBox* Edit1;           // pen width 1..9
    platform::SpeedButton* SpeedButton7;  // wider
    platform::SpeedButton* SpeedButton8;  // narrower
    platform::SpeedButton* SpeedButton5;  // clear all
    platform::SpeedButton* SpeedButton24; // undo
    platform::SpeedButton* SpeedButton2;  // eraser
    platform::SpeedButton* SpeedButton4;  // pen
    platform::SpeedButton* SpeedButton26; // line
    platform::SpeedButton* SpeedButton15; // range
    platform::SpeedButton* SpeedButton13; // send to the whiteboard's current page
    platform::SpeedButton* SpeedButton14; // send to the whiteboard's next page
    platform::SpeedButton* SpeedButton11; // enlarge the floating picture
    platform::SpeedButton* SpeedButton12; // reduce it
    platform::SpeedButton* SpeedButton6;  // go to the whiteboard
    platform::SpeedButton* SpeedButton10; // blanking
    platform::SpeedButton* SpeedButton1;  // help
    platform::SpeedButton* SpeedButton18; // back to the small bar
    platform::SpeedButton* SpeedButton3;  // leave

    // Spotlight, shade and magnifier over the frozen desktop, opened from a button beside
    // each bar.
    presenting::PresentingTools* Presenting;
    // The geometry instruments above the annotated picture, and their button.
    OverlayInstruments* Instruments = nullptr;

    // The floating picture: a copy of a selected range, moved with the pointer until dropped.
    platform::FloatingPictureBox* Image1;

    // The screen as it was when the overlay was opened; erasing brings its pixels back.
    QImage ScreenCapture;
    // 0 until the first showing has made the pictures, then 1.
    int OverlayReady = 0;
    // Cursor slot 3, the overlay's cursor; empty leaves the arrow.
    std::optional<QCursor> OverlayCursor;

    // Window, showing, painting and mouse (overlay.cpp).
    void FormCreate();
    // Captures the screen into the overlay's pictures; runs each time the overlay is shown,
    // before it appears.
    void FormShow();
    void FormPaint();
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseMove(Qt::MouseButtons buttons, int x, int y);
    void FormMouseUp(Qt::MouseButton button, int x, int y);
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(Qt::MouseButtons buttons, int x, int y);
    // The toolbar's annotation command: the toolbar goes, the overlay comes, modally.
    void openAnnotation();

    // The bars' commands (overlay_tools.cpp).
    void SpeedButton4Click();  // pen
    void SpeedButton2Click();  // eraser
    void SpeedButton26Click(); // line
    void SpeedButton15Click(); // range
    void SpeedButton7Click();  // wider
    void SpeedButton8Click();  // narrower
    void SpeedButton9Click();  // pen colour
    void LCPClick();
    void SpeedButton5Click();  // clear all
    void SpeedButton20Click(); // clear, selection-aware
    void SpeedButton17Click(); // undo
    void SpeedButton11Click(); // enlarge
    void SpeedButton12Click(); // reduce
    void SpeedButton6Click();  // go to the whiteboard
    void SpeedButton10Click(); // blanking
    void SpeedButton1Click();  // help
    void SpeedButton19Click(); // help
    void SpeedButton18Click(); // back to the small bar
    void SpeedButton23Click(); // the full bar
    void SpeedButton3Click();  // leave
    void SpeedButton16Click(); // leave

    // Sending to the whiteboard (overlay_transfer.cpp).
    void SpeedButton13Click(); // current page
    void SpeedButton14Click(); // next page

    // Shows a rectangle of ScratchBitmap on the overlay again, wiping what was drawn there.
    void repaintFromScratch(const TRect& area);
    // Loads the tool's cursor file into slot 3 and makes it the overlay's cursor.
    void loadOverlayCursor(platform::ToolCursor cursor);

    void setVisible(bool visible) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildSmallBar();
    // The instruments' bar stands left of the presenting tools' piece beside the full bar.
    void placeInstrumentsBar();
    void buildFullBar();
    void connectCommands();
    // The model's changes, shown.
    void showTool();
    void showFloatingPicture();
    void clearToCapture();
    void dropIntoScratch();
};

extern platform::SingleWindow<TForm2> Form2;
