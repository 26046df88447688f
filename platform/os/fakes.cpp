#include "platform/os/fakes.h"

#include <algorithm>

namespace platform {

WindowHandle FakeWindowSystem::addWindow(const QString& caption, bool dock, QRect geometry) {
    Window w;
    w.handle = next_++;
    w.caption = caption;
    w.dock = dock;
    w.geometry = geometry;
    windows_.insert(windows_.begin(), w);
    return w.handle;
}

FakeWindowSystem::Window* FakeWindowSystem::find(WindowHandle handle) {
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [handle](const Window& w) { return w.handle == handle; });
    return it == windows_.end() ? nullptr : &*it;
}

std::vector<WindowHandle> FakeWindowSystem::topLevelWindows() {
    std::vector<WindowHandle> result;
    for (const Window& w : windows_) {
        if (w.open)
            result.push_back(w.handle);
    }
    return result;
}

QString FakeWindowSystem::caption(WindowHandle window) {
    const Window* w = find(window);
    return w != nullptr ? w->caption : QString();
}

void FakeWindowSystem::requestClose(WindowHandle window) {
    closeRequests.push_back(window);
    if (Window* w = find(window))
        w->open = false;
}

void FakeWindowSystem::setZBand(WindowHandle window, ZBand band) {
    zRequests.emplace_back(window, band);
    if (Window* w = find(window))
        w->band = band;
}

// The topmost open, mapped window whose place covers the point, as the X server finds it.
WindowHandle FakeWindowSystem::windowFromPoint(QPoint screenPoint) {
    for (const Window& w : windows_) {
        if (w.open && w.mapped && w.geometry.contains(screenPoint))
            return w.handle;
    }
    return windowAtPoint;
}

bool FakeWindowSystem::taskbarFound() {
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const Window& w) { return w.open && w.dock; });
}

void FakeWindowSystem::hideTaskbar() {
    for (Window& w : windows_) {
        if (w.dock)
            w.mapped = false;
    }
}

void FakeWindowSystem::restoreTaskbar() {
    ++taskbarRestores;
    for (Window& w : windows_) {
        if (w.dock)
            w.mapped = true;
    }
}

Answer FakeDialogs::askYesNo(QWidget*, const QString& text, const QString& title) {
    shown.push_back({QStringLiteral("question"), text, title});
    if (answers.empty())
        return Answer::No;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

void FakeDialogs::inform(QWidget*, const QString& text, const QString& title) {
    shown.push_back({QStringLiteral("inform"), text, title});
}

void FakeDialogs::showError(QWidget*, const QString& text) {
    shown.push_back({QStringLiteral("error"), text, QString()});
}

std::optional<TColor> FakeDialogs::chooseColor(QWidget*, TColor) {
    shown.push_back({QStringLiteral("colour"), QString(), QString()});
    if (colours.empty())
        return std::nullopt;
    const std::optional<TColor> c = colours.front();
    colours.pop_front();
    return c;
}

std::optional<QString> FakeDialogs::chooseOpenFile(QWidget*, const QString& filter) {
    return nextFileName(QStringLiteral("open"), filter);
}

std::optional<QString> FakeDialogs::chooseSaveFile(QWidget*, const QString& filter) {
    return nextFileName(QStringLiteral("save"), filter);
}

std::optional<QString> FakeDialogs::nextFileName(const QString& kind, const QString& filter) {
    shown.push_back({kind, filter, QString()});
    if (fileNames.empty())
        return std::nullopt;
    std::optional<QString> name;
    name.swap(fileNames.front());
    fileNames.pop_front();
    return name;
}

QImage FakeDisplay::grabScreen() {
    ++grabs;
    if (onGrab)
        onGrab();
    return screen;
}

bool FakeFiles::removeFile(const QString& path) {
    removeAttempts << path;
    if (!present.contains(path) || undeletable.contains(path))
        return false;
    present.remove(path);
    removed << path;
    return true;
}

FakeServices::FakeServices() {
    install({&windows, &display, &dialogs, &processes, &files, &taskKeys});
}

FakeServices::~FakeServices() {
    install({});
}

} // namespace platform
