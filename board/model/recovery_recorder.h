// The GUI thread's side of the recovery folder: it notices changes of the board, and when the
// oldest change not yet handed over is two seconds old (however the board changes after it),
// or a page is turned, it hands the writer a copy of the board's state: cheap to make (pixels
// are shared with the page store, not copied, and texts in files are read by the writer),
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
    // it stands, a number that changes whenever its editor's text changes, and that text (asked
    // for only when a snapshot is made and the number changed since the text was last asked
    // for; none when the panel shows a document).
    struct OpenPanel {
        QRect bounds;
        qint64 revision = 0;
        std::function<QByteArray()> text;
    };

    // The most a change waits before the board's state is handed to the writer.
    static constexpr int MaxUnsavedMs = 2000;

    RecoveryRecorder(BoardModel& board, RecoveryWriter& writer,
                     std::function<QString(int page)> textFile);

    // Set by the window that shows the board; without it the panels are taken as the board
    // holds them.
    std::function<std::optional<OpenPanel>()> openPanel;

    // The recorder's clock in milliseconds; tests set one of their own and call tick().
    std::function<qint64()> clock;

    // Starts looking for changes; the state as it stands counts as written, unless `written`
    // is false (the folder does not hold it): it is then handed over as a change would be.
    void start(bool written = true);
    // One look at the board, as the recorder's timer takes it every quarter second.
    void tick();
    // Hands the board's state to the writer now, when it changed since it was last handed.
    void record();
    // The recovery folder goes (after the writes before); the state as it stands counts as
    // written, and the next write carries every page again.
    void discard();

private:
    // A stamp of everything a snapshot holds except the texts in files (which change only
    // with a turn, a panel closed or a lesson loaded, all of which change the stamp too).
    std::size_t stamp() const;
    RecoverySnapshot snapshot();

    BoardModel& board_;
    RecoveryWriter& writer_;
    std::function<QString(int page)> textFile_;
    QTimer timer_;
    QElapsedTimer elapsed_;
    // The stamp last handed to the writer; nothing when the folder does not hold the board.
    std::optional<std::size_t> handed_;
    // The last moment the board was seen as handed: the oldest change not handed over came
    // after it.
    qint64 handedSeenAt_ = 0;
    // The open panel's text as last asked for, with the page and number it was asked for at.
    struct PanelText {
        int page = 0;
        qint64 revision = 0;
        QByteArray rtf;
    };
    std::optional<PanelText> panelText_;
    // The pixel version of each page as last handed to the writer; 0 for not handed.
    std::array<std::uint64_t, MaxPages + 1> handedVersions_{};
};
