// Work handed to a QThreadPool. Qt hands a task to the pool's thread under its own locks, which
// ThreadSanitizer cannot see (Qt itself is not built with it); the hand-over is told to the
// sanitizer here as well, so that what the starting thread did before counts as done for the
// task. Without the sanitizer nothing is added.
#pragma once

#include <QRunnable>
#include <QThreadPool>
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

// Runs `work` on one of the pool's threads.
template <typename Work> void startOnPool(QThreadPool& pool, Work work) {
    pool.start(new handoff_detail::Task<Work>(std::move(work)));
}

} // namespace platform
