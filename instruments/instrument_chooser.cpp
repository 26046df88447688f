#include "instruments/instrument_chooser.h"

#include "platform/widgets/controls.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

using namespace platform;

namespace {

constexpr int ButtonSize = 38;
constexpr int ChoicesTop = 41;

struct Choice {
    InstrumentKind kind;
    const char16_t* hint;
};
constexpr Choice ChoiceList[] = {
    {InstrumentKind::Ruler, u"直尺"},
    {InstrumentKind::SetSquare45, u"三角板（45°）"},
    {InstrumentKind::SetSquare3060, u"三角板（30°/60°）"},
    {InstrumentKind::Protractor, u"量角器"},
    {InstrumentKind::Compass, u"圆规"},
    {InstrumentKind::Axes, u"坐标轴"},
};
constexpr int ChoiceCount = static_cast<int>(std::size(ChoiceList));

// The instruments' pictures, drawn here so that they stay sharp at any size.
QIcon picture(InstrumentKind kind) {
    constexpr int s = 32;
    QPixmap pixmap(s, s);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(24, 44, 96), 1.6));
    p.setBrush(QColor(250, 240, 190));
    switch (kind) {
    case InstrumentKind::Ruler:
        p.translate(s / 2, s / 2);
        p.rotate(-30);
        p.drawRect(QRectF(-14, -5, 28, 10));
        for (int k = -12; k <= 12; k += 4)
            p.drawLine(QPointF(k, -5), QPointF(k, k % 8 == 0 ? 0 : -2));
        break;
    case InstrumentKind::SetSquare45:
        p.drawPolygon(QPolygonF({{4, 28}, {28, 28}, {4, 4}}));
        break;
    case InstrumentKind::SetSquare3060:
        p.drawPolygon(QPolygonF({{4, 28}, {29, 28}, {4, 13}}));
        break;
    case InstrumentKind::Protractor: {
        QPainterPath half;
        half.moveTo(2, 24);
        half.arcTo(QRectF(2, 10, 28, 28), 180, -180);
        half.closeSubpath();
        p.drawPath(half);
        p.drawLine(QPointF(16, 24), QPointF(16 + 9 * std::cos(0.8), 24 - 9 * std::sin(0.8)));
        break;
    }
    case InstrumentKind::Compass:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(24, 44, 96), 2.2));
        p.drawLine(QPointF(16, 4), QPointF(7, 28));
        p.drawLine(QPointF(16, 4), QPointF(25, 28));
        p.setPen(QPen(QColor(200, 120, 20), 1.2, Qt::DashLine));
        p.drawArc(QRectF(-11, 10, 36, 36), 0, 90 * 16);
        break;
    case InstrumentKind::Axes:
        p.setPen(QPen(QColor(24, 44, 96, 90), 1));
        for (int k = 6; k <= 26; k += 5) {
            p.drawLine(k, 4, k, 28);
            p.drawLine(4, k, 28, k);
        }
        p.setPen(QPen(QColor(24, 44, 96), 2));
        p.drawLine(3, 16, 29, 16);
        p.drawLine(16, 29, 16, 3);
        break;
    }
    return QIcon(pixmap);
}

} // namespace

InstrumentChooser::InstrumentChooser(QWidget* bar, QWidget* window) : QObject(window) {
    Button = new SpeedButton(bar, 0, 1, ButtonSize, ButtonSize, QStringLiteral("几何工具"));
    Button->setIcon(picture(InstrumentKind::Ruler));
    Choices =
        new Panel(window, 0, ChoicesTop, ChoiceCount * ButtonSize + 2, ButtonSize + 2, clSkyBlue);
    Choices->hide();
    for (int k = 0; k < ChoiceCount; ++k) {
        const Choice& c = ChoiceList[k];
        auto* b = new SpeedButton(Choices, 1 + k * ButtonSize, 1, ButtonSize, ButtonSize,
                                  QString::fromUtf16(c.hint));
        b->setIcon(picture(c.kind));
        connect(b, &SpeedButton::clicked, this, [this, kind = c.kind] {
            Choices->hide();
            emit chosen(kind);
        });
    }
    // A press on the window's page closes the choices unchosen.
    window->installEventFilter(this);
    connect(Button, &SpeedButton::clicked, this, [this] {
        Choices->setVisible(Choices->isHidden());
        if (!Choices->isHidden())
            Choices->raise();
    });
}

bool InstrumentChooser::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::TabletPress)
        Choices->hide();
    return false;
}

void InstrumentChooser::placeAt(int left) {
    Button->move(left, 1);
    const QPoint right = Button->mapTo(Choices->parentWidget(), QPoint(ButtonSize, 0));
    Choices->move(std::max(0, right.x() - Choices->width()), ChoicesTop);
}
