#include "instruments/model/instrument_model.h"

#include <QLineF>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

using namespace instruments;

namespace {

constexpr double Sqrt3 = 1.7320508075688772;
// The least compass radius: the pencil must stay clear of the needle.
constexpr double LeastRadius = 10.0;

} // namespace

void InstrumentModel::setPixelsPerCm(double perCm) {
    if (perCm > 0)
        pixelsPerCm_ = perCm;
}

int InstrumentModel::open(InstrumentKind kind, int page, const QRectF& view) {
    const double cm = pixelsPerCm_;
    const QPointF middle = view.center();
    Instrument i;
    i.id = nextId_++;
    i.kind = kind;
    i.page = page;
    switch (kind) {
    case InstrumentKind::Ruler:
        // Whole centimetres, 30 at most and no more than most of the view's width.
        i.size = std::max(5.0, std::floor(std::min(30 * cm, 0.6 * view.width()) / cm)) * cm;
        i.width = 1.5 * cm;
        i.pivot = middle;
        break;
    case InstrumentKind::SetSquare45:
    case InstrumentKind::SetSquare3060: {
        const bool even = kind == InstrumentKind::SetSquare45;
        i.size = std::min((even ? 10 : 8) * cm, 0.4 * view.height());
        const double longer = even ? i.size : i.size * Sqrt3;
        i.pivot = middle + QPointF(-longer / 2, i.size / 2);
        break;
    }
    case InstrumentKind::Protractor:
        i.size = std::min(6 * cm, 0.4 * view.height());
        i.pivot = middle + QPointF(0, i.size / 2);
        break;
    case InstrumentKind::Compass:
        i.size = std::min(4 * cm, 0.3 * view.height());
        i.pivot = middle;
        break;
    case InstrumentKind::Axes:
        i.size = cm;
        i.width = std::min(6 * cm, 0.45 * view.width());
        i.height = std::min(4 * cm, 0.4 * view.height());
        i.pivot = middle;
        break;
    }
    items_.push_back(i);
    emit changed(page);
    return i.id;
}

void InstrumentModel::close(int id) {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [id](const Instrument& i) { return i.id == id; });
    if (it == items_.end())
        return;
    const int page = it->page;
    items_.erase(it);
    emit changed(page);
}

void InstrumentModel::closeAll() {
    std::vector<Instrument> gone;
    gone.swap(items_);
    for (const Instrument& i : gone)
        emit changed(i.page);
}

void InstrumentModel::moveBy(int id, QPointF delta) {
    if (Instrument* i = item(id)) {
        i->pivot += delta;
        changedItem(*i);
    }
}

void InstrumentModel::turnTo(int id, double degrees) {
    if (Instrument* i = item(id)) {
        i->angle = snapAngle(degrees);
        changedItem(*i);
    }
}

void InstrumentModel::turnFreely(int id, double degrees) {
    if (Instrument* i = item(id)) {
        i->angle = normalAngle(degrees);
        changedItem(*i);
    }
}

void InstrumentModel::setRulerLength(int id, double length) {
    Instrument* i = item(id);
    if (!i || i->kind != InstrumentKind::Ruler)
        return;
    // Whole centimetres, as a teacher reads a ruler's length off its scale.
    length = std::round(std::clamp(length, 5 * pixelsPerCm_, 100 * pixelsPerCm_) / pixelsPerCm_) *
             pixelsPerCm_;
    const QPointF leftEnd = i->pivot - along(i->angle) * (i->size / 2);
    i->size = length;
    i->pivot = leftEnd + along(i->angle) * (length / 2);
    changedItem(*i);
}

void InstrumentModel::setCompassPencil(int id, QPointF pencil) {
    Instrument* i = item(id);
    if (!i || i->kind != InstrumentKind::Compass)
        return;
    const QLineF leg(i->pivot, pencil);
    if (leg.length() >= LeastRadius)
        i->angle = normalAngle(leg.angle());
    i->size = std::max(LeastRadius, leg.length());
    changedItem(*i);
}

void InstrumentModel::setAxesUnit(int id, double unit) {
    Instrument* i = item(id);
    if (!i || i->kind != InstrumentKind::Axes)
        return;
    // Whole millimetres.
    const double mm = pixelsPerCm_ / 10;
    i->size = std::round(std::clamp(unit, 5 * mm, std::max(5 * mm, i->width)) / mm) * mm;
    changedItem(*i);
}

const Instrument* InstrumentModel::find(int id) const {
    for (const Instrument& i : items_) {
        if (i.id == id)
            return &i;
    }
    return nullptr;
}

std::vector<Instrument> InstrumentModel::onPage(int page) const {
    std::vector<Instrument> shown;
    std::copy_if(items_.begin(), items_.end(), std::back_inserter(shown),
                 [page](const Instrument& i) { return i.page == page; });
    return shown;
}

Instrument* InstrumentModel::item(int id) {
    return const_cast<Instrument*>(std::as_const(*this).find(id));
}

void InstrumentModel::changedItem(const Instrument& instrument) {
    emit changed(instrument.page);
}
