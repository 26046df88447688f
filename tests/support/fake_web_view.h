// A stand-in for the browser module: a plain widget that records what it was asked to show.
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

private:
    QWidget* widget_; // owned by its parent
    QStringList* loads_;
};

// Puts fake views in place of the browser module while it lives.
class FakeWebViews {
public:
    int made = 0;
    QStringList loads;

    FakeWebViews() {
        platform::installWebViewFactory([this](QWidget* parent) {
            ++made;
            return std::make_unique<FakeWebView>(parent, &loads);
        });
    }
    ~FakeWebViews() { platform::installWebViewFactory({}); }
    FakeWebViews(const FakeWebViews&) = delete;
    FakeWebViews& operator=(const FakeWebViews&) = delete;
};
