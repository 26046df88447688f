#include "external/ani/practice_grid.h"

#include "external/ani/practice_line.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

const QColor PracticeGrid::ModelColour(200, 200, 200);
const QColor PracticeGrid::InkColour(20, 20, 20);
const QColor PracticeGrid::BorderColour(190, 30, 30);

namespace {

const QColor CellColour(255, 255, 255);
const QColor CurrentCellColour(255, 248, 220);
const QColor GuideColour(230, 150, 150);

} // namespace

PracticeGrid::PracticeGrid(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void PracticeGrid::setLine(const QString& line) {
    finishStroke();
    characters_ = practiceCharacters(line);
    strokes_.clear();
    current_ = 0;
    first_ = 0;
    update();
}

void PracticeGrid::setCells(int cell, int visibleCells) {
    cell_ = std::max(1, cell);
    visible_ = std::max(1, visibleCells);
    makeVisible(current_);
    update();
}

int PracticeGrid::cellCount() const {
    return std::max(static_cast<int>(characters_.size()), visible_);
}

void PracticeGrid::previous() {
    if (current_ == 0)
        return;
    finishStroke();
    --current_;
    makeVisible(current_);
    update();
}

void PracticeGrid::next() {
    if (current_ + 1 >= cellCount())
        return;
    finishStroke();
    ++current_;
    makeVisible(current_);
    update();
}

void PracticeGrid::rewrite() {
    if (drawing_ && strokeCell_ == current_) {
        drawing_ = false;
        stroke_.clear();
    }
    strokes_.erase(current_);
    updateCell(current_);
}

void PracticeGrid::finishStroke() {
    if (!drawing_)
        return;
    drawing_ = false;
    if (!stroke_.isEmpty())
        strokes_[strokeCell_].push_back(stroke_);
    stroke_.clear();
    updateCell(strokeCell_);
}

std::vector<QPolygonF> PracticeGrid::strokes(int index) const {
    const auto found = strokes_.find(index);
    return found == strokes_.end() ? std::vector<QPolygonF>{} : found->second;
}

QRect PracticeGrid::cellRect(int slot) const {
    return QRect(slot * cell_, 0, cell_, cell_);
}

int PracticeGrid::cellAt(QPoint point) const {
    if (point.x() < 0 || point.y() < 0 || point.y() >= cell_)
        return -1;
    const int slot = point.x() / cell_;
    const int index = first_ + slot;
    return slot < visible_ && index < cellCount() ? index : -1;
}

QPointF PracticeGrid::inCell(QPointF point, int index) const {
    const QRect rect = cellRect(index - first_);
    return {(point.x() - rect.left()) / cell_, (point.y() - rect.top()) / cell_};
}

void PracticeGrid::makeVisible(int index) {
    if (index < first_)
        first_ = index;
    else if (index >= first_ + visible_)
        first_ = index - visible_ + 1;
    first_ = std::clamp(first_, 0, std::max(0, cellCount() - visible_));
}

void PracticeGrid::updateCell(int index) {
    if (index >= first_ && index < first_ + visible_)
        update(cellRect(index - first_));
    else
        update();
}

void PracticeGrid::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), palette().window());
    QFont kai(QStringLiteral("楷体"));
    kai.setPixelSize(std::max(1, cell_ * 4 / 5));
    const qreal ink = std::max(3.0, cell_ / 40.0);
    for (int slot = 0; slot < visible_; ++slot) {
        const int index = first_ + slot;
        const QRect rect = cellRect(slot);
        if (index >= cellCount() || !rect.intersects(event->rect()))
            continue;
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(rect, index == current_ ? CurrentCellColour : CellColour);
        p.setPen(QPen(GuideColour, 1, Qt::DashLine));
        p.drawLine(rect.left(), rect.center().y(), rect.right(), rect.center().y());
        p.drawLine(rect.center().x(), rect.top(), rect.center().x(), rect.bottom());
        p.setPen(QPen(BorderColour, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(rect.adjusted(1, 1, -1, -1));

        p.setRenderHint(QPainter::Antialiasing, true);
        if (index < characters_.size()) {
            p.setFont(kai);
            p.setPen(ModelColour);
            p.drawText(rect, Qt::AlignCenter, characters_[index]);
        }
        p.save();
        p.setClipRect(rect.adjusted(2, 2, -2, -2));
        p.translate(rect.topLeft());
        p.scale(cell_, cell_);
        p.setPen(QPen(InkColour, ink / cell_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        auto drawStroke = [&p](const QPolygonF& stroke) {
            if (stroke.size() == 1)
                p.drawPoint(stroke.first());
            else
                p.drawPolyline(stroke);
        };
        for (const QPolygonF& stroke : strokes(index))
            drawStroke(stroke);
        if (drawing_ && strokeCell_ == index)
            drawStroke(stroke_);
        p.restore();
    }
}

void PracticeGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    finishStroke();
    const int index = cellAt(event->position().toPoint());
    if (index < 0)
        return;
    if (index != current_) {
        const int old = current_;
        current_ = index;
        updateCell(old);
    }
    drawing_ = true;
    strokeCell_ = index;
    stroke_ = QPolygonF{inCell(event->position(), index)};
    updateCell(index);
}

void PracticeGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!drawing_)
        return;
    stroke_ << inCell(event->position(), strokeCell_);
    updateCell(strokeCell_);
}

void PracticeGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !drawing_)
        return;
    stroke_ << inCell(event->position(), strokeCell_);
    finishStroke();
}
