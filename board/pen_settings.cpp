// Pen width and colours, undo, clearing the page, and the title bar's commands that leave the
// board for a while: settings, blanking and the way back to the desktop.
#include "app/blanking.h"
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "lessons/settings_window.h"
#include "platform/os/services.h"
#include "practice/practice_pad.h"

#include <QLabel>
#include <QTextEdit>
#include <QTimer>

using namespace platform;

namespace {

// The text editor's colour for a background colour: dark backgrounds get a grey the text
// stands out on.
TColor editorColourFor(TColor background) {
    switch (background) {
    case 0x00000000:
    case 0x00000040:
    case 0x00400040:
        return 0x00626262;
    case 0x00808080:
        return 0x00A5A5A5;
    default:
        return background;
    }
}

} // namespace

void TForm3::applyEditorColour(TColor colour) {
    QPalette pal = RichEdit1->palette();
    pal.setColor(QPalette::Base, toQColor(colour));
    RichEdit1->setPalette(pal);
}

void TForm3::applyPenWidth() {
    canvas().pen.width = ToolMode == BoardEraser ? eraserWidth(penWidth()) : penWidth();
}

// Wider pen.
void TForm3::SpeedButton7Click() {
    if (Edit1->text() == QStringLiteral("9"))
        return;
    Edit1->setText(QString::number(penWidth() + 1));
    applyPenWidth();
}

// Narrower pen.
void TForm3::SpeedButton8Click() {
    if (Edit1->text() == QStringLiteral("1"))
        return;
    Edit1->setText(QString::number(penWidth() - 1));
    applyPenWidth();
}

// Pen colour.
void TForm3::SpeedButton9Click() {
    if (const std::optional<TColor> chosen = dialogs().chooseColor(this, LCP->Color())) {
        LCP->setColor(*chosen);
        if (ToolMode != BoardEraser) // the board eraser keeps painting the background
            canvas().pen.color = *chosen;
    }
    Form1->BoardPaintMode = 1;
}

void TForm3::LCPClick() {
    SpeedButton9Click();
}

// Background colour.
void TForm3::RCPClick() {
    const int sw = screenWidth();
    const int sh = screenHeight();
    const QImage& page = PageBitmaps[CurrentPage].Bitmap;
    const std::optional<TColor> chosen = dialogs().chooseColor(this, RCP->Color());
    if (!chosen) {
        Invalidate();
        return;
    }
    // How the display shows the chosen colour, beside the page's own background sample.
    const QPoint sample = backgroundSamplePoint(sw);
    canvas().setPixel(sample.x(), sample.y() - 1, *chosen);
    const TColor shown = canvas().pixel(sample.x(), sample.y() - 1);
    const TColor current = canvas().pixel(sample.x(), sample.y());
    canvas().copyRect(page, {sample.x(), sample.y() - 1, sample.x() + 1, sample.y()});
    showSurface({sample.x(), sample.y() - 1, sample.x() + 1, sample.y()});
    if (shown == current && *chosen == RCP->Color()) {
        Invalidate();
        return;
    }
    if (PageState[CurrentPage] > 1) {
        if (dialogs().askYesNo(this, QStringLiteral("是否清除本页内容？"), ConfirmTitle) !=
            Answer::Yes) {
            // The page keeps its content; pages filled from now on take the new colour.
            RCP->setColor(*chosen);
            return;
        }
        PageState[CurrentPage] = 1;
    }
    Image2->hide();
    Form1->BoardPaintMode = 0;
    RCP->setColor(*chosen);
    canvas().brush.clear = true;
    Canvas(PageBitmaps[CurrentPage].Bitmap).fillRect({0, 0, sw, sh}, *chosen);
    Invalidate();
    // The board eraser paints the new background, which the surface shows by now.
    if (ToolMode == BoardEraser)
        canvas().pen.color = surfaceBackground();
    applyEditorColour(editorColourFor(*chosen));
}

// Undo the last stroke: its region returns to what it was before. Repeating it repeats the
// same restore.
void TForm3::SpeedButton4Click() {
    clearReadout();
    Image2->hide();
    const TRect region = strokeRegion();
    canvas().copyRect(ScratchBitmap, region);
    Canvas(PageBitmaps[CurrentPage].Bitmap).copyRect(Surface, region);
    showSurface(region);
}

// Clear the page.
void TForm3::SpeedButton5Click() {
    clearReadout();
    if (deleteFloatingSelection())
        return;
    canvas().brush.clear = true;
    Canvas(PageBitmaps[CurrentPage].Bitmap)
        .fillRect({0, 0, screenWidth(), screenHeight()}, RCP->Color());
    PageState[CurrentPage] = 1;
    BackdropActive = 0;
    Invalidate();
}

// Settings.
void TForm3::SpeedButton6Click() {
    PanelLeft[CurrentPage] = Panel4->x();
    PanelTop[CurrentPage] = Panel4->y();
    PanelWidth[CurrentPage] = Panel4->width();
    PanelHeight[CurrentPage] = Panel4->height();
    Form6->ShowModal();
}

// Blank the projection.
void TForm3::SpeedButton2Click() {
    Form5->show();
    windows().setPointerPosition(QPoint(screenWidth(), 50));
}

// Back to the desktop: the pages stay in memory for the next time the board is shown.
void TForm3::SpeedButton40Click() {
    if (Form14->Tag == 1)
        Form14->show();
    clearReadout();
    close();
    Form1->show();
    Form1->Timer1->start();
}
