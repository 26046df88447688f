// A stand-in for the browser module: a plain widget that records what it was asked to show and
// shows one colour.
#pragma once

#include "platform/widgets/web_view.h"

#include <QStringList>
#include <QWidget>

class FakeWebView final : public platform::WebView {
public:
    FakeWebView(QWidget* parent, QStringList* loads)
        : widget_(new QWidget(parent)), loads_(loads) {}
    QWidget* widget() override { return widget_; }
    void loadFile(const QString& path) override { loads_->append(path); }
    // Recorded as "navigate:" and the address.
    void navigate(const QString& address) override {
        loads_->append(QStringLiteral("navigate:") + address);
    }
    void setScriptsEnabled(bool enabled) override { scripts = enabled; }
    void setWebLinkHandler(std::function<void(const QString&)> handler) override {
        webLinkHandler = std::move(handler);
    }
    void setBackHandler(std::function<void(bool)> handler) override {
        backHandler = std::move(handler);
    }
    // Recorded as "back".
    void back() override { loads_->append(QStringLiteral("back")); }
    void setFocusHandler(std::function<void(bool)> handler) override {
        focusHandler = std::move(handler);
    }
    QImage pixels() override {
        QImage picture(widget_->size(), QImage::Format_RGB32);
        picture.fill(Colour);
        return picture;
    }

    // What the view shows: one colour.
    static constexpr QRgb Colour = 0xFF123456;
    bool scripts = true;
    std::function<void(const QString&)> webLinkHandler;
    std::function<void(bool)> backHandler;
    std::function<void(bool)> focusHandler;

private:
    QWidget* widget_; // owned by its parent
    QStringList* loads_;
};

// Puts fake views in place of the browser module while it lives.
class FakeWebViews {
public:
    int made = 0;
    QStringList loads;
    FakeWebView* last = nullptr;

    FakeWebViews() {
        platform::installWebViewFactory([this](QWidget* parent) {
            ++made;
            auto view = std::make_unique<FakeWebView>(parent, &loads);
            last = view.get();
            return view;
        });
    }
    ~FakeWebViews() { platform::installWebViewFactory({}); }
    FakeWebViews(const FakeWebViews&) = delete;
    FakeWebViews& operator=(const FakeWebViews&) = delete;
};
