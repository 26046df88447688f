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
#include "lessons/settings_at_start.h"
#include "lessons/settings_window.h"
#include "platform/os/services.h"
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

// The window is made when the program first uses it.
template <typename T> void makeWhenUsed(platform::SingleWindow<T>& window) {
    window.setMaker([] { return new T; });
}

} // namespace

BoardModel& boardModel() {
    return *board;
}

void createForms() {
    board = std::make_unique<BoardModel>();
    prepareBoardModel(*board, QSize(platform::screenWidth(), platform::screenHeight()));
    programShell = std::make_unique<ProgramShell>(*board);
    platform::installShell(programShell.get());
    make(Form1);
    followClicksBeforeTheBoard();
    Form2.setMaker([] { return new TForm2(*board); });
    // What the settings window hands the board at start reaches it when it is made.
    boardHandOver = std::make_unique<BoardHandOver>(*board, Form3);
    Form3.setMaker([] { return new TForm3(*board); },
                   [](TForm3& made) { boardHandOver->showOn(made); });
    makeWhenUsed(Form4);
    makeWhenUsed(Form5);
    // The board starts with the default teacher's settings, read without the settings window.
    lessons::handOverDefaultSettings(*boardHandOver);
    // The settings window gets what it needs of the board and the picture library here: its
    // OK has the own pictures read again from the teacher's folder when next shown.
    whiteboardLessons = std::make_unique<WhiteboardLessons>(*board, Form3);
    Form6.setMaker([] {
        lessons::SettingsLinks links{boardHandOver.get(), board->programFolder(),
                                     [] { board->setOwnPicturesLoadState(-1); },
                                     whiteboardLessons.get()};
        links.HandOverAtCreation = false;
        return new TForm6(links);
    });
    makeWhenUsed(Form7);
    // Shown above the modal settings window, so owned by it.
    Form8.setMaker([] { return new TForm8(Form6); });
    makeWhenUsed(Form11);
    // The import keeps the teacher's picture folder in the settings window's configuration
    // file, under the teacher named in its name box.
    Form12.setMaker([] {
        return new TForm12(
            *board, intake::ImportLinks{[] {
                                            return lessons::Configuration(Form6->ConfigFolder)
                                                .PictureFolder(Form6->TeacherSection());
                                        },
                                        [](const QString& folder) {
                                            lessons::Configuration config(Form6->ConfigFolder);
                                            config.StorePictureFolder(Form6->TeacherSection(),
                                                                      folder);
                                            config.Commit();
                                        },
                                        [](const QString& text) { Form13->setStatusText(text); }});
    });
    makeWhenUsed(Form13);
    makeWhenUsed(Form14);
    startPracticeScript();
}

void destroyForms() {
    // A window never used is not made on the way out.
    Form14.stopMaking();
    Form13.stopMaking();
    Form12.stopMaking();
    Form11.stopMaking();
    Form8.stopMaking();
    Form7.stopMaking();
    Form6.stopMaking();
    Form5.stopMaking();
    Form4.stopMaking();
    Form3.stopMaking();
    Form2.stopMaking();
    Form14.destroy();
    Form13.destroy();
    Form12.destroy();
    Form11.destroy();
    Form8.destroy();
    Form7.destroy();
    Form6.destroy();
    Form5.destroy();
    Form4.destroy();
    Form3.destroy();
    boardHandOver.reset();
    Form2.destroy();
    delete Form1;
    Form1 = nullptr;
    platform::installShell(nullptr);
    programShell.reset();
    whiteboardLessons.reset();
    board.reset();
}
