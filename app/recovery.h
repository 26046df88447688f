// The board's pages kept through a crash or a power cut: at start the teacher is offered what
// a run that did not end through the exit command left; while the program runs the board is
// written in the background; a clean exit and a lesson save leave nothing behind.
#pragma once

#include "platform/os/state_folder.h"

#include <QString>
#include <memory>

class BoardModel;
class QWidget;
class RecoveryRecorder;
class RecoveryWriter;

class BoardRecovery {
public:
    // It follows the model alone: the board window need not be made for it.
    explicit BoardRecovery(BoardModel& model);
    ~BoardRecovery();
    BoardRecovery(const BoardRecovery&) = delete;
    BoardRecovery& operator=(const BoardRecovery&) = delete;

    // Once the single-instance check has passed: takes the recovery folder's lock, offers
    // what is in it, and starts keeping the board. When another running copy holds the lock it
    // does nothing at all: that copy's folder is neither offered, read nor removed.
    void start(QWidget* owner);
    // The pages are safe elsewhere (a lesson save of all pages): the folder goes, with the
    // files of larger pages kept aside at start.
    void discard();
    // The exit command: the same, and nothing more is written.
    void finish();

    bool running() const { return recorder_ != nullptr; }

private:
    void removeLargerPages();

    BoardModel& model_;
    // The files of a recovery whose pages were larger than this screen, kept aside until the
    // pages are saved or the teacher leaves; empty when there are none.
    QString largerPages_;
    std::unique_ptr<platform::FileLock> lock_;
    std::unique_ptr<RecoveryWriter> writer_;
    std::unique_ptr<RecoveryRecorder> recorder_;
};

// For the lesson save: the running program's recovery folder goes, as every page is saved.
void discardRecovery();
// For the exit command, which the teacher confirmed knowing that unsaved pages are lost.
// Any other end of the program (closed by the session, killed, the power gone) keeps them.
void finishRecovery();
