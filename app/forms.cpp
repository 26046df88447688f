#include "forms.h"

#include "annotate/overlay.h"
#include "app/blanking.h"
#include "app/help_window.h"
#include "app/settings_button.h"
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "intake/import_window.h"
#include "intake/scanner_source.h"
#include "lessons/change_password.h"
#include "lessons/keypad.h"
#include "lessons/settings_window.h"
#include "practice/practice_pad.h"

namespace {

template <typename T> void make(T*& instance) {
    instance = new T();
    instance->FormCreate();
}

template <typename T> void unmake(T*& instance) {
    delete instance;
    instance = nullptr;
}

} // namespace

void createForms() {
    make(Form1);
    make(Form2);
    make(Form3);
    make(Form4);
    make(Form5);
    // The settings window gets what it needs of the board and the picture library here.
    Form6 = new TForm6({nullptr, Form3->ProgramFolder, {}});
    Form6->FormCreate();
    make(Form7);
    // Shown above the modal settings window, so owned by it.
    Form8 = new TForm8(Form6);
    Form8->FormCreate();
    make(Form11);
    make(Form12);
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
    unmake(Form5);
    unmake(Form4);
    unmake(Form3);
    unmake(Form2);
    unmake(Form1);
}
