#include "app/program_shell.h"

#include "app/blanking.h"
#include "app/board_scan_target.h"
#include "app/help_window.h"
#include "app/settings_button.h"
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "intake/import_window.h"
#include "intake/scanner_source.h"
#include "lessons/settings_window.h"
#include "platform/os/services.h"
#include "practice/practice_pad.h"

#include <QTimer>
#include <algorithm>

using namespace platform;

ProgramShell::ProgramShell(BoardModel& board) : board_(board) {}

ProgramShell::~ProgramShell() = default;

void ProgramShell::showToolbar() {
    Form1->show();
    Form1->Timer1->start();
}

void ProgramShell::hideToolbar() {
    Form1->Timer1->stop();
    Form1->hide();
}

// The toolbar's whiteboard command, also reached from the annotation: a page never shown is
// filled before it appears.
void ProgramShell::openBoard() {
    hidePracticePad();
    board_.prepareCurrentPage();
    Form3->showBoard();
}

void ProgramShell::activateAnnotateTarget() {
    windows().setForeground(Form1->AnnotateTargetWindow);
}

void ProgramShell::blankProjection(bool modal) {
    Form1->Timer1->stop();
    Form5->showBlanking(modal);
}

bool ProgramShell::projectionBlanked() const {
    return Form5.visible();
}

void ProgramShell::unblankProjection() {
    if (Form5.visible())
        Form5->SpeedButton1Click();
}

void ProgramShell::openHelp() {
    Form4->ShowModal();
}

// The settings window asks for the teacher again each time it is shown: the board, its only
// opener, wants the choice cleared.
void ProgramShell::openSettings(TeacherChoice) {
    Form6->ShowModal();
}

void ProgramShell::hidePracticePad() {
    if (Form14.visible())
        Form14->hide();
}

void ProgramShell::returnToPracticePad() {
    if (Form14.made() && Form14->Tag == 1)
        Form14->show();
}

// The board may be hidden while the windows are taken down, after the box has gone. The box
// stays whole on the screen.
void ProgramShell::showPictureSettingsBox(int left, int top) {
    TForm13* box = Form13.get();
    if (box == nullptr)
        return;
    box->move(std::min(left, screenWidth() - box->width()),
              std::min(top, screenHeight() - box->height()));
    box->show();
    box->raise();
}

void ProgramShell::hidePictureSettingsBox() {
    if (Form13.visible())
        Form13->hide();
}

void ProgramShell::loadOwnPictures() {
    Form12->LoadOwnPictures();
}

void ProgramShell::openScanner() {
    if (!scanTarget_)
        scanTarget_ = std::make_unique<BoardScanTarget>(*Form3);
    Form11->Execute(*scanTarget_);
}
