#include "app/blanking.h"

#include "annotate/overlay.h"
#include "app/blanking_curtain.h"
#include "app/blanking_screens.h"
#include "app/forms.h"
#include "app/screen_choice_window.h"
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/widgets/button_pictures.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

using namespace platform;

platform::SingleWindow<TForm5> Form5;

namespace {

// Puts a window over a screen: on that screen of Qt's (which may be an X screen of its own),
// at its place.
void placeOn(QWidget* window, const ScreenInfo& screen) {
    for (QScreen* s : QGuiApplication::screens())
        if (s->name() == screen.name && s->geometry() == screen.geometry && window->screen() != s)
            window->setScreen(s);
    window->setGeometry(screen.geometry);
}

} // namespace

TForm5::TForm5() : Form(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("消隐投影"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    SpeedButton1 = new SpeedButton(this, 0, 0, 33, 33, QStringLiteral("恢复投影"));
    SpeedButton1->setIcon(buttonPicture(Glyph::Return));
    onClick(SpeedButton1, &TForm5::SpeedButton1Click);
    SpeedButton2 = new SpeedButton(this, 0, 0, 33, 33, QStringLiteral("选择消隐的屏幕"));
    SpeedButton2->setIcon(buttonPicture(Glyph::Blank));
    SpeedButton2->hide();
    onClick(SpeedButton2, &TForm5::SpeedButton2Click);
}

TForm5::~TForm5() = default;

ScreenChoiceWindow* TForm5::screenChoice() {
    if (!screenChoice_)
        screenChoice_ = std::make_unique<ScreenChoiceWindow>();
    return screenChoice_.get();
}

void TForm5::showBlanking(bool modal) {
    const std::vector<ScreenInfo> present = display().screens();
    if (present.size() < 2) {
        place_ = QRect(0, 0, screenWidth(), screenHeight());
        if (isHidden())
            setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
        show();
        return;
    }
    if (!isHidden()) {
        // Blanking beside the teacher's screen: the same command gives the picture back.
        if (ownScreenWorks_) {
            const QPoint pointer = windows().pointerPosition();
            SpeedButton1Click();
            keepPointerAt(pointer);
        }
        return;
    }
    std::vector<ScreenInfo> chosen = blanking::chosenScreens(present, blanking::rememberedChoice());
    if (chosen.empty()) {
        const QPoint pointer = windows().pointerPosition();
        chosen = blanking::chosenScreens(present, chooseScreens(present));
        if (chosen.empty()) {
            // Nothing blanked: the toolbar and the pointer go on as before.
            Form1->Timer1->start();
            keepPointerAt(pointer);
            return;
        }
    }
    blankScreens(present, chosen, modal);
}

QStringList TForm5::chooseScreens(const std::vector<ScreenInfo>& present) {
    const QStringList keys = screenChoice()->ask(present, blanking::rememberedChoice());
    // A choice that cannot be kept is asked for again next time.
    if (!keys.isEmpty())
        blanking::rememberChoice(keys);
    return keys;
}

void TForm5::blankScreens(const std::vector<ScreenInfo>& present,
                          const std::vector<ScreenInfo>& chosen, bool modal) {
    blanked_ = chosen;
    modalAsked_ = modal;
    ownScreenWorks_ = std::find(chosen.begin(), chosen.end(), present.front()) == chosen.end();
    place_ = chosen.front().geometry;
    placeOn(this, chosen.front());
    dropCurtains();
    for (size_t i = 1; i < chosen.size(); ++i) {
        auto curtain = std::make_unique<BlankingCurtain>();
        connect(curtain.get(), &BlankingCurtain::pressed, this,
                [this] { guarded([this] { FormMouseDown(); }); });
        placeOn(curtain.get(), chosen[i]);
        curtain->show();
        windows().setZBand(static_cast<WindowHandle>(curtain->winId()), ZBand::Topmost);
        curtains_.push_back(std::move(curtain));
    }
    setWindowModality(modal && !ownScreenWorks_ ? Qt::ApplicationModal : Qt::NonModal);
    show();
    if (!ownScreenWorks_) {
        Form1->Timer1->stop();
        return;
    }
    // The teacher's screen goes on working: the toolbar keeps its place on top, and the
    // pointer stays where the teacher left it rather than going to the blanked screen.
    Form1->Timer1->start();
    keepPointerAt(windows().pointerPosition());
}

// A press on a curtain ends the blanking from within the curtain's own handler: it goes once
// that handler is done.
void TForm5::dropCurtains() {
    for (std::unique_ptr<BlankingCurtain>& curtain : curtains_) {
        curtain->hide();
        curtain.release()->deleteLater();
    }
    curtains_.clear();
}

// The blanking commands move the pointer to the return button once blanking shows; where the
// teacher's screen stays in use (or nothing was blanked), it goes back to where it was.
void TForm5::keepPointerAt(QPoint pointer) {
    QTimer::singleShot(0, this, [pointer] { windows().setPointerPosition(pointer); });
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
    if (blanked_.empty())
        place_ = QRect(0, 0, screenWidth(), screenHeight());
    setGeometry(place_);
    SpeedButton1->move(place_.width() - 33, 0);
    SpeedButton2->move(place_.width() - 66, 0);
    SpeedButton2->setVisible(display().screens().size() >= 2);
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
    boardModel().setBoardPaintMode(1);
    Form1->Timer1->start();
    dropCurtains();
    blanked_.clear();
    ownScreenWorks_ = false;
    hide();
    if (Form2.visible())
        Form2->drawOnSurface(boardModel().scratchBitmap());
    else if (Form3.visible())
        Form3->drawOnSurface(Form3->Board.current());
}

// Another choice of screens, blanked at once.
void TForm5::SpeedButton2Click() {
    const std::vector<ScreenInfo> present = display().screens();
    const std::vector<ScreenInfo> chosen = blanking::chosenScreens(present, chooseScreens(present));
    if (chosen.empty())
        return;
    const bool modal = modalAsked_;
    SpeedButton1Click();
    blankScreens(present, chosen, modal);
}
