// The shell as the program gives it to the feature windows: the toolbar, blanking, help, the
// settings window and the practice pad, reached through the single instances.
#pragma once

#include "platform/widgets/shell.h"

#include <memory>

class BoardModel;
class BoardScanTarget;

class ProgramShell final : public platform::Shell {
public:
    explicit ProgramShell(BoardModel& board);
    ~ProgramShell() override;

    void showToolbar() override;
    void hideToolbar() override;
    void openBoard() override;
    void activateAnnotateTarget() override;
    void blankProjection(bool modal) override;
    bool projectionBlanked() const override;
    void unblankProjection() override;
    void openHelp() override;
    void openSettings(platform::TeacherChoice teacher) override;
    void hidePracticePad() override;
    void returnToPracticePad() override;
    void openScanner() override;
    void showPictureSettingsBox(int left, int top) override;
    void hidePictureSettingsBox() override;
    void loadOwnPictures() override;

private:
    BoardModel& board_;
    std::unique_ptr<BoardScanTarget> scanTarget_;
};
