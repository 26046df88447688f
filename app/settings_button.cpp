#include "app/settings_button.h"

#include "intake/import_window.h"

#include <QPainter>

using namespace platform;

platform::SingleWindow<TForm13> Form13;

TForm13::TForm13() : Form(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setFixedSize(130, 48);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(4227327));
    setPalette(pal);
    SpeedButton1 = new SpeedButton(this, 92, 0, 39, 23);
    SpeedButton1->setText(QStringLiteral("设置"));
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    onClick(SpeedButton1, &TForm13::SpeedButton1Click);
}

void TForm13::SpeedButton1Click() {
    Form12->ShowModal();
}

void TForm13::setStatusText(const QString& text) {
    StatusText = text;
    // Shown at once: the import goes on reading files without returning to the event loop.
    repaint();
}

void TForm13::paintEvent(QPaintEvent* event) {
    Form::paintEvent(event);
    QPainter p(this);
    p.drawText(QRect(3, 23, width() - 3, height() - 23), Qt::AlignLeft | Qt::AlignTop, StatusText);
}
