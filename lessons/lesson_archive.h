// The lesson archive: a lesson's pages stored in a lesson folder and brought back onto the
// board, safely and fast, without a window. A save never destroys the lesson it replaces: every
// file is written beside its target and flushed, the renames are recorded in a journal, and
// only then are the targets replaced and the index's page count written, last. Whoever finds
// a journal (the next save or open, the program's start) finishes it. So the old lesson or the
// new one opens whole, never a mix.
#pragma once

#include "lessons/archive_files.h"
#include "lessons/lesson_names.h"

#include <QImage>
#include <QRect>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class BoardModel;

namespace lessons {

// Called on the caller's thread for each page stored or loaded, in page order, with its
// picture: the window shows it and keeps itself painted.
using PageProgress = std::function<void(int page, const QImage& picture)>;

struct ArchiveResult {
    enum Outcome { Done, Refused, Failed };
    Outcome outcome = Done;
    QString message; // for the teacher; empty when done

    static ArchiveResult done() { return {}; }
    static ArchiveResult refused(const QString& text) { return {Refused, text}; }
    static ArchiveResult failed(const QString& text) { return {Failed, text}; }
    bool ok() const { return outcome == Done; }
};

// The one message for a lesson that is not there, as the Windows program shows it.
inline const QString LessonNotFound = QStringLiteral("系统找不到指定的文件！");

// One page of a lesson as its files hold it.
struct LessonPage {
    QImage picture;      // null when the ".pte" is missing, unreadable, damaged or too large
    QString picturePath; // the ".pte" as found, in whichever letter case
    std::optional<ArchiveFiles::Stamp> pictureStamp;
    int panelKind = 0;
    QRect panel; // defaults when the ".sec" is missing: (0, 40) 368 wide, to 40 above the bottom
    std::optional<QByteArray> text; // the ".te", when there is one
};

// The page count the index gives a key: nothing when the index or the section is missing, or
// the count is not 1..99. `unreadable` tells a damaged index from a missing one.
std::optional<int> lessonPageCount(ArchiveFiles& files, const QString& folder, const QString& key);
// The highest volume and lesson numbers among the lessons saved in the folder for any of the
// teachers (names in any letter case); 0 where there are none.
struct SavedNumbers {
    int Volumes = 0;
    int Lessons = 0;
};
SavedNumbers savedLessonNumbers(ArchiveFiles& files, const QString& folder,
                                const QStringList& teachers);
// Reads page n of a lesson, its files found without regard to letter case; pictures larger
// than `maxPicture` are refused as damaged.
LessonPage readLessonPage(ArchiveFiles& files, const QString& folder, const QString& key, int page,
                          QSize screen, QSize maxPicture);

class LessonArchive {
public:
    explicit LessonArchive(ArchiveFiles& files = DiskArchiveFiles::instance());

    // Finishes the saves a crash, a full disk or a pulled stick interrupted, or, where one had
    // not reached its journal, clears away what it left. Failed, with a message that says
    // how to finish it, when a save that cannot be finished now concerns the lesson of `key`
    // (its section or one of its page files); with no key, when any save cannot be finished.
    ArchiveResult finishInterruptedSave(const QString& folder, const QString& key = {});

    // Whether a save may go ahead: refused when the lesson's section or one of its page files
    // belongs to another lesson; a question when the section is there with no owner (saved
    // by the Windows program, or before owners were recorded), or when the save would replace
    // page files that could not be read when the lesson was opened.
    struct SaveCheck {
        enum Verdict { Free, AskToReplace, Refused } verdict = Free;
        QString message;
    };
    SaveCheck checkSave(const QString& folder, const LessonOwner& owner, int pageCount);

    // Stores pages 1..PageCount of the board as the owner's lesson. `replaceUnowned` is the
    // teacher's yes to checkSave's question.
    ArchiveResult save(BoardModel& board, const QString& folder, const LessonOwner& owner,
                       bool replaceUnowned, const PageProgress& progress = {});
    // Replaces the board's pages 1..n with the owner's lesson of n pages; a lesson that is not
    // there, or is another's, changes nothing. Pages whose picture cannot be read open blank
    // and are named in the message of a result that is otherwise done; checkSave asks before
    // their files are replaced. Pages of another screen's size open scaled to fit, their
    // aspect ratio kept, centred on the background, and the message says so once.
    ArchiveResult open(BoardModel& board, const QString& folder, const LessonOwner& owner,
                       const PageProgress& progress = {});

    // Files the lessons recorded as the teacher `from`'s under the teacher's new name `to`:
    // their page files are renamed and their sections move in the index, each lesson through
    // a journal as a save is, so that a crash leaves each lesson whole under one name or the
    // other. Refused, with nothing moved, when a lesson under the new name would take the key
    // or the page files of a lesson already there.
    ArchiveResult renameTeacher(const QString& folder, const QString& from, const QString& to);

    // Copies the owner's lesson from a lesson folder of other files (the school's share, this
    // machine's disk) into `folder` as a save stores it: each file beside its target, then the
    // journal, the renames and the index, last. The source's files are found without regard
    // to letter case. `step` is told of each page copied and answers false to stop: a copy
    // stopped before its journal leaves `folder` as it was. Whether the copy may replace what
    // `folder` holds is checkSave's to say first.
    using CopyStep = std::function<bool(int page, int pages)>;
    ArchiveResult copyLesson(ArchiveFiles& source, const QString& sourceFolder,
                             const QString& folder, const LessonOwner& owner,
                             const CopyStep& step = {});

    // Pages kept on disk at the same time while a save or an open is under way.
    static constexpr int PagesInFlight = 3;

private:
    // A page's picture file as last written or read by this archive, with the board's change
    // counter of the page then: while both still hold, the page is not encoded again.
    struct KnownPicture {
        QString path;
        ArchiveFiles::Stamp stamp;
        std::uint64_t version = 0;
    };

    struct Journal;
    ArchiveResult commit(const QString& folder, const Journal& journal);
    // Carries out a journal of the folder stored under `name`; what went wrong, if anything.
    std::optional<QString> applyJournal(const QString& folder, const Journal& journal,
                                        const QString& name);

    ArchiveFiles& files_;
    std::array<std::optional<KnownPicture>, 100> known_;
    // The picture files of pages that could not be read at the last open, by page.
    std::array<QString, 100> unreadable_;
};

} // namespace lessons
