#include "platform/os/fakes.h"

#include <algorithm>

namespace platform {

WindowHandle FakeWindowSystem::addWindow(const QString& caption, bool dock) {
    Window w;
    w.handle = next_++;
    w.caption = caption;
    w.dock = dock;
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

WindowHandle FakeWindowSystem::windowFromPoint(QPoint) {
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

QImage FakeDisplay::grabScreen() {
    ++grabs;
    if (onGrab)
        onGrab();
    return screen;
}

namespace {

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

bool FakeFiles::exists(const QString& path) {
    return present.contains(path) || contents.count(path) != 0 ||
           folders.contains(withoutTrailingSeparator(path));
}

bool FakeFiles::removeFile(const QString& path) {
    if ((!present.contains(path) && contents.count(path) == 0) || undeletable.contains(path))
        return false;
    present.remove(path);
    contents.erase(path);
    removed << path;
    return true;
}

QString FakeFiles::folderOf(const QString& path) {
    const QString plain = withoutTrailingSeparator(path);
    const qsizetype slash = plain.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : plain.left(slash);
}

bool FakeFiles::folderExists(const QString& path) {
    return folders.contains(withoutTrailingSeparator(path));
}

bool FakeFiles::makeFolder(const QString& path) {
    folderRequests << path;
    const QString folder = withoutTrailingSeparator(path);
    const QString parent = folderOf(folder);
    if (folders.contains(folder) || (parent != QLatin1String("/") && !folders.contains(parent)))
        return false;
    folders.insert(folder);
    return true;
}

QByteArray FakeFiles::readAt(const QString& path, qint64 offset, qint64 count) {
    const auto it = contents.find(path);
    if (it == contents.end() || offset < 0 || count <= 0)
        return {};
    return it->second.mid(offset, count);
}

bool FakeFiles::writeAt(const QString& path, qint64 offset, const QByteArray& bytes) {
    const auto it = contents.find(path);
    if (it == contents.end() || readOnly.contains(path) || offset < 0)
        return false;
    QByteArray& data = it->second;
    if (data.size() < offset + bytes.size())
        data.resize(offset + bytes.size(), '\0');
    data.replace(offset, bytes.size(), bytes);
    return true;
}

bool FakeFiles::copyFile(const QString& from, const QString& to, bool overwrite) {
    const auto source = contents.find(from);
    if (source == contents.end() || readOnly.contains(to) || !folders.contains(folderOf(to)))
        return false;
    if (exists(to) && !overwrite)
        return false;
    contents[to] = source->second;
    return true;
}

Profiles::Loaded FakeProfiles::load(const QString& path) {
    if (unreadable.contains(path))
        return {Loaded::Unreadable, {}};
    const auto it = files_.contents.find(path);
    if (it == files_.contents.end())
        return {};
    return {Loaded::Read, it->second};
}

bool FakeProfiles::save(const QString& path, const QByteArray& bytes) {
    if (files_.readOnly.contains(path) || !files_.folders.contains(FakeFiles::folderOf(path)))
        return false;
    files_.contents[path] = bytes;
    ++saves;
    return true;
}

FakeServices::FakeServices() {
    files.folders.insert(QStringLiteral("/drive_c"));
    install({&windows, &display, &dialogs, &processes, &files, &taskKeys, &drives, &profiles});
}

FakeServices::~FakeServices() {
    install({});
}

} // namespace platform
