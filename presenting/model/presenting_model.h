// The presenting tools over one window: which are open, where each one is, and the pen's drag
// that moves, resizes or closes them. Views only: nothing here touches a page.
#pragma once

#include "presenting/model/tool_shapes.h"

#include <QObject>
#include <QRect>
#include <QRegion>

namespace presenting {

enum class Tool { Spotlight, Shade, Magnifier };

class PresentingModel : public QObject {
    Q_OBJECT
public:
    explicit PresentingModel(QObject* parent = nullptr) : QObject(parent) {}

    // The part of the window the tools cover and stay within.
    const QRect& area() const { return area_; }
    void setArea(const QRect& area);

    bool isOpen(Tool tool) const { return open_[index(tool)]; }
    bool anyOpen() const { return open_[0] || open_[1] || open_[2]; }
    // Opening puts the tool in the middle of the area, whole; opening an open tool leaves it.
    void open(Tool tool);
    void close(Tool tool);

    const Spotlight& spotlight() const { return spotlight_; }
    const Shade& shade() const { return shade_; }
    const Magnifier& magnifier() const { return magnifier_; }

    // The pen on the tools: a press takes hold of the topmost tool under it (the loupe, the
    // spotlight, the shade) and returns false when none is there; moves drag what it holds;
    // the release lets go. A press on a close mark closes that tool.
    bool press(QPoint p);
    void move(QPoint p);
    void release();
    bool dragging() const { return held_ != Grip::None; }

    // Where the tools take the pen's presses: the whole area while the spotlight is open
    // (everything is its), else the curtain and the loupe. Presses elsewhere reach the page.
    QRegion pressRegion() const;

signals:
    // A part of the area shows differently.
    void changed(const QRect& dirty);
    // A tool was opened or closed.
    void toolsChanged();

private:
    static int index(Tool tool) { return static_cast<int>(tool); }
    // What a tool shows on, close mark included.
    QRect extent(Tool tool) const;
    void moveShadeEdge(QPoint p);
    void keepInside();

    QRect area_;
    bool open_[3] = {false, false, false};
    Spotlight spotlight_;
    Shade shade_;
    Magnifier magnifier_;

    // The drag: what it holds, where it began, and how the tool was then.
    Tool heldTool_ = Tool::Spotlight;
    Grip held_ = Grip::None;
    QPoint pressAt_;
    QPoint centreAtPress_;
    QRect curtainAtPress_;
    // The curtain's edge the drag moves, chosen by its first clear direction: 0 none yet,
    // else the edge as Qt::Edge.
    int shadeEdge_ = 0;
};

} // namespace presenting
