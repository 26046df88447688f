// The whiteboard: a full-screen drawing window over the page store, with its title bar of
// commands at the top.
#pragma once

#include "board/page_store.h"
#include "intake/picture_conversion.h"
#include "platform/widgets/surface_window.h"

#include "platform/raster/tcolor.h"

#include <QCursor>
#include <optional>

class QLabel;
class QScrollBar;
class QTextEdit;

class TForm3 : public platform::SurfaceWindow, public PageStore, public DrawingState {
    Q_OBJECT
public:
    TForm3();

    platform::Panel* Panel2; // title bar
    platform::Panel* Panel3; // shape-size readout
    platform::Panel* Panel1; // command bar
    platform::Panel* Panel4; // floating text or document panel
    platform::Panel* Panel5; // thumbnail strip
    platform::Panel* Panel6; // the strip's bar row
    platform::Panel* Panel9; // picture library
    QLabel* Image1;          // the text panel's title strip
    QTextEdit* RichEdit1;
    QWidget* WebBrowser1;
    platform::ImageBox* Image2; // the floating picture
    QScrollBar* ScrollBar1;

    platform::SpeedButton* SpeedButton9;  // pen colour, under the swatch
    platform::Swatch* LCP;                // pen colour
    platform::Swatch* RCP;                // background colour
    platform::NumberBox* Edit1;           // pen width 1..9
    platform::SpeedButton* SpeedButton7;  // wider
    platform::SpeedButton* SpeedButton8;  // narrower
    platform::SpeedButton* SpeedButton5;  // clear
    platform::SpeedButton* SpeedButton4;  // undo
    platform::SpeedButton* SpeedButton10; // board eraser
    platform::SpeedButton* SpeedButton13; // area erase
    platform::SpeedButton* SpeedButton3;  // pen
    platform::SpeedButton* SpeedButton14; // line
    platform::SpeedButton* SpeedButton15; // rectangle
    platform::SpeedButton* SpeedButton17; // ellipse
    platform::SpeedButton* SpeedButton25; // range selection
    platform::SpeedButton* SpeedButton35; // enlarge
    platform::SpeedButton* SpeedButton36; // original size
    platform::SpeedButton* SpeedButton1;  // thumbnails
    platform::SpeedButton* SpeedButton18; // import
    platform::SpeedButton* SpeedButton11; // page left
    platform::NumberBox* Edit2;           // page number
    platform::SpeedButton* SpeedButton12; // page right
    platform::SpeedButton* SpeedButton6;  // settings
    platform::SpeedButton* SpeedButton2;  // blanking
    platform::SpeedButton* SpeedButton40; // back to the desktop

    // Custom cursor 2, the board's cursor; empty leaves the arrow.
    std::optional<QCursor> BoardCursor;

    void FormCreate();
    void FormResize();
    // Draws what the board shows onto its surface, as a repaint of the window does.
    void FormPaint();
    // Asks for a repaint of the whole window (the page drawn again onto the surface).
    void Invalidate();

    // Tools (strokes.cpp).
    void SpeedButton3Click();  // pen
    void SpeedButton14Click(); // line
    void SpeedButton15Click(); // rectangle
    void SpeedButton17Click(); // ellipse
    void SpeedButton10Click(); // board eraser
    void SpeedButton13Click(); // area erase
    void SpeedButton25Click(); // range selection
    void FormMouseDown(int x, int y);
    void FormMouseMove(Qt::MouseButtons buttons, int x, int y);
    void FormMouseUp(int x, int y);

    // Pen settings, undo and clearing (pen_settings.cpp).
    void SpeedButton7Click(); // wider
    void SpeedButton8Click(); // narrower
    void SpeedButton9Click(); // pen colour
    void LCPClick();
    void RCPClick();
    void SpeedButton4Click();  // undo
    void SpeedButton5Click();  // clear
    void SpeedButton6Click();  // settings
    void SpeedButton2Click();  // blanking
    void SpeedButton40Click(); // back to the desktop

    // The floating picture (floating_picture.cpp).
    void SpeedButton35Click(); // enlarge
    void SpeedButton36Click(); // reduce
    void Image2MouseDown(Qt::MouseButton button, int x, int y);
    void Image2MouseMove(Qt::MouseButtons buttons, int x, int y);
    // The picture held for zoom steps, scaled from each time; set while ZoomImageHeld is 1.
    std::optional<CapturedPicture> ZoomSource;

    // Page turning (page_turning.cpp).
    void SpeedButton11Click(); // left
    void SpeedButton12Click(); // right

    // Shows the board full screen.
    void showBoard();
    // The per-page text file of page n in the program folder.
    QString pageTextFile(int page) const;
    // Loads custom cursor 2 from a cursor file and makes it the board's cursor.
    void loadBoardCursor(const QString& fileName);

    // The pen width of Edit1, 1..9.
    int penWidth() const;
    // The board eraser's pen width for the pen width w: 15, 20, 30 .. 90.
    static int eraserWidth(int w);
    // The background colour of the page as the window surface shows it.
    TColor surfaceBackground();
    // The background colour of a page as its bitmap holds it.
    TColor pageBackground(int page);
    // The region undo restores and a release commits: the stroke box and its margin.
    TRect strokeRegion() const;
    // Empties the undo region, as every page turn does.
    void forgetUndo();
    // Commits a shown floating picture into the page before another command (the plain form:
    // its outermost pixels stay out), and asks for the board to be painted again. The floating
    // picture, the text panel and the strip count as shown by their own flag (not hidden),
    // also while the board itself is hidden.
    void dropFloatingPicture();
    // Commits it on a press on the board: a placed picture whole, a selection without its
    // frame; it is then no longer a picture of its own.
    void commitFloatingPictureOnPress();
    // The clear command's part: a floating selection is deleted with the page under it.
    bool deleteFloatingSelection();
    // Shows a picture as the floating picture at a place.
    void showFloatingPicture(const QImage& picture, QPoint topLeft);
    void releaseZoomSource();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void armTool(int mode, const QString& cursorFile);
    void commitStroke();
    void cutSelection(int x, int y);
    void placePendingPicture();
    void zoomStep(bool enlarge);
    // Shows the page again where the floating picture no longer covers the window.
    void revealPageUnder(const QRect& area);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void applyPenWidth();
    void applyEditorColour(TColor colour);
    void turnCommonSteps();
    void leavePagePanel();
    void restorePagePanel();
    void editorColourAfterTurn();
    void clearReadout();
};

extern TForm3* Form3;
