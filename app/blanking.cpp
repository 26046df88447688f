#include "app/blanking.h"

#include "annotate/overlay.h"
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/widgets/button_pictures.h"

#include <QMouseEvent>
#include <QTimer>

using namespace platform;

TForm5* Form5 = nullptr;

TForm5::TForm5() : Form(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("消隐投影"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    SpeedButton1 = new SpeedButton(this, 0, 0, 33, 33, QStringLiteral("恢复投影"));
    SpeedButton1->setIcon(buttonPicture(Glyph::Return));
    onClick(SpeedButton1, &TForm5::SpeedButton1Click);
}

void TForm5::showBlanking(bool modal) {
    if (isHidden())
        setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    show();
}

// Shown from anywhere else, blanking is not modal.
void TForm5::hideEvent(QHideEvent* event) {
    Form::hideEvent(event);
    setWindowModality(Qt::NonModal);
}

void TForm5::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    guarded([this] { FormShow(); });
}

void TForm5::FormShow() {
    setGeometry(0, 0, screenWidth(), screenHeight());
    SpeedButton1->move(screenWidth() - 33, 0);
    windows().setZBand(static_cast<WindowHandle>(winId()), ZBand::Topmost);
}

void TForm5::mousePressEvent(QMouseEvent* event) {
    event->accept();
    guarded([this] { FormMouseDown(); });
}

void TForm5::FormMouseDown() {
    SpeedButton1Click();
}

void TForm5::SpeedButton1Click() {
    Form3->Board.setBoardPaintMode(1);
    Form1->Timer1->start();
    hide();
    if (Form2->isVisible())
        Form2->drawOnSurface(Form3->Board.scratchBitmap());
    else if (Form3->isVisible())
        Form3->drawOnSurface(Form3->Board.current());
}
