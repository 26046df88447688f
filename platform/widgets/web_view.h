// A web browser view for documents (the help, documents on the text panel). The browser engine
// is large and starts a drawing context of its own, so it lives in a module of its own that is
// loaded the first time a view is needed; the program starts without it.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace platform {

class WebView {
public:
    virtual ~WebView() = default;
    // The view's widget, a child of the parent it was made for.
    virtual QWidget* widget() = 0;
    // Shows a local file, or what the engine shows for a missing one.
    virtual void loadFile(const QString& path) = 0;
    // Shows an address; an empty one shows an empty page.
    virtual void navigate(const QString& address) = 0;
    // Told true when the focus enters the view (or anything inside it) and false when it
    // leaves.
    virtual void setFocusHandler(std::function<void(bool focused)> handler) = 0;
    // What the view shows, at its own size.
    virtual QImage pixels() = 0;
};

// A view inside `parent`; nothing when the browser module is missing or broken, which leaves
// the place empty.
std::unique_ptr<WebView> createWebView(QWidget* parent);

// Tests put a stand-in in place of the browser module; an empty function restores the module.
using WebViewFactory = std::function<std::unique_ptr<WebView>(QWidget* parent)>;
void installWebViewFactory(WebViewFactory factory);

} // namespace platform

// What the browser module exports.
extern "C" platform::WebView* kv_create_web_view(QWidget* parent);
