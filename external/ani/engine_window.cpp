#include "external/ani/engine_window.h"

#include "external/ani/engine_layout.h"
#include "external/ani/pick_line.h"
#include "external/ani/practice_grid.h"
#include "external/ani/practice_line.h"
#include "practice/writing_engine.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor Backdrop(232, 240, 232);

QFont songFont(int pixelSize) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    return font;
}

void drawMagnifier(QPainter& p, qreal size) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32;
    p.setPen(QPen(QColor(90, 60, 30), 4 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19 * s, 19 * s), QPointF(28 * s, 28 * s));
    p.setPen(QPen(QColor(40, 40, 40), 2.5 * s));
    p.setBrush(QColor(200, 230, 255, 200));
    p.drawEllipse(QPointF(12.5 * s, 12.5 * s), 9 * s, 9 * s);
}

QCursor magnifierCursor() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    drawMagnifier(p, 32);
    p.end();
    return QCursor(picture, 12, 12); // the glass's centre picks the line
}

} // namespace

MagnifierIcon::MagnifierIcon(QWidget* parent) : QWidget(parent) {
    setToolTip(QStringLiteral("把放大镜拖到练习板的一行文字上，就练习这一行"));
    setCursor(Qt::OpenHandCursor);
}

void MagnifierIcon::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int side = std::min(width(), height());
    p.translate((width() - side) / 2.0, (height() - side) / 2.0);
    drawMagnifier(p, side);
}

void MagnifierIcon::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    grabMouse(magnifierCursor());
}

void MagnifierIcon::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    releaseMouse();
    emit dropped(event->globalPosition().toPoint());
}

void WritingBox::mousePressEvent(QMouseEvent* event) {
    window()->activateWindow();
    QLineEdit::mousePressEvent(event);
}

EngineWindow::EngineWindow() : QWidget(nullptr, Qt::FramelessWindowHint) {
    setWindowTitle(WritingEngineCaption);
    setAcceptDrops(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Backdrop);
    setPalette(colours);
    setAutoFillBackground(true);

    controls_ = new QWidget(this);
    auto* row = new QHBoxLayout(controls_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    magnifier = new MagnifierIcon(controls_);
    magnifier->setFixedSize(48, 48);
    writingBox = new WritingBox(controls_);
    writingBox->setFont(songFont(26));
    writingBox->setPlaceholderText(QStringLiteral("输入要练习的文字"));
    // A drop replaces the whole line rather than going into the box where it lands.
    writingBox->setAcceptDrops(false);
    writingBox->setMinimumHeight(48);
    row->addWidget(magnifier);
    row->addWidget(writingBox, 1);
    auto button = [this, row](const QString& text) {
        auto* b = new QPushButton(text, controls_);
        b->setFont(songFont(22));
        b->setMinimumSize(96, 48);
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
        return b;
    };
    previousButton = button(QStringLiteral("上一字"));
    nextButton = button(QStringLiteral("下一字"));
    rewriteButton = button(QStringLiteral("重写"));
    stopButton = button(QStringLiteral("停止"));

    grid = new PracticeGrid(this);
    grid->setPalette(colours);

    connect(writingBox, &QLineEdit::textEdited, grid,
            [this](const QString& text) { grid->setLine(practiceLine(text)); });
    connect(previousButton, &QPushButton::clicked, grid, &PracticeGrid::previous);
    connect(nextButton, &QPushButton::clicked, grid, &PracticeGrid::next);
    connect(rewriteButton, &QPushButton::clicked, grid, &PracticeGrid::rewrite);
    connect(stopButton, &QPushButton::clicked, this, &QWidget::close);
    connect(magnifier, &MagnifierIcon::dropped, this, &EngineWindow::magnifierDropped);
    connect(QApplication::clipboard(), &QClipboard::selectionChanged, this,
            &EngineWindow::selectionChanged);
}

void EngineWindow::layOut(const QRect& screen) {
    setGeometry(screen);
    const EngineLayout layout = engineLayout(screen.size());
    controls_->setGeometry(layout.controls);
    grid->setGeometry(layout.grid);
    grid->setCells(layout.cell, layout.visibleCells);
}

void EngineWindow::takeLine(const QString& text) {
    const QString line = practiceLine(text);
    if (line.isEmpty())
        return;
    writingBox->setText(line);
    grid->setLine(line);
}

// Text selected in another program, the pad above all. What the engine selects itself, in its
// writing box, stays where it is.
void EngineWindow::selectionChanged() {
    const QClipboard* clipboard = QApplication::clipboard();
    if (clipboard->ownsSelection())
        return;
    takeLine(clipboard->text(QClipboard::Selection));
}

void EngineWindow::magnifierDropped(QPoint screenPoint) {
    if (!padLinesAt(screenPoint))
        return;
    // After the pointer grab has ended, so that the clicks reach the pad.
    QTimer::singleShot(50, this, [] { tripleClick(); });
}

// Stopping, from the button or from a close request: no question, and a stroke the pen is
// still drawing is finished first.
void EngineWindow::closeEvent(QCloseEvent* event) {
    grid->finishStroke();
    event->accept();
    QCoreApplication::quit();
}

void EngineWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void EngineWindow::dropEvent(QDropEvent* event) {
    takeLine(event->mimeData()->text());
    event->acceptProposedAction();
}
