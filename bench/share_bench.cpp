// Opening a lesson of 30 pages of 1920 x 1080 with strokes from a school's share, beside
// opening it from the local disk in the same run. The share is a real Samba server started on
// the loopback with a configuration of its own (tests/support/samba_server.sh; needs root).
// The counter x_disk is the share's figure divided by the disk's, measured just before it in
// each iteration: the target is 1.5 or less.
// An opening from the share brings the lesson's files into a lesson folder of this machine
// and opens it from there, as the program does.
#include "board/model/board_model.h"
#include "lessons/lesson_archive.h"
#include "lessons/share_jobs.h"
#include "seeded_pages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <unistd.h>

namespace {

constexpr QSize Screen{1920, 1080};
constexpr int Pages = 30;
constexpr int Port = 14451;
const lessons::LessonOwner Owner{QStringLiteral("教师1"), 2, 13};
const QString Password = QStringLiteral("kv-bench-Pw1");
const QString LessonUrl = QStringLiteral("smb://127.0.0.1/kvtest/Program files/K_Vorne/data/");

double diskSeconds = 0;

bool serverScript(const QStringList& arguments) {
    QProcess script;
    script.start(QStringLiteral("bash"), QStringList{QStringLiteral(KV_SAMBA_SCRIPT)} + arguments);
    return script.waitForFinished(30000) && script.exitCode() == 0;
}

struct Fixture {
    QTemporaryDir dir;
    QString root = dir.path() + QLatin1Char('/');
    QString disk = root + QStringLiteral("disk/");
    QString server = root + QStringLiteral("server");
    QString staging = root + QStringLiteral("staging/");
    std::optional<platform::SchoolShare> share;
    QString problem;

    Fixture() {
        QDir().mkpath(disk);
        QDir().mkpath(staging);
        if (::geteuid() != 0 ||
            !serverScript({QStringLiteral("start"), server, QString::number(Port), Password})) {
            problem = QStringLiteral("needs root and a Samba server on port %1").arg(Port);
            return;
        }
        QFile password(root + QStringLiteral("password"));
        password.open(QIODevice::WriteOnly);
        password.write(Password.toUtf8());
        password.close();
        password.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        share = platform::parseSchoolShare(
            QStringLiteral("Address=smb://127.0.0.1:%1/kvtest\nAccount=root\n").arg(Port).toUtf8(),
            password.fileName());
        BoardModel board;
        board.create(Screen, root);
        std::mt19937 random(20240611);
        for (int page = 1; page <= Pages; ++page) {
            board.writePage(page, seededPage(random, Screen));
            board.setPageState(page, PageWithContent);
        }
        board.setPageCount(Pages);
        board.settle();
        lessons::ShareSession session(*share);
        lessons::ShareTask task;
        if (!lessons::LessonArchive().save(board, disk, Owner, false).ok() ||
            !lessons::uploadLesson(session, LessonUrl, Owner, {}, disk, true, task).result.ok())
            problem = QStringLiteral("the lesson could not be stored");
    }
    ~Fixture() { serverScript({QStringLiteral("stop"), server}); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double seconds(const std::chrono::steady_clock::time_point& since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_OpenFromDisk(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.problem.isEmpty()) {
        state.SkipWithError(f.problem.toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        BoardModel target;
        target.create(Screen, f.root);
        const auto start = std::chrono::steady_clock::now();
        if (!lessons::LessonArchive().open(target, f.disk, Owner).ok())
            state.SkipWithError("open failed");
        diskSeconds = seconds(start);
        state.SetIterationTime(diskSeconds);
        target.settle();
    }
}

void BM_OpenFromShare(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.problem.isEmpty()) {
        state.SkipWithError(f.problem.toStdString().c_str());
        return;
    }
    // The program keeps its connection to the share between lessons.
    lessons::ShareSession session(*f.share);
    for (auto _ : state) {
        // The disk's figure just before, so that a machine busy with other work weighs on
        // both alike.
        {
            BoardModel target;
            target.create(Screen, f.root);
            const auto start = std::chrono::steady_clock::now();
            lessons::LessonArchive().open(target, f.disk, Owner);
            diskSeconds = seconds(start);
            target.settle();
        }
        BoardModel target;
        target.create(Screen, f.root);
        lessons::ShareTask task;
        const auto start = std::chrono::steady_clock::now();
        const lessons::ShareReply reply =
            lessons::downloadLesson(session, LessonUrl, Owner, {}, f.staging, task);
        if (!reply.result.ok() || !lessons::LessonArchive().open(target, f.staging, Owner).ok())
            state.SkipWithError("open failed");
        const double s = seconds(start);
        state.SetIterationTime(s);
        state.counters["x_disk"] = s / diskSeconds;
        target.settle();
    }
}

BENCHMARK(BM_OpenFromDisk)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFromShare)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
