#include "board/model/recovery_writer.h"
#include "platform/os/owner_folder.h"
#include "platform/os/sync_folder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace {

std::optional<QByteArray> readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > recovery_files::MaxText)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// The round of the manifest in place, so that the names of a new write never meet the
// names it refers to.
std::uint64_t roundInPlace(const QString& folder) {
    QFile file(folder + QLatin1Char('/') + recovery_files::Manifest);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QJsonObject manifest = QJsonDocument::fromJson(file.read(1 << 20)).object();
    return static_cast<std::uint64_t>(std::max(0.0, manifest.value(u"round").toDouble()));
}

QJsonObject pageEntry(const RecoveryPageInfo& info, const QSize& size,
                      const std::optional<TColor>& solid, const QString& file,
                      const QString& textFile) {
    QJsonObject entry{
        {QStringLiteral("page"), info.page},
        {QStringLiteral("state"), info.state},
        {QStringLiteral("panelKind"), info.panelKind},
        {QStringLiteral("panel"),
         QJsonArray{info.panel.x(), info.panel.y(), info.panel.width(), info.panel.height()}},
        {QStringLiteral("panelBaked"), info.panelBaked},
        {QStringLiteral("width"), size.width()},
        {QStringLiteral("height"), size.height()},
    };
    if (solid)
        entry.insert(QStringLiteral("solid"), static_cast<qint64>(*solid));
    else
        entry.insert(QStringLiteral("file"), file);
    if (!textFile.isEmpty())
        entry.insert(QStringLiteral("text"), textFile);
    return entry;
}

} // namespace

int RecoveryWriter::fileLimitFromEnvironment() {
    bool ok = false;
    const int limit = qEnvironmentVariableIntValue("KVORNE_RECOVERY_FILE_LIMIT", &ok);
    return ok ? limit : -1;
}

RecoveryWriter::RecoveryWriter(QString folder, int fileLimit)
    : folder_(std::move(folder)), fileLimit_(fileLimit) {
    thread_ = std::thread([this] { run(); });
}

RecoveryWriter::~RecoveryWriter() {
    {
        const std::lock_guard lock(mutex_);
        tasks_.clear();
        stopping_ = true;
    }
    cancel_ = true;
    wake_.notify_all();
    thread_.join();
}

void RecoveryWriter::write(RecoverySnapshot snapshot) {
    {
        const std::lock_guard lock(mutex_);
        tasks_.emplace_back(std::move(snapshot));
    }
    wake_.notify_all();
}

void RecoveryWriter::discard() {
    {
        const std::lock_guard lock(mutex_);
        tasks_.emplace_back(Discard{});
    }
    wake_.notify_all();
}

void RecoveryWriter::wait() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return tasks_.empty() && !busy_; });
}

bool RecoveryWriter::hasWaitingWrite() {
    const std::lock_guard lock(mutex_);
    return std::any_of(tasks_.begin(), tasks_.end(), [](const Task& task) {
        return std::holds_alternative<RecoverySnapshot>(task);
    });
}

void RecoveryWriter::discardAndStop() {
    {
        const std::lock_guard lock(mutex_);
        tasks_.clear();
        tasks_.emplace_back(Discard{});
    }
    cancel_ = true;
    wake_.notify_all();
    wait();
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    wake_.notify_all();
}

void RecoveryWriter::run() {
    // Below the GUI thread, so that a pen stroke never waits for a write on a machine with
    // few cores. Linux gives each thread its own nice value.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
    round_ = roundInPlace(folder_);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty())
            return;
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        busy_ = true;
        lock.unlock();
        if (std::holds_alternative<Discard>(task)) {
            cancel_ = false;
            if (!stopped_)
                removeFolder();
        } else if (!stopped_ && !writeRound(std::get<RecoverySnapshot>(task))) {
            needsEveryPage_ = true;
        }
        task = Discard{}; // the snapshot's pictures go before the next wait
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
}

bool RecoveryWriter::writeWhole(const QString& name, const QByteArray& bytes) {
    if (cancel_ || stopped_)
        return false;
    if (fileLimit_ >= 0 && filesWritten_ >= fileLimit_) {
        stopped_ = true;
        return false;
    }
    QSaveFile file(folder_ + QLatin1Char('/') + name);
    file.setDirectWriteFallback(false);
    // The temporary file takes the mode before its first byte.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(bytes) != bytes.size() || !file.commit())
        return false;
    ++filesWritten_;
    return true;
}

bool RecoveryWriter::writeRound(RecoverySnapshot& snapshot) {
    if (!platform::makeOwnerOnlyFolder(folder_))
        return false;
    const std::uint64_t round = ++round_;
    std::map<int, WrittenPage> pages;
    std::map<int, WrittenText> texts;
    QJsonArray entries;
    for (RecoverySnapshotPage& page : snapshot.pages) {
        WrittenPage written;
        if (page.carriesPixels()) {
            const PackedPage packed = page.packed ? *std::exchange(page.packed, std::nullopt)
                                                  : packPage(std::exchange(page.picture, {}));
            written = {page.version, packed.size, packed.solid, {}};
            if (!packed.solid) {
                written.file = recovery_files::pageFile(page.page, round);
                if (!writeWhole(written.file, packed.bytes))
                    return false;
            }
        } else {
            const auto before = pages_.find(page.page);
            if (before == pages_.end() || before->second.version != page.version)
                return false; // the pixels were never handed over: a write before failed
            written = before->second;
        }
        pages[page.page] = written;

        QString textName;
        if (!page.text && !page.textFile.isEmpty())
            page.text = readText(page.textFile);
        if (page.text) {
            const auto before = texts_.find(page.page);
            if (before != texts_.end() && before->second.bytes == *page.text) {
                texts[page.page] = before->second;
            } else {
                texts[page.page] = {*page.text, recovery_files::textFile(page.page, round)};
                if (!writeWhole(texts[page.page].file, *page.text))
                    return false;
            }
            textName = texts[page.page].file;
        }
        entries.append(pageEntry(page, written.size, written.solid, written.file, textName));
    }

    const QJsonObject manifest{
        {QStringLiteral("round"), static_cast<qint64>(round)},
        {QStringLiteral("pageCount"), snapshot.pageCount},
        {QStringLiteral("currentPage"), snapshot.currentPage},
        {QStringLiteral("background"), static_cast<qint64>(snapshot.background)},
        {QStringLiteral("pages"), entries},
    };
    // The names of the files the manifest lists reach the disk before the manifest does.
    platform::syncFolder(folder_);
    if (!writeWhole(recovery_files::Manifest, QJsonDocument(manifest).toJson()))
        return false;
    platform::syncFolder(folder_);
    pages_ = std::move(pages);
    texts_ = std::move(texts);
    removeUnnamed(pages_, texts_);
    return true;
}

// Files of earlier writes, and temporary files of a write that was cut short.
void RecoveryWriter::removeUnnamed(const std::map<int, WrittenPage>& pages,
                                   const std::map<int, WrittenText>& texts) {
    QSet<QString> named{recovery_files::Manifest};
    for (const auto& [page, written] : pages)
        named.insert(written.file);
    for (const auto& [page, written] : texts)
        named.insert(written.file);
    const QDir dir(folder_);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!named.contains(name))
            QFile::remove(dir.filePath(name));
    }
}

void RecoveryWriter::removeFolder() {
    QDir(folder_).removeRecursively();
    pages_.clear();
    texts_.clear();
}
