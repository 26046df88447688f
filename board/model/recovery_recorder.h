// The GUI thread's side of the recovery folder: it follows the board's signals, and when the
// oldest change not yet handed over is close to two seconds old (however the board changes
// after it), or a page is turned, it hands the writer a copy of the board's state: cheap to
// make (pixels are shared with the page store, not copied, and texts in files are read by the
// writer), carrying only the pages that changed since the copy before. A board that does not
// change costs it nothing: no timer runs.
#pragma once

#include "board/model/page_store.h"
#include "board/model/recovery_writer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTextDocument>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

class BoardModel;

class RecoveryRecorder : public QObject {
    Q_OBJECT
public:
    // The most a change waits before the board's state is handed to the writer, and how long
    // a write waits when the writer is still busy with the one before.
    static constexpr int MaxUnsavedMs = 2000;
    static constexpr int RetryMs = 250;

    RecoveryRecorder(BoardModel& board, RecoveryWriter& writer,
                     std::function<QString(int page)> textFile);

    // The bytes of the open text panel's text as its file keeps them; asked for only when a
    // snapshot is made and the text changed since they were last asked for.
    std::function<QByteArray(const QTextDocument&)> panelTextBytes;

    // The recorder's clock in milliseconds; tests set one of their own and call tick() for
    // the recorder's timer.
    std::function<qint64()> clock;

    // From now on a change is handed over in time; the state as it stands counts as written,
    // unless `written` is false (the folder does not hold it): it is then handed over as a
    // change would be.
    void start(bool written = true);
    // Something the folder keeps changed, as the board's signals say.
    void changed();
    // The recorder's timer ran out: the change it waits for is handed over when it is due and
    // the writer has no write waiting, else the timer runs again.
    void tick();
    // Hands the board's state to the writer now, when it changed since it was last handed.
    void record();
    // The recovery folder goes (after the writes before); the state as it stands counts as
    // written, and the next write carries every page again.
    void discard();
    // Whether a change waits to be handed over, its timer running.
    bool waiting() const { return timer_.isActive(); }

private:
    RecoverySnapshot snapshot();

    BoardModel& board_;
    RecoveryWriter& writer_;
    std::function<QString(int page)> textFile_;
    QTimer timer_;
    QElapsedTimer elapsed_;
    bool started_ = false;
    // Whether the board changed since it was last handed to the writer (or the folder does not
    // hold it), and when the oldest change not handed over was made.
    bool changed_ = true;
    qint64 changedAt_ = 0;
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
