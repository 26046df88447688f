#include "lessons/settings_window.h"

#include <QPushButton>

TForm6* Form6 = nullptr;

TForm6::TForm6() : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("设置"));
    resize(420, 300);
    // Teachers, lessons and personal settings come here; until then the window only closes.
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(170, 250, 81, 29);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
}
