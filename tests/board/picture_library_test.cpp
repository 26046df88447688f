// The picture library column: its layout, the stamps it arms, and the own pictures placed from it.
#include "app/settings_button.h"
#include "assets/stamp_previews.h"
#include "board/picture_library.h"
#include "board_fixture.h"
#include "intake/picture_conversion.h"
#include "platform/raster/jpeg_decoder.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <zlib.h>

using namespace platform;

namespace {

// An RGB PNG of w x h, its left half `left` and its right half `right`, written a row at a
// time: pictures past the conversion's limit are too large to hold whole in a test.
bool writeLargePng(const QString& path, int w, int h, TColor left, TColor right) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto chunk = [&](const char* type, const QByteArray& data) {
        const QByteArray typed = QByteArray(type, 4) + data;
        quint32 be[1];
        qToBigEndian<quint32>(static_cast<quint32>(data.size()), be);
        file.write(reinterpret_cast<const char*>(be), 4);
        file.write(typed);
        qToBigEndian<quint32>(
            static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()),
                                       static_cast<uInt>(typed.size()))),
            be);
        file.write(reinterpret_cast<const char*>(be), 4);
    };
    file.write("\x89PNG\r\n\x1a\n", 8);
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(w), header.data());
    qToBigEndian<quint32>(static_cast<quint32>(h), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    chunk("IHDR", header);

    QByteArray row(1 + 3 * w, '\0'); // filter 0, then the pixels
    for (int x = 0; x < w; ++x) {
        const QColor c = toQColor(x < w / 2 ? left : right);
        row[1 + 3 * x] = static_cast<char>(c.red());
        row[2 + 3 * x] = static_cast<char>(c.green());
        row[3 + 3 * x] = static_cast<char>(c.blue());
    }
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE);
    QByteArray out(1 << 16, '\0');
    for (int y = 0; y <= h; ++y) {
        const bool last = y == h;
        z.next_in = reinterpret_cast<Bytef*>(last ? nullptr : row.data());
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            if (const qsizetype n = out.size() - z.avail_out; n > 0)
                chunk("IDAT", out.left(n));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    chunk("IEND", {});
    return file.error() == QFileDevice::NoError;
}

class PictureLibraryTest : public BoardFixture {
protected:
    QTemporaryDir dir;

    void SetUp() override {
        BoardFixture::SetUp();
        // The stamps the build rendered lie in the program folder.
        Form3->Board.setProgramFolder(QStringLiteral(KV_PROGRAM_FOLDER "/"));
        Form3->SpeedButton32Click();
    }
    StampPicture* picture(QWidget* page, const QString& file) {
        for (StampPicture* p : page->findChildren<StampPicture*>())
            if (p->FileName == file)
                return p;
        return nullptr;
    }
    QString stampPath(const QString& file) const {
        return QStringLiteral(KV_PROGRAM_FOLDER "/db/pic/") + file;
    }
    // An own picture of one colour in the next slot.
    QString addOwnPicture(const QString& name, int w, int h, TColor colour = Green) {
        const QString path = dir.filePath(name);
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(toQColor(colour));
        EXPECT_TRUE(image.save(path, "png"));
        Form3->Board.appendOwnPicture(QImage(100, 100, QImage::Format_RGB32), path);
        return path;
    }
};

TEST_F(PictureLibraryTest, OpeningLaysTheColumnOutForTheScreenOnThePhysicsPage) {
    Form3->Board.setBoardPaintMode(1);
    Form3->Panel4->show();
    Form3->SpeedButton32Click();
    EXPECT_EQ(Form3->Panel9->geometry(), QRect(1, 40, 138, sh() - 40));
    EXPECT_EQ(Form3->ScrollBox1->geometry(), QRect(0, 22, 138, sh() - 40 - 65));
    EXPECT_EQ(Form3->SpeedButton33->geometry(), QRect(115, 0, 23, 21));
    EXPECT_EQ(Form3->BitBtn3->geometry(), QRect(76, 0, 37, 21));
    EXPECT_TRUE(Form3->Panel9->isVisible());
    EXPECT_TRUE(Form3->Panel8->isVisible());
    EXPECT_FALSE(Form3->Panel10->isVisible());
    EXPECT_FALSE(Form3->Image26->isVisible());
    EXPECT_FALSE(Form3->Panel4->isVisible());
    EXPECT_EQ(Form3->Panel8->size(), QSize(116, 700));
    EXPECT_EQ(Form3->Panel10->size(), QSize(116, 650));
    // The text panel's close, done last but one, leaves the board repainting the page.
    EXPECT_EQ(Form3->Board.boardPaintMode(), 1);
    EXPECT_EQ(Form3->Board.panelKind(Form3->Board.currentPage()), 0);
    EXPECT_EQ(Form3->Board.stampFolder(), Form3->Board.programFolder() + QStringLiteral("db/pic/"));
    EXPECT_EQ(Form3->Panel8->findChildren<StampPicture*>().size(), 21);
    EXPECT_EQ(Form3->Panel10->findChildren<StampPicture*>().size(), 14);

    Form3->BitBtn2Click();
    EXPECT_TRUE(Form3->Panel10->isVisible());
    EXPECT_FALSE(Form3->Panel8->isVisible());
    Form3->SpeedButton33Click();
    EXPECT_FALSE(Form3->Panel9->isVisible());
}

// Every stamp the column offers is one the build made, with a preview to show.
TEST_F(PictureLibraryTest, EveryLibraryPictureHasItsStampAndPreview) {
    for (QWidget* page :
         {static_cast<QWidget*>(Form3->Panel8), static_cast<QWidget*>(Form3->Panel10)})
        for (StampPicture* p : page->findChildren<StampPicture*>()) {
            const std::optional<QImage> stamp = decodeJpegFile(stampPath(p->FileName));
            ASSERT_TRUE(stamp) << p->FileName.toStdString();
            EXPECT_GE(std::max(stamp->width(), stamp->height()), 200) << p->FileName.toStdString();
            EXPECT_EQ(stampPreview(p->FileName).size(), QSize(50, 50));
        }
}

TEST_F(PictureLibraryTest, APressArmsAStampPlacedAtTheNextRelease) {
    QTest::mousePress(picture(Form3->Panel8, QStringLiteral("w5.jt")), Qt::LeftButton);
    QTest::mousePress(picture(Form3->Panel8, QStringLiteral("w3.jt")), Qt::LeftButton);
    const QImage w3 = *decodeJpegFile(stampPath(QStringLiteral("w3.jt")));
    EXPECT_EQ(Form3->Board.pendingPlacement(), 1);
    EXPECT_EQ(Form3->Board.stampImage(), w3); // the last one pressed

    Form3->SpeedButton15Click(); // whatever the tool
    stroke({{300, 200}});
    EXPECT_EQ(Form3->Board.pendingPlacement(), 0);
    EXPECT_TRUE(Form3->Image2->isVisible());
    EXPECT_EQ(Form3->Image2->geometry(), QRect(QPoint(300, 200), w3.size()));
}

TEST_F(PictureLibraryTest, TheFirstChemistryPictureArmsOnAClickOnly) {
    Form3->BitBtn2Click();
    StampPicture* h1 = picture(Form3->Panel10, QStringLiteral("h1.jt"));
    QTest::mousePress(h1, Qt::LeftButton, {}, QPoint(25, 25));
    EXPECT_EQ(Form3->Board.pendingPlacement(), 0);
    QTest::mouseRelease(h1, Qt::LeftButton, {}, QPoint(25, 25));
    EXPECT_EQ(Form3->Board.pendingPlacement(), 1);

    Form3->Board.cancelPendingPlacement();
    QTest::mousePress(picture(Form3->Panel10, QStringLiteral("h2.jt")), Qt::LeftButton);
    EXPECT_EQ(Form3->Board.pendingPlacement(), 1);
}

TEST_F(PictureLibraryTest, AStampThatCannotBeReadKeepsWhatWasArmed) {
    QTest::mousePress(picture(Form3->Panel8, QStringLiteral("w1.jt")), Qt::LeftButton);
    const QImage armed = Form3->Board.stampImage();
    Form3->Board.setStampFolder(dir.path() + QLatin1Char('/'));
    QFile damaged(dir.filePath(QStringLiteral("w2.jt")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a picture");
    damaged.close();
    for (const char* file : {"w0.jt", "w2.jt"}) { // missing, damaged
        QTest::mousePress(picture(Form3->Panel8, QString::fromLatin1(file)), Qt::LeftButton);
        EXPECT_EQ(Form3->Board.stampImage(), armed);
        EXPECT_EQ(Form3->Board.pendingPlacement(), 1);
    }
    ASSERT_EQ(fakes.dialogs.shown.size(), 2u);
    EXPECT_EQ(fakes.dialogs.shown[0].kind, QStringLiteral("error"));
}

TEST_F(PictureLibraryTest, AnOwnPictureAsWideAsTheScreenIsPlacedAtTheTopAtScreenWidth) {
    addOwnPicture(QStringLiteral("wide.png"), sw(), 60);
    Form3->Board.setBoardPaintMode(1);
    Form3->Image26MouseUp(50);
    EXPECT_EQ(Form3->Board.pendingPlacement(), 3);
    EXPECT_EQ(Form3->Board.boardPaintMode(), 0);
    stroke({{500, 500}});
    EXPECT_EQ(Form3->Image2->geometry(), QRect(0, 35, sw(), 60));
    EXPECT_EQ(fromRgb(Form3->Image2->picture().pixel(10, 10)), Green);
}

TEST_F(PictureLibraryTest, ANarrowerOwnPictureIsPlacedAtItsOwnSizeAtThePressPoint) {
    addOwnPicture(QStringLiteral("first.png"), sw() - 1, 40, Blue);
    addOwnPicture(QStringLiteral("second.png"), 300, 200, Yellow);
    // The release in the gap below the second thumbnail picks it, not a third.
    Form3->Image26MouseUp(105 + 102);
    EXPECT_EQ(Form3->Board.pendingPlacement(), 2);
    stroke({{400, 300}});
    EXPECT_EQ(Form3->Image2->geometry(), QRect(400, 300, 300, 200));
    EXPECT_EQ(fromRgb(Form3->Image2->picture().pixel(5, 5)), Yellow);

    Form3->Image26MouseUp(103); // the gap below the first
    EXPECT_EQ(Form3->Board.pendingPlacement(), 2);
    EXPECT_EQ(Form3->Board.floatBitmap().size(), QSize(sw() - 1, 40));
}

// Pictures with more pixels than the conversion makes (a panorama, a long screenshot) are
// placed brought down to that limit, in their own shape, as the program reads pictures.
TEST_F(PictureLibraryTest, OwnPicturesLargerThanTheConversionsLimitArePlacedReduced) {
    const int before = QImageReader::allocationLimit();
    RaisePictureReadLimit();
    const struct {
        const char* name;
        QSize size;
        int placement;
        QSize placed; // when known in advance
    } cases[] = {
        {"panorama.png",
         {9000, 8000},
         3,
         {sw(), static_cast<int>(std::lround(8000.0 * sw() / 9000))}},
        {"long.png", {800, 84000}, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(writeLargePng(path, c.size.width(), c.size.height(), Blue, Yellow));
        Form3->Board.clearOwnPictures(1000);
        Form3->Board.appendOwnPicture(QImage(100, 100, QImage::Format_RGB32), path);
        Form3->Board.cancelPendingPlacement();

        Form3->Image26MouseUp(50);
        EXPECT_EQ(Form3->Board.pendingPlacement(), c.placement);
        const QImage& placed = Form3->Board.floatBitmap();
        ASSERT_FALSE(placed.isNull());
        const QSize size = placed.size();
        if (c.placed.isValid()) {
            EXPECT_EQ(size, c.placed);
        }
        EXPECT_LE(static_cast<long long>(size.width()) * size.height(), MaxTargetPixels);
        EXPECT_NEAR(static_cast<double>(size.width()) / size.height(),
                    static_cast<double>(c.size.width()) / c.size.height(), 0.01);
        EXPECT_EQ(fromRgb(placed.pixel(5, size.height() / 2)), Blue);
        EXPECT_EQ(fromRgb(placed.pixel(size.width() - 5, size.height() / 2)), Yellow);
        Form3->Board.cancelPendingPlacement();
        QFile::remove(path);
    }
    QImageReader::setAllocationLimit(before);
}

TEST_F(PictureLibraryTest, APlacedPictureIsNotCarriedToTheNextPageByAnEarlierTallScan) {
    addOwnPicture(QStringLiteral("own.png"), 300, 200, Yellow);
    Form3->Board.setPageState(1, 2);
    Form3->Board.setContinuationPage(2); // left by a tall scan on this page
    Form3->Image26MouseUp(50);
    stroke({{400, 300}});
    ASSERT_TRUE(Form3->Image2->isVisible());
    Form3->SpeedButton12Click();
    EXPECT_EQ(Form3->Board.currentPage(), 2);
    EXPECT_FALSE(Form3->Image2->isVisible());
}

TEST_F(PictureLibraryTest, AReleaseOnNoPictureOrOnAFileGoneArmsNothing) {
    const QString path = addOwnPicture(QStringLiteral("gone.png"), 50, 50);
    Form3->Board.setOwnPicturesHeight(1000);
    for (int y : {210, 999, -1}) {
        Form3->Image26MouseUp(y);
        EXPECT_EQ(Form3->Board.pendingPlacement(), 0) << y;
    }
    EXPECT_TRUE(fakes.dialogs.shown.empty());
    // A picture gone from its folder is named in a message.
    ASSERT_TRUE(QFile::remove(path));
    emit Form3->Image26->released(10);
    EXPECT_EQ(Form3->Board.pendingPlacement(), 0);
    EXPECT_TRUE(Form3->Board.floatBitmap().isNull());
    ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown[0].kind, QStringLiteral("error"));
    EXPECT_TRUE(fakes.dialogs.shown[0].text.contains(path));
}

TEST_F(PictureLibraryTest, TheSettingsBoxShowsWithTheOwnPicturesAndLeavesWithTheBoard) {
    Form3->BitBtn3Click();
    EXPECT_EQ(Form3->Board.ownPictures().LoadState, 1);
    EXPECT_TRUE(Form3->Image26->isVisible());
    EXPECT_TRUE(Form13->isVisible());
    // Below the own pictures, and whole on the screen, which the place given would pass.
    EXPECT_GE(Form3->ScrollBox1->height() + 62 + Form13->height(), screenHeight());
    EXPECT_EQ(Form13->geometry(), QRect(3, screenHeight() - 48, 130, 48));

    Form3->hide();
    EXPECT_FALSE(Form13->isVisible());
    Form3->showBoard();
    EXPECT_TRUE(Form13->isVisible());

    Form3->BitBtn1Click();
    EXPECT_FALSE(Form13->isVisible());
    EXPECT_FALSE(Form3->Image26->isVisible());
}

} // namespace
