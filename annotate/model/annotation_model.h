// The annotation overlay's own state as a model, on the drawing layer the whiteboard uses too:
// the tool, the pen, the stroke, the floating selection and its zoom, and the picture before
// the last change (one level of undo). The overlay shows it and changes it through it; it says
// what changed through its signals and knows no window. The annotated picture itself is the
// board model's ScratchBitmap.
#pragma once

#include "board/model/floating_picture.h"
#include "board/model/picture_zoom.h"
#include "board/model/stroke.h"
#include "platform/raster/tcolor.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

// The overlay's own tools, numbered apart from the whiteboard's.
enum OverlayTools { OverlayPen = 0, OverlayRange = 1, OverlayEraser = 2, OverlayLine = 3 };

class AnnotationModel : public QObject {
    Q_OBJECT
public:
    // What every repaint or commit around a stroke box or the floating picture adds on each
    // side.
    static constexpr int RepaintMargin = 10;
    static constexpr TColor PenOrange = 33023; // the pen colour at start
    static constexpr int StartPenWidth = 3;

    int overlayTool() const { return OverlayTool; }
    // A drawing tool takes the place of a floating selection, which is thrown away; the range
    // tool keeps it.
    void armTool(int tool);

    int penWidth() const { return penWidth_; }
    // Held to 1..9 (clampPenWidth); says so only when the width changes.
    void setPenWidth(int width);
    TColor penColour() const { return penColour_; }
    void setPenColour(TColor colour);

    // The press point (also where a press on the floating picture took it), the box of the
    // stroke, and where the last release was.
    QPoint anchor() const { return OverlayStrokeBox.anchor; }
    QPoint end() const { return OverlayEnd; }
    void beginStroke(QPoint at);
    void extendStroke(QPoint to);
    void endStroke(QPoint at) { OverlayEnd = at; }
    // A press on the floating picture at `at`, in the picture's own coordinates.
    void grabFloating(QPoint at) { OverlayStrokeBox.anchor = at; }
    // The range that the small bar's clear takes back, when it is not the last stroke's.
    void markRange(QPoint anchor, QPoint end);
    // The stroke box widened by RepaintMargin: what a repaint or a commit of the stroke covers.
    TRect strokeRegion() const { return OverlayStrokeBox.region(RepaintMargin); }
    // The range between the last press and the last release.
    TRect lastRange() const;

    // The floating selection: what it shows and where, kept when it is hidden.
    const FloatingPicture& floating() const { return floating_; }
    bool selectionMade() const { return OverlaySelectionState == 1; }
    // A range was selected: `picture` floats at `bounds`, with a fresh zoom.
    void select(const QImage& picture, const QRect& bounds);
    void moveFloating(QPoint topLeft);
    void hideFloating();
    // Hides the floating picture when the range tool is armed (the picture belongs to it).
    void discardFloating();
    // The selection is gone (sent to the whiteboard): hidden and no longer selected.
    void endSelection();
    // The floating picture's box widened by RepaintMargin.
    TRect floatingRegion() const;
    // One zoom step of the floating picture, always scaled from the picture as it was selected,
    // kept on a screen of `screen`. False when there is nothing to scale or the result would
    // be too large or too small: the picture and its factor stay as they were.
    bool zoomStep(ZoomDirection direction, QSize screen, const QString& programFolder);
    const PictureZoom& zoom() const { return OverlayZoom; }

    // The picture before the last committed change.
    const QImage& undoPicture() const { return OverlayUndoBitmap; }
    void keepUndo(const QImage& picture) { OverlayUndoBitmap = picture; }
    // `area` of `from` goes into the undo picture too.
    void copyIntoUndo(const QImage& from, const TRect& area);

signals:
    void toolChanged();
    void penWidthChanged(int width);
    void penColourChanged(TColor colour);
    void floatingChanged();

private:
    int OverlayTool = OverlayPen;
    // 1 while a selected range is the overlay's (from the release that made it until a drawing
    // tool is armed or it is sent to the whiteboard).
    int OverlaySelectionState = 0;
    int penWidth_ = StartPenWidth;
    TColor penColour_ = PenOrange;
    StrokeBox OverlayStrokeBox;
    QPoint OverlayEnd;
    FloatingPicture floating_;
    PictureZoom OverlayZoom;
    QImage OverlayUndoBitmap;
};
