// The window system of an X11 desktop: Xlib on the connection Qt's xcb platform opened.
// Under any other Qt platform (offscreen tests) every call does nothing and answers empty.
#pragma once

#include "platform/os/window_system.h"

#include <QAbstractNativeEventFilter>
#include <memory>
#include <vector>

namespace platform {

class X11WindowSystem final : public WindowSystem {
public:
    X11WindowSystem();
    ~X11WindowSystem() override;

    std::vector<WindowHandle> topLevelWindows() override;
    QString caption(WindowHandle window) override;
    void requestClose(WindowHandle window) override;
    void setZBand(WindowHandle window, ZBand band) override;
    WindowHandle windowFromPoint(QPoint screenPoint) override;
    void setForeground(WindowHandle window) override;
    QPoint pointerPosition() override;
    void setPointerPosition(QPoint screenPoint) override;
    void setNoTaskbarButton(WindowHandle window) override;
    void keepAbove(WindowHandle window, WindowHandle owner) override;
    void call(WindowHandle window) override;
    void answerCalls(WindowHandle window, std::function<void()> called) override;

    bool taskbarFound() override;
    void hideTaskbar() override;
    void restoreTaskbar() override;

    void setScreenSaverRunning(bool running) override { screenSaverRunning_ = running; }
    bool screenSaverRunning() const { return screenSaverRunning_; }

private:
    std::vector<WindowHandle> dockWindows();

    // The panels this object unmapped, mapped again on restore even if they lost their type.
    std::vector<WindowHandle> hiddenDocks_;
    std::unique_ptr<QAbstractNativeEventFilter> callFilter_;
    bool screenSaverRunning_ = false;
};

} // namespace platform
