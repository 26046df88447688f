#include "platform/widgets/web_view.h"

#include "platform/os/services.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QOpenGLContext>
#include <QWidget>

// Qt's own hook for the context that all drawing contexts of the program share.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace platform {

namespace {

// The browser engine draws through a context shared with the program's. Qt makes that context
// at start when asked to, which costs every run tens of megabytes for a browser that most
// lessons never open; it is made here instead, when the first view is.
void ensureSharedContext() {
    if (QOpenGLContext::globalShareContext() != nullptr)
        return;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    if (context->create())
        qt_gl_set_global_share_context(context);
}

WebViewFactory& installedFactory() {
    static WebViewFactory factory;
    return factory;
}

// The desktop's browser shows the web; the teacher is asked first, as a page may offer any
// address under any text.
void openWebLink(QWidget* parent, const QString& address) {
    const QString question = QStringLiteral("在浏览器中打开这个网址吗？\n%1").arg(address);
    if (dialogs().askYesNo(parent->window(), question, ConfirmTitle) == Answer::Yes)
        processes().openDocument(address); // an address that cannot be opened is ignored
}

std::unique_ptr<WebView> withWebLinks(std::unique_ptr<WebView> view, QWidget* parent) {
    if (view)
        view->setWebLinkHandler([parent](const QString& address) { openWebLink(parent, address); });
    return view;
}

} // namespace

void installWebViewFactory(WebViewFactory factory) {
    installedFactory() = std::move(factory);
}

std::unique_ptr<WebView> createWebView(QWidget* parent) {
    if (installedFactory())
        return withWebLinks(installedFactory()(parent), parent);
    ensureSharedContext();
    // Loaded once and kept for the life of the program: views made by it outlive this call.
    static QLibrary module(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/libkv_webview.so"));
    using Factory = WebView* (*)(QWidget*);
    const auto create = reinterpret_cast<Factory>(module.resolve("kv_create_web_view"));
    if (create == nullptr)
        return nullptr;
    return withWebLinks(std::unique_ptr<WebView>(create(parent)), parent);
}

} // namespace platform
