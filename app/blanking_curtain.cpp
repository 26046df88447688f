#include "app/blanking_curtain.h"

#include <QMouseEvent>
#include <QPalette>

BlankingCurtain::BlankingCurtain()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("消隐投影"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
}

void BlankingCurtain::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit pressed();
}
