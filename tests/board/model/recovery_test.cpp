// The recovery folder: the board written in the background and read back, also when the
// program dies in the middle of a write; of a damaged folder what is intact is read, and what
// is not is listed.
#include "board/model/board_model.h"
#include "board/model/recovery_reader.h"
#include "board/model/recovery_recorder.h"
#include "board/model/recovery_writer.h"
#include "platform/raster/canvas.h"
#include "platform/raster/rich_text.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;

namespace {

constexpr QSize Screen{320, 240};
constexpr TColor Background = 0x00808080;
constexpr TColor Ink = 0x000000FF;
constexpr TColor Blue = 0x00FF0000;

// What a board holds that the recovery folder keeps, for comparing two boards.
struct Kept {
    int pageCount;
    int currentPage;
    TColor background;
    std::vector<QImage> pictures;
    std::vector<std::vector<int>> attributes;
    std::vector<QByteArray> texts;

    bool operator==(const Kept&) const = default;
};

class RecoveryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<BoardModel> board;

    QString folder() const { return dir.filePath(QStringLiteral("recovery")); }
    QString textFile(int page) const { return dir.filePath(QString::number(page)); }
    std::function<QString(int)> textFiles() const {
        return [this](int page) { return textFile(page); };
    }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        freshBoard();
    }

    void freshBoard() {
        board = std::make_unique<BoardModel>();
        board->create(Screen, dir.path() + QLatin1Char('/'));
        board->setBackgroundColour(Background);
        board->prepareCurrentPage();
    }

    void draw(const TRect& box, TColor colour) {
        QImage page = board->current().copy();
        Canvas(page).fillRect(box, colour);
        board->writePage(board->currentPage(), page);
        board->setPageState(board->currentPage(), 2);
    }

    void writeText(int page, const QByteArray& text) {
        QFile file(textFile(page));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // Three pages: strokes on 1 and 3, page 2 blank; a text panel on page 3; page 2 current.
    void makeThreePages() {
        draw({10, 50, 100, 60}, Ink);
        board->turnRight();
        board->turnRight(); // refused: page 2 has no content
        draw({0, 0, 320, 240}, Background);
        board->turnRight();
        board->setPageState(2, 1); // cleared
        draw({200, 100, 210, 200}, Blue);
        board->setPanelKind(3, 1);
        board->setPanelBounds(3, QRect(30, 41, 200, 150));
        writeText(3, "{\\rtf1 page three}");
        board->turnLeft();
    }

    // One write of the board as it stands, by a writer that is gone again afterwards.
    void writeOnce() {
        RecoveryWriter writer(folder(), -1);
        RecoveryRecorder recorder(*board, writer, textFiles());
        recorder.record();
        writer.wait();
    }

    static Kept kept(BoardModel& b, const std::function<QString(int)>& text) {
        Kept k{b.pageCount(), b.currentPage(), b.backgroundColour(), {}, {}, {}};
        for (int n = 1; n <= b.pageCount(); ++n) {
            k.pictures.push_back(b.pagePicture(n));
            k.attributes.push_back({b.pageState(n), b.panelKind(n), b.panelBounds(n).x(),
                                    b.panelBounds(n).y(), b.panelBounds(n).width(),
                                    b.panelBounds(n).height(), b.panelBaked(n)});
            QFile file(text(n));
            k.texts.push_back(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        }
        return k;
    }

    std::optional<RecoveredBoard> read() const {
        return readRecovery(folder(), Screen, Background);
    }

    // The folder restored into a board of its own, with its texts in a folder of their own.
    std::optional<Kept> readBack() {
        const std::optional<RecoveredBoard> recovered = read();
        if (!recovered)
            return std::nullopt;
        QTemporaryDir texts;
        const auto textOf = [&texts](int page) { return texts.filePath(QString::number(page)); };
        BoardModel restored;
        restored.create(Screen, texts.path() + QLatin1Char('/'));
        restoreRecovery(restored, *recovered, textOf);
        return kept(restored, textOf);
    }
};

TEST_F(RecoveryTest, TheBoardComesBackWithItsPagesPanelsTextsAndCurrentPage) {
    makeThreePages();
    board->restorePageAttributes(1, board->pageState(1), board->panelKind(1), board->panelBounds(1),
                                 1);
    board->setBackgroundColour(0x00112233);
    RecoveryWriter writer(folder(), -1);
    RecoveryRecorder recorder(*board, writer, textFiles());
    recorder.record();
    writer.wait();

    const std::optional<Kept> back = readBack();
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, kept(*board, textFiles()));
    EXPECT_EQ(back->currentPage, 2);
    EXPECT_EQ(back->texts[2], "{\\rtf1 page three}");
    EXPECT_TRUE(read()->worthOffering());
}

TEST_F(RecoveryTest, APageOfASmallerScreenComesBackOverTheBackgroundColour) {
    makeThreePages();
    writeOnce();
    const std::optional<RecoveredBoard> recovered = read();
    ASSERT_TRUE(recovered);
    EXPECT_FALSE(recovered->largerThan(QSize(400, 300)));
    EXPECT_TRUE(recovered->largerThan(QSize(400, 239)));
    BoardModel wider;
    wider.create(QSize(400, 300), dir.path() + QLatin1Char('/'));
    restoreRecovery(wider, *recovered, textFiles());
    const QImage page = wider.pagePicture(1);
    EXPECT_EQ(fromRgb(page.pixel(50, 55)), Ink);
    EXPECT_EQ(fromRgb(page.pixel(399, 299)), Background);
}

TEST_F(RecoveryTest, APageTurnWritesAndOnlyChangedPagesAreWrittenAgain) {
    makeThreePages();
    RecoveryWriter writer(folder(), -1);
    RecoveryRecorder recorder(*board, writer, textFiles());
    recorder.start();
    board->turnRight(); // to page 3
    writer.wait();
    const int first = writer.filesWritten();
    // Pages 1 and 3 and the text (page 2 is one colour and needs no file), and the manifest.
    EXPECT_EQ(first, 4);

    recorder.record(); // nothing changed
    writer.wait();
    EXPECT_EQ(writer.filesWritten(), first);

    draw({0, 0, 5, 5}, Ink);
    board->turnLeft();
    writer.wait();
    EXPECT_EQ(writer.filesWritten(), first + 2); // page 3 and the manifest
    EXPECT_EQ(readBack(), kept(*board, textFiles()));
    // Nothing of the earlier writes is left beside the files the manifest names.
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 4);
}

TEST_F(RecoveryTest, AWriteCutShortLeavesThePreviousCompleteState) {
    // How many files each of the two writes takes, when nothing stops them.
    const auto secondState = [this] {
        draw({0, 0, 50, 50}, Blue);
        board->setPanelKind(3, 0);
        writeText(3, "{\\rtf1 changed}");
        board->setPageState(2, 2);
        board->setBackgroundColour(0x00010203);
    };
    int before = 0;
    int both = 0;
    {
        makeThreePages();
        RecoveryWriter writer(folder(), -1);
        RecoveryRecorder recorder(*board, writer, textFiles());
        recorder.record();
        writer.wait();
        before = writer.filesWritten();
        secondState();
        recorder.record();
        writer.wait();
        both = writer.filesWritten();
    }
    ASSERT_GT(both - before, 1);

    for (int limit = before; limit <= both; ++limit) {
        SCOPED_TRACE(limit);
        QDir(folder()).removeRecursively();
        freshBoard();
        makeThreePages();
        RecoveryWriter writer(folder(), limit);
        RecoveryRecorder recorder(*board, writer, textFiles());
        recorder.record();
        writer.wait();
        const Kept first = kept(*board, textFiles());
        secondState();
        recorder.record();
        writer.wait();
        // The writer stopped here as a killed program would; a new start reads the folder.
        EXPECT_EQ(readBack(), limit < both ? first : kept(*board, textFiles()));
    }
}

TEST_F(RecoveryTest, ANewRunWritesBesideTheStateItFoundWithoutTouchingItsFiles) {
    makeThreePages();
    writeOnce();
    const Kept first = kept(*board, textFiles());
    // The next run restores, and dies after one file of its first write: its files must not
    // have taken the names of the files the manifest in place names.
    BoardModel again;
    again.create(Screen, dir.path() + QLatin1Char('/'));
    const std::optional<RecoveredBoard> found = read();
    ASSERT_TRUE(found);
    restoreRecovery(again, *found, textFiles());
    QImage changed = again.pagePicture(1);
    Canvas(changed).fillRect({0, 0, 9, 9}, Blue);
    again.writePage(1, changed);
    {
        RecoveryWriter writer(folder(), 1);
        RecoveryRecorder recorder(again, writer, textFiles());
        recorder.record();
        writer.wait();
    }
    EXPECT_EQ(readBack(), first);
}

TEST_F(RecoveryTest, DiscardRemovesTheFolderAndTheNextWriteCarriesEveryPage) {
    makeThreePages();
    RecoveryWriter writer(folder(), -1);
    RecoveryRecorder recorder(*board, writer, textFiles());
    recorder.record();
    recorder.discard();
    writer.wait();
    EXPECT_FALSE(QDir(folder()).exists());

    recorder.record(); // unchanged since the discard: nothing to keep
    writer.wait();
    EXPECT_FALSE(QDir(folder()).exists());

    draw({0, 0, 5, 5}, Ink);
    recorder.record();
    writer.wait();
    EXPECT_EQ(readBack(), kept(*board, textFiles()));
}

// However often the board changes, each change is in the folder two seconds after it.
TEST_F(RecoveryTest, AChangeIsWrittenWithinTwoSecondsHoweverOftenTheBoardChangesAfterIt) {
    RecoveryWriter writer(folder(), -1);
    RecoveryRecorder recorder(*board, writer, textFiles());
    qint64 now = 0;
    recorder.clock = [&now] { return now; };
    recorder.start();
    // A stroke every half second, starting 0.1 s in; the recorder looks every quarter second.
    const auto strokeAt = [](int k) { return TRect{10 + 5 * k, 50, 12 + 5 * k, 60}; };
    int strokes = 0;
    for (now = 0; now <= 6000; now += 50) {
        SCOPED_TRACE(now);
        if (now % 500 == 100)
            draw(strokeAt(strokes++), Ink);
        if (now % 250 == 0)
            recorder.tick();
        writer.wait();
        // The strokes made two seconds ago or earlier.
        const int due = now < 2100 ? 0 : static_cast<int>((now - 2100) / 500 + 1);
        if (due <= 0)
            continue;
        const std::optional<RecoveredBoard> kept = read();
        ASSERT_TRUE(kept);
        const QImage page = unpackPage(kept->pages.at(0).packed);
        for (int k = 0; k < due; ++k)
            ASSERT_EQ(fromRgb(page.pixel(strokeAt(k).left, 55)), Ink) << k;
    }
}

// The open panel's text is turned into a file's bytes only when it changed since.
TEST_F(RecoveryTest, TheOpenPanelsTextIsAskedForOnlyWhenItChanged) {
    RecoveryWriter writer(folder(), -1);
    RecoveryRecorder recorder(*board, writer, textFiles());
    int asked = 0;
    recorder.panelTextBytes = [&](const QTextDocument& text) {
        ++asked;
        return richTextToRtf(text);
    };
    board->setPanelKind(1, TextPanel);
    board->setPanelShown(true);
    board->panelText().setPlainText(QStringLiteral("1"));
    for (int stroke = 0; stroke < 3; ++stroke) {
        draw({stroke, 100, stroke + 1, 110}, Ink);
        recorder.record();
        writer.wait();
    }
    EXPECT_EQ(asked, 1);
    board->panelText().setPlainText(QStringLiteral("2"));
    recorder.record();
    writer.wait();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(readBack()->texts.at(0), richTextToRtf(board->panelText()));
}

// A board that does not change keeps no timer running; every change of what the folder keeps
// starts one, as the model says it, and the write that hands it over stops it.
TEST_F(RecoveryTest, OnlyAChangeStartsTheRecordersTimer) {
    RecoveryWriter writer(folder(), -1);
    RecoveryRecorder recorder(*board, writer, textFiles());
    recorder.start();
    struct Case {
        const char* name;
        std::function<void()> change;
    };
    const std::vector<Case> cases{
        {"pixels",
         [this] {
             draw({1, 1, 5, 5}, Ink);
         }},
        {"page state", [this] { board->setPageState(1, PageCleared); }},
        {"panel place",
         [this] {
             board->setPanelBounds(1, {9, 41, 100, 100});
         }},
        {"panel kind", [this] { board->setPanelKind(1, TextPanel); }},
        {"panel shown", [this] { board->setPanelShown(true); }},
        {"panel text", [this] { board->panelText().setPlainText(QStringLiteral("x")); }},
        {"page count", [this] { board->setPageCount(2); }},
        {"current page", [this] { board->setCurrentPage(2); }},
        {"background", [this] { board->setBackgroundColour(Blue); }},
    };
    EXPECT_FALSE(recorder.waiting());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        EXPECT_TRUE(recorder.waiting());
        recorder.record();
        writer.wait();
        EXPECT_FALSE(recorder.waiting());
    }
    const int written = writer.filesWritten();
    recorder.record(); // nothing changed since
    writer.wait();
    EXPECT_EQ(writer.filesWritten(), written);
}

// Other accounts on the machine can neither list nor read a teacher's unsaved pages, also when
// an earlier run made the folder with the usual modes.
TEST_F(RecoveryTest, TheFolderAndItsFilesAreTheOwnersOnly) {
    const mode_t umask = ::umask(022);
    ASSERT_TRUE(QDir().mkpath(folder()));
    ::chmod(QFile::encodeName(folder()).constData(), 0755);
    makeThreePages();
    writeOnce();
    ::umask(umask);
    const auto mode = [](const QString& path) {
        struct stat info {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
        return info.st_mode & 07777;
    };
    EXPECT_EQ(mode(folder()), 0700u);
    const QStringList files = QDir(folder()).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 4); // pages 1 and 3, the text and the manifest
    for (const QString& name : files)
        EXPECT_EQ(mode(folder() + '/' + name), 0600u) << name.toStdString();
}

// A board with nothing on it is not worth offering, however it was left.
TEST_F(RecoveryTest, OnlyABoardWithSomethingOnItIsWorthOffering) {
    struct Case {
        const char* what;
        std::function<void()> leave;
        bool worth;
    };
    const std::vector<Case> cases{
        {"a page shown and left", [] {}, false},
        {"an empty text panel on a page written on and cleared",
         [this] {
             draw({10, 50, 20, 60}, Ink);
             board->fill(1, Background);
             board->setPanelKind(1, 1);
             writeText(1, platform::plainTextToRtf(QString()));
         },
         false},
        {"a stroke",
         [this] {
             draw({10, 50, 20, 60}, Ink);
         },
         true},
        {"words in a text panel",
         [this] {
             board->setPanelKind(1, 1);
             writeText(1, platform::plainTextToRtf(QStringLiteral("牛顿")));
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder()).removeRecursively();
        QFile::remove(textFile(1));
        freshBoard();
        board->setPageState(1, 2);
        c.leave();
        writeOnce();
        ASSERT_TRUE(read());
        EXPECT_EQ(read()->worthOffering(), c.worth);
    }
}

// Of a damaged folder every page and text that is intact is read, and what is not is listed.
TEST_F(RecoveryTest, ADamagedFolderGivesWhatIsIntactAndListsWhatIsNot) {
    struct Case {
        const char* what;
        std::function<void(const QString& folder)> damage;
        std::vector<int> pages;
        std::vector<int> unreadablePages;
        std::vector<int> unreadableTexts;
        bool listDamaged;
    };
    const auto fileOf = [](const QString& f, const char* pattern) {
        return f + '/' + QDir(f).entryList({QString::fromLatin1(pattern)}).value(0);
    };
    const auto rewriteManifest = [](const QString& f, const QByteArray& from,
                                    const QByteArray& to) {
        QFile file(f + QStringLiteral("/manifest.json"));
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        file.close();
        bytes.replace(from, to);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
    };
    // Pages 1 and 3 have files, page 2 is of one colour; page 3 has a text.
    const std::vector<Case> cases{
        {"a page file missing",
         [&](const QString& f) { QFile::remove(fileOf(f, "page-1-*")); },
         {2, 3},
         {1},
         {},
         false},
        {"a page file cut short",
         [&](const QString& f) { QFile::resize(fileOf(f, "page-3-*"), 10); },
         {1, 2},
         {3},
         {},
         false},
        {"a text file missing",
         [&](const QString& f) { QFile::remove(fileOf(f, "text-*")); },
         {1, 2, 3},
         {},
         {3},
         false},
        {"a file outside the folder",
         [&](const QString& f) { rewriteManifest(f, "page-1-", "../page-1-"); },
         {2, 3},
         {1},
         {},
         false},
        {"a page beyond the page count",
         [&](const QString& f) { rewriteManifest(f, "\"pageCount\": 3", "\"pageCount\": 2"); },
         {1, 2},
         {},
         {},
         true},
        // Without the list, the pages come from their files: a page of one colour has none.
        {"the manifest not JSON",
         [&](const QString& f) { rewriteManifest(f, "{", "x"); },
         {1, 3},
         {},
         {},
         true},
        {"no manifest",
         [](const QString& f) { QFile::remove(f + "/manifest.json"); },
         {1, 3},
         {},
         {},
         true},
        {"no manifest and a page file cut short",
         [&](const QString& f) {
             QFile::remove(f + "/manifest.json");
             QFile::resize(fileOf(f, "page-1-*"), 10);
         },
         {3},
         {1},
         {},
         true},
    };
    makeThreePages();
    const Kept whole = kept(*board, textFiles());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder()).removeRecursively();
        writeOnce();
        ASSERT_FALSE(read()->damaged());
        c.damage(folder());
        const std::optional<RecoveredBoard> found = read();
        ASSERT_TRUE(found);
        std::vector<int> pages;
        for (const RecoveredPage& page : found->pages) {
            pages.push_back(page.page);
            const auto index = static_cast<std::size_t>(page.page - 1);
            EXPECT_EQ(unpackPage(page.packed), whole.pictures.at(index)) << page.page;
            if (page.text) {
                EXPECT_EQ(*page.text, whole.texts.at(index)) << page.page;
            }
        }
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(found->unreadablePages, c.unreadablePages);
        EXPECT_EQ(found->unreadableTexts, c.unreadableTexts);
        EXPECT_EQ(found->listDamaged, c.listDamaged);
        EXPECT_TRUE(found->damaged());
        // The page that was current, or else the first one read.
        EXPECT_EQ(found->currentPage,
                  std::count(pages.begin(), pages.end(), 2) ? 2 : c.pages.front());
    }
    QDir(folder()).removeRecursively();
    EXPECT_FALSE(read());
}

// A page that could not be read comes back blank, whatever the board held there before.
TEST_F(RecoveryTest, APageThatCouldNotBeReadComesBackBlank) {
    makeThreePages();
    writeOnce();
    QFile::remove(folder() + '/' + QDir(folder()).entryList({QStringLiteral("page-1-*")}).value(0));
    const std::optional<RecoveredBoard> found = read();
    ASSERT_TRUE(found);
    BoardModel restored;
    restored.create(Screen, dir.path() + QLatin1Char('/'));
    restored.fill(1, Blue);
    restored.setPageState(1, PageWithContent);
    restoreRecovery(restored, *found, textFiles());
    EXPECT_EQ(restored.pagePicture(1), unpackPage(solidPage(Screen, Background)));
    EXPECT_EQ(restored.pageState(1), PageCleared);
    EXPECT_EQ(restored.pagePicture(3), board->pagePicture(3));
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
