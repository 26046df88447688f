#include "practice/practice_pad.h"

TForm14* Form14 = nullptr;

TForm14::TForm14() : Form(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("书写练习"));
}
