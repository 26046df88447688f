#include "presenting/presenting_layer.h"

#include "presenting/model/presenting_painter.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace presenting {

PresentingLayer::PresentingLayer(QWidget* host, PresentingModel& model, Source source, int top,
                                 QWidget* ceiling)
    : QWidget(host), host_(host), model_(model), source_(std::move(source)), top_(top),
      ceiling_(ceiling) {
    setObjectName(QStringLiteral("presentingLayer"));
    hide();
    host_->installEventFilter(this);
    for (QObject* child : host_->children())
        if (child != this)
            child->installEventFilter(this);
    connect(&model_, &PresentingModel::changed, this, &PresentingLayer::showChange);
    connect(&model_, &PresentingModel::toolsChanged, this, &PresentingLayer::toolsChanged);
    followHost();
}

void PresentingLayer::followHost() {
    setGeometry(0, top_, host_->width(), std::max(0, host_->height() - top_));
    model_.setArea(geometry());
    if (model_.anyOpen())
        setMask(model_.pressRegion().translated(-pos()));
}

void PresentingLayer::toolsChanged() {
    if (!model_.anyOpen()) {
        hide();
        return;
    }
    setMask(model_.pressRegion().translated(-pos()));
    if (isHidden()) {
        show();
        stackInPlace();
    }
}

void PresentingLayer::stackInPlace() {
    if (ceiling_ != nullptr)
        stackUnder(ceiling_);
    else
        raise();
}

void PresentingLayer::showChange(const QRect& dirty) {
    if (!model_.anyOpen())
        return;
    // The shade and the loupe take presses only where they are.
    if (!model_.isOpen(Tool::Spotlight))
        setMask(model_.pressRegion().translated(-pos()));
    update(dirty.translated(-pos()));
}

void PresentingLayer::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.translate(-pos());
    paintTools(painter, model_, source_(), event->rect().translated(pos()));
}

void PresentingLayer::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && model_.press(inHost(event->position())))
        event->accept();
    else
        event->ignore();
}

void PresentingLayer::mouseMoveEvent(QMouseEvent* event) {
    model_.move(inHost(event->position()));
    event->accept();
}

void PresentingLayer::mouseReleaseEvent(QMouseEvent* event) {
    model_.release();
    event->accept();
}

bool PresentingLayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == host_) {
        switch (event->type()) {
        case QEvent::Resize:
            followHost();
            break;
        case QEvent::ChildAdded: {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child != this)
                child->installEventFilter(this);
            break;
        }
        case QEvent::Paint: {
            // The picture under the loupe changed: the loupe shows it.
            if (isHidden() || !model_.isOpen(Tool::Magnifier))
                break;
            const QRegion painted = static_cast<QPaintEvent*>(event)->region();
            if (!loupeRefresh_.isEmpty() && (painted - loupeRefresh_).isEmpty()) {
                loupeRefresh_ = QRegion();
                break;
            }
            if (painted.intersects(model_.magnifier().sourceRect())) {
                loupeRefresh_ = model_.magnifier().bounds();
                update(model_.magnifier().bounds().translated(-pos()));
            }
            break;
        }
        default:
            break;
        }
        return false;
    }
    // Another child of the host came to the top (a floating picture being shown): the tools
    // stay above it.
    if (event->type() == QEvent::ZOrderChange && ceiling_ == nullptr && isVisible())
        raise();
    return false;
}

} // namespace presenting
