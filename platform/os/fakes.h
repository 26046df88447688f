// Stand-ins for the platform services that tests install: they record what the program asked
// for and answer from a script.
#pragma once

#include "platform/os/dialogs.h"
#include "platform/os/display.h"
#include "platform/os/drives.h"
#include "platform/os/files.h"
#include "platform/os/processes.h"
#include "platform/os/profiles.h"
#include "platform/os/scanner.h"
#include "platform/os/services.h"
#include "platform/os/state_folder.h"
#include "platform/os/task_keys.h"
#include "platform/os/window_system.h"

#include <QImage>
#include <QRect>
#include <QSet>
#include <QStringList>
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

namespace platform {

class FakeWindowSystem final : public WindowSystem {
public:
    struct Window {
        WindowHandle handle = 0;
        QString caption;
        bool open = true;
        bool dock = false;
        bool mapped = true;
        ZBand band = ZBand::NotTopmost;
        QRect geometry; // on the screen; an empty one lies nowhere
    };

    // Adds a foreign window at the top of the stacking order; returns its handle.
    WindowHandle addWindow(const QString& caption, bool dock = false, QRect geometry = {});
    Window* find(WindowHandle handle);
    // Handles that received a close request, in order.
    std::vector<WindowHandle> closeRequests;
    std::vector<std::pair<WindowHandle, ZBand>> zRequests;
    std::vector<WindowHandle> noTaskbarButton;
    // Each window kept above another: window -> owner.
    std::map<WindowHandle, WindowHandle> owners;
    // Windows called, in order, and what answers a call on each window.
    std::vector<WindowHandle> calls;
    std::map<WindowHandle, std::function<void()>> answers;
    WindowHandle foreground = 0;
    // Answered by windowFromPoint for a point that no placed window covers. Tests written
    // before windows had places use it; new tests place their windows instead.
    WindowHandle windowAtPoint = 0;
    QPoint pointer;
    bool screenSaverRunning = true;
    int taskbarRestores = 0;

    std::vector<WindowHandle> topLevelWindows() override;
    QString caption(WindowHandle window) override;
    void requestClose(WindowHandle window) override;
    void setZBand(WindowHandle window, ZBand band) override;
    WindowHandle windowFromPoint(QPoint screenPoint) override;
    void setForeground(WindowHandle window) override { foreground = window; }
    QPoint pointerPosition() override { return pointer; }
    void setPointerPosition(QPoint screenPoint) override { pointer = screenPoint; }
    void setNoTaskbarButton(WindowHandle window) override { noTaskbarButton.push_back(window); }
    void keepAbove(WindowHandle window, WindowHandle owner) override;
    void call(WindowHandle window) override { calls.push_back(window); }
    void answerCalls(WindowHandle window, std::function<void()> called) override {
        answers[window] = std::move(called);
    }
    bool taskbarFound() override;
    void hideTaskbar() override;
    void restoreTaskbar() override;
    void setScreenSaverRunning(bool running) override { screenSaverRunning = running; }

private:
    std::vector<Window> windows_; // top first
    WindowHandle next_ = 0x1000;
};

class FakeDisplay final : public Display {
public:
    QSize size{1024, 768};
    int depth = 32;
    std::vector<int> depthRequests;
    // What a screen capture returns, and a look at the program's state at each capture.
    QImage screen;
    int grabs = 0;
    std::function<void()> onGrab;

    QSize screenSize() override { return size; }
    int colourDepth() override { return depth; }
    bool requestColourDepth(int bitsPerPixel) override {
        depthRequests.push_back(bitsPerPixel);
        return false;
    }
    QImage grabScreen() override;
    // The desktop's screens; none means the one screen of `size`.
    std::vector<ScreenInfo> monitors;
    std::vector<ScreenInfo> screens() override {
        return monitors.empty() ? Display::screens() : monitors;
    }
};

class FakeDialogs final : public Dialogs {
public:
    struct Shown {
        QString kind; // "question", "inform" or "error"
        QString text;
        QString title;
    };
    // Answers given to the next questions, in order; No when the script has run out.
    std::deque<Answer> answers;
    std::vector<Shown> shown;

    Answer askYesNo(QWidget* owner, const QString& text, const QString& title) override;
    void inform(QWidget* owner, const QString& text, const QString& title) override;
    void showError(QWidget* owner, const QString& text) override;

    // Colours chosen in the next colour dialogs, in order; nothing is a cancel, as is a
    // script that has run out.
    std::deque<std::optional<TColor>> colours;
    std::optional<TColor> chooseColor(QWidget* owner, TColor initial) override;

    // File names chosen in the next file dialogs, in order; nothing is a cancel, as is a script
    // that has run out. Each dialog is recorded as "open" or "save" with its filter as text.
    std::deque<std::optional<QString>> fileNames;
    std::optional<QString> chooseOpenFile(QWidget* owner, const QString& filter) override;
    std::optional<QString> chooseSaveFile(QWidget* owner, const QString& filter) override;

    // The next font dialogs, in order: the fonts applied with Apply, then the font chosen with
    // OK (nothing is a cancel, as is a script that has run out). Each dialog is recorded as
    // "font"; the fonts it started at are kept.
    struct FontAnswer {
        std::vector<QFont> applied;
        std::optional<QFont> chosen;
    };
    std::deque<FontAnswer> fontAnswers;
    std::vector<QFont> fontsShown;
    std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial,
                                    const std::function<void(const QFont&)>& apply) override;

    // Document dialogs answer from fileNames as well; each is recorded as "document" with its
    // filter as text and its folder and proposed name as "folder|name" in the title.
    std::optional<QString> chooseDocument(QWidget* owner, const QString& folder,
                                          const QString& filter, const QString& fileName) override;

private:
    std::optional<QString> nextFileName(const QString& kind, const QString& filter,
                                        const QString& title = {});
};

class FakeProcesses final : public Processes {
public:
    QStringList started;
    // The show state of each start, in the same order.
    std::vector<ShowState> shows;
    QStringList opened;
    bool startSucceeds = true;
    bool openSucceeds = true;

    bool startProgram(const QString& commandLine, ShowState show) override {
        started << commandLine;
        shows.push_back(show);
        return startSucceeds;
    }
    bool openDocument(const QString& address) override {
        opened << address;
        return openSucceeds;
    }
};

// A file system in memory. Folders are named without a trailing separator.
class FakeFiles final : public Files {
public:
    // Files that exist without a content of interest, and files with their bytes.
    QSet<QString> present;
    std::map<QString, QByteArray> contents;
    QSet<QString> undeletable;
    // Every path the program asked to delete, in order, whether or not it could be deleted.
    QStringList removeAttempts;
    // The paths that were deleted, in order.
    // Files that cannot be written or replaced.
    QSet<QString> readOnly;
    QStringList removed;
    QSet<QString> folders;
    // Every folder creation asked for, in order, whether it succeeded or not.
    QStringList folderRequests;

    bool exists(const QString& path) override;
    bool removeFile(const QString& path) override;
    bool folderExists(const QString& path) override;
    bool makeFolder(const QString& path) override;
    QByteArray readAt(const QString& path, qint64 offset, qint64 count) override;
    bool writeAt(const QString& path, qint64 offset, const QByteArray& bytes) override;
    bool copyFile(const QString& from, const QString& to, bool overwrite) override;

    // The folder a file lies in.
    static QString folderOf(const QString& path);
};

// Profile files kept in the fake file system: a save fails when the folder is missing or the
// file is read-only, and leaves the old bytes then.
class FakeProfiles final : public Profiles {
public:
    explicit FakeProfiles(FakeFiles& files) : files_(files) {}
    QSet<QString> unreadable;
    int saves = 0;

    Loaded load(const QString& path) override;
    bool save(const QString& path, const QByteArray& bytes) override;

private:
    FakeFiles& files_;
};

// Drive "C" only, at "/drive_c/", unless a test lists others.
class FakeDrives final : public Drives {
public:
    std::vector<Drive> drives{{QLatin1Char('C'), DriveType::Fixed, QStringLiteral("/drive_c/")}};
    std::vector<Drive> table() override { return drives; }
};

class FakeTaskKeys final : public TaskKeys {
public:
    std::vector<std::pair<int, int>> calls;
    int disableTaskKeys(int first, int second) override {
        calls.emplace_back(first, second);
        return 1;
    }
};

// One page a fake scanner device delivers: its frames, and what goes wrong with it.
struct FakeScanPage {
    struct Frame {
        FrameParameters parameters;
        QByteArray data;
    };
    std::vector<Frame> frames;
    // What start() answers for the page's first frame.
    ScanStatus startStatus = ScanStatus::Good;
    // When not Good: the read that reaches byte `failAt` of the first frame answers this.
    ScanStatus readFailure = ScanStatus::Good;
    int failAt = 0;

    // The picture as one 8-bit colour frame, lines padded to `padding` more bytes.
    static FakeScanPage fromImage(const QImage& image, int padding = 0);
};

class FakeScanner final : public Scanner {
public:
    struct Device {
        ScannerInfo info;
        bool opens = true;
        bool feeder = false;
        // Taken in order by start(), also across openings; when they have run out start()
        // answers NoDocuments.
        std::vector<FakeScanPage> pages;
        int nextPage = 0;
        // What setting an option answers; Set when the option is not listed.
        std::map<QByteArray, OptionResult> options;
    };

    bool libraryPresent = true;
    std::vector<Device> attached;
    // The most bytes one read gives.
    int chunk = 4096;
    // Called on the reading thread before every read, with the page's number (from 1) and the
    // bytes of the frame read so far.
    std::function<void(int page, int offset)> beforeRead;

    // What was asked of the stack, in order: "load", "unload", "devices", "open NAME",
    // "set NAME=VALUE", "start", "parameters", "cancel", "close"; a call on a device after the
    // library was unloaded is recorded as "after unload: CALL".
    QStringList calls() const;
    void record(const QString& call);
    void clearCalls();

    bool load() override;
    void unload() override;
    bool loaded() const override { return loaded_; }
    std::vector<ScannerInfo> devices() override;
    std::unique_ptr<ScannerHandle> open(const QByteArray& name) override;

private:
    mutable std::mutex mutex_;
    QStringList calls_;
    std::atomic<bool> loaded_{false};
};

// A state folder that a test names (a real folder: what is kept there is written by real
// code), with locks that live in this object: a lock is refused while another holds the same
// file, and a test can say a file is held by another running copy.
class FakeStateFolder final : public StateFolder {
public:
    QString folder;
    QSet<QString> heldElsewhere;
    QSet<QString> held;
    QStringList lockRequests;

    QString path() override { return folder; }
    std::unique_ptr<FileLock> lockFile(const QString& path) override;
};

// All the fakes together, installed while the object lives.
struct FakeServices {
    FakeWindowSystem windows;
    FakeDisplay display;
    FakeDialogs dialogs;
    FakeProcesses processes;
    FakeFiles files;
    FakeTaskKeys taskKeys;
    FakeDrives drives;
    FakeProfiles profiles{files};
    FakeScanner scanner;
    FakeStateFolder stateFolder;

    FakeServices();
    ~FakeServices();
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;
};

} // namespace platform
