// The keyboard on the shown board: Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, and the keys a
// presenter remote sends turn pages (Page Up / Page Down, Left / Right, Space), blank the
// projection (B or ".") and give it back (B, ".", Esc or F5), as the title bar's buttons do.
// A field being typed in keeps every key that types or moves its cursor.
#pragma once

#include <QObject>

class QKeyEvent;
class TForm3;

class BoardKeys final : public QObject {
    Q_OBJECT
public:
    explicit BoardKeys(TForm3* board);

    // What a key does on the board.
    enum class Action { None, TurnLeft, TurnRight, Blank, Unblank, Undo, Redo };
    // `typing` says that a field of text has the focus; `blanked` that the projection is.
    static Action actionFor(const QKeyEvent& key, bool typing, bool blanked);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm3* board_;
};
