// What of the local file system a document's pages may load: what lies in the document's own
// folder or below it (its pictures, styles, scripts and the pages it links to), and nothing
// else. A document from a stick or a download must not read the teacher's other files.
#pragma once

#include <QString>

class QUrl;

namespace platform {

class DocumentFolder {
public:
    // The folder of the document at `path`, taken where the file really lies; an empty path
    // (an empty page) admits no file at all.
    void setDocument(const QString& path);
    // Whether a page of the document may load `url`: only files, and only those that really
    // lie in the folder or below it, outside hidden folders (a document kept in the home
    // folder does not reach ~/.ssh). A link in the folder counts where it points.
    bool admits(const QUrl& url) const;
    // The document's path as the engine should load it: where it really lies.
    QString document() const { return document_; }

private:
    QString folder_;   // ends with a slash; empty when no file is admitted
    QString document_; // the document itself, links resolved
};

// Whether `url` names something on the network, which no local page may reach.
bool isNetworkAddress(const QUrl& url);

} // namespace platform
