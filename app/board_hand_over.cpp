#include "app/board_hand_over.h"

#include "board/whiteboard.h"

TColor BoardHandOver::backgroundColour() const {
    return model_.backgroundColour();
}

// The model gives the colour to the swatch and to the pen; an armed board eraser keeps
// painting the background.
void BoardHandOver::setPenColour(TColor colour) {
    model_.setPenColour(colour);
}

// The board keeps one pen width, which its readout shows and its pen draws with, so the width
// reaches the pen at once also at OK: a readout that disagreed with the pen until the next
// tool was chosen would only puzzle the teacher.
void BoardHandOver::setPenWidth(int width, bool) {
    model_.setPenWidth(width);
}

void BoardHandOver::setBackgroundSwatch(TColor colour) {
    model_.setBackgroundColour(colour);
}

void BoardHandOver::setWindowColour(TColor colour) {
    windowColour_ = colour;
    if (TForm3* board = board_.made())
        board->setWindowColour(colour);
}

void BoardHandOver::setEditorColour(TColor colour) {
    editorColour_ = colour;
    if (TForm3* board = board_.made())
        board->applyEditorColour(colour);
}

void BoardHandOver::showOn(TForm3& board) const {
    if (windowColour_)
        board.setWindowColour(*windowColour_);
    if (editorColour_)
        board.applyEditorColour(*editorColour_);
}

int BoardHandOver::currentPageState() const {
    return model_.pageState(model_.currentPage());
}

void BoardHandOver::fillCurrentPage(TColor colour) {
    model_.fill(model_.currentPage(), colour);
}

void BoardHandOver::setPaintMode(int mode) {
    model_.setBoardPaintMode(mode);
}

void BoardHandOver::setSmoothInk(bool on) {
    model_.setSmoothInk(on);
}

// A hidden board is drawn when it is next shown.
void BoardHandOver::invalidate() {
    if (board_.visible())
        board_->Invalidate();
}
