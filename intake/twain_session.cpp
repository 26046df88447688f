#include "intake/twain_session.h"

#include "intake/scan_frames.h"
#include "platform/os/services.h"

#include <QHash>
#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

using platform::ScannerHandle;
using platform::ScanStatus;

struct TTwainSession::Run {
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable changed;
    bool imageTaken = false;

    void requestCancel() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            cancel = true;
        }
        changed.notify_all();
    }
    void acknowledge() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            imageTaken = true;
        }
        changed.notify_all();
    }
    void prepareHandOver() {
        std::lock_guard<std::mutex> lock(mutex);
        imageTaken = false;
    }
    // Waits until the GUI thread took the image or the scan is cancelled; true for a cancel.
    bool waitTaken() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return imageTaken || cancel; });
        return cancel;
    }
    // The reading thread's last step.
    void finish() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        changed.notify_all();
    }
    // True when the reading thread finished within `grace`.
    bool waitFinished(std::chrono::milliseconds grace) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, grace, [this] { return finished; });
    }

private:
    bool finished = false;
};

namespace {

// As much as one read asks for: small enough that a cancel is seen soon.
constexpr int ReadChunk = 32 * 1024;

// Backends that read on a thread of their own stop that thread with an asynchronous cancel: the
// moment a frame's last byte is read, and when the frame is cancelled. A thread stopped while it
// is inside the allocator leaves the allocator's lock taken, and the next allocation in the
// program hangs. So the last byte is asked for a moment after the rest, when such a thread has
// written it and ended, and a frame is cancelled a moment after its reading stopped, when the
// thread waits on its pipe rather than allocating.
constexpr auto LastByteDelay = std::chrono::milliseconds(20);
constexpr auto CancelDelay = std::chrono::milliseconds(50);

// How long a stopped scan's reading thread is given to see the cancel by itself.
constexpr auto StopGrace = std::chrono::milliseconds(2000);

// Stops a frame that is still being read; the device is then ready for the next.
void interruptFrame(ScannerHandle& device) {
    std::this_thread::sleep_for(CancelDelay);
    device.cancel();
}

// What the reading thread hands to the GUI thread.
struct ScanSink {
    // Hands an image over and waits until it is taken; true when the scan is to stop.
    std::function<bool(int number, QImage image)> deliver;
    std::function<void(TScanProgress)> progress;
};

enum class ImageOutcome { Done, Cancelled, Failed };

ImageOutcome outcomeOf(ScanStatus status) {
    return status == ScanStatus::Cancelled ? ImageOutcome::Cancelled : ImageOutcome::Failed;
}

// One image: its frames read to their ends. A frame after the first is begun by another start,
// as three-pass scanners send their channels.
ImageOutcome readImage(ScannerHandle& device, TTwainSession::Run& run, const ScanSink& sink,
                       int number, QImage& image) {
    ScanImageBuilder builder;
    std::vector<unsigned char> buffer(ReadChunk);
    int shownPercent = -2;
    for (bool first = true;; first = false) {
        if (!first) {
            const ScanStatus started = device.start();
            if (started != ScanStatus::Good)
                return outcomeOf(started);
        }
        platform::FrameParameters frame;
        const ScanStatus status = device.parameters(frame);
        if (status != ScanStatus::Good)
            return outcomeOf(status);
        if (!builder.beginFrame(frame))
            return ImageOutcome::Failed; // a frame we cannot read, or a picture too large
        const qint64 frameBytes = frame.lines > 0 ? qint64{frame.bytesPerLine} * frame.lines : 0;
        qint64 frameRead = 0;
        bool lastByteHeld = false;
        for (;;) {
            if (run.cancel)
                return ImageOutcome::Cancelled;
            int want = ReadChunk;
            if (frameBytes > 0) {
                const qint64 remaining = frameBytes - frameRead;
                if (remaining > 1) {
                    want = static_cast<int>(std::min<qint64>(ReadChunk, remaining - 1));
                } else if (!lastByteHeld) {
                    lastByteHeld = true;
                    std::this_thread::sleep_for(LastByteDelay);
                }
            }
            int length = 0;
            const ScanStatus read = device.read(buffer.data(), want, length);
            if (read == ScanStatus::EndOfFrame)
                break;
            if (read != ScanStatus::Good)
                return outcomeOf(read);
            frameRead += length;
            if (!builder.append(buffer.data(), length))
                return ImageOutcome::Failed;
            if (length == 0) // a device with nothing yet: no busy loop while it works
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            const qint64 expected = builder.expectedBytes();
            const int percent = expected > 0 ? static_cast<int>(std::min<qint64>(
                                                   100, builder.receivedBytes() * 100 / expected))
                                             : -1;
            if (percent != shownPercent) {
                shownPercent = percent;
                sink.progress({number, percent});
            }
        }
        if (!builder.endFrame())
            return ImageOutcome::Failed;
        if (builder.complete()) {
            image = builder.take();
            return image.isNull() ? ImageOutcome::Failed : ImageOutcome::Done;
        }
    }
}

// The transfer loop: images one after another, each handed over before the next starts. A
// flatbed gives one; a feeder gives pages until it runs dry, which is its normal end once a
// page came. A start that fails ends the loop; an image that fails is skipped (its part is
// never shown) and a feeder goes on with the next page.
TScanEnd scanImages(ScannerHandle& device, bool feeder, TTwainSession::Run& run,
                    const ScanSink& sink) {
    bool failed = false;
    TScanEnd end = TScanEnd::Finished;
    for (int number = 1;; ++number) {
        if (run.cancel) {
            end = TScanEnd::Cancelled;
            break;
        }
        sink.progress({number, -1});
        const ScanStatus started = device.start();
        if (started == ScanStatus::NoDocuments) {
            failed = failed || number == 1;
            break;
        }
        if (started == ScanStatus::Cancelled) {
            end = TScanEnd::Cancelled;
            break;
        }
        if (started != ScanStatus::Good) {
            failed = true;
            break;
        }
        QImage image;
        const ImageOutcome outcome = readImage(device, run, sink, number, image);
        if (outcome == ImageOutcome::Cancelled) {
            interruptFrame(device);
            return TScanEnd::Cancelled;
        }
        if (outcome == ImageOutcome::Failed) {
            failed = true;
            interruptFrame(device); // drops the rest of this page
            if (!feeder)
                break;
            continue;
        }
        if (sink.deliver(number, std::move(image))) {
            end = TScanEnd::Cancelled;
            break;
        }
        if (!feeder)
            break;
    }
    // Ends the scan cycle, also after the last page, as the stack wants.
    device.cancel();
    if (end == TScanEnd::Cancelled)
        return end;
    return failed ? TScanEnd::Failed : TScanEnd::Finished;
}

// Vendor and model; two sources that would read the same are told apart by their device names.
void nameSources(std::vector<std::unique_ptr<TTwainSource>>& sources) {
    QHash<QString, int> seen;
    for (auto& s : sources)
        ++seen[s->ProductName];
    for (auto& s : sources) {
        if (seen.value(s->ProductName) > 1)
            s->ProductName += QStringLiteral(" (%1)").arg(QString::fromUtf8(s->DeviceName));
    }
}

} // namespace

TTwainSession::TTwainSession(QObject* parent)
    : QObject(parent), calls_(new platform::CallQueue(this)) {}

TTwainSession::~TTwainSession() {
    // The handlers belong to an owner that is going too: a scan stopped now tells nobody.
    OnTwainAcquire = nullptr;
    OnProgress = nullptr;
    OnScanEnd = nullptr;
    UnloadLibrary();
}

bool TTwainSession::LoadLibrary() {
    if (!libraryLoaded_)
        libraryLoaded_ = platform::scanner().load();
    return libraryLoaded_;
}

void TTwainSession::UnloadLibrary() {
    CloseSourceManager();
    if (libraryLoaded_) {
        platform::scanner().unload();
        libraryLoaded_ = false;
    }
}

bool TTwainSession::OpenSourceManager() {
    if (libraryLoaded_)
        managerOpen_ = true;
    return managerOpen_;
}

void TTwainSession::CloseSourceManager() {
    stopScan();
    for (int i = 0; i < static_cast<int>(sources_.size()); ++i)
        UnloadSource(i);
    sources_.clear();
    sourcesFilled_ = false;
    managerOpen_ = false;
}

int TTwainSession::SourceCount() {
    if (managerOpen_ && !sourcesFilled_) {
        sourcesFilled_ = true;
        for (const platform::ScannerInfo& device : platform::scanner().devices()) {
            auto source = std::make_unique<TTwainSource>();
            source->Index = static_cast<int>(sources_.size());
            source->DeviceName = device.name;
            source->ProductName =
                QStringLiteral("%1 %2").arg(device.vendor, device.model).simplified();
            if (source->ProductName.isEmpty())
                source->ProductName = QString::fromUtf8(device.name);
            sources_.push_back(std::move(source));
        }
        nameSources(sources_);
    }
    return static_cast<int>(sources_.size());
}

TTwainSource* TTwainSession::Source(int index) {
    if (index < 0 || index >= SourceCount())
        return nullptr;
    return sources_[static_cast<std::size_t>(index)].get();
}

int TTwainSession::OpenSourceCount() const {
    int n = 0;
    for (const auto& s : sources_)
        n += s->Loaded ? 1 : 0;
    return n;
}

bool TTwainSession::LoadSource(int index) {
    TTwainSource* source = Source(index);
    if (source == nullptr)
        return false;
    if (!source->Loaded) {
        source->Handle = platform::scanner().open(source->DeviceName);
        source->Loaded = source->Handle != nullptr;
    }
    return source->Loaded;
}

void TTwainSession::UnloadSource(int index) {
    TTwainSource* source = Source(index);
    if (source == nullptr)
        return;
    if (scanningIndex_ == index)
        stopScan();
    source->Handle.reset();
    source->Loaded = false;
    source->Active = false;
}

bool TTwainSession::SetResolution(int index, int dotsPerInch) {
    TTwainSource* source = Source(index);
    if (source == nullptr || !source->Loaded || source->Active)
        return false;
    return source->Handle->setOption(QByteArrayLiteral("resolution"),
                                     QString::number(dotsPerInch)) !=
           platform::OptionResult::Failed;
}

bool TTwainSession::EnableSource(int index) {
    TTwainSource* source = Source(index);
    if (source == nullptr || !source->Loaded || worker_.joinable())
        return false;
    ScannerHandle* device = source->Handle.get();
    const bool feeder = device->feederSelected();
    auto run = std::make_shared<Run>();
    run_ = run;
    scanningIndex_ = index;
    source->Active = true;
    const unsigned generation = ++generation_;
    worker_ = std::thread([this, run, device, feeder, generation] {
        ScanSink sink;
        sink.deliver = [this, &run, generation](int number, QImage image) {
            run->prepareHandOver();
            calls_->post([this, generation, number, image = std::move(image)] {
                imageArrived(generation, number, image);
            });
            return run->waitTaken();
        };
        sink.progress = [this, generation](TScanProgress progress) {
            calls_->post([this, generation, progress] { progressed(generation, progress); });
        };
        const TScanEnd end = scanImages(*device, feeder, *run, sink);
        run->finish();
        calls_->post([this, generation, end] { scanEnded(generation, end); });
    });
    return true;
}

void TTwainSession::DisableSource(int index) {
    if (scanningIndex_ == index)
        stopScan();
}

bool TTwainSession::Scanning() const {
    return worker_.joinable();
}

void TTwainSession::Cancel() {
    if (run_)
        run_->requestCancel();
}

bool TTwainSession::CancelRequested() const {
    return run_ && run_->cancel;
}

void TTwainSession::stopScan() {
    if (!worker_.joinable())
        return;
    run_->requestCancel();
    // The reading thread sees the cancel between two reads. A device that does not come back
    // from a read is cancelled from here, as the scanner interface allows from any thread,
    // rather than leave the program waiting on it for good.
    if (!run_->waitFinished(StopGrace)) {
        if (TTwainSource* source = Source(scanningIndex_); source && source->Handle)
            source->Handle->cancel();
    }
    worker_.join();
    ++generation_; // what the stopped scan left queued is not for us any more
    if (TTwainSource* source = Source(scanningIndex_))
        source->Active = false;
    run_.reset();
    scanningIndex_ = -1;
    if (OnScanEnd)
        OnScanEnd(TScanEnd::Cancelled);
}

void TTwainSession::imageArrived(unsigned generation, int, const QImage& image) {
    if (generation != generation_ || !run_)
        return;
    // The handler may stop the scan itself; the worker waits on this run all the same, and is
    // let go however the handler ends.
    struct Release {
        std::shared_ptr<Run> run;
        bool cancel = false;
        ~Release() {
            if (cancel)
                run->requestCancel();
            run->acknowledge();
        }
    } release{run_};
    if (OnTwainAcquire)
        OnTwainAcquire(this, scanningIndex_, image, release.cancel);
}

void TTwainSession::progressed(unsigned generation, TScanProgress progress) {
    if (generation == generation_ && OnProgress)
        OnProgress(progress);
}

void TTwainSession::scanEnded(unsigned generation, TScanEnd end) {
    if (generation != generation_)
        return;
    if (worker_.joinable())
        worker_.join();
    if (TTwainSource* source = Source(scanningIndex_))
        source->Active = false;
    run_.reset();
    scanningIndex_ = -1;
    if (OnScanEnd)
        OnScanEnd(end);
}
