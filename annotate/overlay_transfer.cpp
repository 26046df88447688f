// Sending the annotated picture to the whiteboard's current or next page, or only the floating
// selection, which becomes the whiteboard's own floating picture at the same place.
#include "annotate/overlay.h"

#include "board/whiteboard.h"
#include "platform/os/services.h"

using namespace platform;

QImage& TForm2::currentPage() {
    PageBitmap& page = Form3->PageBitmaps[Form3->CurrentPage];
    if (!page.exists())
        page.Bitmap = makeBitmap(screenWidth(), screenHeight());
    return page.Bitmap;
}

// The whiteboard's floating picture goes into its current page, less its 1-pixel border. The
// whiteboard is hidden while the overlay is open, so the picture's own shown flag counts,
// not whether it can be seen.
void TForm2::dropBoardPicture() {
    ImageBox* picture = Form3->Image2;
    if (picture->isHidden())
        return;
    const QRect r = picture->geometry();
    Canvas(currentPage())
        .copyRect(picture->picture(), {1, 1, r.width() - 1, r.height() - 1},
                  QPoint(r.left() + 1, r.top() + 1));
    picture->hide();
}

// The floating selection becomes the whiteboard's, in range-selection mode, where it can be
// moved, zoomed and dropped like a selection cut from the page.
void TForm2::selectionToBoard() {
    Form3->SpeedButton25Click();
    Form3->SpeedButton25->setDown(true);
    Form3->FloatBitmap = Image1->picture().copy();
    Form3->ZoomFactor = 1.0f;
    Form3->showFloatingPicture(Form3->FloatBitmap, Image1->pos());
    Form3->Image2->setGeometry(Image1->geometry());
}

// The whole overlay as it shows, without its bars.
void TForm2::overlayToCurrentPage() {
    Canvas(currentPage()).copyRect(Surface, {0, 0, screenWidth(), screenHeight()});
}

void TForm2::endTransfer() {
    Image1->hide();
    repaintFromScratch(floatingPictureRegion());
    OverlaySelectionState = 0;
}

// To the current page. The overlay stays open.
void TForm2::SpeedButton13Click() {
    const int page = Form3->CurrentPage;
    if (Form3->PageState[page] == 0)
        Canvas(currentPage()).fillRect({0, 0, screenWidth(), screenHeight()}, Form3->RCP->Color());
    if (OverlaySelectionState == 1) {
        if (!Form3->Image2->isHidden()) {
            dropBoardPicture();
            Form3->drawOnSurface(currentPage());
        }
        selectionToBoard();
    } else {
        overlayToCurrentPage();
    }
    endTransfer();
    Form3->PageState[page] = 2;
}

// To the next page: a page with content turns first; an empty one is used as it is. The last
// page the store holds cannot turn: the command then only drops the whiteboard's floating
// picture, and the page keeps its content. The overlay stays open.
void TForm2::SpeedButton14Click() {
    dropBoardPicture();
    const int page = Form3->CurrentPage;
    if (Form3->PageState[page] >= 2) {
        if (page >= MaxPages)
            return;
        Form3->PageState[page + 1] = 2;
        Form3->SpeedButton12Click();
    } else {
        Canvas(currentPage()).fillRect({0, 0, screenWidth(), screenHeight()}, Form3->RCP->Color());
        Form3->PageState[page] = 2;
    }
    if (OverlaySelectionState == 1)
        selectionToBoard();
    else
        overlayToCurrentPage();
    endTransfer();
}
