#include "platform/os/services.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

Services current;

template <typename T> T& need(T* service, const char* name) {
    if (service == nullptr) {
        std::fprintf(stderr, "K_Vorne: platform service '%s' used before it was installed\n", name);
        std::abort();
    }
    return *service;
}

} // namespace

void install(const Services& services) {
    current = services;
}
const Services& installed() {
    return current;
}

WindowSystem& windows() {
    return need(current.windows, "windows");
}
Display& display() {
    return need(current.display, "display");
}
Dialogs& dialogs() {
    return need(current.dialogs, "dialogs");
}
Processes& processes() {
    return need(current.processes, "processes");
}
Files& files() {
    return need(current.files, "files");
}
TaskKeys& taskKeys() {
    return need(current.taskKeys, "taskKeys");
}
Drives& drives() {
    return need(current.drives, "drives");
}
Profiles& profiles() {
    return need(current.profiles, "profiles");
}
Scanner& scanner() {
    return need(current.scanner, "scanner");
}
StateFolder& stateFolder() {
    return need(current.stateFolder, "stateFolder");
}

int screenWidth() {
    return display().screenSize().width();
}
int screenHeight() {
    return display().screenSize().height();
}

QString captionInBuffer(WindowSystem& windows, WindowHandle window, int bufferSize) {
    if (bufferSize <= 0)
        return {};
    return windows.caption(window).left(bufferSize - 1);
}

} // namespace platform
