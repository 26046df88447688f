// Frames put together into a picture: each frame kind and depth read to the pixel, whether its
// bytes come at once or one by one, and the frames that are refused.
#include "intake/picture_conversion.h"
#include "intake/scan_frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace platform;

namespace {

struct Frame {
    FrameParameters parameters;
    std::vector<unsigned char> data;
};

FrameParameters params(FrameFormat format, int ppl, int bpl, int lines, int depth,
                       bool last = true) {
    return {format, last, bpl, ppl, lines, depth};
}

std::vector<unsigned char> words(std::initializer_list<std::uint16_t> values) {
    std::vector<unsigned char> bytes(values.size() * 2);
    std::size_t i = 0;
    for (std::uint16_t v : values) {
        std::memcpy(bytes.data() + i, &v, 2); // the machine's own byte order
        i += 2;
    }
    return bytes;
}

// Runs the frames through a builder, `chunk` bytes at a time (0: each frame at once).
std::optional<QImage> build(const std::vector<Frame>& frames, int chunk) {
    ScanImageBuilder builder;
    for (const Frame& f : frames) {
        if (!builder.beginFrame(f.parameters))
            return std::nullopt;
        const int size = static_cast<int>(f.data.size());
        const int step = chunk > 0 ? chunk : std::max(size, 1);
        for (int at = 0; at < size; at += step) {
            if (!builder.append(f.data.data() + at, std::min(step, size - at)))
                return std::nullopt;
        }
        if (!builder.endFrame())
            return std::nullopt;
    }
    if (!builder.complete())
        return std::nullopt;
    return builder.take();
}

std::vector<QRgb> pixels(const QImage& image) {
    std::vector<QRgb> all;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            all.push_back(image.pixel(x, y));
    return all;
}

constexpr QRgb K = 0xFF000000; // black
constexpr QRgb W = 0xFFFFFFFF;

} // namespace

TEST(ScanFrames, EachKindAndDepthGivesItsPixels) {
    struct Case {
        const char* name;
        std::vector<Frame> frames;
        QSize size;
        std::vector<QRgb> expected;
    };
    const Case cases[] = {
        {"grey, 8 bits, a padding byte per line",
         {{params(FrameFormat::Gray, 2, 3, 2, 8), {0x10, 0x20, 0xEE, 0x30, 0x40, 0xEE}}},
         {2, 2},
         {0xFF101010, 0xFF202020, 0xFF303030, 0xFF404040}},
        {"grey, 16 bits: the high byte",
         {{params(FrameFormat::Gray, 2, 4, 1, 16), words({0x12FF, 0xAB00})}},
         {2, 1},
         {0xFF121212, 0xFFABABAB}},
        {"grey, 1 bit: a set bit is black",
         {{params(FrameFormat::Gray, 10, 2, 1, 1), {0b10100000, 0b01000000}}},
         {10, 1},
         {K, W, K, W, W, W, W, W, W, K}},
        {"colour, 8 bits, padded to 8 bytes a line",
         {{params(FrameFormat::Rgb, 2, 8, 1, 8), {1, 2, 3, 4, 5, 6, 0xEE, 0xEE}}},
         {2, 1},
         {0xFF010203, 0xFF040506}},
        {"colour, 16 bits",
         {{params(FrameFormat::Rgb, 1, 6, 1, 16), words({0x1100, 0x2200, 0x33FF})}},
         {1, 1},
         {0xFF112233}},
        {"colour, 1 bit: a set bit is full intensity",
         {{params(FrameFormat::Rgb, 3, 2, 1, 1), {0b10000110, 0b00000000}}},
         {3, 1},
         {0xFFFF0000, 0xFF0000FF, 0xFFFF0000}},
        {"three passes, green first",
         {{params(FrameFormat::Green, 2, 2, 1, 8, false), {0x22, 0x55}},
          {params(FrameFormat::Red, 2, 2, 1, 8, false), {0x11, 0x44}},
          {params(FrameFormat::Blue, 2, 2, 1, 8, true), {0x33, 0x66}}},
         {2, 1},
         {0xFF112233, 0xFF445566}},
        {"a hand scanner: lines not known until the end, a part line left over",
         {{params(FrameFormat::Gray, 2, 2, -1, 8), {1, 2, 3, 4, 5, 6, 7}}},
         {2, 3},
         {0xFF010101, 0xFF020202, 0xFF030303, 0xFF040404, 0xFF050505, 0xFF060606}},
        {"three passes of a hand scanner",
         {{params(FrameFormat::Red, 1, 1, -1, 8, false), {0x10, 0x20}},
          {params(FrameFormat::Green, 1, 1, -1, 8, false), {0x30, 0x40}},
          {params(FrameFormat::Blue, 1, 1, -1, 8, true), {0x50, 0x60}}},
         {1, 2},
         {0xFF103050, 0xFF204060}},
        {"bytes beyond the announced lines are not part of the picture",
         {{params(FrameFormat::Gray, 1, 1, 1, 8), {9, 8, 7}}},
         {1, 1},
         {0xFF090909}},
    };
    for (const Case& c : cases) {
        for (int chunk : {0, 1, 3}) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            const std::optional<QImage> image = build(c.frames, chunk);
            ASSERT_TRUE(image.has_value());
            EXPECT_EQ(image->size(), c.size);
            EXPECT_EQ(pixels(*image), c.expected);
        }
    }
}

TEST(ScanFrames, BrokenOrOversizedFramesAreRefused) {
    const auto side = static_cast<int>(std::sqrt(static_cast<double>(MaxTargetPixels))) + 1;
    struct Case {
        const char* name;
        std::vector<Frame> frames;
    };
    const Case cases[] = {
        {"larger than the conversion takes",
         {{params(FrameFormat::Gray, side, side, side, 8), {}}}},
        {"a line shorter than its samples", {{params(FrameFormat::Rgb, 4, 11, 1, 8), {}}}},
        {"a depth of 4 bits", {{params(FrameFormat::Gray, 4, 2, 1, 4), {}}}},
        {"no lines", {{params(FrameFormat::Gray, 4, 4, 0, 8), {}}}},
        {"fewer lines than announced: a partial picture",
         {{params(FrameFormat::Gray, 2, 2, 3, 8), {1, 2, 3, 4}}}},
        {"a hand scanner that sends no whole line",
         {{params(FrameFormat::Gray, 2, 2, -1, 8), {1}}}},
        {"the same channel twice",
         {{params(FrameFormat::Red, 1, 1, 1, 8, false), {1}},
          {params(FrameFormat::Red, 1, 1, 1, 8, true), {2}}}},
        {"a grey frame after a channel",
         {{params(FrameFormat::Red, 1, 1, 1, 8, false), {1}},
          {params(FrameFormat::Gray, 1, 1, 1, 8, true), {2}}}},
        {"channels of different widths",
         {{params(FrameFormat::Red, 1, 1, 1, 8, false), {1}},
          {params(FrameFormat::Green, 2, 2, 1, 8, true), {2, 3}}}},
        {"channels of different heights",
         {{params(FrameFormat::Red, 1, 1, 1, 8, false), {1}},
          {params(FrameFormat::Green, 1, 1, 2, 8, true), {2, 3}}}},
        {"a channel without its last frame", {{params(FrameFormat::Red, 1, 1, 1, 8, false), {1}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(build(c.frames, 0).has_value());
    }

    // A hand scan that grows past the size is stopped as it grows, not at its end.
    ScanImageBuilder builder(100);
    ASSERT_TRUE(builder.beginFrame(params(FrameFormat::Gray, 10, 10, -1, 8)));
    const std::vector<unsigned char> line(10, 0x80);
    int lines = 0;
    while (lines <= 20 && builder.append(line.data(), 10))
        ++lines;
    EXPECT_EQ(lines, 10);
}

TEST(ScanFrames, ProgressCountsTheBytesOfEveryFrame) {
    ScanImageBuilder builder;
    ASSERT_TRUE(builder.beginFrame(params(FrameFormat::Red, 2, 4, 5, 8, false)));
    EXPECT_EQ(builder.expectedBytes(), 4 * 5 * 3);
    const std::vector<unsigned char> bytes(20, 1);
    ASSERT_TRUE(builder.append(bytes.data(), 20));
    EXPECT_EQ(builder.receivedBytes(), 20);

    ScanImageBuilder hand;
    ASSERT_TRUE(hand.beginFrame(params(FrameFormat::Gray, 2, 2, -1, 8)));
    EXPECT_EQ(hand.expectedBytes(), 0); // not known
}
