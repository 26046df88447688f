// Thumbnails of imported picture files, made on worker threads and handed over in file order,
// so that the import window can show each one, with its progress, as soon as it is its turn.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <deque>
#include <future>
#include <optional>

// The 100 x 100 thumbnail of a picture file, fitted and centred between transparent bands, which
// show the background of the list it is drawn in; nothing when the file cannot be decoded.
std::optional<QImage> MakeImportThumbnail(const QString& path, const QString& programFolder);

class ThumbnailQueue {
public:
    // Starts on the first files at once; `ahead` files are in work at most, so a folder of
    // large photographs never holds more than that many decoded.
    ThumbnailQueue(QStringList paths, QString programFolder, int ahead = 3);
    // Waits for the files still in work.
    ~ThumbnailQueue();
    ThumbnailQueue(const ThumbnailQueue&) = delete;
    ThumbnailQueue& operator=(const ThumbnailQueue&) = delete;

    bool atEnd() const { return pending_.empty(); }
    // The next file's thumbnail, in the list's order; its path is nextPath() before the call.
    QString nextPath() const { return paths_[taken_]; }
    std::optional<QImage> takeNext();

private:
    void startMore();

    QStringList paths_;
    QString programFolder_;
    int ahead_;
    int started_ = 0;
    int taken_ = 0;
    std::deque<std::future<std::optional<QImage>>> pending_;
};
