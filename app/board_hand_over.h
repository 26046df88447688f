// The whiteboard as the settings window sees it when it hands a teacher's pen and background
// over: the board's model for the values, the whiteboard window for what only it shows.
#pragma once

#include "lessons/board_link.h"
#include "platform/widgets/single_window.h"

#include <optional>

class BoardModel;
class TForm3;

class BoardHandOver final : public lessons::BoardLink {
public:
    BoardHandOver(BoardModel& model, platform::SingleWindow<TForm3>& board)
        : model_(model), board_(board) {}

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

    // The board window, made after colours were handed over, shows them.
    void showOn(TForm3& board) const;

private:
    BoardModel& model_;
    platform::SingleWindow<TForm3>& board_;
    // The last colours handed over for the window alone.
    std::optional<TColor> windowColour_;
    std::optional<TColor> editorColour_;
};
