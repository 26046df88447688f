// The whiteboard's pen, stroke release and page turns on 1920 x 1080 and 3840 x 2160 screens,
// each beside its floor, a page-sized memcpy of the same screen measured in the same run.
// The counter x_memcpy is the figure divided by that floor, both in CPU time of the whole
// process (Qt paints large areas on worker threads too), so that other programs on a busy
// machine do not move the ratio; the Time column is the wall time, which on a quiet machine is
// the latency the teacher sees.
#include "app/application.h"
#include "app/forms.h"
#include "app/toolbar.h"
#include "board/model/recovery_recorder.h"
#include "board/model/recovery_writer.h"
#include "board/whiteboard.h"
#include "platform/os/fakes.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <time.h>
#include <vector>

namespace {

constexpr QSize FullHd{1920, 1080};
constexpr QSize Uhd{3840, 2160};

// The targets compare against the larger screen's memcpy whatever the screen measured.
constexpr QSize LargestScreen = Uhd;

QSize screenOf(const benchmark::State& state) {
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
}

// ---------------------------------------------------------------------------------------------
// Measuring, and the floor

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Google Benchmark keeps its timings to itself, so the ratios time the loop again, less what
// it paused: its CPU time and the page faults (first touches of fresh memory) it took.
class Meter {
public:
    explicit Meter(benchmark::State& state)
        : state_(state), seconds_(-cpuSeconds()), faults_(-minorFaults()) {}

    void pause() {
        state_.PauseTiming();
        seconds_ += cpuSeconds();
        faults_ += minorFaults();
    }
    void resume() {
        faults_ -= minorFaults();
        seconds_ -= cpuSeconds();
        state_.ResumeTiming();
    }
    // Ends the measurement; the loop has ended.
    void stop() {
        seconds_ += cpuSeconds();
        faults_ += minorFaults();
    }
    double secondsPerIteration() const { return seconds_ / iterations(); }
    double faultsPerIteration() const { return static_cast<double>(faults_) / iterations(); }

private:
    double iterations() const { return static_cast<double>(state_.iterations()); }

    benchmark::State& state_;
    double seconds_;
    long faults_;
};

// The page memcpy of a screen as this run measured it.
struct Floor {
    benchmark::IterationCount iterations = 0;
    double seconds = 0.0; // CPU seconds per copy
};

// By screen width.
std::map<int, Floor>& floors() {
    static std::map<int, Floor> byWidth;
    return byWidth;
}

struct PageBuffers {
    std::vector<std::uint32_t> from;
    std::vector<std::uint32_t> to;
    explicit PageBuffers(QSize screen)
        : from(static_cast<std::size_t>(screen.width()) * static_cast<std::size_t>(screen.height()),
               0x00804020u),
          to(from.size(), 0u) {}
    void copy() {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
};

void PageMemcpy(benchmark::State& state) {
    PageBuffers buffers(screenOf(state));
    Meter meter(state);
    for (auto _ : state)
        buffers.copy();
    meter.stop();
    // Google Benchmark calls this with few iterations while it settles their number, then with
    // the settled number once per repetition: the floor is the fastest of those last calls,
    // the copy least disturbed by the rest of the machine.
    Floor& floor = floors()[screenOf(state).width()];
    const double seconds = meter.secondsPerIteration();
    if (state.iterations() > floor.iterations ||
        (state.iterations() == floor.iterations && seconds < floor.seconds))
        floor = {state.iterations(), seconds};
}

// The memory traffic of a turn between two pages without the turn: each copy reads the page
// the previous one did not, so at 1920 x 1080 the source is not the one the cache still holds
// from the copy before, as it is in PageMemcpy. Not a floor of the ratios; beside them.
void PageMemcpyFromTwoPages(benchmark::State& state) {
    PageBuffers first(screenOf(state));
    PageBuffers second(screenOf(state));
    bool fromFirst = true;
    for (auto _ : state) {
        std::memcpy(first.to.data(), (fromFirst ? first.from : second.from).data(),
                    first.from.size() * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(first.to.data());
        benchmark::ClobberMemory();
        fromFirst = !fromFirst;
    }
}

// The floor for a screen: the figure of this run, or a short measurement of its own when a
// filter left the floor benchmark out.
double floorSeconds(QSize screen) {
    if (const auto known = floors().find(screen.width()); known != floors().end())
        return known->second.seconds;
    PageBuffers buffers(screen);
    buffers.copy();
    constexpr int Copies = 30;
    const double start = cpuSeconds();
    for (int i = 0; i < Copies; ++i)
        buffers.copy();
    const double seconds = (cpuSeconds() - start) / Copies;
    floors()[screen.width()] = {Copies, seconds};
    return seconds;
}

// Adds the figure as multiples of the page memcpy of the same screen (and of the largest
// screen's with `largest`), and the page faults per iteration: a first touch of memory costs
// far more on some virtual machines than the copy of the page it belongs to.
void report(benchmark::State& state, const Meter& meter, bool largest = false) {
    state.counters["x_memcpy"] = meter.secondsPerIteration() / floorSeconds(screenOf(state));
    if (largest)
        state.counters["x_memcpy_4k"] = meter.secondsPerIteration() / floorSeconds(LargestScreen);
    state.counters["faults"] = meter.faultsPerIteration();
}

// ---------------------------------------------------------------------------------------------
// The program

QScreen* offscreenScreenOfSize(QSize size) {
    for (QScreen* s : QGuiApplication::screens()) {
        if (s->geometry().size() == size)
            return s;
    }
    return nullptr;
}

// Counts the repaints a window receives, to prove that the window really shows what it marks.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The program with the fake platform services on a screen of the given size, and the board
// open on page 1, as the teacher finds it after pressing the board button.
class Program {
public:
    explicit Program(QSize screen) {
        fakes_.display.size = screen;
        application_ = std::make_unique<TApplication>(QStringLiteral("K_Vorne"));
        Application = application_.get();
        fakes_.windows.addWindow(application_->Title());
        createForms();
        // A full-screen window takes the size of its screen, so the board goes on the
        // offscreen screen as large as the fake display.
        if (QScreen* s = offscreenScreenOfSize(screen))
            Form3->setScreen(s);
        Form3->installEventFilter(&paints_);
        // The exact pen, as the figures were first taken; PenMoveSmoothInk turns smooth ink on.
        Form3->Board.setSmoothInk(false);
        Form1->SpeedButton4Click();
        settle();
    }
    ~Program() {
        destroyForms();
        Application = nullptr;
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Lets the posted repaints run, as the event loop does between two inputs.
    static void settle() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    // False, with the reason set on `state`, when the board is not what the figures assume.
    bool ready(benchmark::State& state) const {
        const QSize screen = fakes_.display.size;
        if (Form3->size() != screen || Form3->Surface.size() != screen) {
            state.SkipWithError("the board window or its surface is not the size of the screen");
            return false;
        }
        if (paints_.paints == 0) {
            state.SkipWithError("the board window is not repainted");
            return false;
        }
        return true;
    }

private:
    platform::FakeServices fakes_;
    std::unique_ptr<TApplication> application_;
    PaintCounter paints_;
};

// A stroke of the pen as the fixtures of the tests make it: press, moves, release.
void stroke(std::initializer_list<QPoint> points) {
    const QPoint* p = points.begin();
    Form3->FormMouseDown(p->x(), p->y());
    for (++p; p != points.end(); ++p)
        Form3->FormMouseMove(Qt::LeftButton, p->x(), p->y());
    const QPoint last = *(points.end() - 1);
    Form3->FormMouseUp(last.x(), last.y());
}

// A pen path that bounces around the page in 20-pixel diagonal steps (16 across, 12 down),
// so that it never leaves the page however long it runs.
class BouncingPath {
public:
    explicit BouncingPath(QSize screen)
        : right_(screen.width() - Margin), bottom_(screen.height() - Margin) {}

    QPoint start() const { return at_; }
    QPoint next() {
        if (at_.x() + step_.x() < Margin || at_.x() + step_.x() > right_)
            step_.setX(-step_.x());
        if (at_.y() + step_.y() < Top || at_.y() + step_.y() > bottom_)
            step_.setY(-step_.y());
        at_ += step_;
        return at_;
    }

private:
    static constexpr int Margin = 60;
    static constexpr int Top = 100; // below the title bar
    int right_;
    int bottom_;
    QPoint at_{Margin + 7, Top + 3};
    QPoint step_{16, 12};
};

// ---------------------------------------------------------------------------------------------
// The benchmarks

// A pen reports 100 to 240 positions a second and the screen shows 60 frames, so a few moves
// share one repaint. Letting the event loop run every few moves (outside the timed part) keeps
// the dirty region as small as it gets in the program; never running it would let the region
// grow to thousands of rectangles and time the region arithmetic instead of the pen.
constexpr std::int64_t MovesPerRepaint = 4;

// The pen's moves, with the exact aliased ink or with smooth ink.
void penMove(benchmark::State& state, bool smooth) {
    Program program(screenOf(state));
    if (!program.ready(state))
        return;
    Form3->Board.setSmoothInk(smooth);
    BouncingPath path(screenOf(state));
    QPoint at = path.start();
    Form3->FormMouseDown(at.x(), at.y());
    std::int64_t moves = 0;
    Meter meter(state);
    for (auto _ : state) {
        at = path.next();
        Form3->FormMouseMove(Qt::LeftButton, at.x(), at.y());
        if (++moves % MovesPerRepaint == 0) {
            meter.pause();
            Program::settle();
            meter.resume();
        }
    }
    meter.stop();
    Form3->FormMouseUp(at.x(), at.y());
    report(state, meter);
}

void PenMove(benchmark::State& state) {
    penMove(state, false);
}

// Smooth ink: each move draws the newest piece again with its right tangent, and the next.
void PenMoveSmoothInk(benchmark::State& state) {
    penMove(state, true);
}

// The same moves with the repaint that follows each of them timed too: what the event loop
// spends until the segment is in the window's backing store (the X server's copy not included).
void PenMoveAndRepaint(benchmark::State& state) {
    Program program(screenOf(state));
    if (!program.ready(state))
        return;
    BouncingPath path(screenOf(state));
    QPoint at = path.start();
    Form3->FormMouseDown(at.x(), at.y());
    Meter meter(state);
    for (auto _ : state) {
        at = path.next();
        Form3->FormMouseMove(Qt::LeftButton, at.x(), at.y());
        Program::settle();
    }
    meter.stop();
    Form3->FormMouseUp(at.x(), at.y());
    report(state, meter);
}

// The release of a stroke whose box is 100 x 100: the undo snapshot of its region and the
// region committed into the page. The press and the moves are not timed.
void StrokeRelease(benchmark::State& state) {
    const QSize screen = screenOf(state);
    Program program(screen);
    if (!program.ready(state))
        return;
    constexpr int Box = 100;
    int n = 0;
    Meter meter(state);
    for (auto _ : state) {
        meter.pause();
        // Strokes walk over the page so that no cache keeps the same region warm for free.
        const int x = 80 + (n * 150) % (screen.width() - 2 * 80 - Box);
        const int y = 120 + ((n / 8) * 150) % (screen.height() - 120 - 80 - Box);
        ++n;
        Form3->FormMouseDown(x, y);
        Form3->FormMouseMove(Qt::LeftButton, x + 30, y + 60);
        Form3->FormMouseMove(Qt::LeftButton, x + Box, y + Box);
        Form3->FormMouseMove(Qt::LeftButton, x + 70, y + 20);
        Program::settle();
        meter.resume();
        Form3->FormMouseUp(x + 70, y + 20);
    }
    meter.stop();
    report(state, meter, true);
}

// Two pages with content; a turn to the other one per iteration, drawn onto the window
// surface and its repaint asked for. With `timeRepaint` the repaint itself is timed too.
void turnBetweenTwoPages(benchmark::State& state, bool timeRepaint, bool packed = false) {
    Program program(screenOf(state));
    if (!program.ready(state))
        return;
    stroke({{200, 200}, {400, 300}, {600, 200}});
    Form3->SpeedButton12Click();
    Program::settle();
    stroke({{300, 300}, {500, 400}, {700, 300}});
    Program::settle();
    if (Form3->Board.pageCount() != 2 || Form3->Board.currentPage() != 2) {
        state.SkipWithError("the board did not make its second page");
        return;
    }
    bool left = true;
    Meter meter(state);
    for (auto _ : state) {
        if (left)
            Form3->SpeedButton11Click();
        else
            Form3->SpeedButton12Click();
        left = !left;
        if (packed) {
            // The page to turn to next is packed by the time of the turn, as it is when the
            // teacher turns back after a while.
            meter.pause();
            Form3->Board.settle();
            meter.resume();
        }
        if (timeRepaint) {
            Program::settle();
        } else {
            meter.pause();
            Program::settle();
            meter.resume();
        }
    }
    meter.stop();
    if (Form3->Board.pageCount() != 2) {
        state.SkipWithError("a turn made a page");
        return;
    }
    report(state, meter);
}

void TurnToExistingPage(benchmark::State& state) {
    turnBetweenTwoPages(state, false);
}

void TurnToExistingPageAndRepaint(benchmark::State& state) {
    turnBetweenTwoPages(state, true);
}

// A turn to a page that is held packed: it is expanded and shown.
void TurnToPackedPage(benchmark::State& state) {
    turnBetweenTwoPages(state, false, true);
}

std::int64_t residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// The teacher writes on every page of a lesson and turns to the next, 99 pages; then goes
// through them all again twice, writing on each. Resident memory after each round, beside
// the program's own with the board open on one page (the floor).
void NinetyNinePages(benchmark::State& state) {
    const QSize screen = screenOf(state);
    for (auto _ : state) {
        Program program(screen);
        if (!program.ready(state))
            return;
        state.counters["MB_board_open"] = static_cast<double>(residentKiB()) / 1024.0;
        BouncingPath path(screen);
        auto write = [&] {
            QPoint a = path.next();
            QPoint b = path.next();
            QPoint c = path.next();
            stroke({a, b, c});
            Program::settle();
        };
        for (int page = 1; page < MaxPages; ++page) {
            write();
            Form3->SpeedButton12Click();
            Program::settle();
        }
        write();
        Form3->Board.settle();
        state.counters["MB_99_pages"] = static_cast<double>(residentKiB()) / 1024.0;
        for (int round = 2; round <= 3; ++round) {
            for (int page = MaxPages; page > 1; --page) {
                write();
                Form3->SpeedButton11Click();
                Program::settle();
            }
            for (int page = 1; page < MaxPages; ++page) {
                write();
                Form3->SpeedButton12Click();
                Program::settle();
            }
            Form3->Board.settle();
            state.counters["MB_round_" + std::to_string(round)] =
                static_cast<double>(residentKiB()) / 1024.0;
        }
        state.counters["MB_pages_held"] =
            static_cast<double>(Form3->Board.heldBytes()) / (1024.0 * 1024.0);
    }
}

// A turn right from a page with content on the last page: a new page is made, filled with the
// background colour and shown. At page 99 the board has no more pages, so the program starts
// over (not timed).
void TurnToNewPage(benchmark::State& state) {
    const QSize screen = screenOf(state);
    std::optional<Program> program;
    program.emplace(screen);
    if (!program->ready(state))
        return;
    Meter meter(state);
    for (auto _ : state) {
        meter.pause();
        if (Form3->Board.currentPage() == MaxPages) {
            program.reset();
            program.emplace(screen);
        }
        Form3->Board.setPageState(Form3->Board.currentPage(), PageWithContent);
        const int pages = Form3->Board.pageCount();
        Program::settle();
        meter.resume();
        Form3->SpeedButton12Click();
        if (Form3->Board.pageCount() != pages + 1) {
            state.SkipWithError("the turn did not make a page");
            return;
        }
    }
    meter.stop();
    report(state, meter);
}

// Two pages with content and the board back on the first, the second held packed: what the
// thumbnail strip opens over.
bool twoPagesOnTheFirst(benchmark::State& state) {
    stroke({{200, 200}, {400, 300}, {600, 200}});
    Form3->SpeedButton12Click();
    stroke({{300, 300}, {500, 400}, {700, 300}});
    Form3->SpeedButton11Click();
    Form3->Board.settle();
    Program::settle();
    if (Form3->Board.pageCount() != 2 || Form3->Board.currentPage() != 1) {
        state.SkipWithError("the board did not make its second page");
        return false;
    }
    return true;
}

// Opening the strip over two pages: the quick stretches and the half-size renders of both.
// Closing it again is not timed.
void OpenThumbnailStrip(benchmark::State& state) {
    Program program(screenOf(state));
    if (!program.ready(state) || !twoPagesOnTheFirst(state))
        return;
    Meter meter(state);
    for (auto _ : state) {
        Form3->SpeedButton1Click();
        meter.pause();
        Form3->SpeedButton30Click();
        Program::settle();
        meter.resume();
    }
    meter.stop();
    report(state, meter);
}

// The end of a scroll in two-page view: both pages rendered at half size again.
void ThumbnailStripEndOfScroll(benchmark::State& state) {
    Program program(screenOf(state));
    if (!program.ready(state) || !twoPagesOnTheFirst(state))
        return;
    Form3->SpeedButton1Click();
    Program::settle();
    Meter meter(state);
    for (auto _ : state)
        Form3->ScrollBar1Scroll(TForm3::EndScroll);
    meter.stop();
    report(state, meter);
}

void onEachScreen(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h"});
    for (QSize s : {FullHd, Uhd})
        b->Args({s.width(), s.height()});
    b->Unit(benchmark::kMicrosecond);
}

// The floors first: every ratio below reads them.
BENCHMARK(PageMemcpy)->Apply(onEachScreen);
BENCHMARK(PageMemcpyFromTwoPages)->Apply(onEachScreen);
BENCHMARK(PenMove)->Apply(onEachScreen);
BENCHMARK(PenMoveSmoothInk)->Apply(onEachScreen);
BENCHMARK(PenMoveAndRepaint)->Apply(onEachScreen);
BENCHMARK(StrokeRelease)->Apply(onEachScreen);
BENCHMARK(TurnToExistingPage)->Apply(onEachScreen);
BENCHMARK(TurnToExistingPageAndRepaint)->Apply(onEachScreen);
BENCHMARK(TurnToPackedPage)->Apply(onEachScreen);
BENCHMARK(NinetyNinePages)
    ->Args({FullHd.width(), FullHd.height()})
    ->ArgNames({"w", "h"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(OpenThumbnailStrip)->Apply(onEachScreen);
BENCHMARK(ThumbnailStripEndOfScroll)->Apply(onEachScreen);
// Each turn takes fresh memory for its page; enough of them for a steady figure.
BENCHMARK(TurnToNewPage)->Apply(onEachScreen)->MinTime(2.0);

// ---------------------------------------------------------------------------------------------
// The recovery folder

// The board with 99 pages written on, each with strokes of its own, packed as the store keeps
// pages that are not shown.
void fillNinetyNinePages(QSize screen) {
    BoardModel& board = Form3->Board;
    BouncingPath path(screen);
    for (int page = 1; page <= MaxPages; ++page) {
        QImage picture = board.pagePicture(1).copy();
        QPainter painter(&picture);
        painter.setPen(QPen(Qt::red, 2));
        QPoint from = path.next();
        for (int i = 0; i < 40; ++i) {
            const QPoint to = path.next();
            painter.drawLine(from, to);
            from = to;
        }
        painter.end();
        board.writePage(page, picture);
        board.setPageState(page, PageWithContent);
    }
    board.setPageCount(MaxPages);
    board.settle();
}

// What a write of the whole board costs: 99 changed pages (98 packed by the store, the current
// one packed by the writer) and the manifest, each file flushed to the disk. The figure is the
// wall time until the folder is complete; x_memcpy is the whole process's CPU time over one
// page memcpy.
void RecoveryWrite99Pages(benchmark::State& state) {
    const QSize screen = screenOf(state);
    Program program(screen);
    if (!program.ready(state))
        return;
    fillNinetyNinePages(screen);
    QTemporaryDir dir;
    const QString noText = dir.filePath(QStringLiteral("no text"));
    RecoveryWriter writer(dir.filePath(QStringLiteral("recovery")), -1);
    Meter meter(state);
    for (auto _ : state) {
        // A recorder that has handed nothing yet hands every page.
        RecoveryRecorder recorder(Form3->Board, writer, [noText](int) { return noText; });
        recorder.record();
        writer.wait();
    }
    meter.stop();
    report(state, meter);
    state.counters["files"] =
        static_cast<double>(writer.filesWritten()) / static_cast<double>(state.iterations());
}

// The pen while the writer writes the 99 pages over and over, each write handed over (on the
// GUI thread, timed) as soon as the one before is done: far more often than the program's
// every two seconds. Compare with PenMove. writes counts the complete writes beside the moves.
void PenMoveDuringRecoveryWrite(benchmark::State& state) {
    const QSize screen = screenOf(state);
    Program program(screen);
    if (!program.ready(state))
        return;
    fillNinetyNinePages(screen);
    QTemporaryDir dir;
    const QString noText = dir.filePath(QStringLiteral("no text"));
    RecoveryWriter writer(dir.filePath(QStringLiteral("recovery")), -1);
    std::unique_ptr<RecoveryRecorder> recorder;
    int handed = 0;
    const auto writeAgainWhenDone = [&] {
        if (writer.filesWritten() < handed)
            return;
        recorder = std::make_unique<RecoveryRecorder>(Form3->Board, writer,
                                                      [noText](int) { return noText; });
        recorder->record();
        handed += MaxPages + 1;
    };
    writeAgainWhenDone();
    BouncingPath path(screen);
    QPoint at = path.start();
    Form3->FormMouseDown(at.x(), at.y());
    std::int64_t moves = 0;
    Meter meter(state);
    for (auto _ : state) {
        at = path.next();
        Form3->FormMouseMove(Qt::LeftButton, at.x(), at.y());
        if (++moves % MovesPerRepaint == 0) {
            meter.pause();
            Program::settle();
            meter.resume();
            // The hand-over runs on the GUI thread between pen events, as the recorder's
            // timer runs it in the program: it is timed with the moves.
            writeAgainWhenDone();
        }
    }
    meter.stop();
    Form3->FormMouseUp(at.x(), at.y());
    report(state, meter);
    state.counters["writes"] = static_cast<double>(writer.filesWritten() / (MaxPages + 1));
    writer.wait();
}

BENCHMARK(RecoveryWrite99Pages)
    ->Args({FullHd.width(), FullHd.height()})
    ->ArgNames({"w", "h"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PenMoveDuringRecoveryWrite)
    ->Args({FullHd.width(), FullHd.height()})
    ->ArgNames({"w", "h"})
    ->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------------------------
// The undo history

// A written word: a zig-zag of eight moves, 120 x 50, as a fast hand writes it.
void writeWord(QPoint at) {
    stroke({at, at + QPoint(15, 50), at + QPoint(30, 0), at + QPoint(45, 50), at + QPoint(60, 5),
            at + QPoint(75, 45), at + QPoint(90, 10), at + QPoint(105, 40), at + QPoint(120, 20)});
}

// 50 strokes written on each of the 99 pages: the memory the history holds for all of them,
// against its bound, and how many steps it still keeps on the first page and the last. The
// time is that of the whole lesson written.
void HistoryOf99PagesOf50Strokes(benchmark::State& state) {
    const QSize screen = screenOf(state);
    constexpr int Strokes = 50;
    for (auto _ : state) {
        Program program(screen);
        if (!program.ready(state))
            return;
        for (int page = 1; page <= MaxPages; ++page) {
            for (int i = 0; i < Strokes; ++i) {
                // Each word over half of the one before and the row above, so that the
                // rectangles the steps keep hold ink, not only the background.
                const int x = 80 + (i % 10) * 60;
                const int y = 120 + (i / 10) * 40;
                writeWord({x, y});
            }
            if (page < MaxPages)
                Form3->SpeedButton12Click();
        }
        const PageHistory& history = Form3->Board.history();
        state.counters["MB_history"] = static_cast<double>(history.heldBytes()) / (1024.0 * 1024.0);
        state.counters["MB_bound"] = static_cast<double>(history.bound()) / (1024.0 * 1024.0);
        state.counters["steps_page_1"] = static_cast<double>(history.undoSteps(1));
        state.counters["steps_page_99"] = static_cast<double>(history.undoSteps(MaxPages));
        if (history.heldBytes() > history.bound())
            state.SkipWithError("the history holds more than its bound");
    }
}

BENCHMARK(HistoryOf99PagesOf50Strokes)
    ->Apply(onEachScreen)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The offscreen platform's screens: one of each size the benchmarks use, so that the board's
// full-screen window is exactly as large as its page.
bool writeScreenConfig(QTemporaryFile& file) {
    if (!file.open())
        return false;
    QByteArray json = "{\"screens\": [";
    const char* separator = "";
    for (QSize s : {FullHd, Uhd}) {
        json += separator;
        json += QStringLiteral("{\"name\": \"board-%1x%2\", \"x\": 0, \"y\": 0, \"width\": %1, "
                               "\"height\": %2}")
                    .arg(s.width())
                    .arg(s.height())
                    .toUtf8();
        separator = ", ";
    }
    json += "]}";
    const bool written = file.write(json) == json.size();
    file.close();
    return written;
}

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform answers every raise of the board with a warning; hundreds of them
// would bury the table.
void dropRaiseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.contains(QLatin1String("does not support raise()")))
        return;
    qtDefaultHandler(type, context, text);
}

} // namespace

int main(int argc, char** argv) {
    qtDefaultHandler = qInstallMessageHandler(dropRaiseWarnings);
    QTemporaryFile screens;
    if (!writeScreenConfig(screens)) {
        std::fprintf(stderr, "cannot write the offscreen screen configuration\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("k-vorne-bench"));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
