// Picture conversion: every caller's rule checked on the pixels it produces (sizes, bands,
// cut-offs), the frame left out of selections, zoom steps from the captured source, encoder
// lookup, and sources that cannot be opened.
#include "intake/picture_conversion.h"

#include "platform/os/fakes.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr QRgb kBlack = 0xFF000000;
// The four quadrants of a test picture, so that a flip, a swap of axes or a crop shows.
constexpr QRgb kTopLeft = 0xFFC80000;
constexpr QRgb kTopRight = 0xFF00C800;
constexpr QRgb kBottomLeft = 0xFF0000C8;
constexpr QRgb kBottomRight = 0xFFC8C800;
constexpr std::array<QRgb, 4> kAllQuadrants{kTopLeft, kTopRight, kBottomLeft, kBottomRight};

QImage quadrants(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const int halfW = size.width() / 2;
    const int halfH = size.height() / 2;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           y < halfH ? (x < halfW ? kTopLeft : kTopRight)
                                     : (x < halfW ? kBottomLeft : kBottomRight));
    return image;
}

CapturedPicture capture(const QImage& image) {
    std::optional<CapturedPicture> picture = CapturedPicture::fromBitmap(image);
    EXPECT_TRUE(picture.has_value());
    return *picture;
}

std::string hex(QRgb c) {
    return QString::number(c, 16).toStdString();
}

// The first few pixels where two pictures differ; empty when they are the same.
std::string differences(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size() || actual.format() != expected.format())
        return "size or format differs";
    std::ostringstream out;
    int shown = 0;
    for (int y = 0; y < actual.height() && shown < 4; ++y)
        for (int x = 0; x < actual.width() && shown < 4; ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                out << "(" << x << ", " << y << ") " << hex(actual.pixel(x, y)) << " not "
                    << hex(expected.pixel(x, y)) << "; ";
                ++shown;
            }
    return out.str();
}

// Every pixel outside `picture` is opaque black; every pixel inside is not, and the corners of
// `picture` show `corners` (top left, top right, bottom left, bottom right).
void expectPictureIn(const QImage& result, const QRect& picture,
                     const std::array<QRgb, 4>& corners) {
    ASSERT_EQ(result.format(), QImage::Format_RGB32);
    int wrong = 0;
    for (int y = 0; y < result.height() && wrong < 5; ++y)
        for (int x = 0; x < result.width() && wrong < 5; ++x) {
            const QRgb c = result.pixel(x, y);
            const bool inside = picture.contains(x, y);
            if (inside == (c == kBlack)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << hex(c) << ", expected "
                              << (inside ? "picture" : "black band");
                ++wrong;
            }
        }
    const std::array<QPoint, 4> at{picture.topLeft(), picture.topRight(), picture.bottomLeft(),
                                   picture.bottomRight()};
    for (std::size_t i = 0; i < at.size(); ++i)
        EXPECT_EQ(hex(result.pixel(at[i])), hex(corners[i]))
            << "corner (" << at[i].x() << ", " << at[i].y() << ")";
}

class ConversionTest : public ::testing::Test {
protected:
    platform::FakeServices fakes;
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString file(const char* name) const { return folder() + QLatin1String(name); }
};

using Rule = std::function<ConversionRequest(QSize, const QString&)>;

struct RowCase {
    const char* name;
    QSize source;
    Rule rule;
    QSize target;
    QRect picture; // where the picture lands; black elsewhere
    std::array<QRgb, 4> corners = kAllQuadrants;
};

TEST_F(ConversionTest, EachCallersRuleGivesItsSizeAndPlacement) {
    const float twoStepsIn = zoomedIn(zoomedIn(1.0f));
    const QSize screen(1024, 768);
    const std::vector<RowCase> cases = {
        {"thumbnail of a square picture fills the cell",
         {50, 50},
         importThumbnailRequest,
         {100, 100},
         {0, 0, 100, 100}},
        {"thumbnail of a wide picture: bands above and below",
         {300, 120},
         importThumbnailRequest,
         {100, 100},
         {0, 30, 100, 40}},
        {"thumbnail of a tall picture: bands left and right",
         {60, 300},
         importThumbnailRequest,
         {100, 100},
         {40, 0, 20, 100}},
        {"side panel, exactly the screen's width",
         {800, 600},
         [](QSize s, const QString& f) { return sidePanelRequest(s, 800, f); },
         {800, 600},
         {0, 0, 800, 600}},
        {"side panel, one pixel narrower",
         {799, 600},
         [](QSize s, const QString& f) { return sidePanelRequest(s, 800, f); },
         {799, 600},
         {0, 0, 799, 600}},
        {"side panel, wider: height 150.5 rounds to even",
         {1600, 301},
         [](QSize s, const QString& f) { return sidePanelRequest(s, 800, f); },
         {800, 150},
         {0, 0, 800, 150}},
        {"side panel, wider: height 151.5 rounds to even",
         {1600, 303},
         [](QSize s, const QString& f) { return sidePanelRequest(s, 800, f); },
         {800, 152},
         {0, 0, 800, 152}},
        {"strip page at half size",
         {1024, 768},
         thumbnailStripRequest,
         {512, 384},
         {0, 0, 512, 384}},
        {"strip page with odd sides: 512.5 x 384.5 round down to even",
         {1025, 769},
         thumbnailStripRequest,
         {512, 384},
         {0, 0, 512, 384}},
        {"strip page with odd sides: 513.5 x 385.5 round up to even",
         {1027, 771},
         thumbnailStripRequest,
         {514, 386},
         {0, 0, 514, 386}},
        // From the captured 101 x 61: 227.25 x 137.25; from the first step's 152 x 92 it
        // would be 228 x 138.
        {"placed picture, two steps in",
         {101, 61},
         [&](QSize s, const QString& f) {
             return boardZoomRequest(s, twoStepsIn, FloatingKind::Placed, f);
         },
         {227, 137},
         {0, 0, 227, 137}},
        {"selection, two steps in",
         {101, 61},
         [&](QSize s, const QString& f) {
             return boardZoomRequest(s, twoStepsIn, FloatingKind::Selection, f);
         },
         {227, 137},
         {0, 0, 227, 137}},
        {"placed picture, one step in and one out",
         {101, 61},
         [](QSize s, const QString& f) {
             return boardZoomRequest(s, zoomedOut(zoomedIn(1.0f)), FloatingKind::Placed, f);
         },
         {101, 61},
         {0, 0, 101, 61}},
        {"placed picture, one step out and one in",
         {101, 61},
         [](QSize s, const QString& f) {
             return boardZoomRequest(s, zoomedIn(zoomedOut(1.0f)), FloatingKind::Placed, f);
         },
         {101, 61},
         {0, 0, 101, 61}},
        {"overlay picture, two steps in",
         {101, 61},
         [&](QSize s, const QString& f) {
             return overlayZoomRequest(s, twoStepsIn, ZoomDirection::Enlarge, f);
         },
         {227, 137},
         {0, 0, 227, 137}},
        // k = (1024 + 50) / 537 = 2.
        {"tall scan, single page: screen-high, the lower part cut off",
         {537, 1000},
         [&](QSize s, const QString& f) {
             return scannerRequest(s, screen, ScanPageMode::Single, f);
         },
         {1074, 768},
         {0, 0, 1074, 768},
         {kTopLeft, kTopRight, kTopLeft, kTopRight}},
        {"tall scan, double page: taller than the screen",
         {537, 1000},
         [&](QSize s, const QString& f) {
             return scannerRequest(s, screen, ScanPageMode::Double, f);
         },
         {1074, 2000},
         {0, 0, 1074, 2000}},
        {"short scan, single page: black below the scan",
         {537, 200},
         [&](QSize s, const QString& f) {
             return scannerRequest(s, screen, ScanPageMode::Single, f);
         },
         {1074, 768},
         {0, 0, 1074, 400}},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QImage> result =
            ConvertPicture(capture(quadrants(c.source)), c.rule(c.source, folder()));
        ASSERT_TRUE(result.has_value());
        ASSERT_EQ(result->size(), c.target);
        expectPictureIn(*result, c.picture, c.corners);
    }
}

TEST_F(ConversionTest, ModesAndTemporaryFilesFollowEachRow) {
    const QSize s(200, 100);
    const QString f = folder();
    struct Case {
        const char* name;
        ConversionRequest request;
        InterpolationMode mode;
        const char* temporaryFile;
        bool deletesTmpBmp;
    };
    const Case cases[] = {
        {"thumbnail", importThumbnailRequest(s, f), InterpolationMode::Unset, "tmp.bmt", false},
        {"side panel", sidePanelRequest(s, 100, f), InterpolationMode::HighQualityBicubic,
         "tmp.bmt", false},
        {"strip", thumbnailStripRequest(s, f), InterpolationMode::LowQuality, "tmp.bmt", false},
        {"placed, reduced", boardZoomRequest(s, zoomedOut(1.0f), FloatingKind::Placed, f),
         InterpolationMode::HighQualityBicubic, "tmp.bmt", false},
        {"selection at 1", boardZoomRequest(s, 1.0f, FloatingKind::Selection, f),
         InterpolationMode::LowQuality, "tmp.bmt", false},
        {"selection below 1", boardZoomRequest(s, zoomedOut(1.0f), FloatingKind::Selection, f),
         InterpolationMode::HighQuality, "tmp.bmt", false},
        {"scan", scannerRequest(s, {1024, 768}, ScanPageMode::Double, f),
         InterpolationMode::HighQualityBicubic, "tmp.bmt", true},
        {"overlay enlarging", overlayZoomRequest(s, 1.5f, ZoomDirection::Enlarge, f),
         InterpolationMode::HighQualityBicubic, "tmp.bmt", false},
        {"overlay reducing", overlayZoomRequest(s, zoomedOut(1.5f), ZoomDirection::Reduce, f),
         InterpolationMode::HighQualityBicubic, "tmp.bmp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.request.interpolation, c.mode);
        EXPECT_EQ(c.request.temporaryFile, QLatin1String(c.temporaryFile));
        EXPECT_EQ(c.request.deleteTmpBmpFirst, c.deletesTmpBmp);
        EXPECT_EQ(c.request.programFolder, f);
    }
}

TEST_F(ConversionTest, ScanningDeletesTmpBmpFirst) {
    const QString tmpBmp = file("tmp.bmp");
    fakes.files.present << tmpBmp << file("tmp.bmt");
    const QSize scan(537, 1000);
    ASSERT_TRUE(ConvertPicture(capture(quadrants(scan)),
                               scannerRequest(scan, {1024, 768}, ScanPageMode::Single, folder())));
    EXPECT_EQ(fakes.files.removed, QStringList{tmpBmp});
}

// A selection carries a 1-pixel dotted frame that zooming must leave out, whichever way the
// picture is scaled; a placed picture is scaled whole, frame and all.
TEST_F(ConversionTest, SelectionsLoseTheirFramePlacedPicturesKeepIt) {
    constexpr QRgb frame = 0xFF0000FF;
    QImage floating(60, 40, QImage::Format_RGB32);
    floating.fill(frame);
    {
        QPainter p(&floating);
        p.fillRect(1, 1, 58, 38, QColor(255, 0, 0));
    }
    const CapturedPicture captured = capture(floating);
    struct Case {
        FloatingKind kind;
        float zoom;
        bool frameShows;
    };
    const Case cases[] = {
        {FloatingKind::Selection, zoomedIn(1.0f), false},
        {FloatingKind::Selection, 1.0f, false},
        {FloatingKind::Selection, zoomedOut(1.0f), false},
        {FloatingKind::Selection, zoomedOut(zoomedOut(1.0f)), false},
        {FloatingKind::Placed, zoomedIn(1.0f), true},
        {FloatingKind::Placed, zoomedOut(1.0f), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.kind == FloatingKind::Placed ? "placed" : "selection")
                                        << " at " << c.zoom);
        const std::optional<QImage> result =
            ConvertPicture(captured, boardZoomRequest(captured.size(), c.zoom, c.kind, folder()));
        ASSERT_TRUE(result.has_value());
        int maxBlue = 0;
        for (int y = 0; y < result->height(); ++y)
            for (int x = 0; x < result->width(); ++x)
                maxBlue = std::max(maxBlue, qBlue(result->pixel(x, y)));
        EXPECT_EQ(maxBlue > 0, c.frameShows) << "largest blue " << maxBlue;
    }
}

// The zoom steps keep the picture as it was before the first step; the board replaces its
// floating bitmap with each step's result, which must not leak into the next step.
TEST_F(ConversionTest, CapturedPictureIsUnaffectedByLaterChangesToItsBitmap) {
    QImage floating = quadrants({40, 30});
    const CapturedPicture captured = capture(floating);
    floating.fill(Qt::white);
    const std::optional<QImage> result = ConvertPicture(
        captured, boardZoomRequest(captured.size(), 1.0f, FloatingKind::Placed, folder()));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, quadrants({40, 30}));
}

// A previous result handed back is drawn over from black, as a fresh target is; one that is
// held elsewhere or does not fit is left alone.
TEST_F(ConversionTest, AReusedTargetGivesTheSamePicture) {
    const CapturedPicture captured = capture(quadrants({40, 30}));
    const ConversionRequest request = thumbnailStripRequest(captured.size(), folder());
    const std::optional<QImage> fresh = ConvertPicture(captured, request);
    ASSERT_TRUE(fresh.has_value());
    QImage stale(fresh->size(), QImage::Format_RGB32);
    stale.fill(Qt::red);
    const uchar* memory = stale.constBits();
    const std::optional<QImage> reused = ConvertPicture(captured, request, std::move(stale));
    ASSERT_TRUE(reused.has_value());
    EXPECT_EQ(reused->constBits(), memory);
    EXPECT_EQ(*reused, *fresh);

    QImage held(fresh->size(), QImage::Format_RGB32);
    held.fill(Qt::red);
    const std::optional<QImage> beside = ConvertPicture(captured, request, held);
    ASSERT_TRUE(beside.has_value());
    EXPECT_EQ(*beside, *fresh);
    EXPECT_EQ(held.pixel(0, 0), qRgb(255, 0, 0));
}

// At the screen's width the picture is drawn into a transparent black target, so a
// transparent pixel comes out black; narrower, the file's own colours come back unchanged.
TEST_F(ConversionTest, SidePanelPictureIsRedrawnFromTheScreensWidthOn) {
    QImage picture(800, 50, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 200, 0, 255));
    picture.setPixel(5, 5, qRgba(255, 255, 255, 0));
    ASSERT_TRUE(picture.save(file("wide.png")));
    ASSERT_TRUE(picture.copy(0, 0, 799, 50).save(file("narrow.png")));

    const std::optional<CapturedPicture> wide = CapturedPicture::open(file("wide.png"));
    const std::optional<CapturedPicture> narrow = CapturedPicture::open(file("narrow.png"));
    ASSERT_TRUE(wide && narrow);
    const std::optional<QImage> redrawn =
        ConvertPicture(*wide, sidePanelRequest(wide->size(), 800, folder()));
    const std::optional<QImage> unchanged =
        ConvertPicture(*narrow, sidePanelRequest(narrow->size(), 800, folder()));
    ASSERT_TRUE(redrawn && unchanged);
    EXPECT_EQ(hex(redrawn->pixel(5, 5)), hex(kBlack));
    EXPECT_EQ(hex(unchanged->pixel(5, 5)), hex(0xFFFFFFFF));
    EXPECT_EQ(hex(redrawn->pixel(6, 5)), hex(0xFF00C800));
    EXPECT_EQ(unchanged->format(), QImage::Format_RGB32);
}

// No temporary file is written: the result must be what writing the 32-bit target as BMP and
// reading it back would give, for opaque pictures and partly transparent ones.
TEST_F(ConversionTest, ResultEqualsTheTemporaryBmpRoundTrip) {
    QImage gradient(64, 48, QImage::Format_ARGB32);
    for (int y = 0; y < gradient.height(); ++y)
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgba(4 * x, 5 * y, 200, (x * 4 + y * 3) % 256));
    ASSERT_TRUE(gradient.save(file("alpha.png")));
    const std::optional<CapturedPicture> translucent = CapturedPicture::open(file("alpha.png"));
    ASSERT_TRUE(translucent.has_value());
    const CapturedPicture opaque = capture(gradient.convertToFormat(QImage::Format_RGB32));

    for (const CapturedPicture* picture : {&*translucent, &opaque})
        for (bool smooth : {false, true}) {
            SCOPED_TRACE(testing::Message() << (picture == &opaque ? "opaque" : "translucent")
                                            << (smooth ? ", smooth" : ", fast"));
            ConversionRequest request = importThumbnailRequest(picture->size(), folder());
            request.interpolation =
                smooth ? InterpolationMode::HighQualityBicubic : InterpolationMode::LowQuality;
            const std::optional<QImage> result = ConvertPicture(*picture, request);
            ASSERT_TRUE(result.has_value());

            QImage target(100, 100, QImage::Format_ARGB32);
            target.fill(0);
            {
                QPainter p(&target);
                p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
                p.drawImage(QRectF(0, 12.5, 100, 75), picture->image());
            }
            ASSERT_TRUE(target.save(file("tmp.bmt"), "BMP"));
            QImage readBack = QImageReader(file("tmp.bmt"), "BMP").read();
            readBack = readBack.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < readBack.height(); ++y)
                for (int x = 0; x < readBack.width(); ++x)
                    readBack.setPixel(x, y, readBack.pixel(x, y) | kBlack);
            EXPECT_EQ(differences(*result, readBack.convertToFormat(QImage::Format_RGB32)), "");
            // Clear bands leave the picture's pixels as they are.
            if (smooth)
                continue;
            request.clearBands = true;
            const std::optional<QImage> clear = ConvertPicture(*picture, request);
            ASSERT_TRUE(clear.has_value());
            EXPECT_EQ(qAlpha(clear->pixel(50, 5)), 0);
            EXPECT_EQ(differences(clear->convertToFormat(QImage::Format_RGB32),
                                  readBack.convertToFormat(QImage::Format_RGB32)),
                      "");
        }
}

TEST(FindEncoderByMimeType, FindsBmpAndPngInTheFixedOrder) {
    const std::vector<EncoderId>& encoders = ImageEncoders();
    const std::array<QByteArray, 5> order{"image/bmp", "image/jpeg", "image/gif", "image/tiff",
                                          "image/png"};
    std::size_t next = 0;
    for (const EncoderId& e : encoders) {
        while (next < order.size() && order[next] != e.mimeType)
            ++next;
        ASSERT_LT(next, order.size()) << e.mimeType.constData() << " out of order or unknown";
    }

    EncoderId out;
    EXPECT_EQ(FindEncoderByMimeType(QStringLiteral("image/bmp"), out), 0);
    EXPECT_EQ(out.format, "bmp");
    const int png = FindEncoderByMimeType(QStringLiteral("image/png"), out);
    EXPECT_EQ(png, static_cast<int>(encoders.size()) - 1);
    EXPECT_EQ(out.mimeType, "image/png");

    // The id is what the save code hands to the writer.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, out.format);
    ASSERT_TRUE(writer.write(quadrants({8, 8})));
    EXPECT_TRUE(buffer.data().startsWith("\x89PNG"));
}

TEST(FindEncoderByMimeType, NoMatchGivesMinusOneAndLeavesTheOutputAlone) {
    for (const char* mime :
         {"image/PNG", "IMAGE/BMP", "image/x-unknown", "", "image/png ", "png"}) {
        SCOPED_TRACE(mime);
        EncoderId out{"untouched", "untouched/too"};
        EXPECT_EQ(FindEncoderByMimeType(QString::fromLatin1(mime), out), -1);
        EXPECT_EQ(out, (EncoderId{"untouched", "untouched/too"}));
    }
}

TEST_F(ConversionTest, SourcesThatCannotBeOpenedGiveNoPicture) {
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return file(name);
    };
    // A BMP header that declares a picture 0 pixels wide.
    QByteArray zeroWide("BM", 2);
    zeroWide.append(QByteArray::fromHex("3a000000000000003600000028000000"
                                        "00000000" // width 0
                                        "01000000" // height 1
                                        "01001800000000000400000000000000"
                                        "0000000000000000000000000000000000000000"));
    const QString paths[] = {
        write("damaged.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, '\x5a')),
        write("empty.bmp", QByteArray()),
        write("zero-wide.bmp", zeroWide),
        file("missing.png"),
        folder(),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(CapturedPicture::open(path).has_value());
    }
    EXPECT_FALSE(CapturedPicture::fromBitmap(QImage()).has_value());
    EXPECT_FALSE(CapturedPicture::fromBitmap(QImage(0, 5, QImage::Format_RGB32)).has_value());
}

// A phone's photo or a scan of 6000 x 6000 takes 144 MB as pixels, past what Qt decodes
// unless the program raises its limit at start.
TEST_F(ConversionTest, LargePhotosOpenUpToTheConversionsOwnLimit) {
    const int before = QImageReader::allocationLimit();
    QImage photo(6000, 6000, QImage::Format_RGB32);
    photo.fill(kTopLeft);
    ASSERT_TRUE(photo.save(file("photo.jpg"), "JPEG", 10));
    photo = QImage();

    RaisePictureReadLimit();
    const std::optional<CapturedPicture> opened = CapturedPicture::open(file("photo.jpg"));
    QImageReader::setAllocationLimit(before);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->size(), QSize(6000, 6000));
    // The largest target the conversion makes can be read back as a picture.
    EXPECT_GE(static_cast<long long>(PictureReadLimitMegabytes) << 20, MaxTargetPixels * 4);
}

// The rules themselves never divide by a zero side, and a conversion that cannot make its
// target changes nothing, not even the scanner's tmp.bmp.
TEST_F(ConversionTest, EmptyOrOversizedTargetsGiveNoPictureAndChangeNothing) {
    const QString tmpBmp = file("tmp.bmp");
    fakes.files.present << tmpBmp;
    const CapturedPicture picture = capture(quadrants({1024, 768}));
    float zoom = 1.0f;
    for (int step = 0; step < 8; ++step)
        zoom = zoomedIn(zoom);
    ConversionRequest outsized = boardZoomRequest(picture.size(), zoom, FloatingKind::Placed, "");
    outsized.deleteTmpBmpFirst = true;
    outsized.programFolder = folder();

    const QSize zero(0, 0);
    const QString f = folder();
    const ConversionRequest requests[] = {
        importThumbnailRequest(zero, f),
        importThumbnailRequest({0, 10}, f),
        sidePanelRequest({0, 10}, 800, f),
        thumbnailStripRequest({10, 0}, f),
        boardZoomRequest(zero, 1.5f, FloatingKind::Selection, f),
        scannerRequest(zero, {1024, 768}, ScanPageMode::Single, f),
        scannerRequest({0, 100}, {1024, 768}, ScanPageMode::Double, f),
        overlayZoomRequest(zero, 1.5f, ZoomDirection::Reduce, f),
        outsized,
    };
    for (const ConversionRequest& r : requests)
        EXPECT_FALSE(ConvertPicture(picture, r).has_value())
            << r.targetWidth << " x " << r.targetHeight;
    EXPECT_TRUE(fakes.files.removed.isEmpty());
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    const std::pair<double, int> cases[] = {
        {0.5, 0},      {1.5, 2},    {2.5, 2},        {513.5, 514},     {512.5, 512},     {-1.5, -2},
        {227.25, 227}, {2.4999, 2}, {1e12, INT_MAX}, {-1e12, INT_MIN}, {std::nan(""), 0}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
}

} // namespace
