// The floating toolbar: the program's main window and its home, docked at the top of the
// screen and kept above every other window.
#pragma once

#include "platform/os/window_system.h"
#include "platform/widgets/form.h"
#include "practice/writing_engine.h"

class QTimer;

class TForm1 : public platform::Form {
    Q_OBJECT
public:
    TForm1();

    platform::Panel* Panel1;
    platform::Panel* Panel2;
    platform::SpeedButton* SpeedButton1;  // exit
    platform::SpeedButton* SpeedButton2;  // help
    platform::SpeedButton* SpeedButton3;  // annotation
    platform::SpeedButton* SpeedButton4;  // whiteboard
    platform::SpeedButton* SpeedButton5;  // shrink
    platform::SpeedButton* SpeedButton6;  // restore
    platform::SpeedButton* SpeedButton7;  // the logo, no command
    platform::SpeedButton* SpeedButton8;  // on-screen tool
    platform::SpeedButton* SpeedButton9;  // writing practice
    platform::SpeedButton* SpeedButton10; // blanking
    QTimer* Timer1;

    // The window under the screen point (500, 360) when annotation was opened.
    platform::WindowHandle AnnotateTargetWindow = 0;

    // Start-up checks; runs once while the toolbar is created, before any other window exists.
    void FormCreate();
    void FormCloseQuery(bool& canClose);

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void SpeedButton10Click();
    void Timer1Timer();
    void comeForward();

    platform::WindowHandle handle();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

extern TForm1* Form1;

// Captions the toolbar looks for among the desktop's windows.
inline const QString OnScreenToolCaption = QStringLiteral("%*Y");
inline const QString TouchMonitorCaption = QStringLiteral("xTouchMon");
