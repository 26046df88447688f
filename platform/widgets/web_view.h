// A web browser view for documents (the help, documents on the text panel). The browser engine
// is large and starts a drawing context of its own, so it lives in a module of its own that is
// loaded the first time a view is needed; the program starts without it.
//
// Every document is untrusted: its pages may load what lies in the document's own folder and
// nothing else, reach no network address, open no window, save nothing and are refused every
// permission they ask for. A link to the web is offered to the desktop's own browser instead.
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
    // Shows a local file, or what the engine shows for a missing one. Its pages may load
    // what lies in its folder; the way back starts afresh.
    virtual void loadFile(const QString& path) = 0;
    // Shows an address of the engine's own (an empty one shows an empty page); never one of
    // the web.
    virtual void navigate(const QString& address) = 0;
    // Scripts of the pages shown from now on run, or not; they run unless told otherwise.
    virtual void setScriptsEnabled(bool enabled) = 0;
    // Told the address of a link to the web (http or https) that the reader followed; the
    // view itself never shows it. createWebView sets one that asks and then opens the address
    // in the desktop's browser.
    virtual void setWebLinkHandler(std::function<void(const QString& address)> handler) = 0;
    // Told, whenever it may have changed, whether there is a page of the document to go back
    // to (one the reader left by a link).
    virtual void setBackHandler(std::function<void(bool canGoBack)> handler) = 0;
    // Back to the page shown before.
    virtual void back() = 0;
    // Told true when the focus enters the view (or anything inside it) and false when it
    // leaves.
    virtual void setFocusHandler(std::function<void(bool focused)> handler) = 0;
    // What the view shows, at its own size.
    virtual QImage pixels() = 0;
};

// A view inside `parent`; nothing when the browser module is missing or broken, which leaves
// the place empty. A link to the web followed in it asks the teacher, over `parent`'s window,
// and opens the address in the desktop's browser when they agree.
std::unique_ptr<WebView> createWebView(QWidget* parent);

// Tests put a stand-in in place of the browser module; an empty function restores the module.
using WebViewFactory = std::function<std::unique_ptr<WebView>(QWidget* parent)>;
void installWebViewFactory(WebViewFactory factory);

} // namespace platform

// What the browser module exports.
extern "C" platform::WebView* kv_create_web_view(QWidget* parent);
