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

// Ctrl+Z and Ctrl+Y pressed while a stroke is held do nothing: the page stays as the stroke
// began on it, the release commits the stroke as drawn, and undo then takes back that stroke.
TEST_F(BoardFixture, UndoAndRedoWaitWhileAStrokeIsHeld) {
    struct Case {
        const char* what;
        int key;
        bool firstUndone; // the first stroke taken back before the second begins
    };
    const std::vector<Case> cases{{"undo", Qt::Key_Z, false}, {"redo", Qt::Key_Y, true}};
    setPenWidth(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Form3->SpeedButton5Click();
        stroke({{100, 200}, {500, 200}});
        if (c.firstUndone)
            press(Qt::Key_Z, Qt::ControlModifier);
        const QImage before = Form3->Board.current().copy();
        Form3->FormMouseDown(300, 100);
        Form3->FormMouseMove(Qt::LeftButton, 300, 250);
        press(c.key, Qt::ControlModifier);
        Form3->FormMouseMove(Qt::LeftButton, 300, 300);
        Form3->FormMouseUp(300, 300);
        EXPECT_EQ(pagePixel(150, 200), c.firstUndone ? Background : Ink);
        EXPECT_EQ(pagePixel(300, 150), Ink);
        EXPECT_EQ(pagePixel(300, 280), Ink);
        EXPECT_FALSE(Form3->Board.canRedo());
        press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Form3->Board.current(), before);
    }
}
