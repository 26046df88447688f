// The writing-practice pad: the lines to practise, beside the writing engine that shows them
// large on a practice grid. While practice runs the pad hides the desktop's taskbar, keeps the
// engine's window at the bottom and watches for the engine to end.
#pragma once

#include "platform/os/window_system.h"
#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

#include <QPlainTextEdit>
#include <vector>

class QLabel;
class QTimer;

class TForm14 : public platform::Form {
    Q_OBJECT
public:
    TForm14();

    QPlainTextEdit* Memo1;
    QLabel* Label1;
    platform::SpeedButton* SpeedButton1; // leave
    platform::SpeedButton* SpeedButton2; // load
    platform::SpeedButton* SpeedButton3; // save
    QTimer* Timer1;

    // Every time the pad is shown.
    void FormShow();
    void Timer1Timer();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    // Where the toolbar puts the pad; compact is the shortened layout of 600-pixel-high
    // screens, and either call gives every control its size for that layout.
    void placePad(int left, int top, bool compact);
    // Starts Timer1 for an engine just started; `launched` is whether it could be started.
    // The pad and `alsoAbove` stay above the engine's window while practice runs.
    void startWatching(bool launched, std::vector<platform::WindowHandle> alsoAbove = {});

    // The memo's lines as a text file holds them.
    QStringList lines() const;
    void setLines(const QStringList& lines);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void endPractice();
    // The windows that stay above the engine: the pad and those named at the start.
    std::vector<platform::WindowHandle> windowsAboveEngine();

    // Whether the engine's window was found since the engine was started, and the ticks
    // since then: until it is seen, an engine still starting up is given time.
    bool engineSeen_ = true;
    bool engineLaunched_ = false;
    int ticksSinceLaunch_ = 0;
    std::vector<platform::WindowHandle> alsoAbove_;
    // The engine's window the windows above are kept above, 0 for none.
    platform::WindowHandle engineWindow_ = 0;
};

extern platform::SingleWindow<TForm14> Form14;

// Starts the command script the writing engine needs, hidden, once at program start, whether
// or not the pad is ever shown.
void startPracticeScript();
