#include "platform/widgets/form.h"

#include "platform/os/services.h"

#include <QEventLoop>
#include <QHideEvent>

namespace platform {

Form::Form(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

void Form::ShowModal() {
    if (modalLoop_ != nullptr)
        return;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
    setWindowModality(Qt::NonModal);
}

void Form::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (modalLoop_ != nullptr && !event->spontaneous() && !steppedAside_)
        modalLoop_->quit();
}

void Form::stepAside() {
    steppedAside_ = true;
    hide();
}

void Form::comeBack() {
    show();
    raise();
    activateWindow();
    steppedAside_ = false;
}

void Form::endModal() {
    steppedAside_ = false;
    if (modalLoop_ != nullptr)
        modalLoop_->quit();
}

void Form::reportError(const char* what) noexcept {
    try {
        const QString text = what != nullptr && *what != '\0' ? QString::fromUtf8(what)
                                                              : QStringLiteral("发生了意外错误。");
        dialogs().showError(this, text);
    } catch (...) {
        // Nothing more can be done without risking the program itself.
    }
}

} // namespace platform
