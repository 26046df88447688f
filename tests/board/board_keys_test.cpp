// The keyboard on the shown board: undo and redo, and the keys of a presenter remote.
#include "app/blanking.h"
#include "board/board_keys.h"
#include "board_fixture.h"

#include <QKeyEvent>

namespace {

using Action = BoardKeys::Action;

struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    bool typing;
    bool blanked;
    Action action;
};

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool repeated = false) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), repeated);
    QCoreApplication::sendEvent(Form3, &event);
}

} // namespace

TEST(BoardKeysTest, WhatEachKeyDoes) {
    constexpr auto None = Qt::NoModifier;
    constexpr auto Ctrl = Qt::ControlModifier;
    const std::vector<KeyCase> cases{
        {Qt::Key_PageDown, None, false, false, Action::TurnRight},
        {Qt::Key_Right, None, false, false, Action::TurnRight},
        {Qt::Key_Space, None, false, false, Action::TurnRight},
        {Qt::Key_PageUp, None, false, false, Action::TurnLeft},
        {Qt::Key_Left, None, false, false, Action::TurnLeft},
        {Qt::Key_B, None, false, false, Action::Blank},
        {Qt::Key_Period, None, false, false, Action::Blank},
        {Qt::Key_F5, None, false, false, Action::None},
        {Qt::Key_Escape, None, false, false, Action::None},
        {Qt::Key_Z, Ctrl, false, false, Action::Undo},
        {Qt::Key_Y, Ctrl, false, false, Action::Redo},
        {Qt::Key_Z, Ctrl | Qt::ShiftModifier, false, false, Action::Redo},
        {Qt::Key_B, Ctrl, false, false, Action::None},
        {Qt::Key_Tab, Qt::AltModifier, false, false, Action::None},
        // Typing: what types or moves the cursor stays with the field; the page keys turn.
        {Qt::Key_Period, None, true, false, Action::None},
        {Qt::Key_B, None, true, false, Action::None},
        {Qt::Key_Space, None, true, false, Action::None},
        {Qt::Key_Right, None, true, false, Action::None},
        {Qt::Key_Z, Ctrl, true, false, Action::None},
        {Qt::Key_PageDown, None, true, false, Action::TurnRight},
        // Blanked: the blank keys, Esc and F5 give the projection back; nothing else acts.
        {Qt::Key_B, None, false, true, Action::Unblank},
        {Qt::Key_Period, None, true, true, Action::Unblank},
        {Qt::Key_Escape, None, false, true, Action::Unblank},
        {Qt::Key_F5, None, false, true, Action::Unblank},
        {Qt::Key_PageDown, None, false, true, Action::None},
    };
    for (const KeyCase& c : cases) {
        const QKeyEvent key(QEvent::KeyPress, c.key, c.modifiers);
        EXPECT_EQ(BoardKeys::actionFor(key, c.typing, c.blanked), c.action)
            << "key " << c.key << " modifiers " << c.modifiers.toInt() << " typing " << c.typing
            << " blanked " << c.blanked;
    }
}

TEST_F(BoardFixture, PresenterKeysTurnBlankAndUnblankAndCtrlZUndoes) {
    setPenWidth(1);
    stroke({{100, 200}, {500, 200}});
    press(Qt::Key_PageDown);
    EXPECT_EQ(Form3->Board.currentPage(), 2);
    press(Qt::Key_PageDown); // an empty page makes no next page, as the turn button
    EXPECT_EQ(Form3->Board.currentPage(), 2);
    press(Qt::Key_PageUp);
    EXPECT_EQ(Form3->Board.currentPage(), 1);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pagePixel(300, 200), Background);
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(pagePixel(300, 200), Ink);
    press(Qt::Key_Period);
    EXPECT_TRUE(Form5->isVisible());
    press(Qt::Key_Period, Qt::NoModifier, true); // the key held: blanked once
    EXPECT_TRUE(Form5->isVisible());
    press(Qt::Key_Period);
    EXPECT_FALSE(Form5->isVisible());
}
