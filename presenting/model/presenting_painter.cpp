#include "presenting/model/presenting_painter.h"

#include <QPainter>
#include <QPainterPath>

namespace presenting {

namespace {

constexpr QRgb CurtainColour = 0xFF2E3338;
constexpr QRgb CurtainEdgeColour = 0xFF5A636B;
constexpr QRgb RingColour = 0xFF404040;

void paintCloseMark(QPainter& painter, const QRect& mark) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(RingColour), 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(mark).adjusted(1, 1, -1, -1));
    const QRectF cross = QRectF(mark).adjusted(9, 9, -9, -9);
    painter.setPen(QPen(QColor(RingColour), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
    painter.setBrush(Qt::NoBrush);
}

void paintShade(QPainter& painter, const Shade& shade) {
    painter.fillRect(shade.curtain, QColor(CurtainColour));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(CurtainEdgeColour), 2));
    painter.drawRect(shade.curtain.adjusted(1, 1, -1, -1));
}

void paintSpotlight(QPainter& painter, const Spotlight& spot, const QRect& clip) {
    // Odd-even filling of a rectangle holding the circle leaves the circle out; the painter's
    // clip keeps the dark within the part being drawn.
    QPainterPath dark;
    dark.setFillRule(Qt::OddEvenFill);
    dark.addRect(clip | spot.circleBounds());
    dark.addEllipse(QPointF(spot.centre) + QPointF(0.5, 0.5), spot.radius + 0.5, spot.radius + 0.5);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(dark, QColor(0, 0, 0, Spotlight::DarkAlpha));
}

void paintMagnifier(QPainter& painter, const Magnifier& loupe, const QImage& source) {
    const QRect bounds = loupe.bounds();
    painter.save();
    QPainterPath circle;
    circle.addEllipse(QRectF(bounds));
    painter.setClipPath(circle, Qt::IntersectClip);
    painter.drawImage(bounds.topLeft(), loupePicture(loupe, source));
    painter.restore();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(RingColour), 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(bounds).adjusted(-1, -1, 1, 1));
}

} // namespace

QImage loupePicture(const Magnifier& loupe, const QImage& source) {
    const QRect from = loupe.sourceRect();
    QImage picture(from.size() * Magnifier::Zoom, QImage::Format_RGB32);
    picture.fill(Qt::black);
    const QRect inside = from.intersected(source.rect());
    if (inside.isEmpty())
        return picture;
    const QImage* pixels = &source;
    QImage converted;
    if (source.depth() != 32) {
        converted = source.copy(inside).convertToFormat(QImage::Format_RGB32);
        pixels = &converted;
    }
    const QPoint origin = pixels == &source ? QPoint() : inside.topLeft();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(pixels->constScanLine(y - origin.y()));
        const int row = (y - from.top()) * Magnifier::Zoom;
        auto* out0 = reinterpret_cast<QRgb*>(picture.scanLine(row));
        auto* out1 = reinterpret_cast<QRgb*>(picture.scanLine(row + 1));
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb c = in[x - origin.x()] | 0xFF000000u;
            const int column = (x - from.left()) * Magnifier::Zoom;
            out0[column] = out0[column + 1] = out1[column] = out1[column + 1] = c;
        }
    }
    return picture;
}

void paintTools(QPainter& painter, const PresentingModel& model, const QImage& source,
                const QRect& clip) {
    const QRect area = model.area();
    painter.save();
    painter.setClipRect(clip.intersected(area));
    if (model.isOpen(Tool::Shade) && model.shade().curtain.intersects(clip))
        paintShade(painter, model.shade());
    if (model.isOpen(Tool::Spotlight))
        paintSpotlight(painter, model.spotlight(), clip.intersected(area));
    if (model.isOpen(Tool::Magnifier) &&
        model.magnifier().bounds().adjusted(-3, -3, 3, 3).intersects(clip))
        paintMagnifier(painter, model.magnifier(), source);
    if (model.isOpen(Tool::Shade))
        paintCloseMark(painter, model.shade().closeMark());
    if (model.isOpen(Tool::Spotlight))
        paintCloseMark(painter, model.spotlight().closeMark(area));
    if (model.isOpen(Tool::Magnifier))
        paintCloseMark(painter, model.magnifier().closeMark(area));
    painter.restore();
}

} // namespace presenting
