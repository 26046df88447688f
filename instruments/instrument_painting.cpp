// How the instruments look: translucent bodies whose edges are drawn exactly where they rule,
// their scales in centimetres and degrees, their handles, and the readouts beside the pen.
#include "instruments/instrument_layer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

using namespace instruments;

namespace {

const QColor Body(250, 250, 232, 120);
const QColor Marks(24, 44, 96);
const QColor HandleFill(255, 255, 255, 200);
const QColor CloseRed(190, 30, 30);
const QColor ReadoutBack(24, 44, 96, 220);

// Painting in the instrument's own coordinates.
void placePainter(QPainter& p, const Instrument& i) {
    p.translate(i.pivot);
    p.rotate(-i.angle);
}

void drawHandle(QPainter& p, const HandlePlace& h) {
    p.save();
    p.setPen(QPen(Marks, 1.5));
    p.setBrush(HandleFill);
    const double r = HandleReach * 0.7;
    p.drawEllipse(h.at, r, r);
    const double s = r * 0.45;
    switch (h.handle) {
    case Handle::Close:
        p.setPen(QPen(CloseRed, 2.5));
        p.drawLine(h.at + QPointF(-s, -s), h.at + QPointF(s, s));
        p.drawLine(h.at + QPointF(-s, s), h.at + QPointF(s, -s));
        break;
    case Handle::Turn:
    case Handle::Hinge: {
        QPainterPath arc;
        const QRectF box(h.at.x() - s * 1.3, h.at.y() - s * 1.3, s * 2.6, s * 2.6);
        arc.arcMoveTo(box, 30);
        arc.arcTo(box, 30, 280);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Marks, 2));
        p.drawPath(arc);
        break;
    }
    case Handle::Length:
        p.drawLine(h.at + QPointF(-s * 1.3, 0), h.at + QPointF(s * 1.3, 0));
        p.drawLine(h.at + QPointF(0, -s), h.at + QPointF(0, s));
        break;
    case Handle::Stamp:
        p.setPen(QPen(QColor(20, 120, 40), 2.5));
        p.drawLine(h.at + QPointF(-s, 0), h.at + QPointF(-s * 0.2, s * 0.8));
        p.drawLine(h.at + QPointF(-s * 0.2, s * 0.8), h.at + QPointF(s, -s));
        break;
    case Handle::Pencil:
    case Handle::Unit:
        p.setBrush(Marks);
        p.drawEllipse(h.at, 3, 3);
        break;
    case Handle::None:
        break;
    }
    p.restore();
}

// Ticks along an edge from `from` in direction `dir` for `length` pixels, drawn towards
// `inward`: a long one each centimetre (numbered when `numbered`), shorter each half and each
// millimetre when they are far enough apart to be told.
void drawScale(QPainter& p, QPointF from, QPointF dir, QPointF inward, double length, double perCm,
               double depth, bool numbered) {
    const double mm = perCm / 10;
    const int step = mm >= 3 ? 1 : 5;
    const int count = static_cast<int>(length / mm + 1e-6);
    for (int k = 0; k <= count; k += step) {
        const double t = k % 10 == 0 ? 0.35 : k % 5 == 0 ? 0.25 : 0.15;
        const QPointF at = from + dir * (k * mm);
        p.drawLine(at, at + inward * (depth * t));
        if (numbered && k % 10 == 0) {
            const QPointF label = at + inward * (depth * 0.35 + 9);
            p.drawText(QRectF(label.x() - 20, label.y() - 8, 40, 16), Qt::AlignCenter,
                       QString::number(k / 10));
        }
    }
}

void paintRuler(QPainter& p, const Instrument& i, double perCm) {
    const double l = i.size / 2, w = i.width / 2;
    drawScale(p, {-l, -w}, {1, 0}, {0, 1}, i.size, perCm, i.width, true);
    drawScale(p, {-l, w}, {1, 0}, {0, -1}, i.size, perCm, i.width * 0.6, false);
}

void paintSetSquare(QPainter& p, const Instrument& i, double perCm) {
    const bool even = i.kind == InstrumentKind::SetSquare45;
    const double a = i.size, b = even ? a : a * std::sqrt(3.0);
    const double depth = std::min(a, b) * 0.2;
    drawScale(p, {0, 0}, {1, 0}, {0, -1}, b, perCm, depth, true);
    drawScale(p, {0, 0}, {0, -1}, {1, 0}, a, perCm, depth, false);
    const double inset = depth * 0.8 + 10;
    p.drawText(QRectF(inset, -inset - 16, 40, 16), Qt::AlignLeft, QStringLiteral("90°"));
    p.drawText(QRectF(b - inset * 2.6 - 40, -inset * 0.7 - 16, 40, 16), Qt::AlignRight,
               even ? QStringLiteral("45°") : QStringLiteral("30°"));
    p.drawText(QRectF(inset * 0.5, -a + inset * 2.4, 40, 16), Qt::AlignLeft,
               even ? QStringLiteral("45°") : QStringLiteral("60°"));
}

void paintProtractor(QPainter& p, const Instrument& i) {
    const double r = i.size;
    for (int d = 0; d <= 180; ++d) {
        const double t = d % 10 == 0 ? 0.12 : d % 5 == 0 ? 0.08 : 0.045;
        const QPointF dir = along(d);
        p.drawLine(dir * r, dir * (r * (1 - t)));
        if (d % 10 == 0) {
            const QPointF at = dir * (r * 0.8);
            p.drawText(QRectF(at.x() - 16, at.y() - 8, 32, 16), Qt::AlignCenter,
                       QString::number(d));
        }
    }
    p.drawLine(QPointF(-8, 0), QPointF(8, 0));
    p.drawLine(QPointF(0, -8), QPointF(0, 0));
}

void paintCompass(QPainter& p, const Instrument& i) {
    const QPointF hinge = compassHinge(i), pencil = compassPencil(i);
    p.setPen(QPen(QColor(90, 100, 120, 220), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(hinge, i.pivot + (hinge - i.pivot) * 0.12);
    p.drawLine(hinge, pencil + (hinge - pencil) * 0.12);
    p.setPen(QPen(Marks, 1.5));
    p.drawLine(i.pivot + (hinge - i.pivot) * 0.12, i.pivot);
    p.setPen(QPen(QColor(200, 120, 20), 2.5));
    p.drawLine(pencil + (hinge - pencil) * 0.12, pencil);
}

void paintAxes(QPainter& p, const Instrument& i) {
    const AxesDrawing d = axesDrawing(i);
    p.save();
    p.setPen(QPen(QColor(Marks.red(), Marks.green(), Marks.blue(), 90), 1));
    for (const QPolygon& line : d.grid)
        p.drawPolyline(line);
    p.setPen(QPen(Marks, 1.5));
    for (const QPolygon& line : d.axes)
        p.drawPolyline(line);
    p.restore();
}

} // namespace

void InstrumentLayer::paintEvent(QPaintEvent* event) {
    const std::vector<Instrument> shown = model_.onPage(page_);
    if (shown.empty() && readout_.isEmpty())
        return;
    QPainter p(this);
    p.setClipRegion(event->region());
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(12);
    p.setFont(font);
    const double perCm = model_.pixelsPerCm();
    for (const Instrument& i : shown) {
        p.save();
        if (i.kind != InstrumentKind::Compass) {
            p.setPen(QPen(Marks, 1));
            p.setBrush(Body);
            p.drawPolygon(outline(i));
        }
        if (i.kind == InstrumentKind::Axes || i.kind == InstrumentKind::Compass) {
            i.kind == InstrumentKind::Axes ? paintAxes(p, i) : paintCompass(p, i);
        } else {
            placePainter(p, i);
            p.setPen(QPen(Marks, 1));
            switch (i.kind) {
            case InstrumentKind::Ruler:
                paintRuler(p, i, perCm);
                break;
            case InstrumentKind::SetSquare45:
            case InstrumentKind::SetSquare3060:
                paintSetSquare(p, i, perCm);
                break;
            default:
                paintProtractor(p, i);
                break;
            }
        }
        p.restore();
        for (const HandlePlace& h : handles(i))
            drawHandle(p, h);
        if (i.kind == InstrumentKind::Protractor && pointerShown_) {
            p.setPen(QPen(QColor(200, 40, 40, 200), 1.5, Qt::DashLine));
            p.drawLine(i.pivot, pointer_);
            const QString reading =
                QStringLiteral("%1°").arg(qRound(protractorReading(i, pointer_)));
            p.fillRect(QRectF(pointer_.x() + 12, pointer_.y() - 30, 52, 22), ReadoutBack);
            p.setPen(Qt::white);
            p.drawText(QRectF(pointer_.x() + 12, pointer_.y() - 30, 52, 22), Qt::AlignCenter,
                       reading);
        }
    }
    if (!readout_.isEmpty()) {
        QFont big = font;
        big.setPixelSize(16);
        big.setBold(true);
        p.setFont(big);
        const QRectF box(readoutAt_.x() + 16, readoutAt_.y() + 16,
                         p.fontMetrics().horizontalAdvance(readout_) + 16, 26);
        p.fillRect(box, ReadoutBack);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, readout_);
    }
}
