// Turning pages on the board: the model turns; the window carries the text panel's state
// from page to page and shows the page entered.
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/raster/rich_text.h"

#include <QLabel>
#include <QScrollBar>
#include <QTextEdit>

using namespace platform;

// The text panel of the page being left keeps its text in the page's file; the model follows
// its place while it is shown.
void TForm3::leavePagePanel() {
    if (!Board.panelShown())
        return;
    Image1->hide();
    Board.storePanelText();
}

// The text panel of the page entered, as its kind says.
void TForm3::restorePagePanel() {
    const int page = Board.currentPage();
    const int kind = Board.panelKind(page);
    if (kind == NoPanel) {
        Panel4->hide();
        return;
    }
    // The editor takes the page's own text even behind a document, and starts empty without
    // the page's file: the panel's text is written back into this page's file when the page is
    // left, closed or baked, and must never be the text of the page left.
    if (!Board.loadPanelText(page))
        RichEdit1->clear();
    if (kind == DocumentPanel)
        showDocumentView(Board.panelDocument(page));
    else
        showEditor();
    Panel4->setGeometry(Board.panelBounds(page));
    Panel4->show();
}

void TForm3::editorColourAfterTurn() {
    // The board's grey gives the lighter grey on every page, whatever the page's own colour.
    applyEditorColour(Board.backgroundColour() == clGray
                          ? EditorOnGrey
                          : editorColourFor(Board.pageBackground(Board.currentPage())));
}

void TForm3::pageLeaving(int) {
    leavePagePanel();
}

void TForm3::pageEntered(int page, bool made) {
    if (made) {
        Panel4->hide();
        canvas().brush.clear = true;
        RichEdit1->clear();
        Invalidate();
    } else {
        restorePagePanel();
        canvas().drawImage(0, 0, Board.current());
        showSurface();
    }
    Edit2->setText(QString::number(page));
    if (Board.toolMode() == BoardEraser)
        canvas().pen.color = Board.pageBackground(page);
}

// Done after every turn, also one that was refused.
void TForm3::turnEnded() {
    clearReadout();
    editorColourAfterTurn();
}

// Turn left.
void TForm3::SpeedButton11Click() {
    Board.turnLeft();
}

// Turn right, making a new page after the last one when that page has content.
void TForm3::SpeedButton12Click() {
    Board.turnRight();
}
