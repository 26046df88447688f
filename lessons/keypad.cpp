#include "lessons/keypad.h"

#include "lessons/digit_buttons.h"
#include "platform/os/services.h"
#include "platform/widgets/list_box.h"

#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

using namespace platform;

platform::SingleWindow<TForm7> Form7;

namespace {

constexpr TColor FaceColour = 0xF0F0F0;

} // namespace

TForm7::TForm7() : Form(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("密码"));
    resize(419, 202);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(13);
    setFont(f);

    Panel1 = new Panel(this, 0, 0, 419, 202, FaceColour);
    Panel1->setBevel(true);
    Label1 = new QLabel(Panel1);
    Label1->setGeometry(103, 10, 223, 18);
    Edit1 = new PasswordBox(Panel1, 103, 32, 223, 24);
    const auto digits = lessons::makeDigitButtons(Panel1, 66, 105, {103, 151, 199, 247, 295});
    SpeedButton1 = digits[0];
    SpeedButton2 = digits[1];
    SpeedButton3 = digits[2];
    SpeedButton4 = digits[3];
    SpeedButton5 = digits[4];
    SpeedButton6 = digits[5];
    SpeedButton7 = digits[6];
    SpeedButton8 = digits[7];
    SpeedButton9 = digits[8];
    SpeedButton10 = digits[9];
    BitBtn1 = pushButton(Panel1, QStringLiteral("确定"), 120, 150, 80, 28);
    BitBtn2 = pushButton(Panel1, QStringLiteral("取消"), 222, 150, 80, 28);

    onClick(BitBtn1, &TForm7::BitBtn1Click);
    onClick(BitBtn2, &TForm7::BitBtn2Click);
    connect(Edit1, &PasswordBox::clicked, this, [this] { guarded([this] { Edit1Click(); }); });
    onClick(SpeedButton1, &TForm7::SpeedButton1Click);
    onClick(SpeedButton2, &TForm7::SpeedButton2Click);
    onClick(SpeedButton3, &TForm7::SpeedButton3Click);
    onClick(SpeedButton4, &TForm7::SpeedButton4Click);
    onClick(SpeedButton5, &TForm7::SpeedButton5Click);
    onClick(SpeedButton6, &TForm7::SpeedButton6Click);
    onClick(SpeedButton7, &TForm7::SpeedButton7Click);
    onClick(SpeedButton8, &TForm7::SpeedButton8Click);
    onClick(SpeedButton9, &TForm7::SpeedButton9Click);
    onClick(SpeedButton10, &TForm7::SpeedButton10Click);
}

void TForm7::Ask(const QString& prompt, std::function<void(const QString&)> ok,
                 std::function<void()> cancel) {
    Label1->setText(prompt);
    Edit1->clear();
    ok_ = std::move(ok);
    cancel_ = std::move(cancel);
    ShowModal();
}

void TForm7::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (!event->spontaneous())
        move((screenWidth() - width()) / 2, (screenHeight() - height()) / 2);
}

void TForm7::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && cancel_) {
        const std::function<void()> cancel = std::exchange(cancel_, {});
        ok_ = {};
        guarded(cancel);
    }
    Form::hideEvent(event);
}

// OK: the owner checks the entry; the keypad closes whatever the outcome.
void TForm7::BitBtn1Click() {
    const std::function<void(const QString&)> ok = std::exchange(ok_, {});
    cancel_ = {};
    const QString entry = Edit1->text();
    try {
        if (ok)
            ok(entry);
    } catch (...) {
        hide();
        throw;
    }
    hide();
}

void TForm7::BitBtn2Click() {
    const std::function<void()> cancel = std::exchange(cancel_, {});
    ok_ = {};
    try {
        if (cancel)
            cancel();
    } catch (...) {
        hide();
        throw;
    }
    hide();
}

void TForm7::Edit1Click() {
    Edit1->clear();
}

void TForm7::type(const QString& digit) {
    Edit1->setText(Edit1->text() + digit);
}

void TForm7::SpeedButton1Click() {
    type(QStringLiteral("0"));
}
void TForm7::SpeedButton2Click() {
    type(QStringLiteral("1"));
}
void TForm7::SpeedButton3Click() {
    type(QStringLiteral("2"));
}
void TForm7::SpeedButton4Click() {
    type(QStringLiteral("3"));
}
void TForm7::SpeedButton5Click() {
    type(QStringLiteral("7"));
}
void TForm7::SpeedButton6Click() {
    type(QStringLiteral("8"));
}
void TForm7::SpeedButton7Click() {
    type(QStringLiteral("9"));
}
void TForm7::SpeedButton8Click() {
    type(QStringLiteral("6"));
}
void TForm7::SpeedButton9Click() {
    type(QStringLiteral("5"));
}
void TForm7::SpeedButton10Click() {
    type(QStringLiteral("4"));
}
