// The base of every window of the program: a tag, modal showing, and handlers that never
// let an exception reach Qt.
#pragma once

#include "platform/widgets/controls.h"

#include <QWidget>
#include <exception>

class QEventLoop;

namespace platform {

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // What the window is used for at the moment; each window gives it its own meaning.
    int Tag = 0;

    // Shows the window modal to the whole program and returns when it is hidden again.
    void ShowModal();
    bool isModalShowing() const { return modalLoop_ != nullptr; }
    // Hides the window for the length of a long command without ending ShowModal: comeBack
    // shows it again as it was, endModal returns from ShowModal with the window left hidden.
    void stepAside();
    void comeBack();
    void endModal();
    bool steppedAside() const { return steppedAside_; }

    // Runs a handler; an unexpected error ends that handler with an error box and the
    // program goes on.
    template <typename F> void guarded(F&& handler) noexcept {
        try {
            handler();
        } catch (const std::exception& e) {
            reportError(e.what());
        } catch (...) {
            reportError(nullptr);
        }
    }

    // Connects a button's click to a handler of the window, guarded.
    template <typename W> void onClick(QAbstractButton* button, void (W::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                [this, handler] { guarded([&] { (static_cast<W*>(this)->*handler)(); }); });
    }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void reportError(const char* what) noexcept;
    QEventLoop* modalLoop_ = nullptr;
    bool steppedAside_ = false;
};

} // namespace platform
