// The folder import's thumbnails beside their floor, a plain full decode of the same
// photograph in the same run: 200 photographs of 3000 x 2000 (JPEG, made here, not kept),
// each made into its 100 x 100 thumbnail by the queue the import window uses (a fraction of
// each file decoded, both cores at work, results taken in order). The figure to compare is
// the time per thumbnail over the time per full decode; it should stay under 0.5.
#include "intake/import_thumbnails.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Photos = 200;

// A photograph-like picture: smooth shapes with a fine texture over them, about as large when
// encoded as a camera's photograph of this size.
QImage photograph(int seed) {
    QImage image(3000, 2000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qRgb((x / 12 + seed * 7 + ((x * 7 + y * 13) % 11)) & 0xFF,
                          (y / 8 + ((x * y) % 5)) & 0xFF, ((x + y) / 16 + seed) & 0xFF);
    }
    return image;
}

struct Folder {
    QTemporaryDir dir;
    QStringList paths;
    Folder() {
        // Four different pictures written under 200 names: the files are what is read.
        QList<QByteArray> encoded;
        for (int i = 0; i < 4; ++i) {
            const QString path = dir.filePath(QStringLiteral("seed%1.jpg").arg(i));
            photograph(i).save(path, "jpeg", 90);
            paths.append(path);
        }
        for (int i = 4; i < Photos; ++i) {
            const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
            QFile::copy(paths[i % 4], path);
            paths.append(path);
        }
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

void FullDecode(benchmark::State& state) {
    const QString path = folder().paths.front();
    for (auto _ : state) {
        QImage image = QImageReader(path).read();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

// One thumbnail on this thread: what each core does per file.
void OneThumbnail(benchmark::State& state) {
    const QString path = folder().paths.front();
    for (auto _ : state) {
        std::optional<QImage> t = MakeImportThumbnail(path, folder().dir.path() + QLatin1Char('/'));
        benchmark::DoNotOptimize(t);
    }
    state.SetItemsProcessed(state.iterations());
}

void FolderOfThumbnails(benchmark::State& state) {
    const QStringList& paths = folder().paths;
    for (auto _ : state) {
        ThumbnailQueue queue(paths, folder().dir.path() + QLatin1Char('/'));
        while (!queue.atEnd()) {
            std::optional<QImage> t = queue.takeNext();
            benchmark::DoNotOptimize(t);
        }
    }
    state.SetItemsProcessed(state.iterations() * paths.size());
}

BENCHMARK(FullDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(OneThumbnail)->Unit(benchmark::kMillisecond);
BENCHMARK(FolderOfThumbnails)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
