// The toolbar's layout, its keep-on-top timer and the commands of its buttons.
#include "app/toolbar.h"

#include "annotate/overlay.h"
#include "app/application.h"
#include "app/blanking.h"
#include "app/forms.h"
#include "app/help_window.h"
#include "app/window_walk.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/widgets/button_pictures.h"
#include "platform/widgets/shell.h"
#include "practice/practice_pad.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

using namespace platform;

TForm1* Form1 = nullptr;

namespace {

constexpr TColor ToolbarColor = 33023; // orange
constexpr int ToolbarWidth = 343;
constexpr int ToolbarHeight = 39;

} // namespace

TForm1::TForm1()
    : Form(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus) {
    setWindowTitle(QString()); // no caption text; the application window alone is "K_Vorne"
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Qt shows hints only in the active window, and a window that never takes the focus never
    // becomes active: without this the picture-only buttons would carry no label at all.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    resize(ToolbarWidth, ToolbarHeight);

    Panel1 = new Panel(this, 0, 0, 351, 40, clSkyBlue);
    Panel1->setCaption(QStringLiteral("%*Z"));
    Panel1->setCaptionColor(clSkyBlue); // drawn in the panel's own colour: it cannot be seen
    Panel1->setCaptionAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    SpeedButton4 = pictureButton(Panel1, 0, 1, 38, 38, QStringLiteral("书写板"), Glyph::Whiteboard);
    SpeedButton3 = pictureButton(Panel1, 38, 1, 38, 38, QStringLiteral("标注"), Glyph::Annotate);
    Panel2 = new Panel(Panel1, 76, 1, 38, 37, clSkyBlue);
    Panel2->setCaption(QStringLiteral("  @&*"));
    Panel2->setCaptionColor(clSkyBlue);
    SpeedButton7 = new SpeedButton(Panel2, 0, 0, 38, 37);
    SpeedButton7->setIcon(buttonPicture(Glyph::Logo));
    SpeedButton8 = pictureButton(Panel1, 114, 1, 38, 38, QString(), Glyph::Keyboard);
    SpeedButton9 =
        pictureButton(Panel1, 153, 1, 38, 38, QStringLiteral("书写练习"), Glyph::Practice);
    SpeedButton10 = pictureButton(Panel1, 191, 1, 38, 38, QStringLiteral("消隐投影"), Glyph::Blank);
    SpeedButton2 = pictureButton(Panel1, 229, 1, 38, 38, QStringLiteral("帮助"), Glyph::Help);
    SpeedButton1 = pictureButton(Panel1, 267, 1, 38, 38, QStringLiteral("退出"), Glyph::Exit);
    SpeedButton5 = pictureButton(Panel1, 305, 1, 38, 38, QStringLiteral("微缩"), Glyph::Shrink);
    SpeedButton6 = new SpeedButton(Panel1, 0, 0, 16, 16);
    SpeedButton6->setIcon(buttonPicture(Glyph::Restore, 16));
    SpeedButton6->setIconSize(QSize(14, 14));
    SpeedButton6->hide();

    onClick(SpeedButton1, &TForm1::SpeedButton1Click);
    onClick(SpeedButton2, &TForm1::SpeedButton2Click);
    onClick(SpeedButton3, &TForm1::SpeedButton3Click);
    onClick(SpeedButton4, &TForm1::SpeedButton4Click);
    onClick(SpeedButton5, &TForm1::SpeedButton5Click);
    onClick(SpeedButton6, &TForm1::SpeedButton6Click);
    onClick(SpeedButton8, &TForm1::SpeedButton8Click);
    onClick(SpeedButton9, &TForm1::SpeedButton9Click);
    onClick(SpeedButton10, &TForm1::SpeedButton10Click);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    Timer1->start();
}

WindowHandle TForm1::handle() {
    return static_cast<WindowHandle>(winId());
}

void TForm1::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), toQColor(ToolbarColor));
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    guarded([&] { FormCloseQuery(canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    event->accept();
    Application->Terminate();
}

void TForm1::Timer1Timer() {
    windows().setZBand(handle(), ZBand::Topmost);
    // A box the teacher must answer (the exit question opens centred on the toolbar) stays
    // above it, or the toolbar would cover its text at the next tick.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != this && modal->isVisible())
        windows().setZBand(static_cast<WindowHandle>(modal->winId()), ZBand::Topmost);
}

// Open the whiteboard.
void TForm1::SpeedButton4Click() {
    Timer1->stop();
    hide();
    shell().openBoard();
}

// Open screen annotation. The window under the middle of a 1024 x 720 desktop is the one
// the teacher gets back when annotation ends.
void TForm1::SpeedButton3Click() {
    AnnotateTargetWindow = windows().windowFromPoint(QPoint(500, 360));
    Form2->openAnnotation();
}

// Start the on-screen tool, or close it when its window is open.
void TForm1::SpeedButton8Click() {
    if (closeWindowsCaptioned({OnScreenToolCaption}, 11) == 0)
        processes().startProgram(QStringLiteral("vrnkb.dll"), ShowState::Show);
}

// Open writing practice: the pad at the top centre, above the engine it starts. The pad's top
// stays on the screen when the screen is lower than the layout was made for.
void TForm1::SpeedButton9Click() {
    const int left = std::max(0, (screenWidth() - 552) / 2);
    if (screenHeight() == 600)
        Form14->placePad(left, 40, true);
    else
        Form14->placePad(left, std::max(0, (screenHeight() - 424) / 2 - 100), false);
    Form14->show();
    Form14->Tag = 1;
    const bool launched = processes().startProgram(
        writingEngineCommandLine(boardModel().programFolder()), ShowState::Show);
    Form14->startWatching(launched, {handle()});
}

// Blank the projection.
void TForm1::SpeedButton10Click() {
    windows().setZBand(handle(), ZBand::NotTopmost);
    Timer1->stop();
    Form5->showBlanking(false);
    // Just below the blanking window's return button at the right edge.
    windows().setPointerPosition(QPoint(screenWidth(), 50));
}

// Open help.
void TForm1::SpeedButton2Click() {
    Form4->ShowModal();
}

// Shrink to the 16 x 16 square at the left.
void TForm1::SpeedButton5Click() {
    setGeometry(x() + 275, y(), 16, 16);
    Panel1->resize(16, 16);
    SpeedButton6->show();
    SpeedButton3->hide();
}

// Restore the full toolbar. It comes back one pixel higher than at creation.
void TForm1::SpeedButton6Click() {
    Panel1->resize(351, 40);
    setGeometry(screenWidth() - ToolbarDockOffset, y(), 342, 40);
    SpeedButton3->show();
    SpeedButton6->hide();
}
