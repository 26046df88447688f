// The floating picture on the board: the model's picture shown above the page, dragged with
// the pointer, and enlarged or reduced by the zoom buttons.
#include "board/whiteboard.h"
#include "platform/os/services.h"

using namespace platform;

// Image2 shows what the model holds; where it stops covering the window, the window shows the
// page beneath again.
void TForm3::showFloatingPicture() {
    const FloatingPicture& f = Board.floating();
    if (!f.shown) {
        Image2->hide();
        return;
    }
    Image2->showPicture(f.picture, f.bounds);
    // Above the page and the panels, but never above the title bar, whose commands must stay
    // within reach wherever the picture is dragged or however far it is enlarged.
    Image2->raise();
    Panel2->raise();
}

// The window shows the page again wherever the floating picture stops covering it.
void TForm3::revealPageUnder(const QRect& area) {
    if (area.isEmpty() || !Board.exists(Board.currentPage()))
        return;
    const TRect r = TRect::fromQRect(area);
    canvas().copyRect(Board.current(), r);
    showSurface(r);
}

void TForm3::Image2MouseDown(Qt::MouseButton, int x, int y) {
    Board.setAnchor(x, y);
}

void TForm3::Image2MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    Board.moveFloatingPicture(
        QPoint(Image2->x() + x - Board.anchorX(), Image2->y() + y - Board.anchorY()));
    Board.setBoardPaintMode(1);
}

void TForm3::SpeedButton35Click() {
    Board.zoomStep(true);
}

void TForm3::SpeedButton36Click() {
    Board.zoomStep(false);
}
