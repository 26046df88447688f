// Sending the annotated picture to the whiteboard's current or next page, or only the floating
// selection, which becomes the whiteboard's own floating picture at the same place.
#include "annotate/overlay.h"

#include "platform/os/services.h"
#include "platform/widgets/shell.h"

using namespace platform;

// After a transfer the overlay's own floating selection is gone.
void TForm2::endTransfer() {
    Image1->hide();
    repaintFromScratch(floatingPictureRegion());
    OverlaySelectionState = 0;
}

// To the current page. The overlay stays open.
// Without a selection the whole overlay as it shows, without its bars, goes into the page.
void TForm2::SpeedButton13Click() {
    Board.sendToCurrentPage(OverlaySelectionState == 1 ? nullptr : &Surface, Image1->picture(),
                            Image1->geometry());
    endTransfer();
}

// To the next page: a page with content turns first; an empty one is used as it is. The last
// page the store holds cannot turn: the command then only drops the whiteboard's floating
// picture, and the page keeps its content. The overlay stays open.
void TForm2::SpeedButton14Click() {
    if (Board.sendToNextPage(OverlaySelectionState == 1 ? nullptr : &Surface, Image1->picture(),
                             Image1->geometry()))
        endTransfer();
}
