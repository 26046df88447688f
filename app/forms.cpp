#include "forms.h"

#include "annotate/overlay.h"
#include "app/blanking.h"
#include "app/board_hand_over.h"
#include "app/help_window.h"
#include "app/lesson_board.h"
#include "app/program_shell.h"
#include "app/settings_button.h"
#include "app/toolbar.h"
#include "board/model/board_model.h"
#include "board/whiteboard.h"
#include "intake/import_window.h"
#include "intake/scanner_source.h"
#include "lessons/change_password.h"
#include "lessons/keypad.h"
#include "lessons/settings_window.h"
#include "practice/practice_pad.h"

#include <memory>

namespace {

// The whiteboard's model and the shell live as long as the windows that use them.
std::unique_ptr<BoardModel> board;
std::unique_ptr<ProgramShell> programShell;
std::unique_ptr<BoardHandOver> boardHandOver;
std::unique_ptr<WhiteboardLessons> whiteboardLessons;

template <typename T, typename... Args> void make(T*& instance, Args&... args) {
    instance = new T(args...);
    instance->FormCreate();
}

template <typename T> void unmake(T*& instance) {
    delete instance;
    instance = nullptr;
}

} // namespace

void createForms() {
    board = std::make_unique<BoardModel>();
    programShell = std::make_unique<ProgramShell>(*board);
    platform::installShell(programShell.get());
    make(Form1);
    make(Form2, *board);
    make(Form3, *board);
    make(Form4);
    make(Form5);
    // The settings window gets what it needs of the board and the picture library here: its
    // OK has the own pictures read again from the teacher's folder when next shown.
    boardHandOver = std::make_unique<BoardHandOver>(*Form3);
    whiteboardLessons = std::make_unique<WhiteboardLessons>(*Form3);
    Form6 = new TForm6({boardHandOver.get(), Form3->Board.programFolder(),
                        [] { board->setOwnPicturesLoadState(-1); }, whiteboardLessons.get()});
    Form6->FormCreate();
    make(Form7);
    // Shown above the modal settings window, so owned by it.
    Form8 = new TForm8(Form6);
    Form8->FormCreate();
    make(Form11);
    // The import keeps the teacher's picture folder in the settings window's configuration
    // file, under the teacher named in its name box.
    Form12 = new TForm12(
        *board, intake::ImportLinks{[] {
                                        return lessons::Configuration(Form6->ConfigFolder)
                                            .PictureFolder(Form6->TeacherSection());
                                    },
                                    [](const QString& folder) {
                                        lessons::Configuration config(Form6->ConfigFolder);
                                        config.StorePictureFolder(Form6->TeacherSection(), folder);
                                        config.Commit();
                                    },
                                    [](const QString& text) { Form13->setStatusText(text); }});
    Form12->FormCreate();
    make(Form13);
    make(Form14);
}

void destroyForms() {
    unmake(Form14);
    unmake(Form13);
    unmake(Form12);
    unmake(Form11);
    unmake(Form8);
    unmake(Form7);
    unmake(Form6);
    boardHandOver.reset();
    unmake(Form5);
    unmake(Form4);
    unmake(Form3);
    unmake(Form2);
    unmake(Form1);
    platform::installShell(nullptr);
    programShell.reset();
    whiteboardLessons.reset();
    board.reset();
}
