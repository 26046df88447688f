#include "board_fixture.h"
#include "board_pages.h"

#include "app/toolbar.h"
#include "pointer.h"

#include <QTest>

using namespace platform;

void BoardFixture::SetUp() {
    AppFixture::SetUp();
    Form1->SpeedButton4Click();
}

void BoardFixture::stroke(std::initializer_list<QPoint> points) {
    const QPoint* p = points.begin();
    Form3->FormMouseDown(p->x(), p->y());
    for (++p; p != points.end(); ++p)
        Form3->FormMouseMove(Qt::LeftButton, p->x(), p->y());
    const QPoint last = *(points.end() - 1);
    Form3->FormMouseUp(last.x(), last.y());
}

void BoardFixture::pointerStroke(std::initializer_list<QPoint> points) {
    ::pointerStroke(Form3->windowHandle(), points);
}

TColor BoardFixture::pagePixel(int x, int y, int page) const {
    const int n = page == 0 ? Form3->Board.currentPage() : page;
    return fromRgb(Form3->Board.pagePicture(n).pixel(x, y));
}

TColor BoardFixture::surfacePixel(int x, int y) const {
    return fromRgb(Form3->Surface.pixel(x, y));
}

void BoardFixture::paintPage(const TRect& rect, TColor colour) {
    fillOnCurrentPage(Form3->Board, rect, colour);
    Form3->Invalidate();
}

void BoardFixture::setPenWidth(int width) {
    while (Form3->penWidth() < width)
        Form3->SpeedButton7Click();
    while (Form3->penWidth() > width)
        Form3->SpeedButton8Click();
}
