// The pointer as the window system delivers it to a window.
#pragma once

#include <QPoint>
#include <QTest>
#include <QWindow>
#include <initializer_list>

// Press at the first point, move through all of them with the left button held, release at
// the last: the press goes to whatever lies under the pointer, the moves and the release to
// where the press went.
inline void pointerStroke(QWindow* window, std::initializer_list<QPoint> points) {
    QTest::mousePress(window, Qt::LeftButton, {}, *points.begin());
    for (const QPoint& p : points)
        QTest::mouseMove(window, p);
    QTest::mouseRelease(window, Qt::LeftButton, {}, *(points.end() - 1));
}
