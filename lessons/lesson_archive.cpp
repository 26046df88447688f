#include "lessons/lesson_archive.h"

#include "board/model/board_model.h"
#include "lessons/page_png.h"
#include "lessons/teacher_names.h"
#include "platform/os/handoff.h"
#include "platform/os/ini_text.h"

#include <QHash>
#include <QScopeGuard>
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
// A lesson's journal is named after its key, so that a save that cannot be finished holds up
// that lesson alone. Earlier versions wrote one journal for the whole folder.
const QString JournalSuffix = QStringLiteral(".kvjournal");
const QString FolderJournal = QStringLiteral("kvorne.journal");
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

QString unfinished(const QString& lesson, const QString& detail) {
    return QStringLiteral("这节课（%1）上次没有保存完，现在仍然无法完成：%2\n"
                          "请在存储盘上腾出空间（或打开写保护）后，再保存一次这节课。")
        .arg(lesson, detail);
}

QString journalName(const QString& key) {
    return key + JournalSuffix;
}

bool isJournal(const QString& name) {
    return name == FolderJournal || name.endsWith(JournalSuffix);
}

// The page and extension a file name gives as one of the files of the lesson of `key`: the
// key, a page number 1..99 as written, one of the three extensions, letter case aside. Nothing
// for any other name, so that no name from a file can lead out of the lesson.
std::optional<std::pair<int, QString>> lessonPageFile(const QString& key, const QString& name) {
    if (key.isEmpty() || !name.startsWith(key, Qt::CaseInsensitive))
        return std::nullopt;
    for (const QString& extension : {PictureExtension, PanelExtension, TextExtension}) {
        if (!name.endsWith(extension, Qt::CaseInsensitive))
            continue;
        const QString digits = name.mid(key.size(), name.size() - key.size() - extension.size());
        bool number = false;
        const int page = digits.toInt(&number);
        if (number && page >= 1 && page <= MaxPages && digits == QString::number(page))
            return std::pair{page, extension};
    }
    return std::nullopt;
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

QString unreadableIndex(const QString& path) {
    return QStringLiteral("无法读取课程索引 %1。").arg(path);
}

QString describeSection(const IniText& index, const QString& section) {
    if (const auto owner = recordedOwner(index, section))
        return owner->describe();
    return QStringLiteral("“%1”").arg(section);
}

QByteArray panelFile(int kind, const QRect& panel) {
    IniText sec;
    sec.setValue(lessonkeys::Edit, lessonkeys::Kind, QString::number(kind));
    sec.setValue(lessonkeys::Edit, lessonkeys::Left, QString::number(panel.x()));
    sec.setValue(lessonkeys::Edit, lessonkeys::Top, QString::number(panel.y()));
    sec.setValue(lessonkeys::Edit, lessonkeys::Width, QString::number(panel.width()));
    sec.setValue(lessonkeys::Edit, lessonkeys::Height, QString::number(panel.height()));
    return sec.bytes();
}

} // namespace

// What a save records before it replaces anything: the renames, the removals and the index
// entry, in that order of doing.
struct LessonArchive::Journal {
    QString section;
    int pages = 0;
    LessonOwner owner;
    std::vector<std::pair<QString, QString>> renames;
    QStringList removals;
    // The key the lesson had before its teacher was renamed: its files are renamed to this
    // lesson's and its section leaves the index. Empty for a save.
    QString from;

    QByteArray bytes() const {
        QStringList lines{QString::fromLatin1(JournalHeader), QStringLiteral("section\t") + section,
                          QStringLiteral("pages\t%1").arg(pages),
                          QStringLiteral("owner\t%1\t%2\t%3")
                              .arg(owner.Teacher)
                              .arg(owner.Volume)
                              .arg(owner.Lesson)};
        if (!from.isEmpty())
            lines << QStringLiteral("from\t") + from;
        for (const auto& [source, target] : renames)
            lines << QStringLiteral("rename\t%1\t%2").arg(source, target);
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
            } else if (f[0] == QStringLiteral("from") && f.size() == 2) {
                j.from = f[1];
            } else if (f[0] == QStringLiteral("rename") && f.size() == 3) {
                j.renames.emplace_back(f[1], f[2]);
            } else if (f[0] == QStringLiteral("remove") && f.size() == 2) {
                j.removals << f[1];
            } else if (f[0] == QStringLiteral("end")) {
                break;
            } else {
                return std::nullopt;
            }
        }
        if (!haveOwner || !j.owner.usable() || j.section != j.owner.key() || j.pages < 1 ||
            j.pages > MaxPages || !j.namesItsOwnFiles())
            return std::nullopt;
        return j;
    }

    // A journal touches the files of its own lesson and nothing else: each rename puts a
    // file of this lesson's pages in place, from its temporary or from the same file of the
    // lesson's former key; each removal is a file of this lesson's pages.
    bool namesItsOwnFiles() const {
        const auto ownPage = [&](const QString& key, const QString& name) {
            const auto file = lessonPageFile(key, name);
            return file && file->first <= pages ? file : std::nullopt;
        };
        for (const auto& [source, target] : renames) {
            const auto file = ownPage(section, target);
            if (!file || target != pageFileName(section, file->first, file->second))
                return false;
            const auto old = from.isEmpty() ? std::nullopt : ownPage(from, source);
            if (source != target + TempSuffix &&
                (!old || old->first != file->first ||
                 old->second.compare(file->second, Qt::CaseInsensitive) != 0))
                return false;
        }
        for (const QString& name : removals) {
            if (!ownPage(section, name))
                return false;
        }
        return true;
    }

    // Whether finishing this journal would change a file or the section of the lesson of
    // `key`.
    bool concerns(const QString& key) const {
        if (section.compare(key, Qt::CaseInsensitive) == 0 ||
            from.compare(key, Qt::CaseInsensitive) == 0)
            return true;
        for (const auto& [source, target] : renames) {
            if (lessonPageFile(key, target) ||
                lessonPageFile(key, source.endsWith(TempSuffix) ? source.chopped(TempSuffix.size())
                                                                : source))
                return true;
        }
        for (const QString& name : removals) {
            if (lessonPageFile(key, name))
                return true;
        }
        return false;
    }
};

namespace {

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

SavedNumbers savedLessonNumbers(ArchiveFiles& files, const QString& folder,
                                const QStringList& teachers) {
    SavedNumbers numbers;
    const std::optional<QByteArray> bytes = files.read(folder + LessonIndexFile);
    if (!bytes)
        return numbers;
    const IniText index(*bytes);
    for (const QString& section : index.sections()) {
        const std::optional<LessonOwner> owner = recordedOwner(index, section);
        if (!owner || FindTeacher(teachers, owner->Teacher) < 0 ||
            recordedPages(index, section) < 1 || owner->Volume < 1 || owner->Lesson < 1)
            continue;
        numbers.Volumes = std::max(numbers.Volumes, std::min(owner->Volume, MaxLessonNumber));
        numbers.Lessons = std::max(numbers.Lessons, std::min(owner->Lesson, MaxLessonNumber));
    }
    return numbers;
}

LessonPage readLessonPage(ArchiveFiles& files, const QString& folder, const QString& key, int page,
                          QSize screen, QSize maxPicture) {
    // The Windows program's disks ignore letter case, so a lesson of "Wang" may lie in files
    // of "wang" or "WANG": a file not there as named is looked for in other letters.
    std::optional<QStringList> listing;
    const auto path = [&](const QString& extension) {
        const QString name = pageFileName(key, page, extension);
        if (files.present(folder + name))
            return folder + name;
        if (!listing)
            listing = files.fileNames(folder);
        for (const QString& found : *listing) {
            if (found.compare(name, Qt::CaseInsensitive) == 0)
                return folder + found;
        }
        return folder + name;
    };
    LessonPage result;
    const QString picturePath = path(PictureExtension);
    result.picturePath = picturePath;
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
    if (const auto bytes = files.read(path(PanelExtension))) {
        const IniText sec(*bytes);
        const auto read = [&](const QString& name, int fallback) {
            return strToIntDef(sec.value(lessonkeys::Edit, name).value_or(QString()), fallback);
        };
        const int kind = read(lessonkeys::Kind, 0);
        result.panelKind = kind == TextPanel || kind == DocumentPanel ? kind : NoPanel;
        const QRect panel(read(lessonkeys::Left, result.panel.left()),
                          read(lessonkeys::Top, result.panel.top()),
                          read(lessonkeys::Width, result.panel.width()),
                          read(lessonkeys::Height, result.panel.height()));
        // A hand-edited or damaged size of nothing would lose the panel for good: it takes the
        // default place instead.
        if (!panel.isEmpty())
            result.panel = panel;
    }
    result.text = files.read(path(TextExtension));
    return result;
}

LessonArchive::LessonArchive(ArchiveFiles& files) : files_(files) {}

ArchiveResult LessonArchive::finishInterruptedSave(const QString& folder, const QString& key) {
    QStringList names = files_.fileNames(folder);
    QSet<QString> keep; // the files of saves that cannot be finished now
    QString refusal;
    for (const QString& name : names) {
        if (!isJournal(name))
            continue;
        const std::optional<QByteArray> bytes = files_.read(folder + name);
        const std::optional<Journal> journal = bytes ? Journal::parse(*bytes) : std::nullopt;
        if (!journal) {
            // A journal is written whole before it is renamed into place; one that does not
            // read was damaged on the disk (or is no journal), and nothing can be finished
            // from it.
            files_.remove(folder + name);
            continue;
        }
        if (const auto error = applyJournal(folder, *journal, name)) {
            keep.insert(name);
            for (const auto& [source, target] : journal->renames)
                keep.insert(source);
            if (refusal.isEmpty() && (key.isEmpty() || journal->concerns(key)))
                refusal = unfinished(journal->owner.describe(), *error);
        }
    }
    // Files of a save that stopped before its journal: the old lesson is whole without them.
    for (const QString& name : names) {
        if (name.endsWith(TempSuffix) && !keep.contains(name))
            files_.remove(folder + name);
    }
    return refusal.isEmpty() ? ArchiveResult::done() : ArchiveResult::failed(refusal);
}

LessonArchive::SaveCheck LessonArchive::checkSave(const QString& folder, const LessonOwner& owner,
                                                  int pageCount) {
    const QString indexPath = folder + LessonIndexFile;
    const std::optional<QByteArray> bytes = files_.read(indexPath);
    // Pages that could not be read when the lesson was opened keep their files until the
    // teacher agrees to replace them.
    QStringList kept;
    for (int page = 1; page <= std::min(pageCount, MaxPages); ++page) {
        const QString& path = unreadable_[static_cast<std::size_t>(page)];
        if (!path.isEmpty() &&
            path.compare(folder + pageFileName(owner.key(), page, PictureExtension),
                         Qt::CaseInsensitive) == 0)
            kept << QString::number(page);
    }
    const SaveCheck keep{
        kept.isEmpty() ? SaveCheck::Free : SaveCheck::AskToReplace,
        QStringLiteral("打开这节课时，第 %1 页无法读取，现在是空白页；存储盘上这些页的文件还在，"
                       "也许换一台电脑还能读出。\n要用现在的页面替换它们吗？"
                       "（选“否”则不保存，可以换一个册号或课号保存。）")
            .arg(kept.join(QStringLiteral("、")))};
    if (!bytes) {
        if (files_.present(indexPath))
            return {SaveCheck::Refused, saveFailed(unreadableIndex(indexPath))};
        return keep;
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
                        .arg(recordedPages(index, key)) +
                    (kept.isEmpty() ? QString() : QStringLiteral("\n") + keep.message)};
    }
    return keep;
}

ArchiveResult LessonArchive::save(BoardModel& board, const QString& folder,
                                  const LessonOwner& owner, bool replaceUnowned,
                                  const PageProgress& progress) {
    if (const auto problem = owner.problem())
        return ArchiveResult::refused(*problem);
    const QString key = owner.key();
    if (ArchiveResult r = finishInterruptedSave(folder, key); !r.ok())
        return r;
    const int count = std::clamp(board.pageCount(), 1, MaxPages);
    const SaveCheck check = checkSave(folder, owner, count);
    if (check.verdict == SaveCheck::Refused ||
        (check.verdict == SaveCheck::AskToReplace && !replaceUnowned))
        return ArchiveResult::refused(check.verdict == SaveCheck::Refused ? check.message
                                                                          : QString());

    struct Written {
        QString failedPath; // empty when every file of the page was written
        bool picture = false;
        bool text = false;
    };
    Journal journal{key, count, owner, {}, {}, {}};
    // Files of the lesson in other letters (saved by the Windows program, or under the name
    // before a change of case): opening finds them, so none must outlive a save.
    QMultiHash<QString, QString> otherCase;
    for (const QString& name : files_.fileNames(folder)) {
        if (lessonPageFile(key, name))
            otherCase.insert(name.toLower(), name);
    }
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
            else if (extension == TextExtension) {
                // A text from an earlier save is not this page's.
                journal.removals << name;
                for (const QString& other : otherCase.values(name.toLower())) {
                    if (other != name)
                        journal.removals << other;
                }
            }
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
        const QByteArray panel = panelFile(board.panelKind(page), board.panelBounds(page));
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
    // Where letter case counts, the lesson's pictures and panels in other letters are left
    // over from before and go. Where it does not, they are the files just replaced, and a
    // removal would take the new ones.
    const QString probe = pageFileName(key, 1, PanelExtension) + TempSuffix;
    if (!otherCase.isEmpty() && !files_.present(folder + probe.toUpper())) {
        for (int page = 1; page <= count; ++page) {
            for (const QString& extension : {PictureExtension, PanelExtension}) {
                const QString name = pageFileName(key, page, extension);
                for (const QString& other : otherCase.values(name.toLower())) {
                    if (other != name)
                        journal.removals << other;
                }
            }
        }
    }
    if (ArchiveResult r = commit(folder, journal); !r.ok())
        return r;
    for (int page = 1; page <= count; ++page) {
        unreadable_[static_cast<std::size_t>(page)].clear();
        const QString path = folder + pageFileName(key, page, PictureExtension);
        auto& known = known_[static_cast<std::size_t>(page)];
        if (const auto stamp = files_.stamp(path))
            known = KnownPicture{path, *stamp, versions[static_cast<std::size_t>(page)]};
        else
            known.reset();
    }
    return ArchiveResult::done();
}

ArchiveResult LessonArchive::renameTeacher(const QString& folder, const QString& from,
                                           const QString& to) {
    if (from == to)
        return ArchiveResult::done();
    if (ArchiveResult r = finishInterruptedSave(folder); !r.ok())
        return r;
    const QString indexPath = folder + LessonIndexFile;
    const std::optional<QByteArray> bytes = files_.read(indexPath);
    if (!bytes) {
        return files_.present(indexPath) ? ArchiveResult::failed(unreadableIndex(indexPath))
                                         : ArchiveResult::done();
    }
    const IniText index(*bytes);
    // Pages that could not be read keep their mark under the new name, but the marks are no
    // conflict of the rename.
    decltype(unreadable_) marks;
    std::swap(marks, unreadable_);
    const auto keepMarks = qScopeGuard([&] { std::swap(marks, unreadable_); });
    std::vector<Journal> moves;
    for (const QString& section : index.sections()) {
        const std::optional<LessonOwner> owner = recordedOwner(index, section);
        const int pages = recordedPages(index, section);
        if (!owner || owner->Teacher.compare(from, Qt::CaseInsensitive) != 0 ||
            section.compare(owner->key(), Qt::CaseInsensitive) != 0 || pages < 1 ||
            pages > MaxPages)
            continue;
        const LessonOwner renamed{to, owner->Volume, owner->Lesson};
        if (const auto problem = renamed.problem())
            return ArchiveResult::refused(*problem);
        const bool taken = renamed.key().compare(section, Qt::CaseInsensitive) != 0 &&
                           recordedPages(index, renamed.key()) > 0;
        if (taken || checkSave(folder, renamed, pages).verdict != SaveCheck::Free) {
            return ArchiveResult::refused(
                QStringLiteral("“%1”的课没有随教师改名：存储盘上已有一节课用着 %2 "
                               "的名字或页面文件。“%1”的课都还以原来的名字留在存储盘上。")
                    .arg(from, renamed.describe()));
        }
        moves.push_back({renamed.key(), pages, renamed, {}, {}, section});
    }
    if (moves.empty())
        return ArchiveResult::done();
    // The files as the folder spells them: the Windows program's may be in other letters.
    QHash<QString, QString> names;
    for (const QString& name : files_.fileNames(folder))
        names.insert(name.toLower(), name);
    for (Journal& move : moves) {
        for (int page = 1; page <= move.pages; ++page) {
            for (const QString& extension : {PictureExtension, PanelExtension, TextExtension}) {
                const QString name = pageFileName(move.from, page, extension);
                const QString found =
                    files_.present(folder + name) ? name : names.value(name.toLower());
                const QString target = pageFileName(move.section, page, extension);
                if (!found.isEmpty() && found != target && files_.stamp(folder + found))
                    move.renames.emplace_back(found, target);
            }
        }
    }
    for (const Journal& move : moves) {
        if (ArchiveResult r = commit(folder, move); !r.ok()) {
            return ArchiveResult::failed(
                QStringLiteral("“%1”的课没有能全部随教师改名：%2\n其余的课下次打开或保存时再移动。")
                    .arg(from, r.message));
        }
        for (int page = 1; page <= move.pages; ++page) {
            QString& mark = marks[static_cast<std::size_t>(page)];
            if (mark.compare(folder + pageFileName(move.from, page, PictureExtension),
                             Qt::CaseInsensitive) == 0)
                mark = folder + pageFileName(move.section, page, PictureExtension);
        }
    }
    return ArchiveResult::done();
}

ArchiveResult LessonArchive::copyLesson(ArchiveFiles& source, const QString& sourceFolder,
                                        const QString& folder, const LessonOwner& owner,
                                        const CopyStep& step) {
    if (const auto problem = owner.problem())
        return ArchiveResult::refused(*problem);
    const QString key = owner.key();
    const std::optional<int> count = lessonPageCount(source, sourceFolder, key);
    if (!count)
        return ArchiveResult::refused(LessonNotFound);
    if (ArchiveResult r = finishInterruptedSave(folder, key); !r.ok())
        return r;
    QHash<QString, QString> sourceNames;
    for (const QString& name : source.fileNames(sourceFolder)) {
        if (lessonPageFile(key, name))
            sourceNames.insert(name.toLower(), name);
    }
    QMultiHash<QString, QString> otherCase;
    for (const QString& name : files_.fileNames(folder)) {
        if (lessonPageFile(key, name))
            otherCase.insert(name.toLower(), name);
    }
    Journal journal{key, *count, owner, {}, {}, {}};
    QStringList temps;
    const auto abandon = [&](const QString& text) {
        for (const QString& temp : temps)
            files_.remove(temp);
        return text.isEmpty() ? ArchiveResult::refused(text)
                              : ArchiveResult::failed(saveFailed(text));
    };
    for (int page = 1; page <= *count; ++page) {
        for (const QString& extension : {PictureExtension, PanelExtension, TextExtension}) {
            const QString name = pageFileName(key, page, extension);
            const QString found = sourceNames.value(name.toLower());
            const std::optional<QByteArray> bytes =
                found.isEmpty() ? std::nullopt : source.read(sourceFolder + found);
            if (!bytes && !found.isEmpty() && source.present(sourceFolder + found))
                return abandon(QStringLiteral("无法读取文件 %1。").arg(sourceFolder + found));
            if (!bytes) {
                // What the source lacks, the copy lacks too: no file of an earlier lesson
                // stays in its place.
                journal.removals << name;
                continue;
            }
            temps << folder + name + TempSuffix;
            if (!files_.write(folder + name + TempSuffix, *bytes))
                return abandon(cannotWrite(folder + name));
            journal.renames.emplace_back(name + TempSuffix, name);
        }
        if (step && !step(page, *count))
            return abandon(QString());
    }
    if (!files_.flush(folder))
        return abandon(cannotWrite(folder));
    // As at a save: where letter case counts, the lesson's files in other letters go.
    const QString probe = pageFileName(key, 1, PanelExtension) + TempSuffix;
    if (!otherCase.isEmpty() && !files_.present(folder + probe.toUpper())) {
        for (const QString& lower : otherCase.uniqueKeys()) {
            for (const QString& other : otherCase.values(lower)) {
                const auto file = lessonPageFile(key, other);
                if (file && file->first <= *count &&
                    other != pageFileName(key, file->first, file->second.toLower()))
                    journal.removals << other;
            }
        }
    }
    journal.removals.removeDuplicates();
    return commit(folder, journal);
}

ArchiveResult LessonArchive::commit(const QString& folder, const Journal& journal) {
    const QString name = journalName(journal.section);
    const QString journalPath = folder + name;
    const QString temp = journalPath + TempSuffix;
    if (!files_.write(temp, journal.bytes()) || !files_.flush(folder) ||
        !files_.rename(temp, journalPath)) {
        files_.remove(temp);
        for (const auto& [source, target] : journal.renames) {
            if (source.endsWith(TempSuffix))
                files_.remove(folder + source);
        }
        return ArchiveResult::failed(saveFailed(cannotWrite(journalPath)));
    }
    if (const auto error = applyJournal(folder, journal, name)) {
        return ArchiveResult::failed(
            QStringLiteral("课程没有全部保存完：%1\n请在存储盘上腾出空间（或打开写保护）后，"
                           "再保存一次这节课；下次打开这节课时也会先把这次保存做完。")
                .arg(*error));
    }
    return ArchiveResult::done();
}

// Idempotent: a journal applied in part is applied again from the start.
std::optional<QString> LessonArchive::applyJournal(const QString& folder, const Journal& journal,
                                                   const QString& name) {
    // The journal must be on the disk before anything is replaced.
    if (!files_.flush(folder))
        return cannotWrite(folder);
    for (const auto& [source, target] : journal.renames) {
        // A file already renamed by an earlier attempt is no longer there; a link is not
        // carried into the lesson.
        if (files_.stamp(folder + source) && !files_.rename(folder + source, folder + target))
            return cannotWrite(folder + target);
    }
    for (const QString& removal : journal.removals) {
        if (!files_.remove(folder + removal))
            return cannotWrite(folder + removal);
    }
    if (!files_.flush(folder))
        return cannotWrite(folder);

    // The page count last: until it is written, the index describes whichever lesson it did.
    const QString indexPath = folder + LessonIndexFile;
    const std::optional<QByteArray> old = files_.read(indexPath);
    if (!old && files_.stamp(indexPath))
        return unreadableIndex(indexPath);
    IniText index(old.value_or(QByteArray()));
    const QString section = journal.section;
    // A section of the same name in other letters is the same section: it keeps its header.
    // Only the same lesson under its former name leaves the index.
    if (const auto former = recordedOwner(index, journal.from);
        !journal.from.isEmpty() && journal.from.compare(section, Qt::CaseInsensitive) != 0 &&
        former && former->Volume == journal.owner.Volume && former->Lesson == journal.owner.Lesson)
        index.removeSection(journal.from);
    const std::pair<QString, QString> values[] = {
        {lessonkeys::Pages, QString::number(journal.pages)},
        {lessonkeys::Teacher, journal.owner.Teacher},
        {lessonkeys::Volume, QString::number(journal.owner.Volume)},
        {lessonkeys::Lesson, QString::number(journal.owner.Lesson)}};
    for (const auto& [key, value] : values) {
        if (!index.canWrite(section, key, value))
            return cannotWrite(indexPath);
        index.setValue(section, key, value);
    }
    const QString indexTemp = indexPath + TempSuffix;
    if (!files_.write(indexTemp, index.bytes()) || !files_.flush(folder) ||
        !files_.rename(indexTemp, indexPath) || !files_.flush(folder))
        return cannotWrite(indexPath);
    if (!files_.remove(folder + name) || !files_.flush(folder))
        return cannotWrite(folder + name);
    return std::nullopt;
}

ArchiveResult LessonArchive::open(BoardModel& board, const QString& folder,
                                  const LessonOwner& owner, const PageProgress& progress) {
    if (const auto problem = owner.problem())
        return ArchiveResult::refused(*problem);
    const QString key = owner.key();
    if (ArchiveResult r = finishInterruptedSave(folder, key); !r.ok())
        return r;
    const std::optional<QByteArray> bytes = files_.read(folder + LessonIndexFile);
    if (!bytes) {
        if (files_.present(folder + LessonIndexFile))
            return ArchiveResult::failed(unreadableIndex(folder + LessonIndexFile));
        return ArchiveResult::refused(LessonNotFound);
    }
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
    const TColor background = board.backgroundColour();
    // A page as the board takes it, and whether its picture was of another screen's size.
    struct OpenedPage {
        LessonPage lesson;
        std::optional<QSize> storedSize;
    };
    PagePipeline<OpenedPage> pipeline;
    unreadable_.fill(QString());
    QStringList unreadable;
    int scaled = 0;
    QSize scaledFrom;
    const auto takeNext = [&] {
        auto [page, opened] = pipeline.next();
        LessonPage& loaded = opened.lesson;
        if (opened.storedSize) {
            if (scaled++ == 0)
                scaledFrom = *opened.storedSize;
        }
        if (loaded.picture.isNull()) {
            unreadable_[static_cast<std::size_t>(page)] = loaded.picturePath;
            unreadable << QStringLiteral("第 %1 页无法读取").arg(page);
            loaded.picture = pageOverBackground(loaded.picture, screen, background);
        }
        board.writePage(page, loaded.picture);
        board.setPageState(page, PageWithContent);
        board.setPanelKind(page, loaded.panelKind);
        board.setPanelBounds(page, loaded.panel);
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
            OpenedPage opened{readLessonPage(files_, folder, key, page, screen, MaxPicture), {}};
            LessonPage& loaded = opened.lesson;
            const bool whole =
                loaded.picture.size() == screen && loaded.picture.format() == QImage::Format_RGB32;
            // An unreadable page stays null here, for the GUI thread to mark. A page of another
            // screen is scaled: the board holds, and the next save stores, the scaled page.
            if (!loaded.picture.isNull()) {
                if (loaded.picture.size() != screen)
                    opened.storedSize = loaded.picture.size();
                loaded.picture = pageFittedOverBackground(loaded.picture, screen, background);
            }
            if (!whole)
                loaded.pictureStamp.reset();
            return opened;
        });
        while (pipeline.full())
            takeNext();
    }
    while (!pipeline.empty())
        takeNext();
    board.pagesReplaced(count);
    // Opened, with the pages that could not be read left blank and said, and the pages of
    // another screen said once.
    QStringList notes;
    if (!unreadable.isEmpty()) {
        notes << unreadable.join(QLatin1Char('\n')) +
                     QStringLiteral("\n这些页现在是空白页。存储盘上这些页的文件保持原样，"
                                    "保存这节课时会先问您是否替换它们。");
    }
    if (scaled > 0) {
        notes << QStringLiteral("这节课有 %1 页是在另一种大小的屏幕上保存的（%2×%3），"
                                "已按比例缩放到本屏幕（%4×%5）居中显示。")
                     .arg(scaled)
                     .arg(scaledFrom.width())
                     .arg(scaledFrom.height())
                     .arg(screen.width())
                     .arg(screen.height());
    }
    ArchiveResult result;
    result.message = notes.join(QLatin1Char('\n'));
    return result;
}

} // namespace lessons
