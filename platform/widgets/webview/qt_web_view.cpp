// The browser module: the web view behind platform::WebView, over the Qt browser engine.
#include "platform/widgets/web_view.h"

#include <QUrl>
#include <QWebEngineView>

namespace {

class QtWebView final : public platform::WebView {
public:
    explicit QtWebView(QWidget* parent) : view_(new QWebEngineView(parent)) {}
    QWidget* widget() override { return view_; }
    void loadFile(const QString& path) override { view_->load(QUrl::fromLocalFile(path)); }

private:
    QWebEngineView* view_; // owned by its parent widget
};

} // namespace

extern "C" Q_DECL_EXPORT platform::WebView* kv_create_web_view(QWidget* parent) {
    return new QtWebView(parent);
}
