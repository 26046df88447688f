#include "intake/scan_progress.h"

#include "platform/os/services.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

ScanProgressWindow::ScanProgressWindow()
    : Form(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("扫描"));
    setFixedSize(300, 100);
    Label1 = new QLabel(this);
    Label1->setGeometry(16, 10, 268, 22);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(16, 36, 268, 20);
    Button1 = new QPushButton(QStringLiteral("取消"), this);
    Button1->setGeometry(110, 64, 81, 27);
    onClick(Button1, &ScanProgressWindow::Button1Click);
}

void ScanProgressWindow::start() {
    showProgress({1, -1});
    move((platform::screenWidth() - width()) / 2, (platform::screenHeight() - height()) / 2);
    show();
    raise();
}

void ScanProgressWindow::showProgress(const TScanProgress& progress) {
    Label1->setText(QStringLiteral("正在扫描第 %1 页……").arg(progress.Image));
    if (progress.Percent < 0) {
        ProgressBar1->setRange(0, 0); // a size not known yet: the bar shows that it works
    } else {
        ProgressBar1->setRange(0, 100);
        ProgressBar1->setValue(progress.Percent);
    }
}

void ScanProgressWindow::paintEvent(QPaintEvent* event) {
    Form::paintEvent(event);
    // A window without a border still shows where it ends.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ScanProgressWindow::Button1Click() {
    if (OnCancel)
        OnCancel();
}
