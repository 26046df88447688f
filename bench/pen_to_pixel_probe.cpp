// Pen to pixel on a real X server: the time from a pointer motion (XTest, as the X server
// receives a pen's move) to the moment the screen's framebuffer shows ink at the new pointer
// position. Run it with K_Vorne's board open on an otherwise idle X server (pen_to_pixel.py
// does all of it). It presses the left button, moves in 24-pixel steps along rows of the page,
// and for each move reads the pixel under the pointer until it is no longer the background.
//
//     pen_to_pixel_probe [moves]
//
// Prints the median, the 90th percentile and the largest delay in milliseconds.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

unsigned long pixelAt(Display* display, Window root, int x, int y) {
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return value;
}

void moveTo(Display* display, int x, int y) {
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XFlush(display);
}

} // namespace

int main(int argc, char** argv) {
    const int moves = argc > 1 ? std::atoi(argv[1]) : 300;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    // The background as the board shows it: the column the title bar leaves uncovered.
    const unsigned long background = pixelAt(display, root, width - 1, 38);

    constexpr int Step = 24;
    constexpr int Left = 300;
    const int right = width - 300;
    int row = 200;
    int x = Left;
    moveTo(display, x, row);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    std::vector<double> delays;
    int timeouts = 0;
    for (int i = 0; i < moves; ++i) {
        x += Step;
        if (x > right) {
            // A new row: lift the pen and put it down again at the row's start.
            XTestFakeButtonEvent(display, 1, False, CurrentTime);
            row += 30;
            if (row > height - 100)
                row = 200 + (row % 30) + 7;
            x = Left;
            moveTo(display, x, row);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            XTestFakeButtonEvent(display, 1, True, CurrentTime);
            XFlush(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            x += Step;
        }
        const Clock::time_point start = Clock::now();
        moveTo(display, x, row);
        bool shown = false;
        while (Clock::now() - start < std::chrono::milliseconds(100)) {
            if (pixelAt(display, root, x, row) != background) {
                shown = true;
                break;
            }
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (shown)
            delays.push_back(ms);
        else
            ++timeouts;
        // A pen reports every 4 to 10 ms; the next move comes when this one is long drawn.
        std::this_thread::sleep_for(std::chrono::milliseconds(8));
    }
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    XCloseDisplay(display);

    if (delays.empty()) {
        std::fprintf(stderr, "no move was drawn (is the board open on this display?)\n");
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    const auto at = [&](double q) {
        const auto index = static_cast<std::size_t>(q * static_cast<double>(delays.size()));
        return delays[std::min(delays.size() - 1, index)];
    };
    std::printf("screen %dx%d, %zu moves drawn, %d not drawn within 100 ms\n", width, height,
                delays.size(), timeouts);
    std::printf("pen to pixel: median %.3f ms, p90 %.3f ms, max %.3f ms\n", at(0.5), at(0.9),
                delays.back());
    return 0;
}
