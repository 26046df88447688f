#include "app/recovery.h"

#include "board/model/recovery_reader.h"
#include "board/model/recovery_recorder.h"
#include "board/model/recovery_writer.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/raster/rich_text.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/shell.h"

#include <QDir>
#include <QTextDocument>
#include <QTextEdit>

using namespace platform;

namespace {

BoardRecovery* theRecovery = nullptr;

const QString RecoveryQuestion = QStringLiteral("上次未正常退出，是否恢复未保存的页面？");

} // namespace

BoardRecovery::BoardRecovery(TForm3& board) : board_(board) {}

BoardRecovery::~BoardRecovery() {
    if (theRecovery == this)
        theRecovery = nullptr;
}

void BoardRecovery::start(QWidget* owner) {
    const QString base = stateFolder().path();
    if (base.isEmpty())
        return;
    lock_ = stateFolder().lockFile(base + QStringLiteral("/recovery.lock"));
    if (!lock_)
        return;
    const QString folder = base + QStringLiteral("/recovery");
    const auto textFile = [this](int page) { return board_.pageTextFile(page); };

    const std::optional<RecoveredBoard> found = readRecovery(folder);
    const bool restore = found && found->worthOffering() &&
                         dialogs().askYesNo(owner, RecoveryQuestion, ConfirmTitle) == Answer::Yes;
    // Restored, the folder stays until the first write replaces it: it holds what the board
    // holds now. Declined, damaged or empty, it goes.
    if (restore)
        restoreRecovery(board_.Board, *found, textFile);
    else
        QDir(folder).removeRecursively();

    writer_ = std::make_unique<RecoveryWriter>(folder);
    recorder_ = std::make_unique<RecoveryRecorder>(board_.Board, *writer_, textFile);
    recorder_->openPanel = [this]() -> std::optional<RecoveryRecorder::OpenPanel> {
        const int kind = board_.Board.panelKind(board_.Board.CurrentPage);
        if (board_.Panel4->isHidden() || kind == 0)
            return std::nullopt;
        QTextDocument* document = board_.RichEdit1->document();
        RecoveryRecorder::OpenPanel open{board_.Panel4->geometry(), document->revision(), {}};
        if (kind == 1)
            open.text = [document] { return richTextToRtf(*document); };
        return open;
    };
    recorder_->start();
    theRecovery = this;

    if (restore) {
        shell().hideToolbar();
        shell().openBoard();
    }
}

void BoardRecovery::discard() {
    if (recorder_)
        recorder_->discard();
}

void BoardRecovery::finish() {
    if (theRecovery == this)
        theRecovery = nullptr;
    recorder_.reset();
    if (writer_)
        writer_->discardAndStop();
    writer_.reset();
    lock_.reset();
}

void discardRecovery() {
    if (theRecovery != nullptr)
        theRecovery->discard();
}

void finishRecovery() {
    if (theRecovery != nullptr)
        theRecovery->finish();
}
