// The scanner component: the scanner stack's library, its sources (the devices it lists), and
// the scans that bring images to the program. It keeps the shape of the classic scanning
// component (library loaded, manager open, source list, open source, native transfer, an event
// per image) over the platform's scanner service.
//
// A scan is read on a worker thread, so that the program stays responsive while a slow scanner
// works; each image is handed over on the GUI thread, one at a time: the worker waits until the
// handler has taken it, so the handler's cancel flag stops the rest of a feeder's pages. Every
// way out of a scan (cancel, stopping the source, unloading, destroying the component) cancels
// the scan and joins the worker before the device is closed and the library unloaded.
#pragma once

#include "platform/os/handoff.h"
#include "platform/os/scanner.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class TTwainSession;

// How images come over: whole pictures in memory, the only way this component takes.
enum class TTwainTransferMode { Native };

// A source the session lists: a device of the scanner stack.
struct TTwainSource {
    int Index = 0;
    QByteArray DeviceName;
    // What the teacher sees: vendor and model, with the device name added when two sources
    // would read the same.
    QString ProductName;
    TTwainTransferMode TransferMode = TTwainTransferMode::Native;
    bool Loaded = false; // open
    bool Active = false; // switched on for acquisition: a scan runs
    // Kept as the program sets them; the stack shows no interface of its own, so neither flag
    // changes how a scan runs.
    bool ShowUserInterface = true;
    bool Modal = true;
    std::unique_ptr<platform::ScannerHandle> Handle;
};

// An image arrived from source `index`; setting `cancel` drops the images still to come.
using TOnTwainAcquire =
    std::function<void(TTwainSession* sender, int index, const QImage& image, bool& cancel)>;

// How far a scan has come: the image being read (from 1) and its part read in percent, -1 while
// its size is not known.
struct TScanProgress {
    int Image = 0;
    int Percent = -1;
};

enum class TScanEnd {
    Finished,  // every image there was arrived (a flatbed's one, a feeder's until it ran dry)
    Cancelled, // cancelled by the teacher, the handler, the device, or stopped by the program
    Failed     // a start that failed, an empty feeder, or an image that was skipped
};

class TTwainSession : public QObject {
    Q_OBJECT
public:
    explicit TTwainSession(QObject* parent = nullptr);
    ~TTwainSession() override;
    TTwainSession(const TTwainSession&) = delete;
    TTwainSession& operator=(const TTwainSession&) = delete;

    // The stack's library, loaded and started; false when it cannot be.
    bool LoadLibrary();
    // Closes the manager first (and so every source, after stopping a scan).
    void UnloadLibrary();
    bool LibraryLoaded() const { return libraryLoaded_; }

    bool OpenSourceManager();
    // Drops the source list, closing every open source first.
    void CloseSourceManager();
    bool SourceManagerLoaded() const { return managerOpen_; }
    TTwainTransferMode TransferMode = TTwainTransferMode::Native;

    // The sources, listed from the stack on first demand while the manager is open.
    int SourceCount();
    TTwainSource* Source(int index);
    int OpenSourceCount() const;

    // Opens a source: Loaded := true. False when it cannot be opened.
    bool LoadSource(int index);
    // Stops its scan and closes it.
    void UnloadSource(int index);
    // Both resolutions, in dots per inch: the stack has one option for the two. A value the
    // device only comes near counts as set.
    bool SetResolution(int index, int dotsPerInch);
    // Starts the scan: Active := true. False when the source is not open or a scan runs.
    bool EnableSource(int index);
    // Stops the scan (cancelled and joined): Active := false.
    void DisableSource(int index);

    bool Scanning() const;
    // Asks a running scan to stop; it ends with TScanEnd::Cancelled.
    void Cancel();
    // Whether a cancel was asked of the running scan (read by the reading thread too).
    bool CancelRequested() const;

    TOnTwainAcquire OnTwainAcquire;
    std::function<void(const TScanProgress&)> OnProgress;
    // Once per scan that EnableSource started, on the GUI thread.
    std::function<void(TScanEnd)> OnScanEnd;

    struct Run; // what the GUI thread and the reading thread share during one scan

private:
    void stopScan();
    void imageArrived(unsigned generation, int number, const QImage& image);
    void progressed(unsigned generation, TScanProgress progress);
    void scanEnded(unsigned generation, TScanEnd end);

    bool libraryLoaded_ = false;
    bool managerOpen_ = false;
    bool sourcesFilled_ = false;
    std::vector<std::unique_ptr<TTwainSource>> sources_;
    std::shared_ptr<Run> run_;
    std::thread worker_;
    // What the worker hands to the GUI thread: images, progress and the end of a scan.
    platform::CallQueue* calls_;
    int scanningIndex_ = -1;
    // Counts scans; what a stopped scan left queued for the GUI thread is recognised by it.
    unsigned generation_ = 0;
};
