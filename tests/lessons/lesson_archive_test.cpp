// The lesson archive without a window: what a save writes and an open brings back, the lessons
// whose names collide, saves that stop halfway or fill the disk, and lessons the Windows
// program wrote.
#include "archive_fixture.h"
#include "files.h"
#include "lessons/lesson_names.h"
#include "lessons/lesson_pdf.h"
#include "platform/os/ini_text.h"
#include "platform/raster/tcolor.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <functional>

using namespace lessons;
using namespace platform;

namespace {

const LessonOwner Owner{QStringLiteral("教师1"), 2, 13};
constexpr TColor Red = 0x000000FF, Green = 0x0000FF00, Blue = 0x00FF0000, Yellow = 0x0000FFFF,
                 Cyan = 0x00FFFF00;

class LessonArchiveTest : public ArchiveFixture {
protected:
    DiskArchiveFiles disk;
    LessonArchive archive{disk};

    std::optional<QString> indexValue(const QString& section, const QString& key) {
        return IniText(readBytes(lessonFile(LessonIndexFile))).value(section, key);
    }
    ArchiveResult saveAs(const LessonOwner& owner, bool replace = false) {
        return archive.save(*board, folder, owner, replace);
    }
    // Opens on a fresh board, as the next class would.
    ArchiveResult openAs(const LessonOwner& owner) {
        makeBoard();
        LessonArchive fresh(disk);
        return fresh.open(*board, folder, owner);
    }
};

TEST_F(LessonArchiveTest, SavedPagesPanelsAndTextsOpenAgain) {
    drawLesson({Red, Green, Blue}, {1, 3});
    std::vector<int> shown;
    ASSERT_TRUE(archive
                    .save(*board, folder, Owner, false,
                          [&](int page, const QImage& picture) {
                              EXPECT_EQ(picture.size(), Screen);
                              shown.push_back(page);
                          })
                    .ok());
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(indexValue(QStringLiteral("教师1213"), QStringLiteral("pag")), QStringLiteral("3"));
    EXPECT_EQ(indexValue(QStringLiteral("教师1213"), QStringLiteral("teacher")), Owner.Teacher);
    // The index is GBK, as the Windows program reads it.
    EXPECT_TRUE(
        readBytes(lessonFile(LessonIndexFile)).contains(toGbk(QStringLiteral("[教师1213]"))));
    EXPECT_TRUE(QFile::exists(lessonFile(QStringLiteral("教师12131.te"))));
    EXPECT_FALSE(QFile::exists(lessonFile(QStringLiteral("教师12132.te"))));
    EXPECT_EQ(QImage(lessonFile(QStringLiteral("教师12133.pte")), "png").size(), Screen);
    EXPECT_EQ(IniText(readBytes(lessonFile(QStringLiteral("教师12132.sec"))))
                  .value(QStringLiteral("edit"), QStringLiteral("height")),
              QStringLiteral("202"));
    EXPECT_TRUE(
        QDir(folder)
            .entryList({QStringLiteral("*.kvtmp"), QStringLiteral("*journal*")}, QDir::Files)
            .isEmpty());

    // A stale text of page 2 from another lesson goes; the window shows page 1 of three.
    writeBytes(programDir.filePath(QStringLiteral("2")), "stale");
    makeBoard();
    board->setCurrentPage(1);
    board->setCurrentPage(5);
    ASSERT_TRUE(LessonArchive(disk).open(*board, folder, Owner).ok());
    EXPECT_TRUE(holds({Red, Green, Blue}, {1, 3}));
    EXPECT_EQ(board->currentPage(), 1);
    EXPECT_EQ(board->pageState(3), 2);
}

TEST_F(LessonArchiveTest, ASecondSaveWithFewerPagesOpensWithThoseAlone) {
    drawLesson({Red, Green, Blue}, {1, 2, 3});
    ASSERT_TRUE(saveAs(Owner).ok());
    drawLesson({Yellow, Cyan}, {1});
    ASSERT_TRUE(saveAs(Owner).ok());
    EXPECT_FALSE(QFile::exists(lessonFile(QStringLiteral("教师12132.te"))));
    ASSERT_TRUE(openAs(Owner).ok());
    EXPECT_TRUE(holds({Yellow, Cyan}, {1}));
}

TEST_F(LessonArchiveTest, AMissingPanelFileGivesTheDefaults) {
    drawLesson({Red, Green}, {});
    ASSERT_TRUE(saveAs(Owner).ok());
    QFile::remove(lessonFile(QStringLiteral("教师12132.sec")));
    ASSERT_TRUE(openAs(Owner).ok());
    EXPECT_EQ(board->panelKind(2), 0);
    EXPECT_EQ(QRect(board->panelBounds(2).x(), board->panelBounds(2).y(),
                    board->panelBounds(2).width(), board->panelBounds(2).height()),
              QRect(0, 40, 368, Screen.height() - 40));
}

// A page whose picture cannot be read (a flaky stick, a file cut short) opens blank and is
// named; its file stays as it is until the teacher agrees to replace it.
TEST_F(LessonArchiveTest, PagesThatCannotBeReadAreNamedAndKeptUntilTheTeacherAgrees) {
    const auto png = [](QSize size) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "png");
        return bytes;
    };
    const QString page2 = QStringLiteral("教师12132.pte");
    const struct {
        const char* what;
        std::function<void()> damage;
        bool replaceable;
    } cases[] = {
        {"missing", [&] { QFile::remove(lessonFile(page2)); }, true},
        {"cut short", [&] { writeBytes(lessonFile(page2), png(Screen).left(60)); }, true},
        {"not a picture", [&] { writeBytes(lessonFile(page2), "not a picture"); }, true},
        {"too large", [&] { writeBytes(lessonFile(page2), png(QSize(9000, 2))); }, true},
        {"a folder",
         [&] {
             QFile::remove(lessonFile(page2));
             QDir().mkdir(lessonFile(page2));
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        drawLesson({Red, Green, Blue}, {});
        ASSERT_TRUE(saveAs(Owner).ok());
        c.damage();
        const QByteArray damaged = readBytes(lessonFile(page2));

        makeBoard();
        board->setBackgroundColour(Cyan);
        LessonArchive reopened(disk);
        const ArchiveResult opened = reopened.open(*board, folder, Owner);
        EXPECT_TRUE(opened.ok());
        EXPECT_TRUE(opened.message.startsWith(QStringLiteral("第 2 页无法读取\n")))
            << opened.message.toStdString();
        EXPECT_FALSE(opened.message.contains(QStringLiteral("第 1 页")));
        EXPECT_EQ(fromRgb(board->pagePicture(2).pixel(10, 10)), Cyan);
        EXPECT_EQ(fromRgb(board->pagePicture(3).pixel(0, 0)), Blue);

        // The next save asks first; without a yes the file stays as it was.
        const LessonArchive::SaveCheck check = reopened.checkSave(folder, Owner, 3);
        EXPECT_EQ(check.verdict, LessonArchive::SaveCheck::AskToReplace);
        EXPECT_TRUE(check.message.contains(QStringLiteral("第 2 页无法读取")))
            << check.message.toStdString();
        EXPECT_EQ(reopened.save(*board, folder, Owner, false).outcome, ArchiveResult::Refused);
        EXPECT_EQ(readBytes(lessonFile(page2)), damaged);
        if (!c.replaceable)
            continue;
        ASSERT_TRUE(reopened.save(*board, folder, Owner, true).ok());
        EXPECT_EQ(reopened.checkSave(folder, Owner, 3).verdict, LessonArchive::SaveCheck::Free);
        const ArchiveResult again = openAs(Owner);
        EXPECT_TRUE(again.ok() && again.message.isEmpty()) << again.message.toStdString();
    }
}

TEST_F(LessonArchiveTest, DamagedPanelValuesOpenAsNoPanelOrTheDefaultPlace) {
    const QRect defaults(0, 40, 368, Screen.height() - 40);
    const struct {
        const char* sec;
        int kind;
        QRect panel;
    } cases[] = {
        {"vis=7\r\nleft=10\r\ntop=50\r\nwidth=300\r\nheight=200", 0, {10, 50, 300, 200}},
        {"vis=1\r\nleft=10\r\ntop=50\r\nwidth=0\r\nheight=200", 1, defaults},
        {"vis=2\r\nleft=10\r\ntop=50\r\nwidth=300\r\nheight=-20", 2, defaults},
        {"vis=1\r\nleft=-100\r\ntop=50\r\nwidth=300\r\nheight=200", 1, {-100, 50, 300, 200}},
    };
    drawLesson({Red}, {});
    ASSERT_TRUE(saveAs(Owner).ok());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sec);
        writeBytes(lessonFile(QStringLiteral("教师12131.sec")), QByteArray("[edit]\r\n") + c.sec);
        ASSERT_TRUE(openAs(Owner).ok());
        EXPECT_EQ(board->panelKind(1), c.kind);
        EXPECT_EQ(QRect(board->panelBounds(1).x(), board->panelBounds(1).y(),
                        board->panelBounds(1).width(), board->panelBounds(1).height()),
                  c.panel);
    }
}

TEST_F(LessonArchiveTest, AnOpenOfNothingChangesNothing) {
    drawLesson({Red, Green}, {});
    EXPECT_EQ(archive.open(*board, folder, Owner).message, LessonNotFound);
    ASSERT_TRUE(saveAs(Owner).ok());
    for (const char* pages : {"0", "100", "x"}) {
        IniText index(readBytes(lessonFile(LessonIndexFile)));
        index.setValue(Owner.key(), QStringLiteral("pag"), QString::fromLatin1(pages));
        writeBytes(lessonFile(LessonIndexFile), index.bytes());
        board->setPageCount(2);
        const ArchiveResult r = archive.open(*board, folder, Owner);
        EXPECT_EQ(r.outcome, ArchiveResult::Refused) << pages;
        EXPECT_EQ(r.message, LessonNotFound);
        EXPECT_EQ(board->pageCount(), 2);
    }
    EXPECT_EQ(archive.open(*board, folder, {Owner.Teacher, 1, 1}).message, LessonNotFound);
}

// Keys and page files have no separators, so different lessons can name the same files.
TEST_F(LessonArchiveTest, ASaveOverAnotherLessonIsRefusedAndBothStayWhole) {
    struct Case {
        LessonOwner first;
        int firstPages;
        LessonOwner second;
    } cases[] = {
        {{QStringLiteral("王"), 1, 12}, 1, {QStringLiteral("王"), 11, 2}},       // same key
        {{QStringLiteral("教师1"), 2, 13}, 1, {QStringLiteral("教师12"), 1, 3}}, // same key
        {{QStringLiteral("王"), 1, 1}, 21, {QStringLiteral("王"), 1, 12}},       // 1121
        {{QStringLiteral("王"), 1, 12}, 1, {QStringLiteral("王"), 1, 1}},        // the other way
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.second.describe().toStdString());
        std::vector<TColor> first(static_cast<std::size_t>(c.firstPages), Red);
        drawLesson(first, {1});
        ASSERT_TRUE(saveAs(c.first).ok());
        drawLesson(std::vector<TColor>(21, Green), {});
        const ArchiveResult r = saveAs(c.second);
        EXPECT_EQ(r.outcome, ArchiveResult::Refused);
        EXPECT_TRUE(r.message.contains(c.first.describe())) << r.message.toStdString();
        ASSERT_TRUE(openAs(c.first).ok());
        EXPECT_TRUE(holds(first, {1}));
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
    }
}

TEST_F(LessonArchiveTest, AnotherTeachersLessonOfTheSameKeyDoesNotOpen) {
    drawLesson({Red}, {});
    ASSERT_TRUE(saveAs(Owner).ok());
    const ArchiveResult r = openAs({QStringLiteral("教师12"), 1, 3});
    EXPECT_EQ(r.outcome, ArchiveResult::Refused);
    EXPECT_NE(r.message, LessonNotFound);
}

TEST_F(LessonArchiveTest, ALessonWithoutOwnerIsReplacedOnlyAfterYes) {
    writeBytes(lessonFile(LessonIndexFile), toGbk(QStringLiteral("[教师1213]\r\npag=1\r\n")));
    drawLesson({Red, Green}, {});
    EXPECT_EQ(archive.checkSave(folder, Owner, 2).verdict, LessonArchive::SaveCheck::AskToReplace);
    EXPECT_EQ(saveAs(Owner).outcome, ArchiveResult::Refused);
    EXPECT_FALSE(QFile::exists(lessonFile(QStringLiteral("教师12131.pte"))));
    ASSERT_TRUE(saveAs(Owner, true).ok());
    ASSERT_TRUE(openAs(Owner).ok());
    EXPECT_TRUE(holds({Red, Green}, {}));
}

TEST_F(LessonArchiveTest, NamesThatCannotBeFilesAreRefused) {
    for (const QString& teacher : {QStringLiteral("../x"), QStringLiteral("a/b"), QString()}) {
        EXPECT_EQ(saveAs({teacher, 1, 1}).outcome, ArchiveResult::Refused);
        EXPECT_EQ(openAs({teacher, 1, 1}).outcome, ArchiveResult::Refused);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 0);
}

// Killed after every number of changes a save makes, and with the disk full at every point:
// the old lesson or the new one opens whole.
TEST_F(LessonArchiveTest, AnInterruptedSaveLeavesTheOldOrTheNewLessonWhole) {
    const std::vector<TColor> oldPages{Red, Green, Blue};
    const std::vector<TColor> newPages{Yellow, Cyan};
    const auto prepare = [&] {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        drawLesson(oldPages, {2, 3});
        ASSERT_TRUE(saveAs(Owner).ok());
        drawLesson(newPages, {1});
    };
    prepare();
    FaultyFiles counting;
    ASSERT_TRUE(LessonArchive(counting).save(*board, folder, Owner, false).ok());
    const int changes = counting.changes;
    ASSERT_GT(changes, 10);
    const qint64 bytes = counting.bytesWritten;

    struct Fault {
        int stopAfter;
        qint64 spaceLeft;
    };
    std::vector<Fault> faults;
    for (int n = 0; n < changes; ++n)
        faults.push_back({n, -1});
    for (qint64 space = 0; space < bytes; space += 61)
        faults.push_back({-1, space});
    int oldWhole = 0, newWhole = 0;
    for (const Fault& fault : faults) {
        SCOPED_TRACE(testing::Message()
                     << "stop after " << fault.stopAfter << ", space " << fault.spaceLeft);
        prepare();
        FaultyFiles faulty;
        faulty.stopAfter = fault.stopAfter;
        faulty.spaceLeft = fault.spaceLeft;
        const ArchiveResult r = LessonArchive(faulty).save(*board, folder, Owner, false);
        if (fault.spaceLeft >= 0 && !r.ok()) {
            EXPECT_EQ(r.outcome, ArchiveResult::Failed);
            EXPECT_FALSE(r.message.isEmpty());
        }
        ASSERT_TRUE(openAs(Owner).ok());
        if (board->pageCount() == 3) {
            EXPECT_TRUE(holds(oldPages, {2, 3}));
            ++oldWhole;
        } else {
            EXPECT_TRUE(holds(newPages, {1}));
            ++newWhole;
        }
        EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*.kvtmp")}, QDir::Files).isEmpty());
    }
    EXPECT_GT(oldWhole, 0);
    EXPECT_GT(newWhole, 0);
}

// Pages saved on a screen of another size open scaled to fit, centred on the background, and
// the teacher is told once; pages of the board's size stay pixel for pixel. A page that cannot
// be read beside them keeps its mark, and the next save stores the pages the board holds.
TEST_F(LessonArchiveTest, PagesOfAnotherScreenOpenScaledToFit) {
    const QString page1 = QStringLiteral("教师12131.pte"), page2 = QStringLiteral("教师12132.pte");
    const struct {
        QSize stored;
        QRect fitted; // where the picture lies on the board's 64 × 48 page; empty: unscaled
    } cases[] = {
        {Screen, {}},
        {QSize(32, 32), QRect(8, 0, 48, 48)},
        {QSize(128, 48), QRect(0, 12, 64, 24)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.width());
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        makeBoard();
        drawLesson({Red, Green}, {});
        ASSERT_TRUE(saveAs(Owner).ok());
        // Page 1 as another screen saved it, with a pixel of its own in the corner; page 2
        // cannot be read.
        QImage stored(c.stored, QImage::Format_RGB32);
        stored.fill(toQColor(Red));
        stored.setPixel(0, 0, qRgb(0, 0, 0));
        ASSERT_TRUE(QImageWriter(lessonFile(page1), "png").write(stored));
        writeBytes(lessonFile(page2), "not a picture");

        makeBoard();
        board->setBackgroundColour(Cyan);
        LessonArchive reopened(disk);
        const ArchiveResult opened = reopened.open(*board, folder, Owner);
        ASSERT_TRUE(opened.ok());
        const QString note = QStringLiteral("已按比例缩放");
        EXPECT_TRUE(opened.message.startsWith(QStringLiteral("第 2 页无法读取")));
        EXPECT_EQ(opened.message.count(note), c.fitted.isEmpty() ? 0 : 1)
            << opened.message.toStdString();
        const QImage page = board->pagePicture(1);
        if (c.fitted.isEmpty()) {
            EXPECT_EQ(page, stored);
        } else {
            EXPECT_TRUE(opened.message.contains(
                QStringLiteral("（%1×%2）").arg(c.stored.width()).arg(c.stored.height())));
            EXPECT_EQ(fromRgb(page.pixel(c.fitted.center())), Red);
            for (const QPoint outside :
                 {QPoint(0, 24), QPoint(63, 24), QPoint(32, 0), QPoint(32, 47)}) {
                EXPECT_EQ(fromRgb(page.pixel(outside)), c.fitted.contains(outside) ? Red : Cyan)
                    << outside.x() << "," << outside.y();
            }
        }
        // The unreadable page still asks; the save then stores the board's pages.
        EXPECT_EQ(reopened.checkSave(folder, Owner, 2).verdict,
                  LessonArchive::SaveCheck::AskToReplace);
        ASSERT_TRUE(reopened.save(*board, folder, Owner, true).ok());
        EXPECT_EQ(QImage(lessonFile(page1)), page.convertToFormat(QImage::Format_RGB32));
    }
}

// A lesson as the Windows program leaves it: a GBK index with "pag" alone, pages of a smaller
// screen, and rich text.
TEST_F(LessonArchiveTest, AWindowsLessonOpensOnALargerScreen) {
    makeBoard(QSize(1920, 1080));
    board->setBackgroundColour(Cyan);
    writeBytes(lessonFile(LessonIndexFile),
               toGbk(QStringLiteral("[其他]\r\npag=3\r\n[教师1213]\r\npag=2\r\n")));
    for (int page = 1; page <= 2; ++page) {
        QImage picture(1024, 768, QImage::Format_ARGB32);
        picture.fill(toQColor(page == 1 ? Red : Green));
        QImageWriter(lessonFile(QStringLiteral("教师1213%1.pte").arg(page)), "png").write(picture);
    }
    writeBytes(lessonFile(QStringLiteral("教师12131.sec")),
               "[edit]\r\nvis=1\r\nleft=10\r\ntop=50\r\nwidth=300\r\nheight=400\r\n");
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
        "\\f0\\fs48 \\'c4\\'e3\\'ba\\'c3\\par}";
    writeBytes(lessonFile(QStringLiteral("教师12131.te")), rtf);
    const ArchiveResult opened = archive.open(*board, folder, Owner);
    ASSERT_TRUE(opened.ok());
    EXPECT_TRUE(opened.message.startsWith(QStringLiteral("这节课有 2 页是在另一种大小的屏幕上"
                                                         "保存的（1024×768）")))
        << opened.message.toStdString();
    EXPECT_EQ(board->pageCount(), 2);
    // 1024 × 768 fits as 1440 × 1080, from x 240.
    const QImage page1 = board->pagePicture(1);
    for (const QPoint red : {QPoint(240, 0), QPoint(960, 540), QPoint(1679, 1079)})
        EXPECT_EQ(fromRgb(page1.pixel(red)), Red) << red.x();
    for (const QPoint cyan : {QPoint(239, 540), QPoint(1680, 540), QPoint(0, 0)})
        EXPECT_EQ(fromRgb(page1.pixel(cyan)), Cyan) << cyan.x();
    EXPECT_EQ(board->panelBounds(1).width(), 300);
    EXPECT_EQ(readBytes(board->pageTextFile(1)), rtf);
}

// The journal an earlier version left when a save of Owner's lesson of `pages` pages stopped
// after its journal: page 1's picture waits beside its target.
QByteArray journalOf(int pages, const QString& extraLine = {}) {
    QByteArray bytes = "K_Vorne lesson journal 1\nsection\t" + Owner.key().toUtf8() + "\npages\t" +
                       QByteArray::number(pages) + "\nowner\t" + Owner.Teacher.toUtf8() +
                       "\t2\t13\nrename\t" + Owner.key().toUtf8() + "1.pte.kvtmp\t" +
                       Owner.key().toUtf8() + "1.pte\n";
    if (!extraLine.isEmpty())
        bytes += extraLine.toUtf8() + '\n';
    return bytes + "end\n";
}

// A stick may carry symbolic links where a lesson's files, temporaries, index or journal
// belong: whatever the program does with the folder, nothing outside it is written or created.
TEST_F(LessonArchiveTest, LinksInTheLessonFolderAreNeverFollowed) {
    QTemporaryDir outside;
    const QString own = outside.filePath(QStringLiteral("bashrc"));
    const QString absent = outside.filePath(QStringLiteral("autostart.desktop"));
    const QByteArray ownBytes = "[x]\r\npag=1\r\n# the teacher's own file\n";
    const struct {
        const char* link;
        bool dangling;
        QByteArray journal;
    } cases[] = {
        {"datb.sec.kvtmp", false, journalOf(2)},
        {"datb.sec.kvtmp", true, journalOf(2)},
        {"教师12131.pte.kvtmp", false, journalOf(2)},
        {"教师12131.pte.kvtmp", true, {}},
        {"教师12132.sec.kvtmp", false, {}},
        {"教师12131.pte", false, {}},
        {"教师12132.te", true, {}},
        {"datb.sec", false, {}},
        {"kvorne.journal", false, {}},
        {"教师1213.kvjournal", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.link << (c.dangling ? " dangling" : ""));
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        drawLesson({Red, Green}, {1});
        ASSERT_TRUE(saveAs(Owner).ok());
        writeBytes(own, ownBytes);
        QFile::remove(absent);
        const QString link = lessonFile(QString::fromUtf8(c.link));
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(c.dangling ? absent : own, link));
        if (!c.journal.isEmpty())
            writeBytes(lessonFile(QStringLiteral("kvorne.journal")), c.journal);

        LessonArchive(disk).finishInterruptedSave(folder);
        openAs(Owner);
        saveAs(Owner, true);
        openAs(Owner);
        EXPECT_EQ(readBytes(own), ownBytes);
        EXPECT_FALSE(QFileInfo::exists(absent));
    }
}

// A journal names only files of its own lesson: one that names any other file is damaged and
// is never carried out.
TEST_F(LessonArchiveTest, AJournalNamingOtherFilesIsNotCarriedOut) {
    const QString key = Owner.key();
    const QString cases[] = {
        QStringLiteral("rename\tnotes.kvtmp\tnotes.txt"),
        QStringLiteral("rename\t%1.pte.kvtmp\t../%1.pte").arg(key + "1"),
        QStringLiteral("rename\t%11.pte.kvtmp\t%13.pte").arg(key), // beyond the journal's pages
        QStringLiteral("rename\tdatb.sec\t%12.pte").arg(key),
        QStringLiteral("remove\tdatb.sec"),
        QStringLiteral("remove\t教师99991.pte"),
    };
    for (const QString& line : cases) {
        SCOPED_TRACE(line.toStdString());
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        drawLesson({Red, Green}, {});
        ASSERT_TRUE(saveAs(Owner).ok());
        const QByteArray index = readBytes(lessonFile(LessonIndexFile));
        for (const QString& name : {QStringLiteral("notes.kvtmp"), key + "1.pte.kvtmp"})
            writeBytes(lessonFile(name), "from the stick");
        writeBytes(lessonFile(QStringLiteral("kvorne.journal")), journalOf(2, line));
        EXPECT_TRUE(LessonArchive(disk).finishInterruptedSave(folder).ok());
        EXPECT_FALSE(QFileInfo::exists(lessonFile(QStringLiteral("notes.txt"))));
        EXPECT_FALSE(QFileInfo::exists(lessonDir.path() + QStringLiteral("/../%11.pte").arg(key)));
        EXPECT_EQ(readBytes(lessonFile(LessonIndexFile)), index);
        ASSERT_TRUE(openAs(Owner).ok());
        EXPECT_TRUE(holds({Red, Green}, {}));
    }

    // Nor does a journal take another lesson's section for its own former one.
    const LessonOwner other{QStringLiteral("教师2"), 1, 1};
    drawLesson({Green}, {});
    ASSERT_TRUE(saveAs(other).ok());
    writeBytes(lessonFile(QStringLiteral("kvorne.journal")),
               journalOf(2, QStringLiteral("from\t") + other.key()));
    EXPECT_TRUE(LessonArchive(disk).finishInterruptedSave(folder).ok());
    ASSERT_TRUE(openAs(other).ok());
    EXPECT_TRUE(holds({Green}, {}));
}

// A save that cannot be finished holds up its own lesson, and says how to finish it; the
// other lessons on the drive open and save as before.
TEST_F(LessonArchiveTest, AnUnfinishedSaveRefusesOnlyItsOwnLesson) {
    const LessonOwner other{QStringLiteral("教师2"), 1, 1};
    drawLesson({Green}, {});
    ASSERT_TRUE(saveAs(other).ok());
    drawLesson({Red, Green}, {});
    ASSERT_TRUE(saveAs(Owner).ok());
    // The journal's target cannot be replaced: a folder that is not empty took its place.
    const QString target = lessonFile(Owner.key() + "1.pte");
    QFile::remove(target);
    QDir().mkpath(target + QStringLiteral("/inside"));
    writeBytes(target + QStringLiteral(".kvtmp"), "new page");
    writeBytes(lessonFile(QStringLiteral("kvorne.journal")), journalOf(2));

    drawLesson({Blue}, {});
    EXPECT_TRUE(saveAs(other).ok());
    EXPECT_TRUE(openAs(other).ok());
    EXPECT_TRUE(holds({Blue}, {}));
    EXPECT_TRUE(
        writeLessonPdf(disk, folder, other.key(), programDir.filePath(QStringLiteral("o.pdf")))
            .ok());
    for (const ArchiveResult& r : {saveAs(Owner), openAs(Owner)}) {
        EXPECT_EQ(r.outcome, ArchiveResult::Failed);
        EXPECT_TRUE(r.message.contains(QStringLiteral("腾出空间"))) << r.message.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral(".kvtmp")));
}

// Lessons the Windows program saved where letter case does not count: the index and files
// spell the teacher's name in other letters than the teacher list.
TEST_F(LessonArchiveTest, PageFilesAreFoundWhateverTheirLetterCase) {
    const LessonOwner wang{QStringLiteral("Wang"), 1, 1};
    for (const char* name : {"wang111.pte", "WANG111.PTE", "Wang111.Pte"}) {
        SCOPED_TRACE(name);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        writeBytes(lessonFile(LessonIndexFile), "[WANG11]\r\npag=1\r\n");
        QImage picture(Screen, QImage::Format_RGB32);
        picture.fill(toQColor(Red));
        ASSERT_TRUE(picture.save(lessonFile(QString::fromLatin1(name)), "png"));
        writeBytes(lessonFile(QStringLiteral("wANG111.sec")), "[edit]\r\nvis=1\r\nleft=7\r\n");
        writeBytes(lessonFile(QStringLiteral("wang111.TE")), "text");
        const ArchiveResult r = openAs(wang);
        EXPECT_TRUE(r.ok() && r.message.isEmpty()) << r.message.toStdString();
        EXPECT_EQ(fromRgb(board->pagePicture(1).pixel(10, 10)), Red);
        EXPECT_EQ(board->panelBounds(1).x(), 7);
        EXPECT_EQ(textOf(1), QStringLiteral("text"));

        // The text cleared and saved stays cleared.
        QFile::remove(board->pageTextFile(1));
        ASSERT_TRUE(saveAs(wang, true).ok());
        ASSERT_TRUE(openAs(wang).ok());
        EXPECT_EQ(textOf(1), QStringLiteral("(none)"));
        EXPECT_EQ(fromRgb(board->pagePicture(1).pixel(10, 10)), Red);
        // Nothing of the lesson is left over in other letters.
        EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
                  QStringList({"Wang111.pte", "Wang111.sec", "datb.sec"}));
    }
}

// A rename of the teacher stopped after any number of changes leaves each lesson whole under
// one name or the other, and carried out again files every lesson under the new name.
TEST_F(LessonArchiveTest, ARenameStoppedAnywhereLeavesEveryLessonWhole) {
    const QString to = QStringLiteral("李明");
    const struct {
        LessonOwner owner;
        std::vector<TColor> pages;
        std::vector<int> texts;
    } lessons[] = {{Owner, {Red, Green}, {1}}, {{Owner.Teacher, 1, 1}, {Blue}, {}}};
    const auto prepare = [&] {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        for (const auto& l : lessons) {
            drawLesson(l.pages, l.texts);
            ASSERT_TRUE(saveAs(l.owner).ok());
        }
    };
    prepare();
    FaultyFiles counting;
    ASSERT_TRUE(LessonArchive(counting).renameTeacher(folder, Owner.Teacher, to).ok());
    for (int stop = 0; stop <= counting.changes; ++stop) {
        SCOPED_TRACE(stop);
        prepare();
        FaultyFiles faulty;
        faulty.stopAfter = stop;
        LessonArchive(faulty).renameTeacher(folder, Owner.Teacher, to);
        for (const auto& l : lessons) {
            const LessonOwner renamed{to, l.owner.Volume, l.owner.Lesson};
            if (!openAs(renamed).ok()) {
                ASSERT_TRUE(openAs(l.owner).ok());
            }
            EXPECT_TRUE(holds(l.pages, l.texts));
        }
        ASSERT_TRUE(LessonArchive(disk).renameTeacher(folder, Owner.Teacher, to).ok());
        for (const auto& l : lessons) {
            EXPECT_EQ(openAs(l.owner).message, LessonNotFound);
            ASSERT_TRUE(openAs({to, l.owner.Volume, l.owner.Lesson}).ok());
            EXPECT_TRUE(holds(l.pages, l.texts));
        }
    }
}

// A lesson under the new name, or one whose files the renamed lesson's would take, stops the
// rename before anything moves.
TEST_F(LessonArchiveTest, ARenameOntoAnotherLessonMovesNothing) {
    const struct {
        QString to;
        LessonOwner there;
    } cases[] = {
        {QStringLiteral("李明"), {QStringLiteral("李明"), 2, 13}},
        {QStringLiteral("王"), {QStringLiteral("王2"), 1, 3}}, // "王213" either way
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to.toStdString());
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        drawLesson({Red}, {});
        ASSERT_TRUE(saveAs(Owner).ok());
        drawLesson({Green}, {});
        ASSERT_TRUE(saveAs(c.there).ok());
        const ArchiveResult r = archive.renameTeacher(folder, Owner.Teacher, c.to);
        EXPECT_EQ(r.outcome, ArchiveResult::Refused);
        ASSERT_TRUE(openAs(Owner).ok());
        EXPECT_TRUE(holds({Red}, {}));
        ASSERT_TRUE(openAs(c.there).ok());
        EXPECT_TRUE(holds({Green}, {}));
    }
}

// A page that could not be read stays marked when its teacher is renamed, a change of letter
// case too: the save under the new name still asks first.
TEST_F(LessonArchiveTest, AnUnreadablePageStaysMarkedThroughARename) {
    drawLesson({Red, Green}, {});
    ASSERT_TRUE(saveAs(Owner).ok());
    writeBytes(lessonFile(QStringLiteral("教师12132.pte")), "damaged");
    makeBoard();
    ASSERT_FALSE(archive.open(*board, folder, Owner).message.isEmpty());
    QString teacher = Owner.Teacher;
    for (const QString& name : {QStringLiteral("Wang"), QStringLiteral("WANG")}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(archive.renameTeacher(folder, teacher, name).ok());
        teacher = name;
        const LessonOwner renamed{name, Owner.Volume, Owner.Lesson};
        const LessonArchive::SaveCheck check = archive.checkSave(folder, renamed, 2);
        EXPECT_EQ(check.verdict, LessonArchive::SaveCheck::AskToReplace);
        EXPECT_TRUE(check.message.contains(QStringLiteral("第 2 页")))
            << check.message.toStdString();
        EXPECT_EQ(readBytes(lessonFile(name + QStringLiteral("2132.pte"))), "damaged");
    }
}

} // namespace
