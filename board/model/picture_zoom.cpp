#include "board/model/picture_zoom.h"

std::optional<QImage> PictureZoom::step(const QImage& shown, ZoomDirection direction,
                                        const Request& request) {
    if (!source_) {
        source_ = CapturedPicture::fromBitmap(shown);
        if (!source_)
            return std::nullopt;
    }
    const float factor =
        direction == ZoomDirection::Enlarge ? zoomedIn(factor_) : zoomedOut(factor_);
    std::optional<QImage> result = ConvertPicture(*source_, request(source_->size(), factor));
    if (result)
        factor_ = factor;
    return result;
}
