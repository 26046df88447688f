#include "lessons/change_password.h"

#include "lessons/configuration.h"
#include "lessons/digit_buttons.h"
#include "lessons/passwords.h"
#include "platform/os/services.h"
#include "platform/widgets/list_box.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <stdexcept>

using namespace lessons;
using namespace platform;

platform::SingleWindow<TForm8> Form8;

namespace {

constexpr TColor FaceColour = 0xF0F0F0;

} // namespace

TForm8::TForm8(QWidget* owner)
    : Form(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("修改密码"));
    resize(404, 220);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(13);
    setFont(f);

    Panel1 = new Panel(this, 0, 0, 404, 220, FaceColour);
    Panel1->setBevel(true);
    Label1 = formLabel(Panel1, QStringLiteral("请输入原密码："), 40, 10, 100);
    Edit1 = new PasswordBox(Panel1, 140, 8, 180, 22);
    Label2 = formLabel(Panel1, QStringLiteral("初始密码：无"), 140, 31, 180);
    Label3 = formLabel(Panel1, QStringLiteral("请设置新密码："), 40, 52, 100);
    Edit2 = new PasswordBox(Panel1, 140, 50, 180, 22);
    Label4 = formLabel(Panel1, QStringLiteral("再次输新密码："), 40, 76, 100);
    Edit3 = new PasswordBox(Panel1, 140, 74, 180, 22);
    const auto digits = makeDigitButtons(Panel1, 99, 138, {89, 137, 185, 233, 281});
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
    BitBtn1 = pushButton(Panel1, QStringLiteral("确定"), 110, 180, 80, 28);
    BitBtn2 = pushButton(Panel1, QStringLiteral("取消"), 214, 180, 80, 28);

    onClick(BitBtn1, &TForm8::BitBtn1Click);
    onClick(BitBtn2, &TForm8::BitBtn2Click);
    connect(Edit1, &PasswordBox::clicked, this, [this] { guarded([this] { Edit1Click(); }); });
    connect(Edit2, &PasswordBox::clicked, this, [this] { guarded([this] { Edit2Click(); }); });
    connect(Edit3, &PasswordBox::clicked, this, [this] { guarded([this] { Edit3Click(); }); });
    onClick(SpeedButton1, &TForm8::SpeedButton1Click);
    onClick(SpeedButton2, &TForm8::SpeedButton2Click);
    onClick(SpeedButton3, &TForm8::SpeedButton3Click);
    onClick(SpeedButton4, &TForm8::SpeedButton4Click);
    onClick(SpeedButton5, &TForm8::SpeedButton5Click);
    onClick(SpeedButton6, &TForm8::SpeedButton6Click);
    onClick(SpeedButton7, &TForm8::SpeedButton7Click);
    onClick(SpeedButton8, &TForm8::SpeedButton8Click);
    onClick(SpeedButton9, &TForm8::SpeedButton9Click);
    onClick(SpeedButton10, &TForm8::SpeedButton10Click);
}

void TForm8::Open(Target target, const QString& configFolder, const QString& teacher,
                  const QString& adminFile) {
    PasswordTarget = target;
    configFolder_ = configFolder;
    teacher_ = teacher;
    adminFile_ = adminFile;
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    move((screenWidth() - width()) / 2, (screenHeight() - height()) / 2);
    show();
    raise();
    activateWindow();
    Edit1->setFocus();
}

void TForm8::inform(const QString& text) {
    dialogs().inform(this, text, QStringLiteral("K_Vorne"));
}

// OK: the old password must open the stored one (an unset administrator record opens to any),
// the new one must be typed twice alike; then it is stored and the window hides.
void TForm8::BitBtn1Click() {
    if (PasswordTarget == PersonalPassword) {
        Configuration config(configFolder_);
        if (!config.Readable()) {
            inform(UnreadableSettingsMessage(config.FileName()));
            return;
        }
        if (PasswordCode(Edit1->text()) != config.PasswordCode(teacher_)) {
            inform(QStringLiteral("原密码错误！"));
            return;
        }
        if (Edit2->text() != Edit3->text()) {
            inform(QStringLiteral("两次输入的新密码不一致！"));
            return;
        }
        config.StorePasswordCode(teacher_, PasswordCode(Edit2->text()));
        config.Commit();
    } else {
        // The record's file gone with its folder: the stick that held it was taken out.
        if (!files().exists(adminFile_) && !files().folderExists(QFileInfo(adminFile_).path())) {
            inform(QStringLiteral("找不到存放管理密码的存储盘（上次打开或保存课程的存储盘），"
                                  "请插上它后再设置管理密码。"));
            return;
        }
        if (!AdminRecordAccepts(ReadAdminRecord(adminFile_), Edit1->text())) {
            inform(QStringLiteral("原密码错误！"));
            return;
        }
        if (Edit2->text() != Edit3->text()) {
            inform(QStringLiteral("两次输入的新密码不一致！"));
            return;
        }
        if (!WriteAdminRecord(adminFile_, Edit2->text()))
            throw std::runtime_error(
                QStringLiteral("Unable to write to %1").arg(adminFile_).toStdString());
    }
    hide();
}

void TForm8::BitBtn2Click() {
    hide();
}

void TForm8::Edit1Click() {
    Edit1->clear();
    Edit1->setFocus();
}

void TForm8::Edit2Click() {
    Edit2->clear();
    Edit2->setFocus();
}

void TForm8::Edit3Click() {
    Edit3->clear();
    Edit3->setFocus();
}

// A digit goes to the box that has the focus: the old password's, else the new one's, else
// the repeat box.
void TForm8::type(const QString& digit) {
    QWidget* focused = focusWidget();
    PasswordBox* box = focused == Edit1 ? Edit1 : focused == Edit2 ? Edit2 : Edit3;
    box->setText(box->text() + digit);
}

void TForm8::SpeedButton1Click() {
    type(QStringLiteral("0"));
}
void TForm8::SpeedButton2Click() {
    type(QStringLiteral("1"));
}
void TForm8::SpeedButton3Click() {
    type(QStringLiteral("2"));
}
void TForm8::SpeedButton4Click() {
    type(QStringLiteral("3"));
}
void TForm8::SpeedButton5Click() {
    type(QStringLiteral("7"));
}
void TForm8::SpeedButton6Click() {
    type(QStringLiteral("8"));
}
void TForm8::SpeedButton7Click() {
    type(QStringLiteral("9"));
}
void TForm8::SpeedButton8Click() {
    type(QStringLiteral("6"));
}
void TForm8::SpeedButton9Click() {
    type(QStringLiteral("5"));
}
void TForm8::SpeedButton10Click() {
    type(QStringLiteral("4"));
}
