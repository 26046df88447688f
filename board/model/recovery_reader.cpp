#include "board/model/recovery_reader.h"

#include "board/model/board_model.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

// Far beyond any screen; a page claiming more is damage, not a page.
constexpr int MaxSide = 8192;
constexpr qint64 MaxManifest = 1 << 20;
constexpr qint64 MaxText = 64 << 20;

std::optional<QByteArray> readOwnFile(const QString& folder, const QString& name, qint64 maxSize) {
    if (!recovery_files::isOwnName(name))
        return std::nullopt;
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxSize)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

int intIn(const QJsonObject& o, QStringView key, int low, int high, bool& ok) {
    const QJsonValue v = o.value(key);
    const double d = v.toDouble(-1e300);
    if (!v.isDouble() || d < low || d > high || d != static_cast<int>(d))
        ok = false;
    return ok ? static_cast<int>(d) : low;
}

// One page of the manifest with its files, its pixels checked by expanding them into
// `scratch`.
std::optional<RecoveredPage> readPage(const QString& folder, const QJsonObject& entry,
                                      int pageCount, QImage& scratch) {
    bool ok = true;
    RecoveredPage page;
    page.page = intIn(entry, u"page", 1, pageCount, ok);
    page.state = intIn(entry, u"state", 0, 2, ok);
    page.panelKind = intIn(entry, u"panelKind", 0, 2, ok);
    page.panelBaked = intIn(entry, u"panelBaked", 0, 1, ok);
    const QSize size(intIn(entry, u"width", 1, MaxSide, ok),
                     intIn(entry, u"height", 1, MaxSide, ok));
    const QJsonArray panel = entry.value(u"panel").toArray();
    if (panel.size() != 4)
        return std::nullopt;
    page.panel = QRect(panel[0].toInt(), panel[1].toInt(), panel[2].toInt(), panel[3].toInt());
    if (!ok)
        return std::nullopt;

    if (entry.contains(u"solid")) {
        const double solid = entry.value(u"solid").toDouble(-1);
        if (solid < 0 || solid > 0xFFFFFF)
            return std::nullopt;
        page.packed = solidPage(size, static_cast<TColor>(solid));
    } else {
        const qint64 raw = qint64(size.width()) * size.height() * 4;
        const std::optional<QByteArray> bytes =
            readOwnFile(folder, entry.value(u"file").toString(), raw + raw / 64 + 4096);
        if (!bytes)
            return std::nullopt;
        page.packed = {size, std::nullopt, *bytes};
        try {
            scratch = unpackPage(page.packed, std::move(scratch));
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    if (entry.contains(u"text")) {
        page.text = readOwnFile(folder, entry.value(u"text").toString(), MaxText);
        if (!page.text)
            return std::nullopt;
    }
    return page;
}

} // namespace

std::optional<RecoveredBoard> readRecovery(const QString& folder) {
    const std::optional<QByteArray> bytes =
        readOwnFile(folder, recovery_files::Manifest, MaxManifest);
    if (!bytes)
        return std::nullopt;
    const QJsonObject manifest = QJsonDocument::fromJson(*bytes).object();
    bool ok = true;
    RecoveredBoard board;
    board.pageCount = intIn(manifest, u"pageCount", 1, MaxPages, ok);
    board.currentPage = intIn(manifest, u"currentPage", 1, board.pageCount, ok);
    const double background = manifest.value(u"background").toDouble(-1);
    if (!ok || background < 0 || background > 0xFFFFFF)
        return std::nullopt;
    board.background = static_cast<TColor>(background);

    QImage scratch;
    std::array<bool, MaxPages + 1> seen{};
    for (const QJsonValue& value : manifest.value(u"pages").toArray()) {
        std::optional<RecoveredPage> page =
            readPage(folder, value.toObject(), board.pageCount, scratch);
        if (!page || seen[static_cast<std::size_t>(page->page)])
            return std::nullopt;
        seen[static_cast<std::size_t>(page->page)] = true;
        board.pages.push_back(std::move(*page));
    }
    if (!seen[static_cast<std::size_t>(board.currentPage)])
        return std::nullopt;
    return board;
}

namespace {

void writeText(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}

} // namespace

void restoreRecovery(BoardModel& board, const RecoveredBoard& recovered,
                     const std::function<QString(int page)>& textFile) {
    board.forgetUndo();
    board.forgetPagePanels(recovered.pageCount);
    board.setPageCount(recovered.pageCount);
    board.setCurrentPage(recovered.currentPage);
    for (const RecoveredPage& page : recovered.pages) {
        const int n = page.page;
        if (page.packed.size == board.pageSize())
            board.writePacked(n, page.packed);
        else // a screen of another size since: cut, or widened over the background colour
            board.writePage(n, pageOverBackground(unpackPage(page.packed), board.pageSize(),
                                                  recovered.background));
        board.PageState[n] = page.state;
        board.setPanelKind(n, page.panelKind);
        board.PanelLeft[n] = page.panel.x();
        board.PanelTop[n] = page.panel.y();
        board.PanelWidth[n] = page.panel.width();
        board.PanelHeight[n] = page.panel.height();
        board.PanelBaked[n] = page.panelBaked;
    }
    for (int n = 1; n <= recovered.pageCount; ++n)
        QFile::remove(textFile(n));
    for (const RecoveredPage& page : recovered.pages) {
        if (page.text)
            writeText(textFile(page.page), *page.text);
    }
    board.setBackgroundColour(recovered.background);
    // The windows show the page as after a turn into it.
    emit board.pageEntered(recovered.currentPage, false);
    emit board.turnEnded();
}
