// The program's shell as the feature windows see it: the few things they ask of the toolbar
// and of the windows that belong to no feature. The program installs its implementation at
// start; a window never reaches the toolbar, the blanking window, help, the settings window
// or the practice pad in any other way.
#pragma once

namespace platform {

// The toolbar docks with its left edge this far left of the screen's right edge; the
// annotation's small bar takes the same place.
constexpr int ToolbarDockOffset = 436;

// What the settings window does with the teacher chosen in it before, when it opens.
enum class TeacherChoice {
    Kept,
    // No teacher chosen and none selected in its teacher list: the commands that need a
    // teacher ask for one again.
    Cleared,
};

class Shell {
public:
    virtual ~Shell() = default;

    // The toolbar: shown again with its keep-on-top timer restarted, or hidden with the
    // timer stopped first.
    virtual void showToolbar() = 0;
    virtual void hideToolbar() = 0;
    // Opens the whiteboard, as the toolbar's whiteboard button does.
    virtual void openBoard() = 0;
    // Gives the desktop window the teacher worked in before annotation back the focus.
    virtual void activateAnnotateTarget() = 0;
    // Blanks the projection; with modal, nothing else takes input until it ends.
    virtual void blankProjection(bool modal) = 0;
    virtual bool projectionBlanked() const = 0;
    // Gives the projection back, as a click on the blanking does.
    virtual void unblankProjection() {}
    virtual void openHelp() = 0;
    // The settings window, modal.
    virtual void openSettings(TeacherChoice teacher) = 0;
    // The writing-practice pad: hidden while the board or the annotation is open, and shown
    // again on the way back when practice was running.
    virtual void hidePracticePad() = 0;
    virtual void returnToPracticePad() = 0;

    // The picture library's settings box, which opens the picture import: shown at a point of
    // the screen, or hidden. A shell without the picture import has no box to show.
    virtual void showPictureSettingsBox(int /*left*/, int /*top*/) {}
    virtual void hidePictureSettingsBox() {}
    // Fills the picture library's own pictures from the teacher's picture folder, reporting
    // the progress in the settings box.
    virtual void loadOwnPictures() {}
    // The scanner's source window, modal; the scanned pages land on the whiteboard. A shell
    // without scanning has nothing to open.
    virtual void openScanner() {}
};

// Installs the shell; the caller keeps it alive while it is installed.
void installShell(Shell* shell);
Shell& shell();

} // namespace platform
