// The zoom of a floating picture, the same on the board and on the annotation overlay: every
// step scales the picture as it was before the first step, so that repeated steps never blur
// it further.
#pragma once

#include "intake/picture_conversion.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <functional>
#include <optional>

class PictureZoom {
public:
    explicit PictureZoom(float factor = 1.0f) : factor_(factor) {}

    float factor() const { return factor_; }
    // The picture the steps scale from is held, from the first step on.
    bool holdsSource() const { return source_.has_value(); }

    // A new picture floats: the source is let go and the factor starts again.
    void restart(float factor = 1.0f) {
        source_.reset();
        factor_ = factor;
    }
    void releaseSource() { source_.reset(); }

    // How a step's conversion is asked for, from the source's size and the factor it brings.
    using Request = std::function<ConversionRequest(QSize source, float factor)>;

    // One step of the picture `shown`, taken as the source when none is held yet: the scaled
    // picture, the factor then stepped. Nothing, with the factor as it was, for an empty
    // picture or a result too large or too small to make.
    std::optional<QImage> step(const QImage& shown, ZoomDirection direction,
                               const Request& request);

private:
    std::optional<CapturedPicture> source_;
    float factor_;
};
