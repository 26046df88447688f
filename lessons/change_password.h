// The window in which a teacher changes the personal password or the administrator password.
// It is shown without blocking above the modal settings window, so it is a window of its own
// owned by that window (which the modal state does not block).
#pragma once

#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

class QLabel;
class QPushButton;

namespace platform {
class PasswordBox;
}

class TForm8 : public platform::Form {
    Q_OBJECT
public:
    explicit TForm8(QWidget* owner = nullptr);

    platform::Panel* Panel1;
    QLabel* Label1;
    platform::PasswordBox* Edit1; // the old password
    QLabel* Label2;
    QLabel* Label3;
    platform::PasswordBox* Edit2; // the new password
    QLabel* Label4;
    platform::PasswordBox* Edit3;         // the new password again
    platform::SpeedButton* SpeedButton1;  // "0"
    platform::SpeedButton* SpeedButton2;  // "1"
    platform::SpeedButton* SpeedButton3;  // "2"
    platform::SpeedButton* SpeedButton4;  // "3"
    platform::SpeedButton* SpeedButton5;  // "7"
    platform::SpeedButton* SpeedButton6;  // "8"
    platform::SpeedButton* SpeedButton7;  // "9"
    platform::SpeedButton* SpeedButton8;  // "6"
    platform::SpeedButton* SpeedButton9;  // "5"
    platform::SpeedButton* SpeedButton10; // "4"
    QPushButton* BitBtn1;                 // OK
    QPushButton* BitBtn2;                 // Cancel

    enum Target { PersonalPassword = 1, AdministratorPassword = 2 };
    int PasswordTarget = PersonalPassword;

    void FormCreate() {}

    // Shows the window with its boxes emptied, for the personal password of `teacher` (whose
    // code lies in the configuration file in `configFolder`) or for the administrator record
    // in `adminFile`. The teacher is remembered until the window is opened again.
    void Open(Target target, const QString& configFolder, const QString& teacher,
              const QString& adminFile);

    void BitBtn1Click();
    void BitBtn2Click();
    void Edit1Click();
    void Edit2Click();
    void Edit3Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void SpeedButton10Click();

private:
    void type(const QString& digit);
    void inform(const QString& text);

    QString configFolder_;
    QString teacher_;
    QString adminFile_;
};

extern platform::SingleWindow<TForm8> Form8;
