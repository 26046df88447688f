// Sending the annotated picture to the whiteboard's current or next page, or only the floating
// selection, which becomes the whiteboard's own floating picture at the same place.
#include "annotate/overlay.h"

#include "platform/os/services.h"
#include "platform/widgets/shell.h"

using namespace platform;

// To the current page. The overlay stays open.
// Without a selection the whole overlay as it shows, without its bars, goes into the page.
void TForm2::SpeedButton13Click() {
    const FloatingPicture& f = Annotation.floating();
    Board.sendToCurrentPage(Annotation.selectionMade() ? nullptr : &Surface, f.picture, f.bounds);
    // The overlay's own floating selection is gone.
    Annotation.endSelection();
}

// To the next page: a page with content turns first; an empty one is used as it is. The last
// page the store holds cannot turn: the command then only drops the whiteboard's floating
// picture, and the page keeps its content. The overlay stays open.
void TForm2::SpeedButton14Click() {
    const FloatingPicture& f = Annotation.floating();
    if (Board.sendToNextPage(Annotation.selectionMade() ? nullptr : &Surface, f.picture, f.bounds))
        Annotation.endSelection();
}
