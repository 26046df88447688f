// The one instance of a window class, reached as a pointer and made when first used: a window
// the teacher never opens costs nothing at start.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>

namespace platform {

template <typename T> class SingleWindow {
public:
    // How the window is made. It is made at its first use; its FormCreate, when it has one,
    // runs right after, with the window reachable through this accessor already.
    // `made` then runs, for what others hand the new window.
    void setMaker(std::function<T*()> make, std::function<void(T&)> made = {}) {
        make_ = std::move(make);
        made_ = std::move(made);
    }

    // The window, made now if it was not yet. Null once the program's windows are being
    // taken down, or when no maker was given.
    T* get() {
        if (instance_ == nullptr && make_) {
            // Taken first: a window reached again while it is being made is not made twice.
            const std::function<T*()> make = std::exchange(make_, {});
            instance_ = make();
            if constexpr (requires(T & w) { w.FormCreate(); })
                instance_->FormCreate();
            if (made_)
                std::exchange(made_, {})(*instance_);
        }
        return instance_;
    }
    // The window if it was made, else null: for what only concerns a window already there.
    T* made() const { return instance_; }
    // Whether the window was made and is shown.
    bool visible() const { return instance_ != nullptr && instance_->isVisible(); }

    T* operator->() { return get(); }
    T& operator*() { return *get(); }
    operator T*() { return get(); }
    // Comparing with null would make the window: ask made() instead.
    bool operator==(std::nullptr_t) const = delete;

    // A window made elsewhere (a test's own) becomes the instance; null forgets it.
    SingleWindow& operator=(T* window) {
        instance_ = window;
        return *this;
    }

    // No window is made from now on: the program is ending.
    void stopMaking() {
        make_ = {};
        made_ = {};
    }
    // Destroys the window, if it was made.
    void destroy() {
        stopMaking();
        delete instance_; // reachable while its destructor runs, as it was made
        instance_ = nullptr;
    }

private:
    T* instance_ = nullptr;
    std::function<T*()> make_;
    std::function<void(T&)> made_;
};

} // namespace platform
