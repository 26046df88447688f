// The presenting tools shown over a window: a see-through child that covers the window below
// its bars, draws the open tools and takes the pen's presses on them. Presses on the page
// beside the curtain and the loupe pass to the window.
#pragma once

#include "presenting/model/presenting_model.h"

#include <QWidget>
#include <functional>

namespace presenting {

class PresentingLayer : public QWidget {
    Q_OBJECT
public:
    // The picture of the window without the tools, which the loupe enlarges.
    using Source = std::function<const QImage&()>;

    // Covers `host` from `top` down. With a `ceiling` (a bar of the host) the layer lies just
    // under it; without, it stays above every other child of the host (a floating picture
    // raised later included), which must then not reach above `top`.
    PresentingLayer(QWidget* host, PresentingModel& model, Source source, int top,
                    QWidget* ceiling = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint inHost(const QPointF& local) const { return local.toPoint() + pos(); }
    void followHost();
    void toolsChanged();
    void stackInPlace();
    void showChange(const QRect& dirty);

    QWidget* host_;
    PresentingModel& model_;
    Source source_;
    int top_;
    QWidget* ceiling_;
    // The loupe repainted for a change of the picture under it; the repaint of the host that
    // this brings is not another change.
    QRegion loupeRefresh_;
};

} // namespace presenting
