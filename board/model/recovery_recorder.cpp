#include "board/model/recovery_recorder.h"

#include "board/model/board_model.h"
#include "platform/raster/rich_text.h"

namespace {

// A change is handed over this long after it was made, or up to RetryMs later when the
// writer is still busy: always within MaxUnsavedMs.
constexpr int DelayMs = RecoveryRecorder::MaxUnsavedMs - RecoveryRecorder::RetryMs;

} // namespace

RecoveryRecorder::RecoveryRecorder(BoardModel& board, RecoveryWriter& writer,
                                   std::function<QString(int page)> textFile)
    : board_(board), writer_(writer), textFile_(std::move(textFile)) {
    elapsed_.start();
    clock = [this] { return elapsed_.elapsed(); };
    panelTextBytes = platform::richTextToRtf;
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RecoveryRecorder::tick);
    // Everything a snapshot holds says when it changes. The texts in files change only with a
    // turn, a panel closed or a lesson loaded, each of which changes the board too.
    const auto note = [this] { changed(); };
    connect(&board_, &PageStore::pageWritten, this, note);
    connect(&board_, &PageStore::pageStateChanged, this, note);
    connect(&board_, &PageStore::panelChanged, this, note);
    connect(&board_, &PageStore::pageCountChanged, this, note);
    connect(&board_, &PageStore::currentPageChanged, this, note);
    connect(&board_, &BoardModel::backgroundChanged, this, note);
    connect(&board_, &BoardModel::panelTextChanged, this, note);
    // A turn is the moment the teacher expects the page left to be safe.
    connect(&board_, &BoardModel::turnEnded, this, &RecoveryRecorder::record);
}

void RecoveryRecorder::start(bool written) {
    started_ = true;
    changed_ = false;
    if (!written)
        changed();
}

void RecoveryRecorder::changed() {
    if (changed_)
        return;
    changed_ = true;
    changedAt_ = clock();
    if (started_)
        timer_.start(DelayMs);
}

void RecoveryRecorder::tick() {
    if (!changed_)
        return;
    const qint64 waited = clock() - changedAt_;
    if (waited < DelayMs) {
        timer_.start(static_cast<int>(DelayMs - waited));
        return;
    }
    // A write still waiting for the writer puts this one off, so that writes never pile up.
    if (writer_.hasWaitingWrite()) {
        timer_.start(RetryMs);
        return;
    }
    record();
}

void RecoveryRecorder::record() {
    if (writer_.takeNeedsEveryPage())
        handedVersions_.fill(0);
    if (!changed_)
        return;
    timer_.stop();
    writer_.write(snapshot());
    changed_ = false;
}

RecoverySnapshot RecoveryRecorder::snapshot() {
    RecoverySnapshot snapshot;
    snapshot.pageCount = board_.pageCount();
    snapshot.currentPage = board_.currentPage();
    snapshot.background = board_.backgroundColour();
    const int current = board_.currentPage();
    const bool openText = board_.panelShown() && board_.panelKind(current) == TextPanel;
    for (int n = 1; n <= board_.pageCount(); ++n) {
        if (!board_.exists(n))
            continue;
        RecoverySnapshotPage page;
        page.page = n;
        page.state = board_.pageState(n);
        page.panelKind = board_.panelKind(n);
        page.panel = board_.panelBounds(n);
        page.panelBaked = board_.panelBaked(n);
        page.textFile = textFile_(n);
        if (n == current && openText) {
            const qint64 revision = board_.panelTextRevision();
            if (!panelText_ || panelText_->page != n || panelText_->revision != revision)
                panelText_ = PanelText{n, revision, panelTextBytes(board_.panelText())};
            page.text = panelText_->rtf;
        }
        page.version = board_.version(n);
        auto& handed = handedVersions_[static_cast<std::size_t>(n)];
        if (handed != page.version) {
            PageStore::PageCopy copy = board_.pageCopy(n);
            page.packed = std::move(copy.packed);
            page.picture = std::move(copy.picture);
            handed = page.version;
        }
        snapshot.pages.push_back(std::move(page));
    }
    return snapshot;
}

void RecoveryRecorder::discard() {
    writer_.discard();
    handedVersions_.fill(0);
    timer_.stop();
    changed_ = false;
}
