#include "intake/scan_frames.h"

#include "intake/picture_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

using platform::FrameFormat;
using platform::FrameParameters;

namespace {

// More padding than this at the end of a line is taken for a broken device, not a layout.
constexpr qint64 MaxLinePadding = 65536;

constexpr QRgb OpaqueBlack = 0xFF000000u;

int channelsOf(FrameFormat format) {
    return format == FrameFormat::Rgb ? 3 : 1;
}

bool singleChannel(FrameFormat format) {
    return format == FrameFormat::Red || format == FrameFormat::Green ||
           format == FrameFormat::Blue;
}

int channelBit(FrameFormat format) {
    switch (format) {
    case FrameFormat::Red:
        return 1;
    case FrameFormat::Green:
        return 2;
    case FrameFormat::Blue:
        return 4;
    default:
        return 8;
    }
}

// The bytes a line's samples take, padding left out.
qint64 lineBytes(const FrameParameters& f) {
    return (qint64{f.pixelsPerLine} * channelsOf(f.format) * f.depth + 7) / 8;
}

bool sensible(const FrameParameters& f) {
    if (f.depth != 1 && f.depth != 8 && f.depth != 16)
        return false;
    if (f.pixelsPerLine < 1 || (f.lines < 1 && f.lines != -1))
        return false;
    const qint64 needed = lineBytes(f);
    return f.bytesPerLine >= needed && f.bytesPerLine <= needed + MaxLinePadding;
}

// Sample `i` of a line as an 8-bit value. In grey frames of depth 1 a set bit is black.
class LineReader {
public:
    LineReader(const unsigned char* line, const FrameParameters& f)
        : line_(line), depth_(f.depth), inverted_(f.depth == 1 && f.format == FrameFormat::Gray) {}

    unsigned sample(qint64 i) const {
        const auto at = static_cast<std::size_t>(i);
        switch (depth_) {
        case 1: {
            const unsigned bit = (line_[at >> 3] >> (7 - (at & 7))) & 1u;
            return (bit != 0) != inverted_ ? 255u : 0u;
        }
        case 16: {
            std::uint16_t v = 0; // the machine's own byte order
            std::memcpy(&v, line_ + 2 * at, sizeof v);
            return static_cast<unsigned>(v >> 8);
        }
        default:
            return line_[at];
        }
    }

private:
    const unsigned char* line_;
    int depth_;
    bool inverted_;
};

} // namespace

ScanImageBuilder::ScanImageBuilder(qint64 maxPixels) : maxPixels_(maxPixels) {}

ScanImageBuilder::ScanImageBuilder() : ScanImageBuilder(MaxTargetPixels) {}

bool ScanImageBuilder::beginFrame(const FrameParameters& f) {
    if (complete_ || framed_ || !sensible(f))
        return false;
    if (f.pixelsPerLine > maxPixels_ ||
        (f.lines > 0 && qint64{f.pixelsPerLine} * f.lines > maxPixels_))
        return false;

    if (width_ == 0) {
        width_ = f.pixelsPerLine;
        heightKnown_ = f.lines > 0;
        height_ = heightKnown_ ? f.lines : 0;
        pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                       OpaqueBlack);
        const int frames = singleChannel(f.format) ? 3 : 1;
        expectedBytes_ = heightKnown_ ? qint64{f.bytesPerLine} * f.lines * frames : 0;
    } else {
        // Only the channels of a three-pass scan follow a first frame, each once, each of the
        // same size.
        if (!singleChannel(f.format) || (channelsSeen_ & channelBit(f.format)) != 0 ||
            (channelsSeen_ & channelBit(FrameFormat::Gray)) != 0)
            return false;
        if (f.pixelsPerLine != width_ || (f.lines != -1 && f.lines != height_))
            return false;
    }
    frame_ = f;
    framed_ = true;
    line_.assign(static_cast<std::size_t>(f.bytesPerLine), 0);
    lineFill_ = 0;
    row_ = 0;
    return true;
}

bool ScanImageBuilder::append(const unsigned char* data, int length) {
    if (!framed_)
        return false;
    if (length <= 0)
        return true;
    receivedBytes_ += length;
    auto left = static_cast<std::size_t>(length);
    while (left > 0) {
        const std::size_t n = std::min(left, line_.size() - lineFill_);
        std::memcpy(line_.data() + lineFill_, data, n);
        data += n;
        left -= n;
        lineFill_ += n;
        if (lineFill_ == line_.size()) {
            lineFill_ = 0;
            if (row_ >= height_) {
                if (heightKnown_) {
                    ++row_; // more than the frame announced: not part of the picture
                    continue;
                }
                if (!addRow())
                    return false;
            }
            storeLine();
        }
    }
    return true;
}

bool ScanImageBuilder::addRow() {
    if ((qint64{height_} + 1) * width_ > maxPixels_)
        return false;
    pixels_.resize(pixels_.size() + static_cast<std::size_t>(width_), OpaqueBlack);
    ++height_;
    return true;
}

void ScanImageBuilder::storeLine() {
    const LineReader in(line_.data(), frame_);
    QRgb* out = pixels_.data() + static_cast<std::size_t>(row_) * static_cast<std::size_t>(width_);
    ++row_;
    switch (frame_.format) {
    case FrameFormat::Gray:
        for (int x = 0; x < width_; ++x) {
            const unsigned v = in.sample(x);
            out[x] = OpaqueBlack | v << 16 | v << 8 | v;
        }
        break;
    case FrameFormat::Rgb:
        for (int x = 0; x < width_; ++x) {
            const qint64 i = qint64{x} * 3;
            out[x] = OpaqueBlack | in.sample(i) << 16 | in.sample(i + 1) << 8 | in.sample(i + 2);
        }
        break;
    case FrameFormat::Red:
        for (int x = 0; x < width_; ++x)
            out[x] = (out[x] & 0xFF00FFFFu) | in.sample(x) << 16;
        break;
    case FrameFormat::Green:
        for (int x = 0; x < width_; ++x)
            out[x] = (out[x] & 0xFFFF00FFu) | in.sample(x) << 8;
        break;
    case FrameFormat::Blue:
        for (int x = 0; x < width_; ++x)
            out[x] = (out[x] & 0xFFFFFF00u) | in.sample(x);
        break;
    }
}

bool ScanImageBuilder::endFrame() {
    if (!framed_)
        return false;
    framed_ = false;
    if (!heightKnown_) {
        if (row_ < 1)
            return false;
        height_ = row_;
        heightKnown_ = true;
        if (singleChannel(frame_.format))
            expectedBytes_ = receivedBytes_ * 3;
    } else if (row_ < height_) {
        return false; // the frame ended early: the picture would be partial
    }
    channelsSeen_ |= channelBit(frame_.format);
    complete_ = !singleChannel(frame_.format) || frame_.lastFrame;
    return true;
}

QImage ScanImageBuilder::take() {
    if (width_ <= 0 || height_ <= 0)
        return {};
    QImage image(width_, height_, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height_; ++y)
        std::memcpy(image.scanLine(y),
                    pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_),
                    static_cast<std::size_t>(width_) * sizeof(QRgb));
    pixels_.clear();
    pixels_.shrink_to_fit();
    return image;
}
