#include "presenting/presenting_tools.h"

#include "platform/widgets/controls.h"

#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace presenting {

namespace {

// A lit circle on a dark ground.
QIcon spotlightIcon() {
    QPixmap picture(28, 28);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    painter.drawRoundedRect(QRectF(1, 1, 26, 26), 4, 4);
    painter.setBrush(QColor(0xFF, 0xE0, 0x60));
    painter.drawEllipse(QRectF(7, 7, 14, 14));
    return QIcon(picture);
}

} // namespace

PresentingTools::PresentingTools(QWidget* host, PresentingLayer::Source source, int top,
                                 QWidget* ceiling)
    : QObject(host), layer_(new PresentingLayer(host, model_, std::move(source), top, ceiling)),
      menu_(new QMenu(host)) {
    connect(layer_, &QObject::destroyed, this, [this] { layer_ = nullptr; });
    menu_->setObjectName(QStringLiteral("presentingMenu"));
    const struct {
        Tool tool;
        const char16_t* caption;
    } entries[] = {
        {Tool::Spotlight, u"聚光灯"},
        {Tool::Shade, u"屏幕幕布"},
        {Tool::Magnifier, u"放大镜"},
    };
    for (const auto& entry : entries) {
        QAction* action = menu_->addAction(QString::fromUtf16(entry.caption));
        const Tool tool = entry.tool;
        connect(action, &QAction::triggered, this, [this, tool] { model_.open(tool); });
        actions_[static_cast<int>(tool)] = action;
    }
}

PresentingTools::~PresentingTools() {
    // Raising the layer reorders the host's children, so either may be deleted first.
    if (layer_ != nullptr)
        delete layer_;
}

platform::SpeedButton* PresentingTools::makeButton(QWidget* parent, int left, int top) {
    auto* button = new platform::SpeedButton(parent, left, top, 38, 38, QStringLiteral("演示工具"));
    button->setObjectName(QStringLiteral("presentingButton"));
    button->setIcon(spotlightIcon());
    button->setIconSize(QSize(28, 28));
    connect(button, &QAbstractButton::clicked, menu_,
            [this, button] { menu_->popup(button->mapToGlobal(QPoint(0, button->height()))); });
    return button;
}

platform::SpeedButton* PresentingTools::attachBesideBar(QWidget* bar) {
    auto* piece = new platform::Panel(bar->parentWidget(), 0, 0, PieceWidth, bar->height(),
                                      platform::clSkyBlue);
    pieces_.insert(bar, piece);
    bar->installEventFilter(this);
    placeBeside(bar);
    return makeButton(piece, 1, 1);
}

void PresentingTools::placeBeside(QWidget* bar) {
    QWidget* piece = pieces_.value(bar);
    if (piece == nullptr)
        return;
    piece->move(bar->x() - piece->width(), bar->y());
    piece->setVisible(!bar->isHidden());
    piece->raise();
}

bool PresentingTools::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Move || type == QEvent::Show || type == QEvent::Hide)
        if (auto* bar = qobject_cast<QWidget*>(watched); pieces_.contains(bar))
            placeBeside(bar);
    return false;
}

} // namespace presenting
