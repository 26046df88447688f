#include "platform/os/fakes.h"

#include <algorithm>
#include <cstring>

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

void FakeWindowSystem::keepAbove(WindowHandle window, WindowHandle owner) {
    if (owner == 0)
        owners.erase(window);
    else
        owners[window] = owner;
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

std::optional<QFont> FakeDialogs::chooseFont(QWidget*, const QFont& initial,
                                             const std::function<void(const QFont&)>& apply) {
    shown.push_back({QStringLiteral("font"), QString(), QString()});
    fontsShown.push_back(initial);
    if (fontAnswers.empty())
        return std::nullopt;
    const FontAnswer answer = fontAnswers.front();
    fontAnswers.pop_front();
    for (const QFont& f : answer.applied)
        apply(f);
    return answer.chosen;
}

std::optional<QString> FakeDialogs::chooseDocument(QWidget*, const QString& folder,
                                                   const QString& filter, const QString& fileName) {
    return nextFileName(QStringLiteral("document"), filter, folder + QLatin1Char('|') + fileName);
}

std::optional<QString> FakeDialogs::nextFileName(const QString& kind, const QString& filter,
                                                 const QString& title) {
    shown.push_back({kind, filter, title});
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
    removeAttempts << path;
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

FakeScanPage FakeScanPage::fromImage(const QImage& image, int padding) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Frame frame;
    frame.parameters.format = FrameFormat::Rgb;
    frame.parameters.lastFrame = true;
    frame.parameters.pixelsPerLine = rgb.width();
    frame.parameters.bytesPerLine = rgb.width() * 3 + padding;
    frame.parameters.lines = rgb.height();
    frame.parameters.depth = 8;
    const int bpl = frame.parameters.bytesPerLine;
    frame.data = QByteArray(bpl * rgb.height(), '\0');
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(frame.data.data() + y * bpl, rgb.constScanLine(y),
                    static_cast<std::size_t>(rgb.width()) * 3);
    FakeScanPage page;
    page.frames.push_back(std::move(frame));
    return page;
}

namespace {

// An open fake device: it plays its pages frame by frame, a chunk per read.
class FakeScannerHandle final : public ScannerHandle {
public:
    FakeScannerHandle(FakeScanner& scanner, FakeScanner::Device& device)
        : scanner_(scanner), device_(device) {}
    ~FakeScannerHandle() override { call(QStringLiteral("close")); }
    FakeScannerHandle(const FakeScannerHandle&) = delete;
    FakeScannerHandle& operator=(const FakeScannerHandle&) = delete;

    OptionResult setOption(const QByteArray& name, const QString& value) override {
        call(QStringLiteral("set %1=%2").arg(QString::fromLatin1(name), value));
        const auto it = device_.options.find(name);
        return it == device_.options.end() ? OptionResult::Set : it->second;
    }
    bool feederSelected() override { return device_.feeder; }

    ScanStatus start() override {
        call(QStringLiteral("start"));
        const std::lock_guard lock(mutex_);
        if (page_ >= 0 && frame_ + 1 < frameCount()) {
            ++frame_; // the next frame of the same page
            offset_ = 0;
            return ScanStatus::Good;
        }
        page_ = device_.nextPage++;
        frame_ = 0;
        offset_ = 0;
        if (page_ >= static_cast<int>(device_.pages.size()))
            return ScanStatus::NoDocuments;
        return current().startStatus;
    }

    ScanStatus parameters(FrameParameters& out) override {
        call(QStringLiteral("parameters"));
        const std::lock_guard lock(mutex_);
        if (!onFrame())
            return ScanStatus::Failed;
        out = current().frames[static_cast<std::size_t>(frame_)].parameters;
        return ScanStatus::Good;
    }

    ScanStatus read(unsigned char* buffer, int maxLength, int& length) override {
        length = 0;
        if (scanner_.beforeRead) {
            int page = 0;
            int offset = 0;
            {
                const std::lock_guard lock(mutex_);
                page = page_ + 1;
                offset = offset_;
            }
            scanner_.beforeRead(page, offset);
        }
        const std::lock_guard lock(mutex_);
        if (!onFrame())
            return ScanStatus::Failed;
        const FakeScanPage& page = current();
        const QByteArray& data = page.frames[static_cast<std::size_t>(frame_)].data;
        int n = std::min({maxLength, scanner_.chunk, static_cast<int>(data.size()) - offset_});
        if (page.readFailure != ScanStatus::Good && frame_ == 0) {
            if (offset_ >= page.failAt)
                return page.readFailure;
            n = std::min(n, page.failAt - offset_);
        }
        if (n <= 0)
            return ScanStatus::EndOfFrame;
        std::memcpy(buffer, data.constData() + offset_, static_cast<std::size_t>(n));
        offset_ += n;
        length = n;
        return ScanStatus::Good;
    }

    void cancel() override {
        call(QStringLiteral("cancel"));
        // What is left of the page is dropped; the next start takes the next page. The
        // program cancels from its own thread while the scan reads on another.
        const std::lock_guard lock(mutex_);
        frame_ = std::max(frameCount() - 1, 0);
    }

private:
    void call(const QString& what) {
        scanner_.record(scanner_.loaded() ? what : QStringLiteral("after unload: ") + what);
    }
    bool onFrame() const {
        return page_ >= 0 && page_ < static_cast<int>(device_.pages.size()) &&
               frame_ < frameCount();
    }
    int frameCount() const {
        if (page_ < 0 || page_ >= static_cast<int>(device_.pages.size()))
            return 0;
        return static_cast<int>(current().frames.size());
    }
    const FakeScanPage& current() const { return device_.pages[static_cast<std::size_t>(page_)]; }

    FakeScanner& scanner_;
    FakeScanner::Device& device_;
    std::mutex mutex_; // page_, frame_ and offset_
    int page_ = -1;
    int frame_ = 0;
    int offset_ = 0;
};

} // namespace

QStringList FakeScanner::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

void FakeScanner::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

void FakeScanner::record(const QString& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_ << call;
}

bool FakeScanner::load() {
    record(QStringLiteral("load"));
    loaded_ = loaded_ || libraryPresent;
    return loaded_;
}

void FakeScanner::unload() {
    record(QStringLiteral("unload"));
    loaded_ = false;
}

std::vector<ScannerInfo> FakeScanner::devices() {
    record(QStringLiteral("devices"));
    std::vector<ScannerInfo> list;
    if (loaded_) {
        for (const Device& d : attached)
            list.push_back(d.info);
    }
    return list;
}

std::unique_ptr<ScannerHandle> FakeScanner::open(const QByteArray& name) {
    record(QStringLiteral("open ") + QString::fromLatin1(name));
    if (!loaded_)
        return nullptr;
    for (Device& d : attached) {
        if (d.info.name == name && d.opens)
            return std::make_unique<FakeScannerHandle>(*this, d);
    }
    return nullptr;
}

namespace {

class FakeLock final : public FileLock {
public:
    FakeLock(QSet<QString>& held, QString path) : held_(held), path_(std::move(path)) {
        held_.insert(path_);
    }
    ~FakeLock() override { held_.remove(path_); }
    FakeLock(const FakeLock&) = delete;
    FakeLock& operator=(const FakeLock&) = delete;

private:
    QSet<QString>& held_;
    QString path_;
};

} // namespace

std::unique_ptr<FileLock> FakeStateFolder::lockFile(const QString& path) {
    lockRequests << path;
    if (heldElsewhere.contains(path) || held.contains(path))
        return nullptr;
    return std::make_unique<FakeLock>(held, path);
}

FakeServices::FakeServices() {
    files.folders.insert(QStringLiteral("/drive_c"));
    install({&windows, &display, &dialogs, &processes, &files, &taskKeys, &drives, &profiles,
             &scanner, &stateFolder});
}

FakeServices::~FakeServices() {
    install({});
}

} // namespace platform
