// The small window the teacher watches while a scan runs, with the button that stops it.
#pragma once

#include "intake/twain_session.h"
#include "platform/widgets/form.h"

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class ScanProgressWindow : public platform::Form {
    Q_OBJECT
public:
    ScanProgressWindow();

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QPushButton* Button1; // "取消"

    // Shows the window centred on the screen, at the start of a scan.
    void start();
    void showProgress(const TScanProgress& progress);
    void Button1Click();

    // What the cancel button asks for.
    std::function<void()> OnCancel;

protected:
    void paintEvent(QPaintEvent* event) override;
};
