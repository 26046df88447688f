// Picture conversion beside its floor, a 1920 x 1080 page memcpy in the same run: a zoom step
// of a 960 x 540 selection, the two-page strip's pair of half-size renders, and the same pair
// through a temporary BMP file written and read back, which the conversion itself skips.
#include "intake/picture_conversion.h"

#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int PageWidth = 1920;
constexpr int PageHeight = 1080;

// A picture with something in every pixel, so that no path can take a shortcut on uniform
// colour.
QImage pattern(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb((x + seed) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF);
    }
    return image;
}

void PageMemcpy(benchmark::State& state) {
    const std::size_t pixels = std::size_t{PageWidth} * PageHeight;
    std::vector<std::uint32_t> from(pixels, 0x00804020u);
    std::vector<std::uint32_t> to(pixels);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), pixels * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(PageMemcpy)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Argument 1: a step in (fast); 0: a step out (smooth).
void SelectionZoomStep(benchmark::State& state) {
    const CapturedPicture selection = *CapturedPicture::fromBitmap(pattern(960, 540, 1));
    const float zoom = state.range(0) != 0 ? zoomedIn(1.0f) : zoomedOut(1.0f);
    const ConversionRequest request =
        boardZoomRequest(selection.size(), zoom, FloatingKind::Selection, QString());
    for (auto _ : state) {
        std::optional<QImage> result = ConvertPicture(selection, request);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(SelectionZoomStep)
    ->ArgName("in")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void StripPair(benchmark::State& state) {
    const QImage pages[] = {pattern(PageWidth, PageHeight, 1), pattern(PageWidth, PageHeight, 2)};
    for (auto _ : state) {
        for (const QImage& page : pages) {
            const std::optional<CapturedPicture> source = CapturedPicture::fromBitmap(page);
            std::optional<QImage> half =
                ConvertPicture(*source, thumbnailStripRequest(page.size(), QString()));
            benchmark::DoNotOptimize(half);
        }
    }
}
BENCHMARK(StripPair)->Unit(benchmark::kMicrosecond)->UseRealTime();

// What the file round trip would add: each half-size render written as BMP and read back.
void StripPairThroughBmpFile(benchmark::State& state) {
    const QImage pages[] = {pattern(PageWidth, PageHeight, 1), pattern(PageWidth, PageHeight, 2)};
    QTemporaryDir folder;
    const QString tmp = folder.filePath(QStringLiteral("tmp.bmt"));
    for (auto _ : state) {
        for (const QImage& page : pages) {
            const std::optional<CapturedPicture> source = CapturedPicture::fromBitmap(page);
            const std::optional<QImage> half =
                ConvertPicture(*source, thumbnailStripRequest(page.size(), QString()));
            if (!half || !half->save(tmp, "BMP")) {
                state.SkipWithError("cannot write the temporary BMP");
                return;
            }
            QImage readBack(tmp, "BMP");
            benchmark::DoNotOptimize(readBack);
        }
    }
}
BENCHMARK(StripPairThroughBmpFile)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
