#include "lessons/change_password.h"

TForm8* Form8 = nullptr;

TForm8::TForm8() : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("修改密码"));
}
