#include "platform/os/handoff.h"

namespace platform {

CallQueue::CallQueue(QObject* parent) : QObject(parent) {}

void CallQueue::post(std::function<void()> call) {
    {
        const std::lock_guard lock(mutex_);
        pending_.push_back(std::move(call));
    }
    // By name: nothing of the call passes through Qt's event, only the wake-up.
    QMetaObject::invokeMethod(this, "runPending", Qt::QueuedConnection);
}

void CallQueue::runPending() {
    std::deque<std::function<void()>> calls;
    {
        const std::lock_guard lock(mutex_);
        calls.swap(pending_);
    }
    for (std::function<void()>& call : calls)
        call();
}

} // namespace platform
