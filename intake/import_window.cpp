#include "intake/import_window.h"

#include <QPushButton>

TForm12* Form12 = nullptr;

TForm12::TForm12() : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("导入图片"));
    resize(420, 300);
    // The import of pictures comes here; until then the window only closes.
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(170, 250, 81, 29);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
}
