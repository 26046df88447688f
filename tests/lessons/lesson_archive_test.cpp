// The lesson archive without a window: what a save writes and an open brings back, the lessons
// whose names collide, saves that stop halfway or fill the disk, and lessons the Windows
// program wrote.
#include "archive_fixture.h"
#include "files.h"
#include "lessons/lesson_names.h"
#include "platform/os/ini_text.h"
#include "platform/raster/tcolor.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>

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
    board->CurrentPage = 1;
    board->setCurrentPage(5);
    ASSERT_TRUE(LessonArchive(disk).open(*board, folder, Owner).ok());
    EXPECT_TRUE(holds({Red, Green, Blue}, {1, 3}));
    EXPECT_EQ(board->CurrentPage, 1);
    EXPECT_EQ(board->PageState[3], 2);
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

TEST_F(LessonArchiveTest, MissingPanelFileAndPictureGiveDefaultsAndABlankPage) {
    drawLesson({Red, Green}, {});
    ASSERT_TRUE(saveAs(Owner).ok());
    QFile::remove(lessonFile(QStringLiteral("教师12132.sec")));
    writeBytes(lessonFile(QStringLiteral("教师12131.pte")), "not a picture");
    makeBoard();
    board->BackgroundColour = Cyan;
    ASSERT_TRUE(LessonArchive(disk).open(*board, folder, Owner).ok());
    EXPECT_EQ(fromRgb(board->pagePicture(1).pixel(10, 10)), Cyan);
    EXPECT_EQ(board->panelKind(2), 0);
    EXPECT_EQ(
        QRect(board->PanelLeft[2], board->PanelTop[2], board->PanelWidth[2], board->PanelHeight[2]),
        QRect(0, 40, 368, Screen.height() - 40));
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
        EXPECT_EQ(QRect(board->PanelLeft[1], board->PanelTop[1], board->PanelWidth[1],
                        board->PanelHeight[1]),
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
        EXPECT_EQ(board->PageCount, 2);
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
        if (board->PageCount == 3) {
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

// A lesson as the Windows program leaves it: a GBK index with "pag" alone, pages of a smaller
// screen, and rich text.
TEST_F(LessonArchiveTest, AWindowsLessonOpensOnALargerScreen) {
    makeBoard(QSize(1920, 1080));
    board->BackgroundColour = Cyan;
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
    ASSERT_TRUE(archive.open(*board, folder, Owner).ok());
    EXPECT_EQ(board->PageCount, 2);
    const QImage page1 = board->pagePicture(1);
    EXPECT_EQ(fromRgb(page1.pixel(1023, 767)), Red);
    EXPECT_EQ(fromRgb(page1.pixel(1024, 100)), Cyan);
    EXPECT_EQ(fromRgb(page1.pixel(1919, 1079)), Cyan);
    EXPECT_EQ(board->PanelWidth[1], 300);
    EXPECT_EQ(readBytes(board->pageTextFile(1)), rtf);
}

} // namespace
