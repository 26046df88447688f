// The keypad on which a teacher types a personal password to unlock the teacher's entry.
#pragma once

#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

#include <functional>

class QLabel;
class QPushButton;

namespace platform {
class PasswordBox;
}

class TForm7 : public platform::Form {
    Q_OBJECT
public:
    TForm7();

    platform::Panel* Panel1;
    QLabel* Label1;                       // the prompt
    platform::PasswordBox* Edit1;         // the entry
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

    void FormCreate() {}

    // Shows the keypad modally with the prompt and an empty entry, and returns when it has
    // closed. OK hands the digits typed to `ok`, Cancel calls `cancel`; the keypad closes after
    // either. Closed any other way, it counts as Cancel.
    void Ask(const QString& prompt, std::function<void(const QString&)> ok,
             std::function<void()> cancel);

    void BitBtn1Click();
    void BitBtn2Click();
    void Edit1Click();
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

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void type(const QString& digit);

    std::function<void(const QString&)> ok_;
    std::function<void()> cancel_;
};

extern platform::SingleWindow<TForm7> Form7;
