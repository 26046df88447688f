#include "instruments/instrument_layer.h"

#include <QEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTabletEvent>
#include <QtMath>
#include <algorithm>
#include <cmath>

using namespace instruments;

namespace {

// Room around an instrument for its readout and handles.
constexpr int ReadoutRoom = 60;

double pointerAngle(QPointF centre, QPointF p) {
    return QLineF(centre, p).angle();
}

QString degrees(double angle) {
    return QStringLiteral("%1°").arg(qRound(angle) % 360);
}

} // namespace

InstrumentLayer::InstrumentLayer(QWidget* host, InstrumentModel& model)
    : QWidget(host), model_(model), host_(host) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(host->rect());
    // Centimetres as the screen measures them, where the X server tells its size.
    if (QScreen* screen = host->screen())
        model_.setPixelsPerCm(pixelsPerCm(screen->physicalSize(), screen->geometry().size()));
    host->installEventFilter(this);
    connect(&model_, &InstrumentModel::changed, this, [this](int page) {
        if (page == page_)
            refresh();
    });
    // Above the page, below every control of the window.
    lower();
}

void InstrumentLayer::setPage(int page) {
    if (page == page_)
        return;
    page_ = page;
    drag_ = Drag::None;
    readout_.clear();
    pointerShown_ = false;
    refresh();
}

void InstrumentLayer::open(InstrumentKind kind, int top) {
    const QRectF view(0, top, width(), height() - top);
    model_.open(kind, page_, view);
}

QString InstrumentLayer::centimetres(double pixels) const {
    return QLocale().toString(pixels / model_.pixelsPerCm(), 'f', 1) + QStringLiteral(" cm");
}

bool InstrumentLayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != host_)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        setGeometry(host_->rect());
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TabletPress: {
        // A pen on a tablet comes as tablet events, which a window may take before Qt makes
        // mouse events of them: the layer looks at both.
        auto* e = static_cast<QSinglePointEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return drag_ != Drag::None;
        return press(e->position());
    }
    case QEvent::MouseMove:
    case QEvent::TabletMove: {
        auto* e = static_cast<QSinglePointEvent*>(event);
        if (drag_ == Drag::None) {
            if (e->buttons() & Qt::LeftButton)
                observe(e->position());
            return false;
        }
        move(e->position());
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::TabletRelease: {
        if (drag_ == Drag::None)
            return false;
        release(static_cast<QSinglePointEvent*>(event)->position());
        return true;
    }
    default:
        return false;
    }
}

bool InstrumentLayer::press(QPointF p) {
    if (drag_ != Drag::None)
        return true;
    // A reading kept from the last line or turn goes with the next press.
    if (!readout_.isEmpty()) {
        readout_.clear();
        refresh();
    }
    const std::vector<Instrument> shown = model_.onPage(page_);
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        const Instrument& i = *it;
        dragged_ = i.id;
        last_ = p;
        switch (handleAt(i, p)) {
        case Handle::Close:
            drag_ = Drag::Swallow;
            model_.close(i.id);
            return true;
        case Handle::Stamp: {
            drag_ = Drag::Swallow;
            const AxesDrawing d = axesDrawing(i);
            emit gridStamped(QList<QPolygon>(d.grid.begin(), d.grid.end()),
                             QList<QPolygon>(d.axes.begin(), d.axes.end()));
            return true;
        }
        case Handle::Turn:
            drag_ = Drag::Turn;
            offset_ = i.angle - pointerAngle(i.pivot, p);
            return true;
        case Handle::Length:
            drag_ = Drag::Length;
            return true;
        case Handle::Pencil:
            drag_ = Drag::Pencil;
            return true;
        case Handle::Unit:
            drag_ = Drag::Unit;
            return true;
        case Handle::Hinge:
            drag_ = Drag::Hinge;
            offset_ = i.angle - pointerAngle(i.pivot, p);
            start_ = lastAngle_ = i.angle;
            sweep_ = 0;
            return true;
        case Handle::None:
            break;
        }
        const int edge = edgeNear(i, p);
        if (edge >= 0 && (!rulingAllowed || rulingAllowed())) {
            drag_ = Drag::Rule;
            edge_ = rulingEdges(i)[static_cast<size_t>(edge)];
            down_ = p;
            emit drawingShown(ruled(p));
            refresh();
            return true;
        }
        if (onBody(i, p)) {
            drag_ = Drag::Move;
            return true;
        }
    }
    // A press that meets no instrument is the window's: the protractor reads where it went.
    observe(p);
    return false;
}

void InstrumentLayer::observe(QPointF p) {
    // Only the protractors' rays and readings are shown again, not the whole instruments: the
    // pen draws on the window at every move.
    const QRect before = readingBounds();
    pointer_ = p;
    pointerShown_ = true;
    const QRect after = readingBounds();
    if (!after.isNull() || !before.isNull()) {
        update(before | after);
        painted_ |= after;
    }
}

QRect InstrumentLayer::readingBounds() const {
    QRect bounds;
    if (!pointerShown_)
        return bounds;
    for (const Instrument& i : model_.onPage(page_)) {
        if (i.kind == InstrumentKind::Protractor)
            bounds |= QRectF(i.pivot, pointer_).normalized().toAlignedRect();
    }
    // The reading stands right of the pen and above it.
    return bounds.isNull() ? bounds : bounds.adjusted(-4, -34, 70, 4);
}

QList<QPolygon> InstrumentLayer::ruled(QPointF p) const {
    const auto [a, b] = pixelEnds(ruledLine(edge_, down_, p));
    return {QPolygon({a, b})};
}

void InstrumentLayer::move(QPointF p) {
    const Instrument* i = model_.find(dragged_);
    if (!i) {
        drag_ = drag_ == Drag::None ? Drag::None : Drag::Swallow;
        return;
    }
    switch (drag_) {
    case Drag::Move:
        model_.moveBy(i->id, p - last_);
        break;
    case Drag::Turn:
        model_.turnTo(i->id, pointerAngle(i->pivot, p) + offset_);
        readout_ = degrees(model_.find(dragged_)->angle);
        readoutAt_ = p;
        break;
    case Drag::Length: {
        const QPointF leftEnd = i->pivot - along(i->angle) * (i->size / 2);
        model_.setRulerLength(i->id,
                              QPointF::dotProduct(p - leftEnd, along(i->angle)) + i->width / 2);
        readout_ = centimetres(model_.find(dragged_)->size);
        readoutAt_ = p;
        break;
    }
    case Drag::Pencil:
        model_.setCompassPencil(i->id, p);
        readout_ = QStringLiteral("r = ") + centimetres(model_.find(dragged_)->size);
        readoutAt_ = p;
        break;
    case Drag::Unit:
        model_.setAxesUnit(i->id, QPointF::dotProduct(p - i->pivot, along(i->angle)));
        readout_ = QStringLiteral("1 = ") + centimetres(model_.find(dragged_)->size);
        readoutAt_ = p;
        break;
    case Drag::Hinge: {
        const double angle = pointerAngle(i->pivot, p) + offset_;
        sweep_ = std::clamp(sweep_ + turnBy(lastAngle_, angle), -360.0, 360.0);
        lastAngle_ = angle;
        model_.turnFreely(i->id, start_ + sweep_);
        readout_ = QStringLiteral("r = ") + centimetres(i->size) + QStringLiteral("  ") +
                   degrees(std::abs(sweep_));
        readoutAt_ = p;
        emit drawingShown({arcPixels(i->pivot, i->size, start_, sweep_)});
        break;
    }
    case Drag::Rule: {
        const QLineF line = ruledLine(edge_, down_, p);
        readout_ = centimetres(line.length()) + QStringLiteral("  ") + degrees(edgeAngle(edge_));
        readoutAt_ = p;
        emit drawingShown(ruled(p));
        break;
    }
    case Drag::None:
    case Drag::Swallow:
        break;
    }
    last_ = p;
    refresh();
}

void InstrumentLayer::release(QPointF p) {
    // The pen left where the release says, whatever moves were merged before it.
    if (drag_ != Drag::Swallow)
        move(p);
    const Instrument* i = model_.find(dragged_);
    if (drag_ == Drag::Rule) {
        emit drawingEnded(ruled(p));
    } else if (drag_ == Drag::Hinge) {
        // Turned back to where it started, the compass leaves nothing; what it showed goes.
        emit drawingEnded(i && sweep_ != 0.0
                              ? QList<QPolygon>{arcPixels(i->pivot, i->size, start_, sweep_)}
                              : QList<QPolygon>{});
    }
    // The reading of a ruled line or a turn stays until the next press; others go.
    if (drag_ != Drag::Rule && drag_ != Drag::Hinge)
        readout_.clear();
    drag_ = Drag::None;
    refresh();
}

QRect InstrumentLayer::shownBounds() const {
    QRectF bounds;
    for (const Instrument& i : model_.onPage(page_)) {
        QRectF b = outline(i).boundingRect();
        for (const HandlePlace& h : handles(i))
            b |= QRectF(h.at, QSizeF(1, 1));
        if (i.kind == InstrumentKind::Protractor && pointerShown_)
            b |= QRectF(pointer_, QSizeF(1, 1));
        bounds |= b;
    }
    if (!readout_.isEmpty())
        bounds |= QRectF(readoutAt_, QSizeF(1, 1));
    if (bounds.isNull())
        return {};
    return bounds.toAlignedRect().adjusted(-ReadoutRoom, -ReadoutRoom, 4 * ReadoutRoom,
                                           ReadoutRoom);
}

void InstrumentLayer::refresh() {
    const QRect now = shownBounds();
    update(painted_ | now);
    painted_ = now;
}
