#include "lessons/keypad.h"

TForm7* Form7 = nullptr;

TForm7::TForm7() : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("密码"));
}
