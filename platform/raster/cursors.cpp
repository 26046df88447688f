// Windows cursor files: the directory is checked here, the chosen picture is decoded by Qt's
// icon reader, and the hotspot, which that reader drops, comes from the directory entry.
#include "platform/raster/cursors.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

// Far above any real cursor (256x256 at 32 bits is about 270 KB); keeps a stray large file from
// being read whole.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
constexpr qint64 kDirectorySize = 6;
constexpr qint64 kEntrySize = 16;
constexpr qint64 kInfoHeaderSize = 40;
constexpr int kWantedSize = 32;

class Bytes {
public:
    explicit Bytes(const QByteArray& data) : data_(data) {}
    qint64 size() const { return data_.size(); }
    std::uint32_t byte(qint64 at) const { return static_cast<uchar>(data_[at]); }
    std::uint32_t word(qint64 at) const { return byte(at) | byte(at + 1) << 8; }
    std::uint32_t dword(qint64 at) const { return word(at) | word(at + 2) << 16; }
    std::int32_t signedDword(qint64 at) const { return static_cast<std::int32_t>(dword(at)); }

private:
    const QByteArray& data_;
};

struct Entry {
    int width = 0; // pixels; the file's 0 means 256
    int height = 0;
    std::uint32_t colourCount = 0;
    int hotX = 0;
    int hotY = 0;
    qint64 size = 0;
    qint64 offset = 0;
};

// Whether the picture an entry points to is a PNG, or a bitmap whose header, palette, colour
// bits and mask all lie inside the entry.
bool pictureFits(const Bytes& b, const Entry& e) {
    static const uchar pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (e.size >= 8) {
        bool png = true;
        for (qint64 i = 0; i < 8; ++i)
            png = png && b.byte(e.offset + i) == pngSignature[i];
        if (png)
            return true;
    }
    if (e.size < kInfoHeaderSize)
        return false;
    const qint64 at = e.offset;
    const qint64 headerSize = b.dword(at);
    const qint64 width = b.signedDword(at + 4);
    const qint64 doubledHeight = b.signedDword(at + 8);
    const std::uint32_t planes = b.word(at + 12);
    const std::uint32_t bits = b.word(at + 14);
    const std::uint32_t compression = b.dword(at + 16);
    const qint64 coloursUsed = b.dword(at + 32);
    if (headerSize < kInfoHeaderSize || headerSize > e.size)
        return false;
    if (width < 1 || width > 256 || doubledHeight < 2 || doubledHeight > 512 ||
        doubledHeight % 2 != 0)
        return false;
    if (planes != 1 || compression != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return false;
    const qint64 height = doubledHeight / 2;
    qint64 palette = 0;
    if (bits <= 8) {
        palette = coloursUsed != 0 ? coloursUsed : qint64{1} << bits;
        if (palette > (qint64{1} << bits))
            return false;
    }
    const qint64 colourRow = (width * bits + 31) / 32 * 4;
    const qint64 maskRow = (width + 31) / 32 * 4;
    const qint64 needed = headerSize + palette * 4 + (colourRow + maskRow) * height;
    return needed <= e.size;
}

// The directory of a cursor file, every entry checked against the file's length; nothing
// when the file is not a cursor file. An icon file (type 1) is refused: it has no hotspot.
std::optional<std::vector<Entry>> readDirectory(const Bytes& b) {
    if (b.size() < kDirectorySize)
        return std::nullopt;
    if (b.word(0) != 0 || b.word(2) != 2)
        return std::nullopt;
    const qint64 count = b.word(4);
    if (count < 1 || kDirectorySize + count * kEntrySize > b.size())
        return std::nullopt;
    std::vector<Entry> entries;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = kDirectorySize + i * kEntrySize;
        Entry e;
        e.width = b.byte(at) == 0 ? 256 : static_cast<int>(b.byte(at));
        e.height = b.byte(at + 1) == 0 ? 256 : static_cast<int>(b.byte(at + 1));
        e.colourCount = b.byte(at + 2);
        e.hotX = static_cast<int>(b.word(at + 4));
        e.hotY = static_cast<int>(b.word(at + 6));
        e.size = b.dword(at + 8);
        e.offset = b.dword(at + 12);
        const qint64 directoryEnd = kDirectorySize + count * kEntrySize;
        if (e.offset < directoryEnd || e.size < 1 || e.offset + e.size > b.size())
            return std::nullopt;
        if (!pictureFits(b, e))
            return std::nullopt;
        entries.push_back(e);
    }
    return entries;
}

// Windows would pick the size the display asks for; ours asks for 32 pixels.
const Entry& bestEntry(const std::vector<Entry>& entries) {
    const Entry* best = &entries.front();
    auto distance = [](const Entry& e) {
        return std::abs(e.width - kWantedSize) + std::abs(e.height - kWantedSize);
    };
    for (const Entry& e : entries) {
        if (distance(e) < distance(*best))
            best = &e;
    }
    return *best;
}

// The one picture as a single-image icon file, which Qt's reader decodes.
QByteArray iconFile(const QByteArray& data, const Bytes& b, const Entry& e) {
    QByteArray out;
    auto put16 = [&](std::uint32_t v) {
        out.append(static_cast<char>(v & 0xFF));
        out.append(static_cast<char>((v >> 8) & 0xFF));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(0);
    put16(1); // icon: the reader has no use for the hotspot the cursor's entry holds instead
    put16(1);
    out.append(static_cast<char>(e.width & 0xFF));
    out.append(static_cast<char>(e.height & 0xFF));
    out.append(static_cast<char>(e.colourCount));
    out.append('\0');
    const bool bitmap = e.size >= kInfoHeaderSize && b.dword(e.offset) >= kInfoHeaderSize;
    put16(1);                                    // planes
    put16(bitmap ? b.word(e.offset + 14) : 32u); // bits per pixel
    put32(static_cast<std::uint32_t>(e.size));
    put32(static_cast<std::uint32_t>(kDirectorySize + kEntrySize));
    out.append(data.mid(e.offset, e.size));
    return out;
}

} // namespace

std::optional<QCursor> loadCursorFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    const QByteArray data = file.readAll();
    const Bytes bytes(data);
    const auto entries = readDirectory(bytes);
    if (!entries)
        return std::nullopt;
    const Entry& entry = bestEntry(*entries);
    // Naming the format spares loading every other picture plugin to guess it.
    QByteArray icon = iconFile(data, bytes, entry);
    QBuffer buffer(&icon);
    QImageReader reader(&buffer, "ico");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    const int hotX = std::min(entry.hotX, image.width() - 1);
    const int hotY = std::min(entry.hotY, image.height() - 1);
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

} // namespace platform
