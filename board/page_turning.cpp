// Turning pages left and right, making a new page after the last one, and carrying the text
// panel's state from page to page.
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "platform/raster/rich_text.h"
#include "platform/os/services.h"

#include <QLabel>
#include <QScrollBar>
#include <QTextEdit>

using namespace platform;

namespace {

constexpr TColor Grey = 0x00808080;
constexpr TColor EditorOnGrey = 0x00A5A5A5;

} // namespace

// Done by both turns, also when the turn is then refused.
void TForm3::turnCommonSteps() {
    BackdropActive = 0;
    clearReadout();
    dropFloatingPicture();
}

// The text panel of the page being left keeps its document and bounds.
void TForm3::leavePagePanel() {
    if (Panel4->isHidden())
        return;
    Image1->hide();
    saveRichText(*RichEdit1->document(), pageTextFile(CurrentPage));
    PanelLeft[CurrentPage] = Panel4->x();
    PanelTop[CurrentPage] = Panel4->y();
    PanelWidth[CurrentPage] = Panel4->width();
    PanelHeight[CurrentPage] = Panel4->height();
}

// The text panel of the page entered, as its kind says.
void TForm3::restorePagePanel() {
    const int kind = PageBitmaps[CurrentPage].PanelKind;
    if (kind <= 0) {
        Panel4->hide();
        return;
    }
    if (kind == 2) {
        RichEdit1->hide();
    } else {
        RichEdit1->show();
        // A missing file leaves the editor as it is.
        loadRichText(*RichEdit1->document(), pageTextFile(CurrentPage));
    }
    Panel4->setGeometry(PanelLeft[CurrentPage], PanelTop[CurrentPage], PanelWidth[CurrentPage],
                        PanelHeight[CurrentPage]);
    Panel4->show();
}

void TForm3::editorColourAfterTurn() {
    if (RCP->Color() == Grey) {
        applyEditorColour(EditorOnGrey);
        return;
    }
    applyEditorColour(pageBackground(CurrentPage));
}

// Turn left.
void TForm3::SpeedButton11Click() {
    turnCommonSteps();
    if (Edit2->text() != QStringLiteral("1")) {
        forgetUndo();
        leavePagePanel();
        --CurrentPage;
        Edit2->setText(QString::number(CurrentPage));
        restorePagePanel();
        canvas().drawImage(0, 0, PageBitmaps[CurrentPage].Bitmap);
        showSurface();
        if (ToolMode == BoardEraser)
            canvas().pen.color = pageBackground(CurrentPage);
    }
    editorColourAfterTurn();
}

// Turn right, making a new page after the last one when that page has content.
void TForm3::SpeedButton12Click() {
    turnCommonSteps();
    const bool turns = Edit2->text() != QStringLiteral("99") &&
                       (PageState[CurrentPage] == 2 || CurrentPage < PageCount);
    if (turns) {
        forgetUndo();
        leavePagePanel();
        ++CurrentPage;
        if (CurrentPage > PageCount) {
            const int sw = screenWidth();
            const int sh = screenHeight();
            Panel4->hide();
            PageBitmaps[CurrentPage] = PageBitmap{makeUnfilledBitmap(sw, sh), 0}; // filled below
            PageCount = CurrentPage;
            ScrollBar1->setMaximum(PageCount);
            canvas().brush.clear = true;
            Canvas(PageBitmaps[CurrentPage].Bitmap).fillRect({0, 0, sw, sh}, RCP->Color());
            RichEdit1->clear();
            PanelLeft[CurrentPage] = PanelLeft[CurrentPage - 1];
            PanelTop[CurrentPage] = PanelTop[CurrentPage - 1];
            PanelWidth[CurrentPage] = PanelWidth[CurrentPage - 1];
            PanelHeight[CurrentPage] = PanelHeight[CurrentPage - 1];
            Invalidate();
        } else {
            restorePagePanel();
            canvas().drawImage(0, 0, PageBitmaps[CurrentPage].Bitmap);
            showSurface();
        }
        Edit2->setText(QString::number(CurrentPage));
        if (ToolMode == BoardEraser)
            canvas().pen.color = pageBackground(CurrentPage);
    }
    editorColourAfterTurn();
    if (ContinuationPage == CurrentPage) {
        Image2->move(Image2->x(), 90 - screenHeight());
        Image2->show();
        ContinuationPage = 0;
    }
}
