// Work handed to another thread: a task for a QThreadPool, and calls for the thread an object
// lives in. Qt hands work over under its own locks, which ThreadSanitizer cannot see (Qt itself
// is not built with it); here the hand-over is one the sanitizer sees as well, so that what the
// sending thread did before counts as done for the work.
#pragma once

#include <QObject>
#include <QRunnable>
#include <QThreadPool>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace platform {

namespace handoff_detail {

inline void handOver([[maybe_unused]] void* token) {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(token);
#endif
}

inline void takeOver([[maybe_unused]] void* token) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(token);
#endif
}

template <typename Work> class Task final : public QRunnable {
public:
    explicit Task(Work work) : work_(std::move(work)) { handOver(this); }
    void run() override {
        takeOver(this);
        work_();
    }

private:
    Work work_;
};

} // namespace handoff_detail

// Runs `work` on one of the pool's threads; the hand-over is told to the sanitizer.
template <typename Work> void startOnPool(QThreadPool& pool, Work work) {
    pool.start(new handoff_detail::Task<Work>(std::move(work)));
}

// Calls from other threads, run in the thread this object lives in from its event loop, in the
// order they came, as queued calls are. They wait in a queue under a lock of this program's own
// and Qt only wakes the receiving thread. Calls still waiting when the object goes are dropped.
class CallQueue : public QObject {
    Q_OBJECT
public:
    explicit CallQueue(QObject* parent);
    // From any thread.
    void post(std::function<void()> call);

private:
    Q_INVOKABLE void runPending();

    std::mutex mutex_;
    std::deque<std::function<void()>> pending_;
};

} // namespace platform
