// The program with a captured screen to annotate: every pixel of the capture has a colour of
// its own, so that a pixel in the wrong place or from the wrong picture shows.
#pragma once

#include "annotate/overlay.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"
#include "pictures.h"

#include <QPoint>
#include <QTimer>
#include <initializer_list>
#include <string>

class OverlayFixture : public AppFixture {
protected:
    static constexpr TColor Ink = 33023;             // the overlay's pen colour at start
    static constexpr TColor Background = 0x00808080; // the whiteboard's background at start
    static constexpr TColor Red = 0x000000FF;
    static constexpr TColor Green = 0x0000FF00;

    // No colour of the capture is one of the colours above.
    static TColor pattern(int x, int y) {
        return platform::rgbColor(x & 0xFF, y & 0xFF, 0x80 | (x >> 8) | ((y >> 8) << 2));
    }
    static QImage patterned(int w, int h) {
        QImage image = platform::makeBitmap(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, platform::toQColor(pattern(x, y)).rgb());
        return image;
    }
    static QImage filled(int w, int h, TColor colour) {
        QImage image = platform::makeBitmap(w, h);
        platform::Canvas(image).fillRect({0, 0, w, h}, colour);
        return image;
    }

    void SetUp() override {
        AppFixture::SetUp();
        fakes.display.screen = patterned(sw(), sh());
    }

    // The toolbar's opening without its modal wait: the overlay shows and captures.
    void open() {
        Form1->Timer1->stop();
        Form1->hide();
        Form2->show();
    }
    // Press at the first point, move with the left button held through the others, release at
    // the last.
    void stroke(std::initializer_list<QPoint> points) {
        const QPoint* p = points.begin();
        Form2->FormMouseDown(Qt::LeftButton, p->x(), p->y());
        for (++p; p != points.end(); ++p)
            Form2->FormMouseMove(Qt::LeftButton, p->x(), p->y());
        const QPoint last = *(points.end() - 1);
        Form2->FormMouseUp(Qt::LeftButton, last.x(), last.y());
    }
    TColor scratch(int x, int y) const { return pixelAt(Form3->Board.scratchBitmap(), x, y); }
    TColor surface(int x, int y) const { return pixelAt(Form2->Surface, x, y); }
    TColor page(int x, int y, int n = 0) const {
        return pixelAt(Form3->Board.pagePicture(n == 0 ? Form3->Board.currentPage() : n), x, y);
    }

    // Two pictures with the same pixels (in `area`, or wholly), or where they first differ.
    static ::testing::AssertionResult samePixels(const QImage& a, const QImage& b,
                                                 QRect area = {}) {
        if (area.isNull()) {
            if (a.size() != b.size())
                return ::testing::AssertionFailure() << "sizes differ";
            area = a.rect();
        }
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (pixelAt(a, x, y) != pixelAt(b, x, y))
                    return ::testing::AssertionFailure()
                           << "first difference at (" << x << ", " << y << "): " << std::hex
                           << pixelAt(a, x, y) << " against " << pixelAt(b, x, y);
        return ::testing::AssertionSuccess();
    }
};
