#include "presenting/model/presenting_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace presenting {

namespace {

// A drag must go this far before the shade decides which edge follows it.
constexpr int ShadeDecision = 4;

} // namespace

void PresentingModel::setArea(const QRect& area) {
    if (area == area_)
        return;
    area_ = area;
    if (shade_.curtain.isEmpty() || !area_.contains(shade_.curtain))
        shade_.curtain = area_;
    keepInside();
    if (anyOpen())
        emit changed(area_);
}

void PresentingModel::open(Tool tool) {
    if (isOpen(tool))
        return;
    open_[index(tool)] = true;
    switch (tool) {
    case Tool::Spotlight:
        spotlight_.centre = area_.center();
        spotlight_.radius =
            std::max(Spotlight::MinRadius, std::min(area_.width(), area_.height()) / 6);
        break;
    case Tool::Shade:
        shade_.curtain = area_;
        break;
    case Tool::Magnifier:
        magnifier_.centre = area_.center();
        break;
    }
    keepInside();
    emit toolsChanged();
    emit changed(tool == Tool::Spotlight ? area_ : extent(tool));
}

void PresentingModel::close(Tool tool) {
    if (!isOpen(tool))
        return;
    const QRect was = tool == Tool::Spotlight ? area_ : extent(tool);
    open_[index(tool)] = false;
    if (heldTool_ == tool)
        held_ = Grip::None;
    emit toolsChanged();
    emit changed(was);
}

QRect PresentingModel::extent(Tool tool) const {
    switch (tool) {
    case Tool::Spotlight:
        return spotlight_.circleBounds().adjusted(-2, -2, 2, 2) | spotlight_.closeMark(area_);
    case Tool::Shade:
        return shade_.curtain;
    case Tool::Magnifier:
        return magnifier_.bounds().adjusted(-3, -3, 3, 3) | magnifier_.closeMark(area_);
    }
    return {};
}

bool PresentingModel::press(QPoint p) {
    held_ = Grip::None;
    if (!area_.contains(p))
        return false;
    // The close marks are drawn over every tool, and taken first.
    for (Tool tool : {Tool::Magnifier, Tool::Spotlight, Tool::Shade}) {
        const QRect mark = tool == Tool::Magnifier   ? magnifier_.closeMark(area_)
                           : tool == Tool::Spotlight ? spotlight_.closeMark(area_)
                                                     : shade_.closeMark();
        if (isOpen(tool) && mark.contains(p)) {
            close(tool);
            return true;
        }
    }
    Grip grip = Grip::None;
    if (isOpen(Tool::Magnifier) && (grip = magnifier_.gripAt(p, area_)) != Grip::None)
        heldTool_ = Tool::Magnifier;
    else if (isOpen(Tool::Spotlight) && (grip = spotlight_.gripAt(p, area_)) != Grip::None &&
             !(grip == Grip::Move && !spotlight_.isClear(p) && isOpen(Tool::Shade) &&
               shade_.covers(p)))
        heldTool_ = Tool::Spotlight;
    else if (isOpen(Tool::Shade) && (grip = shade_.gripAt(p)) != Grip::None)
        heldTool_ = Tool::Shade;
    if (grip == Grip::None)
        return false;
    if (grip == Grip::Close) {
        close(heldTool_);
        return true;
    }
    held_ = grip;
    pressAt_ = p;
    shadeEdge_ = 0;
    curtainAtPress_ = shade_.curtain;
    if (heldTool_ == Tool::Spotlight && grip == Grip::Move && !spotlight_.isClear(p)) {
        // A press in the dark brings the circle to the pen.
        const QRect was = extent(Tool::Spotlight);
        spotlight_.centre = p;
        keepInside();
        emit changed(was | extent(Tool::Spotlight));
    }
    centreAtPress_ = heldTool_ == Tool::Magnifier ? magnifier_.centre : spotlight_.centre;
    return true;
}

void PresentingModel::move(QPoint p) {
    if (held_ == Grip::None)
        return;
    const QRect was = extent(heldTool_);
    const QPoint delta = p - pressAt_;
    switch (held_) {
    case Grip::Move:
        if (heldTool_ == Tool::Magnifier)
            magnifier_.centre = centreAtPress_ + delta;
        else
            spotlight_.centre = centreAtPress_ + delta;
        break;
    case Grip::Resize: {
        const QPoint d = p - spotlight_.centre;
        const double distance = std::hypot(double(d.x()), double(d.y()));
        spotlight_.radius = static_cast<int>(distance + 0.5);
        break;
    }
    case Grip::Edge:
        moveShadeEdge(p);
        break;
    case Grip::None:
    case Grip::Close:
        break;
    }
    keepInside();
    const QRect now = extent(heldTool_);
    if (now != was || heldTool_ != Tool::Shade)
        emit changed(was | now);
}

void PresentingModel::release() {
    held_ = Grip::None;
}

// Dragging down takes the curtain's top edge with the pen and shows the page from the top;
// up, left and right take the bottom, right and left edges. Going back covers it again.
void PresentingModel::moveShadeEdge(QPoint p) {
    const QPoint delta = p - pressAt_;
    if (shadeEdge_ == 0) {
        if (std::abs(delta.x()) < ShadeDecision && std::abs(delta.y()) < ShadeDecision)
            return;
        if (std::abs(delta.y()) >= std::abs(delta.x()))
            shadeEdge_ = delta.y() > 0 ? Qt::TopEdge : Qt::BottomEdge;
        else
            shadeEdge_ = delta.x() > 0 ? Qt::LeftEdge : Qt::RightEdge;
    }
    QRect c = curtainAtPress_;
    const QRect& a = area_;
    const int min = Shade::MinCurtain;
    switch (shadeEdge_) {
    case Qt::TopEdge:
        c.setTop(std::clamp(c.top() + delta.y(), a.top(), c.bottom() + 1 - min));
        break;
    case Qt::BottomEdge:
        c.setBottom(std::clamp(c.bottom() + delta.y(), c.top() - 1 + min, a.bottom()));
        break;
    case Qt::LeftEdge:
        c.setLeft(std::clamp(c.left() + delta.x(), a.left(), c.right() + 1 - min));
        break;
    case Qt::RightEdge:
        c.setRight(std::clamp(c.right() + delta.x(), c.left() - 1 + min, a.right()));
        break;
    default:
        break;
    }
    shade_.curtain = c;
}

// Every tool stays whole within the area where it fits, the spotlight's and the loupe's
// centres on it, and the curtain inside it.
void PresentingModel::keepInside() {
    if (area_.isEmpty())
        return;
    const int largest = std::max(Spotlight::MinRadius, std::min(area_.width(), area_.height()) / 2);
    spotlight_.radius = std::clamp(spotlight_.radius, Spotlight::MinRadius, largest);
    auto clampPoint = [this](QPoint c) {
        return QPoint(std::clamp(c.x(), area_.left(), area_.right()),
                      std::clamp(c.y(), area_.top(), area_.bottom()));
    };
    spotlight_.centre = clampPoint(spotlight_.centre);
    magnifier_.centre = clampPoint(magnifier_.centre);
    shade_.curtain = shade_.curtain.intersected(area_);
    if (shade_.curtain.width() < Shade::MinCurtain || shade_.curtain.height() < Shade::MinCurtain)
        shade_.curtain = area_;
}

QRegion PresentingModel::pressRegion() const {
    if (isOpen(Tool::Spotlight))
        return QRegion(area_);
    QRegion region;
    if (isOpen(Tool::Shade))
        region += shade_.curtain;
    if (isOpen(Tool::Magnifier)) {
        region += QRegion(magnifier_.bounds(), QRegion::Ellipse);
        region += magnifier_.closeMark(area_);
    }
    return region;
}

} // namespace presenting
