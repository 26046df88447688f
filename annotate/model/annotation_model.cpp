#include "annotate/model/annotation_model.h"

#include "board/model/pen_rules.h"
#include "platform/raster/canvas.h"

#include <algorithm>

void AnnotationModel::armTool(int tool) {
    if (tool != OverlayRange) {
        discardFloating();
        OverlaySelectionState = 0;
    }
    OverlayTool = tool;
    emit toolChanged();
}

void AnnotationModel::setPenWidth(int width) {
    width = clampPenWidth(width);
    if (width == penWidth_)
        return;
    penWidth_ = width;
    emit penWidthChanged(width);
}

void AnnotationModel::setPenColour(TColor colour) {
    penColour_ = colour;
    emit penColourChanged(colour);
}

void AnnotationModel::beginStroke(QPoint at) {
    OverlayStrokeBox.begin(at);
}

void AnnotationModel::extendStroke(QPoint to) {
    OverlayStrokeBox.extend(to);
}

void AnnotationModel::markRange(QPoint anchor, QPoint end) {
    OverlayStrokeBox.anchor = anchor;
    OverlayEnd = end;
}

TRect AnnotationModel::lastRange() const {
    const QPoint a = anchor();
    const QPoint e = OverlayEnd;
    return {std::min(a.x(), e.x()), std::min(a.y(), e.y()), std::max(a.x(), e.x()),
            std::max(a.y(), e.y())};
}

void AnnotationModel::select(const QImage& picture, const QRect& bounds) {
    OverlayZoom.restart();
    OverlaySelectionState = 1;
    floating_ = {picture, bounds, true};
    emit floatingChanged();
}

void AnnotationModel::moveFloating(QPoint topLeft) {
    floating_.bounds.moveTopLeft(topLeft);
    emit floatingChanged();
}

void AnnotationModel::hideFloating() {
    if (!floating_.shown)
        return;
    floating_.shown = false;
    emit floatingChanged();
}

void AnnotationModel::discardFloating() {
    if (OverlayTool == OverlayRange)
        hideFloating();
}

void AnnotationModel::endSelection() {
    hideFloating();
    OverlaySelectionState = 0;
}

TRect AnnotationModel::floatingRegion() const {
    return TRect::fromQRect(floating_.bounds).inflated(RepaintMargin);
}

bool AnnotationModel::zoomStep(ZoomDirection direction, QSize screen,
                               const QString& programFolder) {
    const std::optional<QImage> result =
        OverlayZoom.step(floating_.picture, direction, [&](QSize source, float factor) {
            return overlayZoomRequest(source, factor, direction, programFolder);
        });
    if (!result)
        return false;
    const QPoint at = keptOnScreen(floating_.bounds.topLeft(), result->size(), screen, direction);
    floating_.picture = *result;
    floating_.bounds = QRect(at, result->size());
    emit floatingChanged();
    return true;
}

void AnnotationModel::copyIntoUndo(const QImage& from, const TRect& area) {
    platform::Canvas(OverlayUndoBitmap).copyRect(from, area);
}
