// The GUI thread's side of the recovery folder: it notices changes of the board, and when the
// board has been idle for a moment after one, or a page is turned, it hands the writer a copy
// of the board's state: cheap to make (pixels are shared with the page store, not copied),
// carrying only the pages that changed since the copy before.
#pragma once

#include "board/model/page_store.h"
#include "board/model/recovery_writer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

class BoardModel;

class RecoveryRecorder : public QObject {
    Q_OBJECT
public:
    // What only the board's window knows of the current page's panel while it is open: where
    // it stands, a number that changes with its editor's text, and that text (asked for only
    // when a snapshot is made; none when the panel shows a document).
    struct OpenPanel {
        QRect bounds;
        qint64 revision = 0;
        std::function<QByteArray()> text;
    };

    // How long the board stays unchanged before its state is written.
    static constexpr int IdleMs = 2000;

    RecoveryRecorder(BoardModel& board, RecoveryWriter& writer,
                     std::function<QString(int page)> textFile);

    // Set by the window that shows the board; without it the panels are taken as the board
    // holds them.
    std::function<std::optional<OpenPanel>()> openPanel;

    // Starts looking for changes; the state as it stands counts as written.
    void start();
    // Hands the board's state to the writer now, when it changed since it was last handed.
    void record();
    // The recovery folder goes (after the writes before); the state as it stands counts as
    // written, and the next write carries every page again.
    void discard();

private:
    void tick();
    // A stamp of everything a snapshot holds except the texts in files (which change only
    // with a turn, a panel closed or a lesson loaded, all of which change the stamp too).
    std::size_t stamp() const;
    RecoverySnapshot snapshot();

    BoardModel& board_;
    RecoveryWriter& writer_;
    std::function<QString(int page)> textFile_;
    QTimer timer_;
    QElapsedTimer sinceChange_;
    std::size_t seen_ = 0;
    std::size_t handed_ = 0;
    // The pixel version of each page as last handed to the writer; 0 for not handed.
    std::array<std::uint64_t, MaxPages + 1> handedVersions_{};
};
