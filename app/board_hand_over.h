// The whiteboard as the settings window sees it when it hands a teacher's pen and background
// over: the board's model for the values, the whiteboard window for what only it shows.
#pragma once

#include "lessons/board_link.h"

class TForm3;

class BoardHandOver final : public lessons::BoardLink {
public:
    explicit BoardHandOver(TForm3& board) : board_(board) {}

    TColor backgroundColour() const override;
    void setPenColour(TColor colour) override;
    void setPenWidth(int width, bool applyToPen) override;
    void setBackgroundSwatch(TColor colour) override;
    void setWindowColour(TColor colour) override;
    void setEditorColour(TColor colour) override;
    int currentPageState() const override;
    void fillCurrentPage(TColor colour) override;
    void setPaintMode(int mode) override;
    void invalidate() override;
    void setSmoothInk(bool on) override;

private:
    TForm3& board_;
};
