// The three presenting tools as plain geometry: where each one is, what it leaves clear, where
// its close mark sits, and which part of it a press takes hold of. All in the coordinates of
// the window the tools lie over.
#pragma once

#include <QPoint>
#include <QRect>

namespace presenting {

// What a press on a tool takes hold of.
enum class Grip { None, Move, Resize, Edge, Close };

// The close mark every tool carries: a square this wide.
constexpr int CloseMarkSize = 28;

// Everything dark except a circle.
struct Spotlight {
    // 80 % black over what is not in the circle.
    static constexpr int DarkAlpha = 204;
    static constexpr int MinRadius = 30;
    // How far from the rim, either side, a press resizes the circle.
    static constexpr int RimGrip = 12;

    QPoint centre;
    int radius = 150;

    QRect circleBounds() const;
    // True where the page shows untouched.
    bool isClear(QPoint p) const;
    // Up and right of the circle, against its rim, kept inside the area.
    QRect closeMark(const QRect& area) const;
    Grip gripAt(QPoint p, const QRect& area) const;
};

// An opaque curtain over part of the area; the rest of the page shows.
struct Shade {
    // The curtain never gets narrower or lower than this, so that it can be taken hold of.
    static constexpr int MinCurtain = 48;

    QRect curtain;

    bool covers(QPoint p) const { return curtain.contains(p); }
    // In the curtain's top right corner.
    QRect closeMark() const;
    Grip gripAt(QPoint p) const;
};

// A round loupe that shows what lies beneath its centre twice as large.
struct Magnifier {
    static constexpr int Zoom = 2;

    QPoint centre;
    // Even, so that the sampled square is whole pixels.
    int radius = 110;

    QRect bounds() const;
    bool contains(QPoint p) const;
    // The pixels the loupe enlarges: a square of side `radius` around the centre.
    QRect sourceRect() const;
    // The source pixel a pixel of the loupe shows: each source pixel fills a 2 x 2 block.
    QPoint sourceOf(QPoint shown) const;
    QRect closeMark(const QRect& area) const;
    Grip gripAt(QPoint p, const QRect& area) const;
};

} // namespace presenting
