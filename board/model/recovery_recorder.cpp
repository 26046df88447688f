#include "board/model/recovery_recorder.h"

#include "board/model/board_model.h"

namespace {

// How often the board is looked at for changes: a handful of integers per page.
constexpr int TickMs = 250;

void mix(std::size_t& seed, std::uint64_t value) {
    seed ^= std::hash<std::uint64_t>{}(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

} // namespace

RecoveryRecorder::RecoveryRecorder(BoardModel& board, RecoveryWriter& writer,
                                   std::function<QString(int page)> textFile)
    : board_(board), writer_(writer), textFile_(std::move(textFile)) {
    elapsed_.start();
    clock = [this] { return elapsed_.elapsed(); };
    timer_.setInterval(TickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RecoveryRecorder::tick);
    // A turn is the moment the teacher expects the page left to be safe.
    connect(&board_, &BoardModel::turnEnded, this, &RecoveryRecorder::record);
}

void RecoveryRecorder::start(bool written) {
    if (written)
        handed_ = stamp();
    handedSeenAt_ = clock();
    timer_.start();
}

std::size_t RecoveryRecorder::stamp() const {
    std::size_t s = 0;
    mix(s, static_cast<std::uint64_t>(board_.PageCount));
    mix(s, static_cast<std::uint64_t>(board_.CurrentPage));
    mix(s, board_.BackgroundColour);
    for (int n = 1; n <= board_.PageCount; ++n) {
        mix(s, board_.version(n));
        for (int v :
             {board_.PageState[n], board_.panelKind(n), board_.PanelLeft[n], board_.PanelTop[n],
              board_.PanelWidth[n], board_.PanelHeight[n], board_.PanelBaked[n]})
            mix(s, static_cast<std::uint64_t>(v));
    }
    if (openPanel) {
        if (const std::optional<OpenPanel> open = openPanel()) {
            mix(s, static_cast<std::uint64_t>(open->revision));
            for (int v :
                 {open->bounds.x(), open->bounds.y(), open->bounds.width(), open->bounds.height()})
                mix(s, static_cast<std::uint64_t>(v));
        }
    }
    return s;
}

void RecoveryRecorder::tick() {
    const qint64 at = clock();
    if (stamp() == handed_) {
        handedSeenAt_ = at;
        return;
    }
    // The change came after the last look that saw the board as handed: measured from that
    // look, it is handed over two seconds after it was made at the latest. A write still
    // waiting for the writer puts it off to the next look, so that writes never pile up.
    if (at - handedSeenAt_ >= MaxUnsavedMs && !writer_.hasWaitingWrite())
        record();
}

void RecoveryRecorder::record() {
    if (writer_.takeNeedsEveryPage())
        handedVersions_.fill(0);
    const std::size_t now = stamp();
    if (now == handed_)
        return;
    writer_.write(snapshot());
    handed_ = now;
    handedSeenAt_ = clock();
}

RecoverySnapshot RecoveryRecorder::snapshot() {
    RecoverySnapshot snapshot;
    snapshot.pageCount = board_.PageCount;
    snapshot.currentPage = board_.CurrentPage;
    snapshot.background = board_.BackgroundColour;
    const std::optional<OpenPanel> open = openPanel ? openPanel() : std::nullopt;
    for (int n = 1; n <= board_.PageCount; ++n) {
        if (!board_.exists(n))
            continue;
        RecoverySnapshotPage page;
        page.page = n;
        page.state = board_.PageState[n];
        page.panelKind = board_.panelKind(n);
        page.panel = QRect(board_.PanelLeft[n], board_.PanelTop[n], board_.PanelWidth[n],
                           board_.PanelHeight[n]);
        page.panelBaked = board_.PanelBaked[n];
        page.textFile = textFile_(n);
        if (n == board_.CurrentPage && open) {
            page.panel = open->bounds;
            if (open->text) {
                if (!panelText_ || panelText_->page != n || panelText_->revision != open->revision)
                    panelText_ = PanelText{n, open->revision, open->text()};
                page.text = panelText_->rtf;
            }
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
    handed_ = stamp();
    handedSeenAt_ = clock();
}
