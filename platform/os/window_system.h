// Top-level windows of the desktop as the program sees them: captions, close requests,
// stacking, the pointer and the desktop's taskbar.
#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

using WindowHandle = std::uint64_t;

enum class ZBand { Topmost, NotTopmost, Bottom };

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Every top-level window, mapped or not, in stacking order with the top first.
    virtual std::vector<WindowHandle> topLevelWindows() = 0;
    // The whole caption; callers cut it to the buffer they pass (captionInBuffer).
    virtual QString caption(WindowHandle window) = 0;
    // Asks the window to close, as its close button would, and waits until the request is sent.
    virtual void requestClose(WindowHandle window) = 0;
    // Changes the window's place in the stacking order without moving, sizing or activating it.
    virtual void setZBand(WindowHandle window, ZBand band) = 0;
    // The deepest window under a screen point, 0 when there is none.
    virtual WindowHandle windowFromPoint(QPoint screenPoint) = 0;
    virtual void setForeground(WindowHandle window) = 0;
    virtual QPoint pointerPosition() = 0;
    virtual void setPointerPosition(QPoint screenPoint) = 0;
    // Gives the window no button on the desktop's taskbar.
    virtual void setNoTaskbarButton(WindowHandle window) = 0;
    // Keeps `window` above `owner` whatever the window manager does with `owner` (a window
    // that fills the screen may be put above every other window while it has the focus);
    // an owner of 0 ends that.
    virtual void keepAbove(WindowHandle window, WindowHandle owner) = 0;
    // Asks the copy of this program that owns `window` to come to the front; that copy hears
    // it through answerCalls on the same window.
    virtual void call(WindowHandle window) = 0;
    virtual void answerCalls(WindowHandle window, std::function<void()> called) = 0;

    // The desktop's taskbar (its panels); found() is false on a desktop without one.
    virtual bool taskbarFound() = 0;
    virtual void hideTaskbar() = 0;
    virtual void restoreTaskbar() = 0;

    // The system flag that tells whether a screen saver runs; kept, not acted on.
    virtual void setScreenSaverRunning(bool running) = 0;
};

// A caption as a caller with a buffer of `bufferSize` characters reads it: at most
// bufferSize - 1 characters, the rest cut off.
QString captionInBuffer(WindowSystem& windows, WindowHandle window, int bufferSize);

} // namespace platform
