#include "lessons/lesson_archive.h"

#include "board/model/board_model.h"
#include "lessons/page_png.h"
#include "lessons/teacher_names.h"
#include "platform/os/handoff.h"
#include "platform/os/ini_text.h"

#include <QHash>
#include <QThreadPool>

#include <deque>
#include <future>
#include <memory>
#include <new>

namespace lessons {

using platform::IniText;
using platform::strToIntDef;

namespace {

// Files being written carry this after their target's name until the journal renames them.
const QString TempSuffix = QStringLiteral(".kvtmp");
const QString JournalFile = QStringLiteral("kvorne.journal");
const QByteArray JournalHeader = QByteArrayLiteral("K_Vorne lesson journal 1");

// A picture larger than this in either direction is taken for a damaged file.
constexpr QSize MaxPicture(8192, 8192);

constexpr int DefaultPanelLeft = 0;
constexpr int DefaultPanelTop = 40;
constexpr int DefaultPanelWidth = 368;
constexpr int PanelBottomGap = 40;

QString saveFailed(const QString& detail) {
    return QStringLiteral("课程没有保存成功，存储盘上原来的课程保持不变。\n%1").arg(detail);
}

QString cannotWrite(const QString& path) {
    return QStringLiteral("无法写入文件 %1（存储盘已满、已拔出或不可写）。").arg(path);
}

QString unfinished(const QString& detail) {
    return QStringLiteral(
               "存储盘上有一次没有完成的课程保存，现在无法完成它：%1\n请检查存储盘后再试。")
        .arg(detail);
}

// A file name from a journal: a name in the folder, never a way out of it.
bool plainName(const QString& name) {
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

// The owner recorded in a lesson's section, when all of it is there.
std::optional<LessonOwner> recordedOwner(const IniText& index, const QString& section) {
    const auto teacher = index.value(section, lessonkeys::Teacher);
    const auto volume = index.value(section, lessonkeys::Volume);
    const auto lesson = index.value(section, lessonkeys::Lesson);
    if (!teacher || !volume || !lesson)
        return std::nullopt;
    return LessonOwner{*teacher, strToIntDef(*volume, 0), strToIntDef(*lesson, 0)};
}

int recordedPages(const IniText& index, const QString& section) {
    return strToIntDef(index.value(section, lessonkeys::Pages).value_or(QString()), 0);
}

QString describeSection(const IniText& index, const QString& section) {
    if (const auto owner = recordedOwner(index, section))
        return owner->describe();
    return QStringLiteral("“%1”").arg(section);
}

QByteArray panelFile(int kind, int left, int top, int width, int height) {
    IniText sec;
    sec.setValue(lessonkeys::Edit, lessonkeys::Kind, QString::number(kind));
    sec.setValue(lessonkeys::Edit, lessonkeys::Left, QString::number(left));
    sec.setValue(lessonkeys::Edit, lessonkeys::Top, QString::number(top));
    sec.setValue(lessonkeys::Edit, lessonkeys::Width, QString::number(width));
    sec.setValue(lessonkeys::Edit, lessonkeys::Height, QString::number(height));
    return sec.bytes();
}

// What a save records before it replaces anything: the renames, the removals and the index
// entry, in that order of doing.
struct Journal {
    QString section;
    int pages = 0;
    LessonOwner owner;
    std::vector<std::pair<QString, QString>> renames;
    QStringList removals;

    QByteArray bytes() const {
        QStringList lines{QString::fromLatin1(JournalHeader), QStringLiteral("section\t") + section,
                          QStringLiteral("pages\t%1").arg(pages),
                          QStringLiteral("owner\t%1\t%2\t%3")
                              .arg(owner.Teacher)
                              .arg(owner.Volume)
                              .arg(owner.Lesson)};
        for (const auto& [from, to] : renames)
            lines << QStringLiteral("rename\t%1\t%2").arg(from, to);
        for (const QString& name : removals)
            lines << QStringLiteral("remove\t") + name;
        lines << QStringLiteral("end");
        return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
    }

    static std::optional<Journal> parse(const QByteArray& bytes) {
        const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
        if (lines.size() < 5 || lines[0].toUtf8() != JournalHeader ||
            !lines.contains(QStringLiteral("end")))
            return std::nullopt;
        Journal j;
        bool haveOwner = false;
        for (const QString& line : lines.mid(1)) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f[0] == QStringLiteral("section") && f.size() == 2) {
                j.section = f[1];
            } else if (f[0] == QStringLiteral("pages") && f.size() == 2) {
                j.pages = strToIntDef(f[1], 0);
            } else if (f[0] == QStringLiteral("owner") && f.size() == 4) {
                j.owner = {f[1], strToIntDef(f[2], 0), strToIntDef(f[3], 0)};
                haveOwner = true;
            } else if (f[0] == QStringLiteral("rename") && f.size() == 3 && plainName(f[1]) &&
                       plainName(f[2])) {
                j.renames.emplace_back(f[1], f[2]);
            } else if (f[0] == QStringLiteral("remove") && f.size() == 2 && plainName(f[1])) {
                j.removals << f[1];
            } else if (f[0] == QStringLiteral("end")) {
                break;
            } else {
                return std::nullopt;
            }
        }
        if (!haveOwner || !j.owner.usable() || j.section != j.owner.key() || j.pages < 1 ||
            j.pages > MaxPages)
            return std::nullopt;
        return j;
    }
};

// Runs page jobs on both cores and hands their results back in page order, with at most a
// few pages held at a time.
template <typename Result> class PagePipeline {
public:
    PagePipeline() { pool_.setMaxThreadCount(2); }
    ~PagePipeline() { pool_.waitForDone(); }
    PagePipeline(const PagePipeline&) = delete;
    PagePipeline& operator=(const PagePipeline&) = delete;

    void add(int page, std::function<Result()> job) {
        auto promise = std::make_shared<std::promise<Result>>();
        pending_.push_back({page, promise->get_future()});
        // A job's exception is handed to whoever takes its result, on the GUI thread, where
        // the command ends with an error box; escaping a pool thread it would end the program.
        platform::startOnPool(pool_, [promise, job = std::move(job)] {
            try {
                promise->set_value(job());
            } catch (...) {
                promise->set_exception(std::current_exception());
            }
        });
    }
    bool full() const { return static_cast<int>(pending_.size()) >= LessonArchive::PagesInFlight; }
    bool empty() const { return pending_.empty(); }
    // The oldest page's result, waited for.
    std::pair<int, Result> next() {
        auto [page, future] = std::move(pending_.front());
        pending_.pop_front();
        return {page, future.get()};
    }

private:
    QThreadPool pool_;
    std::deque<std::pair<int, std::future<Result>>> pending_;
};

} // namespace

std::optional<int> lessonPageCount(ArchiveFiles& files, const QString& folder, const QString& key) {
    const std::optional<QByteArray> bytes = files.read(folder + LessonIndexFile);
    if (!bytes)
        return std::nullopt;
    const int pages = recordedPages(IniText(*bytes), key);
    if (pages < 1 || pages > MaxPages)
        return std::nullopt;
    return pages;
}

LessonPage readLessonPage(ArchiveFiles& files, const QString& folder, const QString& key, int page,
                          QSize screen, QSize maxPicture) {
    LessonPage result;
    const QString picturePath = folder + pageFileName(key, page, PictureExtension);
    result.pictureStamp = files.stamp(picturePath);
    if (const auto bytes = files.read(picturePath)) {
        try {
            result.picture = decodePagePng(*bytes, maxPicture);
        } catch (const std::bad_alloc&) {
            // A picture too big for the memory left opens as a blank page, as a damaged one.
        }
    }
    result.panel = QRect(DefaultPanelLeft, DefaultPanelTop, DefaultPanelWidth,
                         screen.height() - PanelBottomGap);
    if (const auto bytes = files.read(folder + pageFileName(key, page, PanelExtension))) {
        const IniText sec(*bytes);
        const auto read = [&](const QString& name, int fallback) {
            return strToIntDef(sec.value(lessonkeys::Edit, name).value_or(QString()), fallback);
        };
        const int kind = read(lessonkeys::Kind, 0);
        result.panelKind = kind == 1 || kind == 2 ? kind : 0;
        const QRect panel(read(lessonkeys::Left, result.panel.left()),
                          read(lessonkeys::Top, result.panel.top()),
                          read(lessonkeys::Width, result.panel.width()),
                          read(lessonkeys::Height, result.panel.height()));
        // A hand-edited or damaged size of nothing would lose the panel for good: it takes the
        // default place instead.
        if (!panel.isEmpty())
            result.panel = panel;
    }
    result.text = files.read(folder + pageFileName(key, page, TextExtension));
    return result;
}

LessonArchive::LessonArchive(ArchiveFiles& files) : files_(files) {}

ArchiveResult LessonArchive::finishInterruptedSave(const QString& folder) {
    if (const auto bytes = files_.read(folder + JournalFile)) {
        if (Journal::parse(*bytes)) {
            if (const auto error = applyJournal(folder, *bytes))
                return ArchiveResult::failed(unfinished(*error));
        } else {
            // A journal is written whole before it is renamed into place; one that does not
            // read was damaged on the disk, and nothing can be finished from it.
            files_.remove(folder + JournalFile);
        }
    }
    // Files of a save that stopped before its journal: the old lesson is whole without them.
    for (const QString& name : files_.fileNames(folder)) {
        if (name.endsWith(TempSuffix))
            files_.remove(folder + name);
    }
    return ArchiveResult::done();
}

LessonArchive::SaveCheck LessonArchive::checkSave(const QString& folder, const LessonOwner& owner,
                                                  int pageCount) {
    const QString indexPath = folder + LessonIndexFile;
    const std::optional<QByteArray> bytes = files_.read(indexPath);
    if (!bytes) {
        if (files_.stamp(indexPath))
            return {SaveCheck::Refused,
                    saveFailed(QStringLiteral("无法读取课程索引 %1。").arg(indexPath))};
        return {};
    }
    const IniText index(*bytes);
    const QString key = owner.key();
    const std::optional<LessonOwner> recorded = recordedOwner(index, key);
    if (recorded && !recorded->sameAs(owner)) {
        return {SaveCheck::Refused,
                QStringLiteral("这节课的存储名“%1”已被另一节课（%2）使用，保存会覆盖那节课，"
                               "所以没有保存。请换一个册号或课号。")
                    .arg(key, recorded->describe())};
    }
    // Page files another lesson counts as its own: "教师11" page 21 is "教师112" page 1.
    QHash<QString, QString> owned;
    for (const QString& section : index.sections()) {
        if (section.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        const int pages = std::min(recordedPages(index, section), MaxPages);
        for (int page = 1; page <= pages; ++page)
            owned.insert(pageFileName(section, page, {}).toLower(), section);
    }
    for (int page = 1; page <= pageCount; ++page) {
        const auto other = owned.constFind(pageFileName(key, page, {}).toLower());
        if (other != owned.constEnd()) {
            return {
                SaveCheck::Refused,
                QStringLiteral("第%1页的文件名与另一节课（%2）的页面文件相同，保存会覆盖那节课，"
                               "所以没有保存。请换一个册号或课号。")
                    .arg(page)
                    .arg(describeSection(index, *other))};
        }
    }
    if (!recorded && recordedPages(index, key) > 0) {
        return {SaveCheck::AskToReplace,
                QStringLiteral("存储盘上已有一节名为“%1”的课（%2页），没有记录是哪位教师的课。"
                               "要用现在的课替换它吗？")
                    .arg(key)
                    .arg(recordedPages(index, key))};
    }
    return {};
}

ArchiveResult LessonArchive::save(BoardModel& board, const QString& folder,
                                  const LessonOwner& owner, bool replaceUnowned,
                                  const PageProgress& progress) {
    if (!owner.usable())
        return ArchiveResult::refused(BadTeacherName);
    if (ArchiveResult r = finishInterruptedSave(folder); !r.ok())
        return r;
    const int count = std::clamp(board.PageCount, 1, MaxPages);
    const SaveCheck check = checkSave(folder, owner, count);
    if (check.verdict == SaveCheck::Refused ||
        (check.verdict == SaveCheck::AskToReplace && !replaceUnowned))
        return ArchiveResult::refused(check.verdict == SaveCheck::Refused ? check.message
                                                                          : QString());

    const QString key = owner.key();
    struct Written {
        QString failedPath; // empty when every file of the page was written
        bool picture = false;
        bool text = false;
    };
    Journal journal{key, count, owner, {}, {}};
    std::array<std::uint64_t, MaxPages + 1> versions{};
    QStringList temps;
    QString failure;
    PagePipeline<Written> pipeline;
    const auto takeNext = [&] {
        const auto [page, written] = pipeline.next();
        if (!written.failedPath.isEmpty() && failure.isEmpty())
            failure = written.failedPath;
        for (const QString& extension : {PictureExtension, PanelExtension, TextExtension}) {
            const QString name = pageFileName(key, page, extension);
            const bool present = extension == PictureExtension ? written.picture
                                 : extension == TextExtension  ? written.text
                                                               : true;
            if (present)
                journal.renames.emplace_back(name + TempSuffix, name);
            else if (extension == TextExtension)
                journal.removals << name; // a text from an earlier save is not this page's
        }
    };
    // Pages held packed are expanded into the pictures of pages saved before, once their jobs
    // are done with them: a fresh page-sized picture for each page costs more in page faults
    // than expanding it.
    std::deque<QImage> done;
    for (int page = 1; page <= count && failure.isEmpty(); ++page) {
        const QString picturePath = folder + pageFileName(key, page, PictureExtension);
        QImage reuse;
        if (static_cast<int>(done.size()) > PagesInFlight) {
            reuse = std::move(done.front());
            done.pop_front();
        }
        const QImage picture = board.pagePicture(page, std::move(reuse));
        versions[static_cast<std::size_t>(page)] = board.version(page);
        const auto& known = known_[static_cast<std::size_t>(page)];
        const bool unchanged = known && known->path == picturePath &&
                               known->version == board.version(page) &&
                               files_.stamp(picturePath) == std::optional(known->stamp);
        const QByteArray panel =
            panelFile(board.panelKind(page), board.PanelLeft[page], board.PanelTop[page],
                      board.PanelWidth[page], board.PanelHeight[page]);
        const QString stem = folder + pageFileName(key, page, {});
        temps << stem + PictureExtension + TempSuffix << stem + PanelExtension + TempSuffix
              << stem + TextExtension + TempSuffix;
        pipeline.add(page,
                     [this, picture, unchanged, panel, stem, textPath = board.pageTextFile(page)] {
                         Written w;
                         const auto put = [&](const QString& extension, const QByteArray& bytes) {
                             const QString path = stem + extension + TempSuffix;
                             if (bytes.isEmpty() || !files_.write(path, bytes)) {
                                 w.failedPath = stem + extension;
                                 return false;
                             }
                             return true;
                         };
                         if (!unchanged) {
                             if (!put(PictureExtension, encodePagePng(picture)))
                                 return w;
                             w.picture = true;
                         }
                         if (!put(PanelExtension, panel))
                             return w;
                         if (const auto text = files_.read(textPath); text && !text->isEmpty()) {
                             if (!put(TextExtension, *text))
                                 return w;
                             w.text = true;
                         }
                         return w;
                     });
        if (progress)
            progress(page, picture);
        done.push_back(picture);
        while (pipeline.full())
            takeNext();
    }
    while (!pipeline.empty())
        takeNext();
    if (failure.isEmpty() && !files_.flush(folder))
        failure = folder;
    if (!failure.isEmpty()) {
        for (const QString& temp : temps)
            files_.remove(temp);
        return ArchiveResult::failed(saveFailed(cannotWrite(failure)));
    }
    if (ArchiveResult r = commit(folder, journal.bytes()); !r.ok())
        return r;
    for (int page = 1; page <= count; ++page) {
        const QString path = folder + pageFileName(key, page, PictureExtension);
        auto& known = known_[static_cast<std::size_t>(page)];
        if (const auto stamp = files_.stamp(path))
            known = KnownPicture{path, *stamp, versions[static_cast<std::size_t>(page)]};
        else
            known.reset();
    }
    return ArchiveResult::done();
}

ArchiveResult LessonArchive::commit(const QString& folder, const QByteArray& journal) {
    const QString journalPath = folder + JournalFile;
    const QString temp = journalPath + TempSuffix;
    if (!files_.write(temp, journal) || !files_.flush(folder) ||
        !files_.rename(temp, journalPath)) {
        finishInterruptedSave(folder); // clears this save's files away
        return ArchiveResult::failed(saveFailed(cannotWrite(journalPath)));
    }
    if (const auto error = applyJournal(folder, journal)) {
        return ArchiveResult::failed(
            QStringLiteral("课程没有全部保存完：%1\n下次打开课程时会先把这次保存做完。")
                .arg(*error));
    }
    return ArchiveResult::done();
}

// Idempotent: a journal applied in part is applied again from the start.
std::optional<QString> LessonArchive::applyJournal(const QString& folder, const QByteArray& bytes) {
    const std::optional<Journal> journal = Journal::parse(bytes);
    if (!journal)
        return QStringLiteral("日志已损坏。");
    // The journal must be on the disk before anything is replaced.
    if (!files_.flush(folder))
        return cannotWrite(folder);
    for (const auto& [from, to] : journal->renames) {
        // A file already renamed by an earlier attempt is no longer there.
        if (files_.stamp(folder + from) && !files_.rename(folder + from, folder + to))
            return cannotWrite(folder + to);
    }
    for (const QString& name : journal->removals) {
        if (!files_.remove(folder + name))
            return cannotWrite(folder + name);
    }
    if (!files_.flush(folder))
        return cannotWrite(folder);

    // The page count last: until it is written, the index describes whichever lesson it did.
    const QString indexPath = folder + LessonIndexFile;
    const std::optional<QByteArray> old = files_.read(indexPath);
    if (!old && files_.stamp(indexPath))
        return QStringLiteral("无法读取课程索引 %1。").arg(indexPath);
    IniText index(old.value_or(QByteArray()));
    const QString section = journal->section;
    const std::pair<QString, QString> values[] = {
        {lessonkeys::Pages, QString::number(journal->pages)},
        {lessonkeys::Teacher, journal->owner.Teacher},
        {lessonkeys::Volume, QString::number(journal->owner.Volume)},
        {lessonkeys::Lesson, QString::number(journal->owner.Lesson)}};
    for (const auto& [key, value] : values) {
        if (!index.canWrite(section, key, value))
            return cannotWrite(indexPath);
        index.setValue(section, key, value);
    }
    const QString indexTemp = indexPath + TempSuffix;
    if (!files_.write(indexTemp, index.bytes()) || !files_.flush(folder) ||
        !files_.rename(indexTemp, indexPath) || !files_.flush(folder))
        return cannotWrite(indexPath);
    if (!files_.remove(folder + JournalFile) || !files_.flush(folder))
        return cannotWrite(folder + JournalFile);
    return std::nullopt;
}

ArchiveResult LessonArchive::open(BoardModel& board, const QString& folder,
                                  const LessonOwner& owner, const PageProgress& progress) {
    if (!owner.usable())
        return ArchiveResult::refused(BadTeacherName);
    if (ArchiveResult r = finishInterruptedSave(folder); !r.ok())
        return r;
    const QString key = owner.key();
    const std::optional<QByteArray> bytes = files_.read(folder + LessonIndexFile);
    if (!bytes)
        return ArchiveResult::refused(LessonNotFound);
    const IniText index(*bytes);
    const int count = recordedPages(index, key);
    if (count < 1 || count > MaxPages)
        return ArchiveResult::refused(LessonNotFound);
    if (const auto recorded = recordedOwner(index, key); recorded && !recorded->sameAs(owner)) {
        return ArchiveResult::refused(
            QStringLiteral("存储盘上名为“%1”的课是另一节课（%2），不是%3，所以没有打开。")
                .arg(key, recorded->describe(), owner.describe()));
    }

    const QSize screen = board.pageSize();
    const TColor background = board.BackgroundColour;
    PagePipeline<LessonPage> pipeline;
    const auto takeNext = [&] {
        auto [page, loaded] = pipeline.next();
        board.writePage(page, loaded.picture);
        board.PageState[page] = 2;
        board.setPanelKind(page, loaded.panelKind);
        board.PanelLeft[page] = loaded.panel.left();
        board.PanelTop[page] = loaded.panel.top();
        board.PanelWidth[page] = loaded.panel.width();
        board.PanelHeight[page] = loaded.panel.height();
        // A page without a text of its own must not show the text the old page left.
        const QString textPath = board.pageTextFile(page);
        if (loaded.text)
            files_.write(textPath, *loaded.text);
        else
            files_.remove(textPath);
        auto& known = known_[static_cast<std::size_t>(page)];
        if (loaded.pictureStamp)
            known = KnownPicture{folder + pageFileName(key, page, PictureExtension),
                                 *loaded.pictureStamp, board.version(page)};
        else
            known.reset();
        if (progress)
            progress(page, loaded.picture);
    };
    for (int page = 1; page <= count; ++page) {
        pipeline.add(page, [this, folder, key, page, screen, background] {
            LessonPage loaded = readLessonPage(files_, folder, key, page, screen, MaxPicture);
            const bool whole =
                loaded.picture.size() == screen && loaded.picture.format() == QImage::Format_RGB32;
            loaded.picture = pageOverBackground(loaded.picture, screen, background);
            if (!whole)
                loaded.pictureStamp.reset();
            return loaded;
        });
        while (pipeline.full())
            takeNext();
    }
    while (!pipeline.empty())
        takeNext();
    board.pagesReplaced(count);
    return ArchiveResult::done();
}

} // namespace lessons
