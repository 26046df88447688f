#include "board/board_keys.h"

#include "board/whiteboard.h"
#include "platform/widgets/shell.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

using namespace platform;

namespace {

// A field the teacher types into: an editable text box with the focus.
bool typingInto(const QWidget* focus) {
    if (const auto* edit = qobject_cast<const QTextEdit*>(focus))
        return !edit->isReadOnly();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(focus))
        return !edit->isReadOnly();
    if (const auto* edit = qobject_cast<const QLineEdit*>(focus))
        return !edit->isReadOnly();
    return false;
}

} // namespace

BoardKeys::BoardKeys(TForm3* board) : QObject(board), board_(board) {
    qApp->installEventFilter(this);
}

BoardKeys::Action BoardKeys::actionFor(const QKeyEvent& key, bool typing, bool blanked) {
    const Qt::KeyboardModifiers mods = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                          Qt::AltModifier | Qt::MetaModifier);
    const int k = key.key();
    if (blanked) {
        const bool back =
            k == Qt::Key_B || k == Qt::Key_Period || k == Qt::Key_Escape || k == Qt::Key_F5;
        return back && (mods & ~Qt::ShiftModifier) == 0 ? Action::Unblank : Action::None;
    }
    if (mods == Qt::ControlModifier && !typing) {
        if (k == Qt::Key_Z)
            return Action::Undo;
        if (k == Qt::Key_Y)
            return Action::Redo;
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && k == Qt::Key_Z && !typing)
        return Action::Redo;
    if (mods != Qt::NoModifier && !(mods == Qt::ShiftModifier && k == Qt::Key_F5))
        return Action::None;
    // The page keys do not type: they turn also while a field has the focus.
    switch (k) {
    case Qt::Key_PageUp:
        return Action::TurnLeft;
    case Qt::Key_PageDown:
        return Action::TurnRight;
    default:
        break;
    }
    if (typing)
        return Action::None;
    switch (k) {
    case Qt::Key_Left:
        return Action::TurnLeft;
    case Qt::Key_Right:
    case Qt::Key_Space:
        return Action::TurnRight;
    case Qt::Key_B:
    case Qt::Key_Period:
        return Action::Blank;
    default:
        return Action::None;
    }
}

bool BoardKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || !board_->isVisible())
        return false;
    const bool blanked = shell().projectionBlanked();
    // The board's own keys, and the ones that end a blanking begun on it.
    if (!blanked && static_cast<QWidget*>(watched)->window() != board_)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const Action action = actionFor(*key, typingInto(QApplication::focusWidget()), blanked);
    // A held key repeats: the projection is blanked or given back once.
    if (key->isAutoRepeat() && (action == Action::Blank || action == Action::Unblank))
        return true;
    switch (action) {
    case Action::None:
        return false;
    case Action::TurnLeft:
        board_->guarded([this] { board_->SpeedButton11Click(); });
        break;
    case Action::TurnRight:
        board_->guarded([this] { board_->SpeedButton12Click(); });
        break;
    case Action::Blank:
        board_->guarded([this] { board_->SpeedButton2Click(); });
        break;
    case Action::Unblank:
        shell().unblankProjection();
        break;
    case Action::Undo:
        board_->guarded([this] { board_->SpeedButton4Click(); });
        break;
    case Action::Redo:
        board_->guarded([this] { board_->RedoButtonClick(); });
        break;
    }
    return true;
}
