#include "board/model/recovery_reader.h"

#include "board/model/board_model.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <map>
#include <set>

namespace {

// Far beyond any screen; a page claiming more is damage, not a page.
constexpr int MaxSide = 8192;
constexpr qint64 MaxManifest = 1 << 20;
using recovery_files::MaxText;

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

// The page's pixels from its own file, checked by expanding them into `scratch`.
std::optional<PackedPage> readPixels(const QString& folder, const QString& name, QSize size,
                                     QImage& scratch) {
    const qint64 raw = qint64(size.width()) * size.height() * 4;
    const std::optional<QByteArray> bytes = readOwnFile(folder, name, raw + raw / 64 + 4096);
    if (!bytes)
        return std::nullopt;
    PackedPage packed{size, std::nullopt, *bytes};
    try {
        scratch = unpackPage(packed, std::move(scratch));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return packed;
}

// One page of the manifest with its files; a page or text that cannot be read is listed, and
// the page kept without such a text.
std::optional<RecoveredPage> readPage(const QString& folder, const QJsonObject& entry,
                                      RecoveredBoard& board, QImage& scratch) {
    bool ok = true;
    RecoveredPage page;
    page.page = intIn(entry, u"page", 1, board.pageCount, ok);
    if (!ok) {
        board.listDamaged = true;
        return std::nullopt;
    }
    page.state = intIn(entry, u"state", 0, 2, ok);
    page.panelKind = intIn(entry, u"panelKind", 0, 2, ok);
    page.panelBaked = intIn(entry, u"panelBaked", 0, 1, ok);
    const QSize size(intIn(entry, u"width", 1, MaxSide, ok),
                     intIn(entry, u"height", 1, MaxSide, ok));
    const QJsonArray panel = entry.value(u"panel").toArray();
    if (panel.size() == 4)
        page.panel = QRect(panel[0].toInt(), panel[1].toInt(), panel[2].toInt(), panel[3].toInt());
    else
        ok = false;

    std::optional<PackedPage> packed;
    if (ok && entry.contains(u"solid")) {
        const double solid = entry.value(u"solid").toDouble(-1);
        if (solid >= 0 && solid <= 0xFFFFFF)
            packed = solidPage(size, static_cast<TColor>(solid));
    } else if (ok) {
        packed = readPixels(folder, entry.value(u"file").toString(), size, scratch);
    }
    if (!packed) {
        board.unreadablePages.push_back(page.page);
        return std::nullopt;
    }
    page.packed = std::move(*packed);
    if (entry.contains(u"text")) {
        page.text = readOwnFile(folder, entry.value(u"text").toString(), MaxText);
        if (!page.text)
            board.unreadableTexts.push_back(page.page);
    }
    return page;
}

// The board as the list of its last write gives it; nothing when the list is damaged.
std::optional<RecoveredBoard> readListed(const QString& folder, const QByteArray& list) {
    const QJsonObject manifest = QJsonDocument::fromJson(list).object();
    bool ok = true;
    RecoveredBoard board;
    board.pageCount = intIn(manifest, u"pageCount", 1, MaxPages, ok);
    board.currentPage = intIn(manifest, u"currentPage", 1, board.pageCount, ok);
    const double background = manifest.value(u"background").toDouble(-1);
    if (!ok || background < 0 || background > 0xFFFFFF || !manifest.value(u"pages").isArray())
        return std::nullopt;
    board.background = static_cast<TColor>(background);

    QImage scratch;
    std::array<bool, MaxPages + 1> seen{};
    for (const QJsonValue& value : manifest.value(u"pages").toArray()) {
        std::optional<RecoveredPage> page = readPage(folder, value.toObject(), board, scratch);
        if (!page)
            continue;
        if (seen[static_cast<std::size_t>(page->page)]) {
            board.listDamaged = true;
            continue;
        }
        seen[static_cast<std::size_t>(page->page)] = true;
        board.pages.push_back(std::move(*page));
    }
    return board;
}

// The pages of the screen's size, each from the newest of its files, with the newest of its
// texts. A page of one colour has no file: a page known only by its text is of the
// background's colour.
RecoveredBoard readUnlisted(const QString& folder, QSize screen, TColor background) {
    static const QRegularExpression numbered(QStringLiteral("\\A(page|text)-(\\d+)-(\\d+)\\."));
    // The newest round and file of each page, for pictures [0] and texts [1].
    std::array<std::map<int, std::pair<std::uint64_t, QString>>, 2> newest;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = numbered.match(name);
        if (!recovery_files::isOwnName(name) || !match.hasMatch())
            continue;
        const int page = match.captured(2).toInt();
        const std::uint64_t round = match.captured(3).toULongLong();
        auto& files = newest[match.captured(1) == u"page" ? 0 : 1];
        const auto known = files.find(page);
        if (page >= 1 && page <= MaxPages && (known == files.end() || known->second.first < round))
            files[page] = {round, name};
    }
    std::set<int> found;
    for (const auto& files : newest) {
        for (const auto& entry : files)
            found.insert(entry.first);
    }

    RecoveredBoard board;
    board.background = background;
    board.listDamaged = true;
    board.pageCount = found.empty() ? 1 : *found.rbegin();
    QImage scratch;
    for (const int n : found) {
        RecoveredPage page;
        page.page = n;
        page.state = PageWithContent;
        if (const auto file = newest[0].find(n); file != newest[0].end()) {
            std::optional<PackedPage> packed =
                readPixels(folder, file->second.second, screen, scratch);
            if (!packed) {
                board.unreadablePages.push_back(n);
                continue;
            }
            page.packed = std::move(*packed);
        } else {
            page.packed = solidPage(screen, background);
        }
        if (const auto file = newest[1].find(n); file != newest[1].end()) {
            page.text = readOwnFile(folder, file->second.second, MaxText);
            if (!page.text)
                board.unreadableTexts.push_back(n);
        }
        board.pages.push_back(std::move(page));
    }
    return board;
}

} // namespace

std::optional<RecoveredBoard> readRecovery(const QString& folder, QSize screen, TColor background) {
    const QStringList names = QDir(folder).entryList(QDir::Files);
    if (std::none_of(names.begin(), names.end(), recovery_files::isOwnName))
        return std::nullopt;
    const std::optional<QByteArray> list =
        readOwnFile(folder, recovery_files::Manifest, MaxManifest);
    std::optional<RecoveredBoard> board = list ? readListed(folder, *list) : std::nullopt;
    if (!board)
        board = readUnlisted(folder, screen, background);
    // The page that was current, or else the first that could be read.
    if (std::none_of(board->pages.begin(), board->pages.end(),
                     [&](const RecoveredPage& p) { return p.page == board->currentPage; }))
        board->currentPage = board->pages.empty() ? 1 : board->pages.front().page;
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
    // A page that could not be read comes back blank, not as whatever the board held there.
    for (int n = 1; n <= recovered.pageCount; ++n) {
        board.fillPage(n, recovered.background);
        board.restorePageAttributes(n, PageCleared, NoPanel, QRect(), 0);
    }
    for (const RecoveredPage& page : recovered.pages) {
        const int n = page.page;
        if (page.packed.size == board.pageSize())
            board.writePacked(n, page.packed);
        else // a screen of another size since: cut, or widened over the background colour
            board.writePage(n, pageOverBackground(unpackPage(page.packed), board.pageSize(),
                                                  recovered.background));
        board.restorePageAttributes(n, page.state, page.panelKind, page.panel, page.panelBaked);
    }
    removePageTexts(textFile);
    for (const RecoveredPage& page : recovered.pages) {
        if (page.text)
            writeText(textFile(page.page), *page.text);
    }
    board.setBackgroundColour(recovered.background);
    // The windows show the page as after a turn into it.
    emit board.pageEntered(recovered.currentPage, false);
    emit board.turnEnded();
}

void removePageTexts(const std::function<QString(int page)>& textFile) {
    for (int n = 1; n <= MaxPages; ++n)
        QFile::remove(textFile(n));
}
