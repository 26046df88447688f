#include "app/board_hand_over.h"

#include "board/whiteboard.h"

TColor BoardHandOver::backgroundColour() const {
    return board_.Board.backgroundColour();
}

// The model gives the colour to the swatch and to the pen; an armed board eraser keeps
// painting the background.
void BoardHandOver::setPenColour(TColor colour) {
    board_.Board.setPenColour(colour);
}

// The board keeps one pen width, which its readout shows and its pen draws with, so the width
// reaches the pen at once also at OK: a readout that disagreed with the pen until the next
// tool was chosen would only puzzle the teacher.
void BoardHandOver::setPenWidth(int width, bool) {
    board_.Board.setPenWidth(width);
}

void BoardHandOver::setBackgroundSwatch(TColor colour) {
    board_.Board.setBackgroundColour(colour);
}

void BoardHandOver::setWindowColour(TColor colour) {
    board_.setWindowColour(colour);
}

void BoardHandOver::setEditorColour(TColor colour) {
    board_.applyEditorColour(colour);
}

int BoardHandOver::currentPageState() const {
    return board_.Board.pageState(board_.Board.currentPage());
}

void BoardHandOver::fillCurrentPage(TColor colour) {
    board_.Board.fill(board_.Board.currentPage(), colour);
}

void BoardHandOver::setPaintMode(int mode) {
    board_.Board.setBoardPaintMode(mode);
}

void BoardHandOver::setSmoothInk(bool on) {
    board_.Board.setSmoothInk(on);
}

// A hidden board is drawn when it is next shown.
void BoardHandOver::invalidate() {
    if (board_.isVisible())
        board_.Invalidate();
}
