#include "platform/widgets/webview/document_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

// A file's path with every link resolved, or the cleaned path when the file does not exist
// (such a file can be admitted or not without harm: there is nothing to read).
QString realPath(const QString& path) {
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : real;
}

} // namespace

void DocumentFolder::setDocument(const QString& path) {
    if (path.isEmpty()) {
        folder_.clear();
        document_.clear();
        return;
    }
    document_ = realPath(path);
    folder_ = QFileInfo(document_).absolutePath();
    if (!folder_.endsWith(QLatin1Char('/')))
        folder_ += QLatin1Char('/');
}

bool DocumentFolder::admits(const QUrl& url) const {
    if (folder_.isEmpty() || !url.isLocalFile())
        return false;
    const QString path = realPath(url.toLocalFile());
    if (!path.startsWith(folder_))
        return false;
    const QStringList below = path.mid(folder_.size()).split(QLatin1Char('/'));
    return std::none_of(below.begin(), below.end(),
                        [](const QString& name) { return name.startsWith(QLatin1Char('.')); });
}

bool isNetworkAddress(const QUrl& url) {
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"),
                                        QStringLiteral("ws"), QStringLiteral("wss"),
                                        QStringLiteral("ftp")};
    return schemes.contains(url.scheme(), Qt::CaseInsensitive);
}

} // namespace platform
