#include "intake/scanner_source.h"

TForm11* Form11 = nullptr;

TForm11::TForm11() : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("选择扫描仪"));
}
