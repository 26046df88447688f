// Pen width and colours, undo, clearing the page, and the title bar's commands that leave the
// board for a while: settings, blanking and the way back to the desktop.
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/raster/rich_text.h"
#include "platform/widgets/shell.h"

#include <QLabel>
#include <QTextEdit>
#include <QTimer>

using namespace platform;

// Text without a colour of its own shows in black, or in white where the editor is dark; the
// page's text keeps no colour for it, so what is saved stays as typed.
void TForm3::applyEditorColour(TColor colour) {
    const QColor base = toQColor(colour);
    const int brightness = (base.red() * 299 + base.green() * 587 + base.blue() * 114) / 1000;
    QPalette pal = RichEdit1->palette();
    pal.setColor(QPalette::Base, base);
    pal.setColor(QPalette::Text, brightness < 128 ? Qt::white : Qt::black);
    RichEdit1->setPalette(pal);
}

void TForm3::setWindowColour(TColor colour) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(colour));
    setPalette(pal);
    if (Board.toolMode() == BoardEraser)
        canvas().pen.color = colour;
}

// Wider pen.
void TForm3::SpeedButton7Click() {
    Board.setPenWidth(Board.penWidth() + 1);
}

// Narrower pen.
void TForm3::SpeedButton8Click() {
    Board.setPenWidth(Board.penWidth() - 1);
}

// Pen colour.
void TForm3::SpeedButton9Click() {
    if (const std::optional<TColor> chosen = dialogs().chooseColor(this, Board.penColour()))
        Board.setPenColour(*chosen);
    Board.setBoardPaintMode(1);
}

void TForm3::LCPClick() {
    SpeedButton9Click();
}

// Background colour.
void TForm3::RCPClick() {
    const int sw = screenWidth();
    const std::optional<TColor> chosen = dialogs().chooseColor(this, Board.backgroundColour());
    if (!chosen) {
        Invalidate();
        return;
    }
    // How the display shows the chosen colour, beside the page's own background sample.
    const QPoint sample = backgroundSamplePoint(sw);
    canvas().setPixel(sample.x(), sample.y() - 1, *chosen);
    const TColor shown = canvas().pixel(sample.x(), sample.y() - 1);
    const TColor current = canvas().pixel(sample.x(), sample.y());
    canvas().copyRect(Board.current(), {sample.x(), sample.y() - 1, sample.x() + 1, sample.y()});
    showSurface({sample.x(), sample.y() - 1, sample.x() + 1, sample.y()});
    if (shown == current && *chosen == Board.backgroundColour()) {
        Invalidate();
        return;
    }
    const int page = Board.currentPage();
    const bool hadContent = Board.pageState(page) > PageCleared;
    if (hadContent && dialogs().askYesNo(this, QStringLiteral("是否清除本页内容？"),
                                         ConfirmTitle) != Answer::Yes) {
        // The page keeps its content; pages filled from now on take the new colour.
        Board.setBackgroundColour(*chosen);
        return;
    }
    Board.hideFloatingPicture();
    Board.setBoardPaintMode(0);
    Board.setBackgroundColour(*chosen);
    canvas().brush.clear = true;
    // Filled first: undo gives the page back with the content it had.
    Board.fill(page, *chosen);
    if (hadContent)
        Board.setPageState(page, PageCleared);
    // The board eraser paints the new background, which the surface shows by now.
    if (Board.toolMode() == BoardEraser)
        canvas().pen.color = surfaceBackground();
    applyEditorColour(editorColourForChosen(*chosen));
}

// Undo: the page goes back one step of its history.
void TForm3::SpeedButton4Click() {
    clearReadout();
    Board.undo();
}

// Redo: the page goes forward again one step that undo took back.
void TForm3::RedoButtonClick() {
    clearReadout();
    Board.redo();
}

// Clear the page.
void TForm3::SpeedButton5Click() {
    clearReadout();
    if (Board.deleteFloatingSelection())
        return;
    canvas().brush.clear = true;
    Board.clearCurrentPage();
}

// Settings. The lessons saved from the settings window take the page's text and panel from
// the page's file and bounds, so both are brought up to date first; the teacher is chosen
// again each time.
void TForm3::SpeedButton6Click() {
    if (Board.panelShown())
        Board.storePanelText();
    storePanelGeometry();
    shell().openSettings(TeacherChoice::Cleared);
}

// Blank the projection.
void TForm3::SpeedButton2Click() {
    shell().blankProjection(false);
    windows().setPointerPosition(QPoint(screenWidth(), 50));
}

// Back to the desktop: the pages stay in memory for the next time the board is shown.
void TForm3::SpeedButton40Click() {
    shell().returnToPracticePad();
    clearReadout();
    close();
    shell().showToolbar();
}

// The pen shown in the title bar, and given to the tool armed.
void TForm3::showPen() {
    LCP->setColor(Board.penColour());
    Edit1->setText(QString::number(Board.penWidth()));
    Canvas& c = canvas();
    c.pen.width =
        Board.toolMode() == BoardEraser ? eraserWidth(Board.penWidth()) : Board.penWidth();
    if (Board.toolMode() != BoardEraser) // the board eraser keeps painting the background
        c.pen.color = Board.penColour();
}
