// A frame of the presenting tools following the pen at 1080p: the tool moves by one pen step,
// and the part of the window that shows differently is drawn again as the window does it (the
// page under it, then the tools). Beside it, the floor: one copy of a whole 1080p frame.
// The spotlight's first frame, which darkens the whole window, is reported too.
#include "presenting/model/presenting_model.h"
#include "presenting/model/presenting_painter.h"

#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstring>

using namespace presenting;

namespace {

const QSize Screen(1920, 1080);
const QRect Area(0, 40, 1920, 1040);

QImage page() {
    QImage image(Screen, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    return image;
}

// The window's backing picture, in the format Qt paints windows into.
QImage frame() {
    QImage image(Screen, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

void drawFrame(QImage& target, const QImage& source, const PresentingModel& model,
               const QRect& dirty) {
    QPainter painter(&target);
    painter.setClipRect(dirty);
    painter.drawImage(dirty.topLeft(), source, dirty);
    paintTools(painter, model, source, dirty);
}

// The pen going to and fro across the middle of the screen, 6 pixels a step.
QPoint penAt(int step) {
    const int phase = step % 400;
    const int x = phase < 200 ? phase : 400 - phase;
    return Area.center() + QPoint(6 * (x - 100), 2 * (x - 100));
}

void followPen(benchmark::State& state, Tool tool) {
    const QImage source = page();
    QImage target = frame();
    PresentingModel model;
    model.setArea(Area);
    model.open(tool);
    QRect dirty;
    QObject::connect(&model, &PresentingModel::changed, [&](const QRect& r) { dirty |= r; });
    const QPoint start =
        tool == Tool::Spotlight ? model.spotlight().centre : model.magnifier().centre;
    model.press(start);
    drawFrame(target, source, model, Area);
    int step = 0;
    for (auto _ : state) {
        dirty = QRect();
        model.move(penAt(step++) - Area.center() + start);
        drawFrame(target, source, model, dirty);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel("one frame while the pen moves");
}

void BM_SpotlightFollowsPen(benchmark::State& state) {
    followPen(state, Tool::Spotlight);
}
BENCHMARK(BM_SpotlightFollowsPen)->Unit(benchmark::kMillisecond);

void BM_LoupeFollowsPen(benchmark::State& state) {
    followPen(state, Tool::Magnifier);
}
BENCHMARK(BM_LoupeFollowsPen)->Unit(benchmark::kMillisecond);

void BM_SpotlightWholeFrame(benchmark::State& state) {
    const QImage source = page();
    QImage target = frame();
    PresentingModel model;
    model.setArea(Area);
    model.open(Tool::Spotlight);
    for (auto _ : state) {
        drawFrame(target, source, model, QRect(QPoint(), Screen));
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_SpotlightWholeFrame)->Unit(benchmark::kMillisecond);

// The floor: a whole 1080p frame copied once.
void BM_FrameCopyFloor(benchmark::State& state) {
    const QImage source = page();
    QImage target(Screen, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(target.bits(), source.constBits(), static_cast<size_t>(source.sizeInBytes()));
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_FrameCopyFloor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
