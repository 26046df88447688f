// Watching the writing engine while practice runs, and the ends of practice.
#include "practice/practice_pad.h"

#include "platform/os/services.h"
#include "practice/writing_engine.h"

#include <QCloseEvent>
#include <QTimer>

using namespace platform;

namespace {

constexpr int CaptionBuffer = 22;
// A program maps its first window some ticks after it starts, and until then the walk below
// finds no engine. Fifty ticks are five seconds, longer when the program is busy, which only
// gives a slow engine more time.
constexpr int StartUpGraceTicks = 50;

} // namespace

void TForm14::startWatching(bool launched, std::vector<WindowHandle> alsoAbove) {
    engineSeen_ = false;
    engineLaunched_ = launched;
    ticksSinceLaunch_ = 0;
    alsoAbove_ = std::move(alsoAbove);
    Timer1->start();
}

std::vector<WindowHandle> TForm14::windowsAboveEngine() {
    std::vector<WindowHandle> above = alsoAbove_;
    above.push_back(static_cast<WindowHandle>(winId()));
    return above;
}

// Sends the engine's window below every other window, with the pad and the toolbar kept above
// it also where a window manager would put a window that fills the screen above them; when the
// engine has ended, practice ends too. A walk that finds no window at all tells nothing.
void TForm14::Timer1Timer() {
    if (ticksSinceLaunch_ < StartUpGraceTicks)
        ++ticksSinceLaunch_;
    const std::vector<WindowHandle> all = windows().topLevelWindows();
    for (const WindowHandle window : all) {
        if (captionInBuffer(windows(), window, CaptionBuffer) == WritingEngineCaption) {
            engineWindow_ = window;
            for (const WindowHandle above : windowsAboveEngine())
                windows().keepAbove(above, window);
            windows().setZBand(window, ZBand::Bottom);
            engineSeen_ = true;
            return;
        }
    }
    if (all.empty())
        return;
    if (!engineSeen_ && engineLaunched_ && ticksSinceLaunch_ < StartUpGraceTicks)
        return;
    endPractice();
}

// Leave practice: the engine is asked to close, and the desktop gets its taskbar back.
void TForm14::SpeedButton1Click() {
    for (const WindowHandle window : windows().topLevelWindows()) {
        if (captionInBuffer(windows(), window, CaptionBuffer) == WritingEngineCaption)
            windows().requestClose(window);
    }
    endPractice();
}

void TForm14::endPractice() {
    hide();
    Timer1->stop();
    Tag = 0;
    if (engineWindow_ != 0) {
        for (const WindowHandle above : windowsAboveEngine())
            windows().keepAbove(above, 0);
        engineWindow_ = 0;
    }
    windows().restoreTaskbar();
    windows().setScreenSaverRunning(false);
}

// A close request from the desktop leaves practice as the pad's own exit button does, so that
// the taskbar is never left hidden.
void TForm14::closeEvent(QCloseEvent* event) {
    event->ignore();
    guarded([this] { SpeedButton1Click(); });
}
