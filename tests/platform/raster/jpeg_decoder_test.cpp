// The stamp decoder on every kind of JPEG file a teacher's stamp folder may hold, on files cut
// short, and on headers that claim sizes no stamp has.
#include "jpeg_fixtures.h"
#include "platform/raster/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

using namespace platform;
namespace fx = jpegfixtures;

namespace {

// Within JPEG's loss of a flat colour.
::testing::AssertionResult near(QRgb actual, QRgb expected) {
    const int d = std::abs(qRed(actual) - qRed(expected)) +
                  std::abs(qGreen(actual) - qGreen(expected)) +
                  std::abs(qBlue(actual) - qBlue(expected));
    if (d <= 24)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << qRed(actual) << "," << qGreen(actual) << "," << qBlue(actual) << " for "
           << qRed(expected) << "," << qGreen(expected) << "," << qBlue(expected);
}

// The middle of each of the four blocks.
constexpr int BlockCentres[] = {6, 18, 30, 42};

} // namespace

TEST(JpegDecoder, EveryKindOfFileGivesItsPicture) {
    const QRgb colour[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    QRgb grey[4];
    for (int i = 0; i < 4; ++i) {
        const int g = qGray(colour[i]);
        grey[i] = qRgb(g, g, g);
    }
    const struct {
        fx::Kind kind;
        const char* name;
        const QRgb* expected;
    } cases[] = {
        {fx::Kind::Baseline, "baseline", colour},
        {fx::Kind::Progressive, "progressive", colour},
        {fx::Kind::Greyscale, "greyscale", grey},
        {fx::Kind::GreyscaleProgressive, "greyscale progressive", grey},
        {fx::Kind::CmykAdobe, "CMYK with the Adobe marker", colour},
        {fx::Kind::CmykPlain, "CMYK without it", colour},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QImage> picture = decodeJpeg(fx::encode(fx::blocks(), c.kind));
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->size(), QSize(48, 32));
        EXPECT_EQ(picture->format(), QImage::Format_RGB32);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(near(picture->pixel(BlockCentres[i], 16), c.expected[i])) << "block " << i;
    }
}

TEST(JpegDecoder, DamagedOrForeignDataGivesNoPicture) {
    const QByteArray baseline = fx::encode(fx::blocks(), fx::Kind::Baseline);
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"nothing", QByteArray()},
        {"text", QByteArray("not a picture at all")},
        {"a header cut short", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)},
        {"the tables only", baseline.left(baseline.indexOf("\xFF\xC0"))},
        {"a zero width", fx::withClaimedSize(baseline, 0, 32)},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(decodeJpeg(c.data)) << c.name;
    EXPECT_FALSE(decodeJpegFile(QStringLiteral("/nonexistent/stamp.jt")));
}

// Each scan makes the decoder go over the whole picture again: a file with more scans than any
// encoder writes is refused rather than keeping the board busy.
TEST(JpegDecoder, AFileWithEndlessScansGivesNothing) {
    const QByteArray progressive = fx::encode(fx::blocks(), fx::Kind::Progressive);
    EXPECT_TRUE(decodeJpeg(fx::withLastScanRepeated(progressive, 20)));
    EXPECT_FALSE(decodeJpeg(fx::withLastScanRepeated(progressive, 300)));
}

// A file cut short in its picture data keeps the rows it has: the rest is what the library
// makes of missing data, never an error.
TEST(JpegDecoder, AFileCutShortKeepsItsPicture) {
    for (const fx::Kind kind : {fx::Kind::Baseline, fx::Kind::Progressive}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const QByteArray whole = fx::encode(fx::blocks(), kind);
        const QByteArray cut = fx::cutInFirstScan(whole);
        ASSERT_LT(cut.size(), whole.size() - 16);
        const std::optional<QImage> picture = decodeJpeg(cut);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->size(), QSize(48, 32));
        // The first block's top rows are the first data of a baseline scan.
        if (kind == fx::Kind::Baseline) {
            EXPECT_TRUE(near(picture->pixel(BlockCentres[0], 0), qRgb(255, 0, 0)));
        }
    }
}

#if !defined(__SANITIZE_ADDRESS__)

namespace {

// Lets this process take `headroom` more bytes of address space than it holds now, as a
// machine with little free memory would: a decoder that asks for more than a stamp needs gets
// nothing, and must cope.
void limitAddressSpace(unsigned long long headroom) {
    unsigned long long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%llu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const auto used = pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
    const rlimit limit{used + headroom, used + headroom};
    setrlimit(RLIMIT_AS, &limit);
}

// Decodes in a child process with the address space limited; it exits 0 when the decoder
// gave no picture and did not crash.
[[noreturn]] void decodeExpectingNothing(const QByteArray& data, unsigned long long headroom) {
    limitAddressSpace(headroom);
    std::_Exit(decodeJpeg(data) ? 1 : 0);
}

} // namespace

class JpegDecoderMemoryTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// A few hundred bytes must not make the program ask for gigabytes: a size no stamp has is
// refused as soon as the header is read, before the library allocates for the picture.
TEST_F(JpegDecoderMemoryTest, HeadersClaimingHugeSizesAreRefusedBeforeAnyAllocation) {
    QImage one(16, 16, QImage::Format_RGB32);
    one.fill(Qt::gray);
    const QByteArray greyProgressive = fx::encode(one, fx::Kind::GreyscaleProgressive);
    const QByteArray colourProgressive = fx::encode(one, fx::Kind::Progressive);
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        // About 600 MB of picture and 300 MB of coefficients, within 16384 a side.
        {"grey progressive 12000 x 12000", fx::withClaimedSize(greyProgressive, 12000, 12000)},
        {"colour progressive 60000 x 60000", fx::withClaimedSize(colourProgressive, 60000, 60000)},
        {"16385 x 16", fx::withClaimedSize(colourProgressive, 16385, 16)},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(decodeExpectingNothing(c.data, 700ULL << 20), ::testing::ExitedWithCode(0), "")
            << c.name;
    }
}

// A picture of an allowed size on a machine that cannot give its memory: no picture, and no
// row written through a picture that was never made.
TEST_F(JpegDecoderMemoryTest, APictureTheMachineCannotHoldGivesNothing) {
    QImage one(16, 16, QImage::Format_RGB32);
    one.fill(Qt::gray);
    const QByteArray large =
        fx::withClaimedSize(fx::encode(one, fx::Kind::Greyscale), 8192, 8192); // 256 MB
    EXPECT_EXIT(decodeExpectingNothing(large, 128ULL << 20), ::testing::ExitedWithCode(0), "");
}

#endif
