// The program with the whiteboard open on page 1, and strokes made as the teacher makes them.
#pragma once

#include "app_fixture.h"
#include "board/whiteboard.h"

#include <QPoint>
#include <initializer_list>

class BoardFixture : public AppFixture {
protected:
    // The board at start takes the default teacher's settings: red strokes on grey.
    static constexpr TColor Background = 0x00808080;
    static constexpr TColor Ink = 0x000000FF;
    // Colours the tests paint with.
    static constexpr TColor Blue = 0x00FF0000;
    static constexpr TColor Green = 0x0000FF00;
    static constexpr TColor Yellow = 0x0000FFFF;

    void SetUp() override;

    // Press at the first point, move with the left button held through the others, release
    // at the last.
    void stroke(std::initializer_list<QPoint> points);
    // The same through the window system, as the pointer does it: the press goes to whatever
    // lies under the pointer, and the moves and the release to where the press went.
    void pointerStroke(std::initializer_list<QPoint> points);
    TColor pagePixel(int x, int y, int page = 0) const;
    TColor surfacePixel(int x, int y) const;
    // Fills a rectangle of the current page and shows the page on the surface.
    void paintPage(const TRect& rect, TColor colour);
    void setPenWidth(int width);
};
