// Events of one control handed to a function of the window that owns it, for the few events
// (a resize, a release, a press inside an editor) that a control has no signal for.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

class EventHook : public QObject {
public:
    // `handler` sees every event of `watched` first; true keeps the event from the control.
    EventHook(QObject* watched, std::function<bool(QEvent*)> handler)
        : QObject(watched), handler_(std::move(handler)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return handler_(event); }

private:
    std::function<bool(QEvent*)> handler_;
};
