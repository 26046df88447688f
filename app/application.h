// The program's application object: its title, the hidden application window that carries
// that title, and the request to end the program.
#pragma once

#include "platform/os/window_system.h"

#include <QString>
#include <memory>

class QWidget;

class TApplication {
public:
    // Creates the hidden application window captioned `title` on the display at once, so that
    // the start-up checks of this and of any later copy of the program find it.
    explicit TApplication(const QString& title);
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    QString Title() const;
    platform::WindowHandle Handle() const;

    // Ends the program: the message loop stops, or never starts when it has not run yet.
    void Terminate();
    bool Terminated() const { return terminated_; }

private:
    std::unique_ptr<QWidget> window_;
    bool terminated_ = false;
};

extern TApplication* Application;
