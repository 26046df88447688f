// The board's state as the recovery folder keeps it, so that the pages written since the last
// lesson save survive a crash or a power cut: what the GUI thread hands the writer, and what
// the reader gives back.
#pragma once

#include "board/model/page_codec.h"
#include "platform/raster/tcolor.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// What a page keeps besides its pixels.
struct RecoveryPageInfo {
    int page = 0;
    int state = 0;
    int panelKind = 0;
    QRect panel;
    int panelBaked = 0;
    // The page's rich text, when it has any.
    std::optional<QByteArray> text;
};

// One page of a snapshot. Its pixels come along only when they changed since the snapshot
// before; the writer keeps the file it wrote for an unchanged version.
struct RecoverySnapshotPage : RecoveryPageInfo {
    // Where the writer reads the page's text when `text` is not given: the page has none
    // when the file is missing.
    QString textFile;
    std::uint64_t version = 0;
    // Already packed by the page store, or still to be packed by the writer.
    std::optional<PackedPage> packed;
    QImage picture;

    bool carriesPixels() const { return packed.has_value() || !picture.isNull(); }
};

struct RecoverySnapshot {
    int pageCount = 1;
    int currentPage = 1;
    TColor background = 0;
    // The pages 1 .. pageCount that exist, in order.
    std::vector<RecoverySnapshotPage> pages;
};

struct RecoveredPage : RecoveryPageInfo {
    PackedPage packed;
};

// What could be read of the folder's last complete write.
struct RecoveredBoard {
    int pageCount = 1;
    int currentPage = 1;
    TColor background = 0;
    std::vector<RecoveredPage> pages;
    // Pages whose pictures, and pages whose texts, could not be read, in order.
    std::vector<int> unreadablePages;
    std::vector<int> unreadableTexts;
    // The list of the write could not be read, wholly (the pages then come from the files
    // alone, without their panels' places, and only those of the screen's size) or in part.
    bool listDamaged = false;

    // Whether it holds anything a teacher would want back: a page with anything on it, or a
    // text with words in it.
    bool worthOffering() const;
    // Whether anything of the folder could not be read.
    bool damaged() const {
        return listDamaged || !unreadablePages.empty() || !unreadableTexts.empty();
    }
    // Whether a page is wider or higher than `screen`.
    bool largerThan(QSize screen) const;
};

// The recovery folder's own names: the manifest names every other file of a complete write.
namespace recovery_files {
// A page's text beyond this is not kept (the editor's documents are far smaller).
inline constexpr qint64 MaxText = 64 << 20;
inline const QString Manifest = QStringLiteral("manifest.json");
QString pageFile(int page, std::uint64_t round);
QString textFile(int page, std::uint64_t round);
// Whether a name is one of the folder's own (and so safe to open inside it).
bool isOwnName(const QString& name);
} // namespace recovery_files
