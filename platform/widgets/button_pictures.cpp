#include "platform/widgets/button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor ink(30, 60, 120);
const QColor accent(230, 90, 20);

// Every picture is drawn on a 32 x 32 grid and scaled to the size asked for.
void draw(QPainter& p, Glyph glyph) {
    QPen pen(ink, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::Whiteboard:
        p.setBrush(Qt::white);
        p.drawRect(4, 5, 24, 17);
        p.drawLine(16, 22, 11, 29);
        p.drawLine(16, 22, 21, 29);
        p.setPen(QPen(accent, 2));
        p.drawLine(8, 17, 13, 11);
        p.drawLine(13, 11, 17, 15);
        p.drawLine(17, 15, 23, 9);
        break;
    case Glyph::Annotate:
        p.drawRect(3, 4, 22, 16);
        p.setPen(QPen(accent, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(14, 27, 28, 13);
        p.drawLine(11, 29, 14, 27);
        break;
    case Glyph::Logo:
        p.setBrush(accent);
        p.drawEllipse(6, 6, 20, 20);
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(12, 11, 12, 21);
        p.drawLine(13, 16, 20, 10);
        p.drawLine(13, 16, 20, 22);
        break;
    case Glyph::Keyboard:
        p.drawRoundedRect(3, 9, 26, 15, 2, 2);
        for (int x = 7; x <= 25; x += 6)
            p.drawPoint(x, 14);
        p.drawLine(9, 19, 23, 19);
        break;
    case Glyph::Practice:
        p.drawRect(6, 4, 20, 24);
        p.drawLine(10, 11, 22, 11);
        p.drawLine(10, 16, 22, 16);
        p.drawLine(10, 21, 18, 21);
        break;
    case Glyph::Blank:
        p.setBrush(Qt::black);
        p.drawRect(4, 6, 24, 17);
        p.drawLine(11, 28, 21, 28);
        break;
    case Glyph::Help: {
        // Drawn as lines, not text: the toolbar then needs no fonts to appear.
        p.drawEllipse(4, 4, 24, 24);
        QPainterPath question;
        question.moveTo(12, 13);
        question.cubicTo(12, 8, 20, 8, 20, 13);
        question.cubicTo(20, 16, 16, 16, 16, 20);
        p.drawPath(question);
        p.drawPoint(16, 24);
        break;
    }
    case Glyph::Exit:
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(6, 6, 20, 20, 120 * 16, 300 * 16);
        p.drawLine(16, 4, 16, 15);
        break;
    case Glyph::Shrink:
        p.drawLine(8, 22, 24, 22);
        p.drawLine(16, 8, 16, 18);
        p.drawLine(11, 13, 16, 18);
        p.drawLine(21, 13, 16, 18);
        break;
    case Glyph::Restore:
        p.drawRect(6, 6, 20, 20);
        break;
    case Glyph::Undo:
        p.drawArc(8, 9, 18, 16, -90 * 16, 180 * 16);
        p.drawLine(17, 9, 8, 9);
        p.drawLine(8, 9, 12, 5);
        p.drawLine(8, 9, 12, 13);
        break;
    case Glyph::Redo: // the undo arrow, mirrored
        p.drawArc(8, 9, 18, 16, 90 * 16, 180 * 16);
        p.drawLine(17, 9, 26, 9);
        p.drawLine(26, 9, 22, 5);
        p.drawLine(26, 9, 22, 13);
        break;
    case Glyph::Clear:
        p.drawRect(5, 5, 22, 22);
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(10, 10, 22, 22);
        p.drawLine(22, 10, 10, 22);
        break;
    case Glyph::BoardEraser:
        p.setBrush(QColor(250, 210, 120));
        p.drawRoundedRect(5, 10, 22, 12, 2, 2);
        p.drawLine(5, 16, 27, 16);
        break;
    case Glyph::AreaErase:
        p.setPen(QPen(ink, 2, Qt::DotLine));
        p.drawRect(4, 4, 24, 24);
        p.setPen(QPen(ink, 2));
        p.setBrush(QColor(250, 210, 120));
        p.drawRect(12, 14, 12, 8);
        break;
    case Glyph::Pen:
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(9, 23, 25, 7);
        p.setPen(QPen(accent, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(5, 27, 9, 23);
        break;
    case Glyph::Line:
        p.drawLine(6, 26, 26, 6);
        break;
    case Glyph::Rectangle:
        p.drawRect(5, 8, 22, 16);
        break;
    case Glyph::Ellipse:
        p.drawEllipse(4, 8, 24, 16);
        break;
    case Glyph::Select:
        p.setPen(QPen(ink, 2, Qt::DashLine));
        p.drawRect(5, 5, 22, 22);
        break;
    case Glyph::ZoomIn:
    case Glyph::ZoomOut:
        p.drawEllipse(5, 5, 16, 16);
        p.drawLine(19, 19, 27, 27);
        p.drawLine(9, 13, 17, 13);
        if (glyph == Glyph::ZoomIn)
            p.drawLine(13, 9, 13, 17);
        break;
    case Glyph::Thumbnails:
        p.drawRect(3, 8, 12, 16);
        p.drawRect(17, 8, 12, 16);
        break;
    case Glyph::Import:
        p.drawRect(5, 14, 22, 13);
        p.drawLine(16, 4, 16, 20);
        p.drawLine(11, 15, 16, 20);
        p.drawLine(21, 15, 16, 20);
        break;
    case Glyph::PageLeft:
    case Glyph::PageRight: {
        QPainterPath arrow;
        const bool left = glyph == Glyph::PageLeft;
        arrow.moveTo(left ? 22 : 10, 6);
        arrow.lineTo(left ? 10 : 22, 16);
        arrow.lineTo(left ? 22 : 10, 26);
        arrow.closeSubpath();
        p.setBrush(accent);
        p.drawPath(arrow);
        break;
    }
    case Glyph::Settings:
        p.drawEllipse(9, 9, 14, 14);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(16, 16);
            p.rotate(45.0 * i);
            p.drawLine(0, 7, 0, 11);
            p.restore();
        }
        break;
    case Glyph::Return:
        p.drawLine(24, 8, 24, 20);
        p.drawLine(24, 20, 8, 20);
        p.drawLine(8, 20, 13, 15);
        p.drawLine(8, 20, 13, 25);
        break;
    case Glyph::WiderPen:
    case Glyph::NarrowerPen:
        p.drawLine(6, 16, 26, 16);
        if (glyph == Glyph::WiderPen)
            p.drawLine(16, 6, 16, 26);
        break;
    case Glyph::Close:
        p.drawLine(8, 8, 24, 24);
        p.drawLine(24, 8, 8, 24);
        break;
    }
}

} // namespace

QIcon buttonPicture(Glyph glyph, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p, glyph);
    return QIcon(pixmap);
}

platform::SpeedButton* pictureButton(QWidget* parent, int left, int top, int width, int height,
                                     const QString& hint, Glyph glyph) {
    auto* b = new platform::SpeedButton(parent, left, top, width, height, hint);
    b->setIcon(buttonPicture(glyph));
    return b;
}

platform::SpeedButton* toolButton(QWidget* bar, int left, int top, int width, const QString& hint,
                                  Glyph glyph) {
    platform::SpeedButton* b = pictureButton(bar, left, top, width, 38, hint, glyph);
    platform::makeExclusive(b);
    return b;
}
