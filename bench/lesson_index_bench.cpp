// Saving a lesson into a lesson folder whose index already holds many lessons. The index is
// read, checked against the new lesson (the settings window checks before it asks, the save
// again), and written once, so the time should grow with the number of sections, not with its
// square. Each figure comes for 1,000, 5,000 and 20,000 sections, beside reading the index's
// bytes into memory (the floor). Where the work is linear, the figure per section stays flat.
// The lesson saved has one small page, so that the index is what counts.
#include "board/model/board_model.h"
#include "lessons/lesson_archive.h"
#include "platform/os/ini_text.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>

namespace {

constexpr QSize Screen{320, 240};
const lessons::LessonOwner Owner{QStringLiteral("新老师"), 1, 1};

// An index as a school's years of lessons leave it: one section per lesson, three pages each.
QByteArray indexOf(int sections) {
    QString text;
    for (int i = 1; i <= sections; ++i) {
        const QString teacher = QStringLiteral("教师") + QString::number(i);
        text += QStringLiteral("[") + teacher + QStringLiteral("11]\r\npag=3\r\nteacher=") +
                teacher + QStringLiteral("\r\nvolume=1\r\nlesson=1\r\n");
    }
    return platform::toGbk(text);
}

double seconds(const std::chrono::steady_clock::time_point& since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Folder {
    QString root;
    QString folder;
    QByteArray index;
    BoardModel board;
    double readSeconds = 0;

    explicit Folder(int sections) {
        root = QDir::currentPath() + QStringLiteral("/lesson_index_bench_%1/").arg(sections);
        folder = root + QStringLiteral("data/");
        QDir(root).removeRecursively();
        QDir().mkpath(folder);
        index = indexOf(sections);
        QFile file(folder + lessons::LessonIndexFile);
        if (file.open(QIODevice::WriteOnly))
            file.write(index);
        board.create(Screen, root);
        QImage page(Screen, QImage::Format_RGB32);
        page.fill(Qt::darkGray);
        board.writePage(1, page);
        board.setPageState(1, PageWithContent);
        board.setPageCount(1);
        board.settle();
        // The floor: the index's bytes read from the disk, the best of a few.
        for (int i = 0; i < 20; ++i) {
            const auto start = std::chrono::steady_clock::now();
            QFile in(folder + lessons::LessonIndexFile);
            if (in.open(QIODevice::ReadOnly))
                benchmark::DoNotOptimize(in.readAll());
            const double s =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            readSeconds = i == 0 ? s : std::min(readSeconds, s);
        }
    }
    ~Folder() { QDir(root).removeRecursively(); }
};

Folder& folderOf(int sections) {
    static std::map<int, std::unique_ptr<Folder>> folders;
    auto& folder = folders[sections];
    if (!folder)
        folder = std::make_unique<Folder>(sections);
    return *folder;
}

// Times each run of the work: x_read is its time over the floor's, us_per_section its time
// per section of the index.
template <typename Work> void timed(benchmark::State& state, const Folder& f, Work work) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const double s = seconds(start);
        state.SetIterationTime(s);
        state.counters["x_read"] = s / f.readSeconds;
        state.counters["us_per_section"] = s * 1e6 / static_cast<double>(state.range(0));
    }
}

// The index read and its lessons listed, as the save's check lists them.
void BM_IndexSections(benchmark::State& state) {
    Folder& f = folderOf(static_cast<int>(state.range(0)));
    timed(state, f, [&] { benchmark::DoNotOptimize(platform::IniText(f.index).sections()); });
}

// The check before a save: is the lesson's name or one of its page files another lesson's?
void BM_SaveCheck(benchmark::State& state) {
    Folder& f = folderOf(static_cast<int>(state.range(0)));
    lessons::LessonArchive archive;
    timed(state, f, [&] {
        if (archive.checkSave(f.folder, Owner, 1).verdict !=
            lessons::LessonArchive::SaveCheck::Free)
            state.SkipWithError("the check refused");
    });
}

// What the save button does: the check, then the save with its own check, the page, the new
// index and the flushes to the disk.
void BM_SaveIntoIndex(benchmark::State& state) {
    Folder& f = folderOf(static_cast<int>(state.range(0)));
    lessons::LessonArchive archive;
    timed(state, f, [&] {
        (void)archive.checkSave(f.folder, Owner, 1);
        if (!archive.save(f.board, f.folder, Owner, false).ok())
            state.SkipWithError("save failed");
    });
}

BENCHMARK(BM_IndexSections)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCheck)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveIntoIndex)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
