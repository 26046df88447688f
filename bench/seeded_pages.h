// Pages as a teacher writes them, the same on every run: short pen paths over a flat
// background.
#pragma once

#include <QImage>
#include <QPainter>

#include <random>

inline QImage seededPage(std::mt19937& random, QSize screen) {
    QImage page(screen, QImage::Format_RGB32);
    page.fill(QColor(0, 0, 0x40));
    QPainter painter(&page);
    const QColor inks[] = {QColor(255, 128, 0), Qt::white, Qt::yellow, QColor(255, 0, 0)};
    std::uniform_int_distribution<int> x(100, screen.width() - 100), y(60, screen.height() - 100),
        step(-12, 12), ink(0, 3), width(2, 5);
    for (int stroke = 0; stroke < 40; ++stroke) {
        painter.setPen(QPen(inks[ink(random)], width(random), Qt::SolidLine, Qt::RoundCap));
        QPoint at(x(random), y(random));
        for (int segment = 0; segment < 40; ++segment) {
            const QPoint next = at + QPoint(step(random), step(random));
            painter.drawLine(at, next);
            at = next;
        }
    }
    return page;
}
