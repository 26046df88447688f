// The floating picture's box: what it uncovers is exactly the place it left, once.
#include "platform/widgets/drawing_window.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>

using namespace platform;

TEST(FloatingPictureBoxTest, UncoversExactlyThePlaceItLeftAndOnlyItsOwn) {
    QWidget window;
    window.resize(800, 600);
    window.show();
    const QRect first(100, 100, 200, 100);
    struct Case {
        const char* what;
        QRect to;
    };
    for (const Case& c :
         {Case{"moved", {150, 120, 200, 100}}, Case{"enlarged in place", {100, 100, 300, 150}},
          Case{"reduced and moved together", {400, 300, 20, 10}}}) {
        SCOPED_TRACE(c.what);
        FloatingPictureBox box(&window);
        box.showPicture(QImage(first.size(), QImage::Format_RGB32), first);
        QSignalSpy uncovered(&box, &FloatingPictureBox::uncovered);
        box.setGeometry(c.to);
        ASSERT_EQ(uncovered.count(), 1);
        EXPECT_EQ(uncovered.at(0).at(0).toRect(), first);
        box.hide();
        ASSERT_EQ(uncovered.count(), 2);
        EXPECT_EQ(uncovered.at(1).at(0).toRect(), c.to);
        // Moved while hidden, it uncovers nothing, neither then nor when shown again.
        box.move(10, 10);
        box.show();
        EXPECT_EQ(uncovered.count(), 2);
        // Hidden and shown with its window, it stays where it is and uncovers nothing.
        window.hide();
        window.show();
        EXPECT_EQ(uncovered.count(), 2);
    }
}
