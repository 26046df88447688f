// The lesson archive's save and open of 99 pages of 1920 x 1080 with strokes, beside Qt's own
// PNG writer and reader on the same pages in the same run, each on one thread. The counter
// x_qt is the figure divided by Qt's in that run. Files go to a folder on the local disk
// (the build folder), and the archive's figures include flushing every file to the disk.
// cpu_x_qt compares the CPU time of all threads, for runs on a machine busy with other work.
#include "board/model/board_model.h"
#include "lessons/lesson_archive.h"
#include "lessons/page_png.h"
#include "seeded_pages.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <random>

namespace {

constexpr QSize Screen{1920, 1080};
constexpr int Pages = 99;
const lessons::LessonOwner Owner{QStringLiteral("教师1"), 2, 13};

double qtWriteSeconds = 0;
double qtReadSeconds = 0;

struct Fixture {
    QString root = QDir::currentPath() + QStringLiteral("/lesson_bench_files/");
    QString qtFolder = root + QStringLiteral("qt/");
    QString folder = root + QStringLiteral("lesson/");
    std::vector<QImage> pages;
    BoardModel board;

    Fixture() {
        QDir(root).removeRecursively();
        QDir().mkpath(qtFolder);
        QDir().mkpath(folder);
        board.create(Screen, root);
        std::mt19937 random(20240611);
        for (int page = 1; page <= Pages; ++page) {
            pages.push_back(seededPage(random, Screen));
            board.writePage(page, pages.back());
            board.setPageState(page, PageWithContent);
        }
        board.setPageCount(Pages);
        board.settle();
    }
    ~Fixture() { QDir(root).removeRecursively(); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// CPU time of the whole process, all threads: on a machine shared with other work it shows
// what the wall time would be without them.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double qtWriteCpu = 0;
double qtReadCpu = 0;

double seconds(const std::chrono::steady_clock::time_point& since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_QtWriterOneThread(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = cpuSeconds();
        for (int page = 1; page <= Pages; ++page)
            QImageWriter(f.qtFolder + QString::number(page) + QStringLiteral(".png"), "png")
                .write(f.pages[static_cast<std::size_t>(page - 1)]);
        qtWriteSeconds = seconds(start);
        qtWriteCpu = cpuSeconds() - cpu;
        state.SetIterationTime(qtWriteSeconds);
    }
}

void BM_LessonFirstSave(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(f.folder).removeRecursively();
        QDir().mkpath(f.folder);
        lessons::LessonArchive archive;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double cpu = cpuSeconds();
        if (!archive.save(f.board, f.folder, Owner, false).ok())
            state.SkipWithError("save failed");
        const double s = seconds(start);
        state.SetIterationTime(s);
        state.counters["x_qt"] = s / qtWriteSeconds;
        state.counters["cpu_x_qt"] = (cpuSeconds() - cpu) / qtWriteCpu;
    }
}

void BM_LessonSaveAgainUnchanged(benchmark::State& state) {
    Fixture& f = fixture();
    lessons::LessonArchive archive;
    archive.save(f.board, f.folder, Owner, false);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = cpuSeconds();
        if (!archive.save(f.board, f.folder, Owner, false).ok())
            state.SkipWithError("save failed");
        const double s = seconds(start);
        state.SetIterationTime(s);
        state.counters["x_qt"] = s / qtWriteSeconds;
        state.counters["cpu_x_qt"] = (cpuSeconds() - cpu) / qtWriteCpu;
    }
}

// Qt's reader on the very files the archive opens.
void BM_QtReaderOneThread(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = cpuSeconds();
        for (int page = 1; page <= Pages; ++page) {
            QImage picture =
                QImageReader(
                    f.folder + Owner.key() + QString::number(page) + QStringLiteral(".pte"), "png")
                    .read();
            benchmark::DoNotOptimize(picture);
        }
        qtReadSeconds = seconds(start);
        qtReadCpu = cpuSeconds() - cpu;
        state.SetIterationTime(qtReadSeconds);
    }
}

void BM_LessonOpen(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        BoardModel target;
        target.create(Screen, f.root);
        lessons::LessonArchive archive;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double cpu = cpuSeconds();
        if (!archive.open(target, f.folder, Owner).ok())
            state.SkipWithError("open failed");
        const double s = seconds(start);
        state.SetIterationTime(s);
        state.counters["x_qt"] = s / qtReadSeconds;
        state.counters["cpu_x_qt"] = (cpuSeconds() - cpu) / qtReadCpu;
        state.PauseTiming();
        target.settle();
        state.ResumeTiming();
    }
}

// The parts of a page's open on one thread: decoding its file, and the board packing it.
void BM_DecodeOnePage(benchmark::State& state) {
    const QByteArray png = lessons::encodePagePng(fixture().pages[7]);
    state.counters["bytes"] = static_cast<double>(png.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(lessons::decodePagePng(png, Screen));
}

void BM_EncodeOnePage(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(lessons::encodePagePng(fixture().pages[7]));
}

void BM_PackOnePage(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(packPage(fixture().pages[7]));
}

BENCHMARK(BM_DecodeOnePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeOnePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackOnePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtWriterOneThread)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LessonFirstSave)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LessonSaveAgainUnchanged)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtReaderOneThread)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LessonOpen)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
