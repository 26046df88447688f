#include "app/board_scan_target.h"

#include "board/whiteboard.h"

QString BoardScanTarget::programFolder() const {
    return board_.Board.programFolder();
}

int BoardScanTarget::currentPage() const {
    return board_.Board.currentPage();
}

TColor BoardScanTarget::pageBackground() const {
    return board_.Board.pageBackground(board_.Board.currentPage());
}

void BoardScanTarget::placeFloatingPicture(const QImage& picture, QPoint topLeft) {
    board_.Board.placeFloatingPicture(picture, topLeft);
}

void BoardScanTarget::setContinuationPage(int page) {
    board_.Board.setContinuationPage(page);
}

void BoardScanTarget::setPageState(int page, int state) {
    board_.Board.setPageState(page, state);
}

// A panel already closed stays so: closing it again would write whatever the editor holds
// into the page's text file.
void BoardScanTarget::closeTextPanel() {
    if (board_.Board.panelShown())
        board_.closeTextPanel();
}
