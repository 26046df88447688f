// The browser module: the web view behind platform::WebView, over the Qt browser engine.
// Every document is treated as untrusted (one from a stick, a download, a colleague's
// courseware): its pages see their own folder and nothing else of the teacher's files or of
// the network, ask for nothing, and keep nothing once the program ends.
#include "platform/widgets/web_view.h"
#include "platform/widgets/webview/document_folder.h"

#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

using platform::DocumentFolder;
using platform::isNetworkAddress;

namespace {

// One profile for every view, held in memory only: no cookies, cache or storage of a page
// are written into the teacher's home.
QWebEngineProfile* documentProfile() {
    static QWebEngineProfile* const profile = [] {
        auto* p = new QWebEngineProfile(QCoreApplication::instance()); // off the record
        QWebEngineSettings* s = p->settings();
        // Left on: turned off, the engine refuses a local page even the pictures and scripts
        // beside it. The folder guard below keeps each page to its own folder instead.
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, true); // courseware needs it
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
        // PDF documents are shown by the engine's own viewer, which it counts as a plugin; it
        // runs no other kind. Without it a PDF is offered as a download and the panel stays white.
        s->setAttribute(QWebEngineSettings::PluginsEnabled, true);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
        s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
        s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
        s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
        s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
        s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
        // A "mailto:" or any other address of a program of the desktop is not handed on.
        s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
        // A document the engine cannot show (a Flash movie, a slide show) would be offered
        // as a download; the board saves nothing behind the teacher's back.
        QObject::connect(p, &QWebEngineProfile::downloadRequested,
                         [](QWebEngineDownloadRequest* download) { download->cancel(); });
        return p;
    }();
    return profile;
}

// Refuses every request of a page that leaves its document's folder: files elsewhere, and
// any address on the network.
class FolderGuard final : public QWebEngineUrlRequestInterceptor {
public:
    FolderGuard(const DocumentFolder& folder, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), folder_(folder) {}
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (isNetworkAddress(url) || (url.isLocalFile() && !folder_.admits(url)))
            info.block(true);
    }

private:
    const DocumentFolder& folder_;
};

bool isWebPage(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

class DocumentPage final : public QWebEnginePage {
public:
    explicit DocumentPage(QObject* parent) : QWebEnginePage(documentProfile(), parent) {
        setUrlRequestInterceptor(new FolderGuard(folder, this));
        // Camera, microphone, location, notifications, screen capture: refused, unasked.
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl& origin, Feature feature) {
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
                });
        connect(this, &QWebEnginePage::fullScreenRequested,
                [](QWebEngineFullScreenRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::registerProtocolHandlerRequested,
                [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::fileSystemAccessRequested,
                [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
        // No pop-up windows: a link meant for one is followed as if it were meant for this
        // view, and only when the reader clicked it.
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    if (request.isUserInitiated())
                        followLink(request.requestedUrl());
                });
    }

    DocumentFolder folder;
    // Told of a link to the web that the reader followed.
    std::function<void(const QString& address)> webLinkHandler;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool) override {
        if (url.isLocalFile())
            return folder.admits(url);
        if (isNetworkAddress(url)) {
            if (type == NavigationTypeLinkClicked)
                handOnWebLink(url);
            return false;
        }
        return true; // an empty page, the engine's own pages and the PDF viewer
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

private:
    void followLink(const QUrl& url) {
        if (folder.admits(url))
            load(url);
        else if (isNetworkAddress(url))
            handOnWebLink(url);
    }
    // Later, not inside the engine's call: the handler may ask the teacher first.
    void handOnWebLink(const QUrl& url) {
        if (!isWebPage(url) || !webLinkHandler)
            return;
        QTimer::singleShot(0, this, [this, address = url.toString()] {
            if (webLinkHandler)
                webLinkHandler(address);
        });
    }
};

class QtWebView final : public platform::WebView {
public:
    explicit QtWebView(QWidget* parent)
        : view_(new QWebEngineView(parent)), page_(new DocumentPage(view_)) {
        view_->setPage(page_);
        // A new document starts a history of its own: the way back leads through the pages
        // of this document only.
        QObject::connect(page_, &QWebEnginePage::loadFinished, &context_, [this] {
            if (!startUrl_.isEmpty() && page_->url() == startUrl_) {
                page_->history()->clear();
                startUrl_.clear();
            }
            tellHistory();
        });
        QObject::connect(page_, &QWebEnginePage::urlChanged, &context_, [this] { tellHistory(); });
        // The engine draws in a child widget of its own that takes the focus, so the focus is
        // followed for the whole view.
        QObject::connect(qApp, &QApplication::focusChanged, &context_,
                         [this](QWidget* old, QWidget* now) {
                             const bool was = inside(old);
                             const bool is = inside(now);
                             if (was != is && focusHandler_)
                                 focusHandler_(is);
                         });
    }
    // The view's widget belongs to its parent and may outlive this object by a moment, in
    // which the focus still moves and the page still loads.
    ~QtWebView() override { page_->webLinkHandler = nullptr; }
    QtWebView(const QtWebView&) = delete;
    QtWebView& operator=(const QtWebView&) = delete;
    QWidget* widget() override { return view_; }
    void loadFile(const QString& path) override {
        page_->folder.setDocument(path);
        start(QUrl::fromLocalFile(page_->folder.document()));
    }
    void navigate(const QString& address) override {
        page_->folder.setDocument({});
        start(address.isEmpty() ? QUrl(QStringLiteral("about:blank"))
                                : QUrl::fromUserInput(address));
    }
    void setScriptsEnabled(bool enabled) override {
        page_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, enabled);
    }
    void setWebLinkHandler(std::function<void(const QString&)> handler) override {
        page_->webLinkHandler = std::move(handler);
    }
    void setBackHandler(std::function<void(bool)> handler) override {
        backHandler_ = std::move(handler);
    }
    void back() override { page_->triggerAction(QWebEnginePage::Back); }
    void setFocusHandler(std::function<void(bool)> handler) override {
        focusHandler_ = std::move(handler);
    }
    QImage pixels() override { return view_->grab().toImage(); }

private:
    bool inside(QWidget* w) const { return w != nullptr && (w == view_ || view_->isAncestorOf(w)); }
    void start(const QUrl& url) {
        startUrl_ = url;
        page_->load(url);
        tellHistory();
    }
    void tellHistory() {
        const bool canGoBack = startUrl_.isEmpty() && page_->history()->canGoBack();
        if (backHandler_)
            backHandler_(canGoBack);
    }

    QWebEngineView* view_; // owned by its parent widget
    DocumentPage* page_;   // owned by the view
    QUrl startUrl_;        // the document asked for, until it has loaded
    std::function<void(bool)> focusHandler_;
    std::function<void(bool)> backHandler_;
    QObject context_; // of the connections made above: gone first, which ends them
};

} // namespace

extern "C" Q_DECL_EXPORT platform::WebView* kv_create_web_view(QWidget* parent) {
    return new QtWebView(parent);
}
