// Opening the annotation overlay on a real X server, from the toolbar's command to the end of
// the overlay's first full paint, with the screen read (the X server's grab) and the wait for
// uncovered windows to repaint timed on their own; each beside a page-sized memcpy measured in
// the same run. The first opening and the later ones are reported apart. A plain program: the
// opening is modal and the first one happens once, which suits no benchmark loop.
#include "annotate/overlay.h"
#include "app/application.h"
#include "app/forms.h"
#include "app/toolbar.h"
#include "platform/os/fakes.h"
#include "platform/os/qt_display.h"
#include "platform/os/services.h"
#include "platform/os/x11_window_system.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The real display, with its capture split into the wait and the read and both timed.
class TimedDisplay final : public platform::Display {
public:
    double settleMs = 0;
    double readMs = 0;

    QSize screenSize() override { return real_.screenSize(); }
    int colourDepth() override { return real_.colourDepth(); }
    bool requestColourDepth(int bitsPerPixel) override {
        return real_.requestColourDepth(bitsPerPixel);
    }
    QImage grabScreen() override {
        const auto t0 = Clock::now();
        platform::QtDisplay::settle();
        const auto t1 = Clock::now();
        QImage image = platform::QtDisplay::readScreen();
        const auto t2 = Clock::now();
        settleMs = msSince(t0, t1);
        readMs = msSince(t1, t2);
        return image;
    }

private:
    platform::QtDisplay real_;
};

// Ends an opening once the overlay's first full paint has reached the X server.
class PaintProbe final : public QObject {
public:
    Clock::time_point shown;
    Clock::time_point painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == Form2 && event->type() == QEvent::Show)
            shown = Clock::now();
        if (watched == Form2 && event->type() == QEvent::Paint &&
            static_cast<QPaintEvent*>(event)->rect() == Form2->rect()) {
            // After this paint event Qt puts the picture on the window; the round trip makes
            // sure the server has done so.
            QTimer::singleShot(0, this, [this] {
                QGuiApplication::sync();
                painted = Clock::now();
                Form2->SpeedButton16Click();
            });
        }
        return false;
    }
};

double pageMemcpyMs(QSize screen) {
    const auto bytes =
        static_cast<std::size_t>(screen.width()) * static_cast<std::size_t>(screen.height()) * 4;
    std::vector<unsigned char> from(bytes, 1);
    std::vector<unsigned char> to(bytes, 2);
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) {
        from[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
        const auto t0 = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        const auto t1 = Clock::now();
        times.push_back(msSince(t0, t1));
    }
    // Keeps the copies from being optimised away.
    if (to[7] == 99)
        std::puts("");
    return median(times);
}

void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Opening {
    double total = 0;
    double settle = 0;
    double read = 0;
    double toShown = 0; // from the command to the window's show event
};

void report(const char* what, const Opening& o, double floor) {
    const double before = o.toShown - o.settle - o.read;
    const double after = o.total - o.toShown;
    std::printf("%-24s %8.2f ms  %7.1f x memcpy\n", what, o.total, o.total / floor);
    std::printf("  %-22s %8.2f ms  (a fixed wait)\n", "repaint wait", o.settle);
    std::printf("  %-22s %8.2f ms  %7.1f x memcpy\n", "screen read (grab)", o.read, o.read / floor);
    std::printf("  %-22s %8.2f ms  %7.1f x memcpy\n", "pictures, before map", before,
                before / floor);
    std::printf("  %-22s %8.2f ms  %7.1f x memcpy\n", "map and first paint", after, after / floor);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("k-vorne-bench"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        std::fprintf(stderr, "overlay_bench needs an X server (DISPLAY)\n");
        return 1;
    }
    const int later = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    platform::X11WindowSystem windows;
    TimedDisplay display;
    platform::FakeDialogs dialogs;
    platform::FakeProcesses processes;
    platform::FakeFiles files;
    platform::FakeTaskKeys taskKeys;
    platform::FakeDrives drives;
    platform::FakeProfiles profiles{files};
    platform::FakeScanner scanner;
    platform::FakeStateFolder stateFolder;
    QTemporaryDir stateDir;
    stateFolder.folder = stateDir.path();
    platform::install({&windows, &display, &dialogs, &processes, &files, &taskKeys, &drives,
                       &profiles, &scanner, &stateFolder});

    const QSize screen = display.screenSize();
    if (screen != QSize(1920, 1080))
        std::fprintf(stderr, "note: the screen is %dx%d, the figures are for 1920x1080\n",
                     screen.width(), screen.height());

    // Not "K_Vorne": a program running on the same display must not count as a second copy.
    TApplication application(QStringLiteral("K_Vorne overlay bench"));
    Application = &application;
    createForms();
    Form1->show();
    runEventsFor(300);

    PaintProbe probe;
    Form2->installEventFilter(&probe);
    std::vector<Opening> openings;
    std::vector<double> floors;
    for (int i = 0; i <= later; ++i) {
        floors.push_back(pageMemcpyMs(screen));
        const auto t0 = Clock::now();
        Form1->SpeedButton3Click(); // returns when the probe has left the overlay again
        openings.push_back({msSince(t0, probe.painted), display.settleMs, display.readMs,
                            msSince(t0, probe.shown)});
        runEventsFor(200); // the toolbar back on the screen
    }
    const double floor = median(floors);

    std::printf("screen %dx%d, page memcpy %.3f ms (median of the run)\n", screen.width(),
                screen.height(), floor);
    report("first opening", openings.front(), floor);
    std::vector<double> totals, settles, reads, shown;
    for (std::size_t i = 1; i < openings.size(); ++i) {
        totals.push_back(openings[i].total);
        settles.push_back(openings[i].settle);
        reads.push_back(openings[i].read);
        shown.push_back(openings[i].toShown);
    }
    const Opening typical{median(totals), median(settles), median(reads), median(shown)};
    char label[64];
    std::snprintf(label, sizeof label, "later (median of %d)", later);
    report(label, typical, floor);

    destroyForms();
    Application = nullptr;
    return 0;
}
