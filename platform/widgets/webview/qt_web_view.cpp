// The browser module: the web view behind platform::WebView, over the Qt browser engine.
#include "platform/widgets/web_view.h"

#include <QApplication>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

class QtWebView final : public platform::WebView {
public:
    explicit QtWebView(QWidget* parent) : view_(new QWebEngineView(parent)) {
        // PDF documents are shown by the engine's own viewer, which it counts as a plugin (the
        // engine runs no others); without it a PDF is offered as a download.
        view_->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
        view_->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
        // A document the engine cannot show (a Flash movie, a slide show) would be offered as
        // a download; the board saves nothing behind the teacher's back.
        QObject::connect(view_->page()->profile(), &QWebEngineProfile::downloadRequested, view_,
                         [](QWebEngineDownloadRequest* download) { download->cancel(); });
        // The engine draws in a child widget of its own that takes the focus, so the focus is
        // followed for the whole view.
        focusWatch_ = QObject::connect(qApp, &QApplication::focusChanged, view_,
                                       [this](QWidget* old, QWidget* now) {
                                           const bool was = inside(old);
                                           const bool is = inside(now);
                                           if (was != is && focusHandler_)
                                               focusHandler_(is);
                                       });
    }
    // The view's widget belongs to its parent and may outlive this object by a moment, in
    // which the focus still moves.
    ~QtWebView() override { QObject::disconnect(focusWatch_); }
    QtWebView(const QtWebView&) = delete;
    QtWebView& operator=(const QtWebView&) = delete;
    QWidget* widget() override { return view_; }
    void loadFile(const QString& path) override { view_->load(QUrl::fromLocalFile(path)); }
    void navigate(const QString& address) override {
        view_->load(address.isEmpty() ? QUrl(QStringLiteral("about:blank"))
                                      : QUrl::fromUserInput(address));
    }
    void setFocusHandler(std::function<void(bool)> handler) override {
        focusHandler_ = std::move(handler);
    }
    QImage pixels() override { return view_->grab().toImage(); }

private:
    bool inside(QWidget* w) const { return w != nullptr && (w == view_ || view_->isAncestorOf(w)); }

    QWebEngineView* view_; // owned by its parent widget
    std::function<void(bool)> focusHandler_;
    QMetaObject::Connection focusWatch_;
};

} // namespace

extern "C" Q_DECL_EXPORT platform::WebView* kv_create_web_view(QWidget* parent) {
    return new QtWebView(parent);
}
