// The whiteboard: a full-screen drawing window over the page store, with its title bar of
// commands at the top.
#pragma once

#include "board/model/board_model.h"
#include "board/model/smooth_stroke.h"
#include "platform/raster/tcolor.h"
#include "platform/widgets/drawing_window.h"
#include "platform/widgets/single_window.h"
#include "platform/widgets/web_view.h"

#include <QCursor>
#include <memory>
#include <optional>

class BoardInstruments;
class OwnPictureView;
namespace presenting {
class PresentingTools;
}
class QLabel;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QFont;
class QTextEdit;

// The window shows the board's model and changes it through it.
class TForm3 : public platform::DrawingWindow {
    Q_OBJECT
public:
    explicit TForm3(BoardModel& board);
    ~TForm3() override;

    BoardModel& Board;

    platform::Panel* Panel2;              // title bar
    platform::Panel* Panel3;              // shape-size readout
    platform::Panel* Panel1;              // command bar
    platform::Panel* Panel9;              // picture library
    platform::FloatingPictureBox* Image2; // the floating picture

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
    platform::SpeedButton* RedoButton;    // redo, left of the command bar

    // Spotlight, shade and magnifier over the page, and their button on the title bar.
    presenting::PresentingTools* Presenting;
    platform::SpeedButton* PresentingButton;
    // The geometry instruments above the page, and their button in the title bar.
    BoardInstruments* Instruments = nullptr;

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
    void SpeedButton4Click(); // undo
    void RedoButtonClick();
    void SpeedButton5Click();  // clear
    void SpeedButton6Click();  // settings
    void SpeedButton2Click();  // blanking
    void SpeedButton40Click(); // back to the desktop

    // The floating picture (floating_picture.cpp).
    void SpeedButton35Click(); // enlarge
    void SpeedButton36Click(); // reduce
    void Image2MouseDown(Qt::MouseButton button, int x, int y);
    void Image2MouseMove(Qt::MouseButtons buttons, int x, int y);

    // Page turning (page_turning.cpp).
    void SpeedButton11Click(); // left
    void SpeedButton12Click(); // right

    // Picture library (picture_library.cpp).
    QPushButton* BitBtn1;                 // physics tab
    QPushButton* BitBtn2;                 // chemistry tab
    QPushButton* BitBtn3;                 // own pictures tab
    platform::SpeedButton* SpeedButton33; // close
    QScrollArea* ScrollBox1;
    platform::Panel* Panel8;  // physics page
    platform::Panel* Panel10; // chemistry page
    OwnPictureView* Image26;  // own pictures
    void setupPictureLibrary();
    void SpeedButton32Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void SpeedButton33Click();
    void StampPictureChosen(const QString& fileName);
    void Image26MouseUp(int y);
    // The board shown or hidden: the settings box goes and comes with it.
    void pictureLibraryShown(bool shown);

    // Thumbnail strip (thumbnails.cpp)
    platform::Panel* Panel5;              // the strip
    platform::Panel* Panel6;              // its bar row
    platform::ImageBox* Image4;           // the bar row's picture
    QScrollBar* ScrollBar1;               // the page on the left; its small step is the view
    platform::NumberBox* Edit3;           // that page's number
    platform::SpeedButton* SpeedButton28; // half-page view
    platform::SpeedButton* SpeedButton27; // two-page view
    platform::SpeedButton* SpeedButton37; // strip to the top
    platform::SpeedButton* SpeedButton38; // strip to the bottom
    platform::SpeedButton* SpeedButton29; // collapse the bar row
    platform::SpeedButton* SpeedButton39; // does nothing
    platform::SpeedButton* SpeedButton30; // close
    platform::ImageBox* Image3;           // the strip's picture
    // The half-size renders of the two pages shown.
    QImage StripLeftBitmap;
    QImage StripRightBitmap;
    // The scroll code that ends a scroll, as the scroll event reports it.
    static constexpr int EndScroll = 8;
    void SpeedButton1Click();  // open or refresh
    void SpeedButton28Click(); // half-page view
    void SpeedButton27Click(); // two-page view
    void SpeedButton37Click(); // to the top
    void SpeedButton38Click(); // to the bottom
    void SpeedButton29Click(); // collapse the bar row
    void SpeedButton30Click(); // close
    void ScrollBar1Change();
    void ScrollBar1Scroll(int scrollCode);
    void Image3MouseUp(Qt::MouseButton button, int x, int y);

    // Text panel (text_panel.cpp)
    platform::Panel* Panel4;              // the panel
    platform::ImageBox* Image1;           // its drag bar
    QTextEdit* RichEdit1;                 // its text
    platform::SpeedButton* SpeedButton16; // font
    platform::SpeedButton* SpeedButton22; // normal size
    platform::SpeedButton* SpeedButton21; // full screen
    platform::SpeedButton* SpeedButton26; // document
    platform::SpeedButton* SpeedButton34; // scanner
    platform::SpeedButton* SpeedButton32; // picture library
    platform::SpeedButton* SpeedButton23; // paste
    platform::SpeedButton* SpeedButton31; // pin
    platform::SpeedButton* SpeedButton41; // drop
    platform::SpeedButton* SpeedButton20; // widen
    platform::SpeedButton* SpeedButton24; // hide the drag bar
    platform::SpeedButton* SpeedButton19; // close
    platform::SpeedButton* DocumentBack;  // back to the document's page shown before a link
    // Its documents, from the browser module at first use; empty until then, and when the
    // module is missing.
    std::unique_ptr<platform::WebView> WebBrowser1;
    void SpeedButton18Click(); // open
    void SpeedButton16Click();
    void FontDialog1Apply(const QFont& font);
    void SpeedButton22Click();
    void SpeedButton21Click();
    void SpeedButton26Click();
    void SpeedButton23Click();
    void SpeedButton31Click();
    void SpeedButton41Click();
    void SpeedButton20Click();
    void SpeedButton24Click();
    void SpeedButton19Click();
    // What the close command does, for those that close the panel without its button.
    void closeTextPanel();
    void SpeedButton34Click(); // the scanner
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(Qt::MouseButtons buttons, int x, int y);
    void RichEdit1MouseDown(int x, int y);
    void RichEdit1MouseMove(Qt::MouseButtons buttons, int x, int y);
    void WebBrowser1Focus(bool focused);
    void DocumentBackClick();
    // What the window shows inside the panel: the surface with the panel over it.
    QImage panelPicture();

    // Shows the board full screen.
    void showBoard();
    // The per-page text file of page n in the program folder.
    QString pageTextFile(int page) const;
    // Loads custom cursor 2 from the tool's cursor file and makes it the board's cursor.
    void loadBoardCursor(platform::ToolCursor cursor);

    // The pen width of Edit1, 1..9.
    int penWidth() const;
    // The background colour of the page as the window surface shows it.
    TColor surfaceBackground();
    // The colour of the window itself, under the page; an armed board eraser paints with it.
    void setWindowColour(TColor colour);
    // The text panel's editor colour.
    void applyEditorColour(TColor colour);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The model's changes, shown.
    void showPageChange(int page, TRect region);
    void showFloatingPicture();
    void showTool();
    void showPen();
    void pageLeaving(int page);
    void pageEntered(int page, bool made);
    void turnEnded();
    // Shows the page again where the floating picture no longer covers the window.
    void revealPageUnder(const QRect& area);
    void leavePagePanel();
    void restorePagePanel();
    void editorColourAfterTurn();
    void clearReadout();
    // The pen's width for the next piece of a stroke: the chosen width, or with a tablet's
    // pressure the width it presses (smooth ink only).
    qreal inkWidth() const;
    SmoothStroke smoothStroke_;
    // The pressure of the tablet pen whose events the mouse events follow; none for a mouse
    // or touch.
    std::optional<qreal> penPressure_;

    // Picture library (picture_library.cpp).
    void showLibraryPage(QWidget* page);
    int libraryBoxTop_ = 0;

    // Thumbnail strip (thumbnails.cpp)
    void createThumbnailStrip();
    void showBarRow(bool shown);
    int stripPosition() const;
    int stripHalf() const;
    void drawHalfPageView();
    void drawTwoPageView(TColor divider, bool quick);
    QImage stripPage(int page, bool right);
    void releaseStripPage(QImage& picture, bool right);
    void stretchIntoHalf(const QImage& picture, bool right);
    void renderIntoHalf(const QImage& picture, bool right);
    void fillHalf(bool right, TColor colour);
    void drawDivider(TColor sample);
    // Pictures that pages held packed are expanded into, one for each half.
    QImage stripPageBuffer_[2];

    // Text panel (text_panel.cpp)
    void createTextPanel();
    // Tells the model where the panel is and whether it shows; goes before the window does.
    QObject* panelHook_ = nullptr;
    void layoutTextPanel();
    TRect panelRect() const;
    // The model takes the panel's place for the current page.
    void storePanelGeometry();
    void showEditor();
    void showDocumentView(const QString& path);
    platform::WebView* webBrowser();
    void bakePanel();
    void closeOnPage();
};

extern platform::SingleWindow<TForm3> Form3;

// The text panel's width as designed.
inline constexpr int PanelDesignWidth = 368;

// Starts the board's model for a screen before the window exists: the pages, and page 1's text
// panel in its place below the title bar, as tall as the screen leaves it.
void prepareBoardModel(BoardModel& board, QSize screen);
// Follows the mouse from now on, forgetting any click seen before: a board made by the click
// that opens it still knows that click, which may be the first of a double click.
void followClicksBeforeTheBoard();
