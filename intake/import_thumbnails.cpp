#include "intake/import_thumbnails.h"

#include "intake/picture_conversion.h"

#include <algorithm>

std::optional<QImage> MakeImportThumbnail(const QString& path, const QString& programFolder) {
    QSize full;
    // The geometry is worked out from the picture's own size; only the pixels drawn into it
    // come from the smaller decode.
    const std::optional<CapturedPicture> picture = CapturedPicture::openReduced(path, 100, full);
    if (!picture)
        return std::nullopt;
    ConversionRequest request = importThumbnailRequest(full, programFolder);
    request.source = {0, 0, static_cast<float>(picture->size().width()),
                      static_cast<float>(picture->size().height())};
    request.clearBands = true;
    return ConvertPicture(*picture, request);
}

ThumbnailQueue::ThumbnailQueue(QStringList paths, QString programFolder, int ahead)
    : paths_(std::move(paths)), programFolder_(std::move(programFolder)),
      ahead_(std::max(1, ahead)) {
    startMore();
}

ThumbnailQueue::~ThumbnailQueue() {
    for (auto& f : pending_)
        f.wait();
}

std::optional<QImage> ThumbnailQueue::takeNext() {
    std::optional<QImage> thumbnail = pending_.front().get();
    pending_.pop_front();
    ++taken_;
    startMore();
    return thumbnail;
}

void ThumbnailQueue::startMore() {
    while (static_cast<int>(pending_.size()) < ahead_ && started_ < paths_.size()) {
        pending_.push_back(
            std::async(std::launch::async, [path = paths_[started_], folder = programFolder_] {
                return MakeImportThumbnail(path, folder);
            }));
        ++started_;
    }
}
