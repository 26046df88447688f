#include "platform/widgets/controls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace platform {

SpeedButton::SpeedButton(QWidget* parent, int left, int top, int width, int height,
                         const QString& hint)
    : QToolButton(parent) {
    setGeometry(left, top, width, height);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(width - 6, height - 6));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (!hint.isEmpty())
        setToolTip(hint);
    hintTimer_.setSingleShot(true);
    connect(&hintTimer_, &QTimer::timeout, this, &SpeedButton::showHint);
}

bool SpeedButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        hintTimer_.start(style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, this));
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
        hintTimer_.stop();
        break;
    default:
        break;
    }
    return QToolButton::event(event);
}

// As Qt shows a hint: in the active window, or in one that shows hints always.
void SpeedButton::showHint() {
    if (toolTip().isEmpty() || !underMouse() || QToolTip::isVisible() ||
        QApplication::mouseButtons() != Qt::NoButton)
        return;
    if (!window()->testAttribute(Qt::WA_AlwaysShowToolTips) && !window()->isActiveWindow())
        return;
    QToolTip::showText(QCursor::pos(), toolTip(), this);
}

SpeedButton* textButton(QWidget* parent, int left, int top, int width, int height,
                        const QString& caption, const QString& hint) {
    auto* b = new SpeedButton(parent, left, top, width, height, hint);
    b->setText(caption);
    return b;
}

QPushButton* pushButton(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height) {
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(left, top, width, height);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QLabel* formLabel(QWidget* parent, const QString& text, int left, int top, int width) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(left, top, width, 18);
    return l;
}

void makeExclusive(SpeedButton* button) {
    QWidget* parent = button->parentWidget();
    auto* group = parent->findChild<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly);
    if (group == nullptr)
        group = new QButtonGroup(parent);
    button->setCheckable(true);
    group->addButton(button);
}

Panel::Panel(QWidget* parent, int left, int top, int width, int height, TColor color)
    : QWidget(parent), color_(color) {
    setGeometry(left, top, width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Panel::setColor(TColor color) {
    color_ = color;
    update();
}

void Panel::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void Panel::setCaptionColor(TColor color) {
    captionColor_ = color;
    update();
}

void Panel::setCaptionAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void Panel::setBevel(bool raised) {
    bevel_ = raised;
    update();
}

void Panel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), toQColor(color_));
    if (bevel_) {
        p.setPen(QColor(Qt::white));
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, 0, 0, height() - 1);
        p.setPen(QColor(Qt::darkGray));
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    }
    // A caption in the panel's own colour cannot be seen; drawing it would only load fonts.
    if (!caption_.isEmpty() && captionColor_ != color_) {
        p.setPen(toQColor(captionColor_));
        p.drawText(rect().adjusted(2, 0, -2, 0), static_cast<int>(alignment_), caption_);
    }
}

Swatch::Swatch(QWidget* parent, int left, int top, int width, int height, TColor color,
               const QString& hint)
    : QWidget(parent), color_(color) {
    setGeometry(left, top, width, height);
    setToolTip(hint);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Swatch::setColor(TColor color) {
    color_ = color;
    update();
}

void Swatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), toQColor(color_));
}

void Swatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

NumberBox::NumberBox(QWidget* parent, int left, int top, int width, int height, int pixelSize,
                     const QString& text, const QString& hint)
    : QLineEdit(text, parent), pixelSize_(pixelSize) {
    setGeometry(left, top, width, height);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
    setFrame(false);
    setToolTip(hint);
    setStyleSheet(QStringLiteral("QLineEdit { color: red; background: white; }"));
    fitText();
    connect(this, &QLineEdit::textChanged, this, &NumberBox::fitText);
}

// The line edit keeps a margin of two pixels on either side of its text.
void NumberBox::fitText() {
    QFont f = font();
    f.setBold(true);
    int size = pixelSize_;
    f.setPixelSize(size);
    while (size > 6 && QFontMetrics(f).horizontalAdvance(text()) > width() - 4)
        f.setPixelSize(--size);
    setFont(f);
}

ImageBox::ImageBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageBox::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void ImageBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, picture_);
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), p.x(), p.y());
}

void ImageBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMove(event->buttons(), p.x(), p.y());
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), p.x(), p.y());
}

} // namespace platform
