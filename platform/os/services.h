// The platform services in use: the real ones installed by main, fakes installed by tests.
#pragma once

#include "platform/os/dialogs.h"
#include "platform/os/display.h"
#include "platform/os/drives.h"
#include "platform/os/files.h"
#include "platform/os/processes.h"
#include "platform/os/profiles.h"
#include "platform/os/scanner.h"
#include "platform/os/state_folder.h"
#include "platform/os/task_keys.h"
#include "platform/os/window_system.h"

namespace platform {

struct Services {
    WindowSystem* windows = nullptr;
    Display* display = nullptr;
    Dialogs* dialogs = nullptr;
    Processes* processes = nullptr;
    Files* files = nullptr;
    TaskKeys* taskKeys = nullptr;
    Drives* drives = nullptr;
    Profiles* profiles = nullptr;
    Scanner* scanner = nullptr;
    StateFolder* stateFolder = nullptr;
};

// Installs the services; the caller keeps them alive while they are installed.
void install(const Services& services);
const Services& installed();

WindowSystem& windows();
Display& display();
Dialogs& dialogs();
Processes& processes();
Files& files();
TaskKeys& taskKeys();
Drives& drives();
Profiles& profiles();
Scanner& scanner();
StateFolder& stateFolder();

// The screen's width and height in pixels, read when needed.
int screenWidth();
int screenHeight();

} // namespace platform
