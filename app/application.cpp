#include "application.h"

#include <QCoreApplication>
#include <QWidget>

TApplication* Application = nullptr;

TApplication::TApplication(const QString& title) : window_(std::make_unique<QWidget>()) {
    window_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    window_->setWindowTitle(title);
    window_->setGeometry(0, 0, 1, 1);
    window_->winId(); // the native window exists from now on, never mapped
}

TApplication::~TApplication() = default;

QString TApplication::Title() const {
    return window_->windowTitle();
}

platform::WindowHandle TApplication::Handle() const {
    return static_cast<platform::WindowHandle>(window_->winId());
}

void TApplication::Terminate() {
    terminated_ = true;
    QCoreApplication::quit();
}
