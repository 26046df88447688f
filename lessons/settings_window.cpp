#include "lessons/settings_window.h"

TForm6* Form6 = nullptr;

TForm6::TForm6() : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("设置"));
}
