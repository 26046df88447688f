// The scanner button on the text panel, through the program: the source window opens, and the
// page scanned lands on the board as its floating picture, the panel closed.
#include "board_fixture.h"
#include "intake/scanner_source.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace platform;

TEST_F(BoardFixture, TheScannerButtonPutsTheScannedPageOnTheBoard) {
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(Qt::green);
    FakeScanner::Device device;
    device.info = {QByteArray("acme:0"), QStringLiteral("Acme"), QStringLiteral("Flatbed"),
                   QStringLiteral("flatbed scanner")};
    device.pages.push_back(FakeScanPage::fromImage(page));
    fakes.scanner.attached.push_back(device);

    Form3->SpeedButton18Click(); // the text panel, whose toolbar holds the scanner button
    ASSERT_TRUE(Form3->Panel4->isVisible());
    QTimer::singleShot(0, Form11, [] {
        if (Form11->isModalShowing())
            Form11->BitBtn1->click();
    });
    Form3->SpeedButton34->click();
    ASSERT_TRUE(QTest::qWaitFor([] { return !Form11->Twain->Scanning(); }, 20000));
    QTest::qWait(50); // the image is handed over on the GUI thread

    EXPECT_EQ(Form11->ListBox1->item(0)->text(), QStringLiteral("Acme Flatbed"));
    EXPECT_FALSE(Form3->Panel4->isVisible());
    ASSERT_TRUE(Form3->Board.floatingShown());
    EXPECT_EQ(Form3->Board.floatPlaced(), 1);
    EXPECT_EQ(Form3->Image2->geometry().topLeft(), QPoint(-5, 35));
    EXPECT_EQ(Form3->Image2->width(), sw() + 50);
    EXPECT_EQ(Form3->Image2->picture().pixelColor(100, 100), QColor(Qt::green));
}
