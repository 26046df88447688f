#include "intake/import_window.h"

TForm12* Form12 = nullptr;

TForm12::TForm12() : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("导入图片"));
}
