// The recovery folder: the board written in the background and read back whole, also when
// the program dies in the middle of a write; damaged folders are never half taken.
#include "board/model/board_model.h"
#include "board/model/recovery_reader.h"
#include "board/model/recovery_recorder.h"
#include "board/model/recovery_writer.h"
#include "platform/raster/canvas.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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
        board->writePage(board->CurrentPage, page);
        board->PageState[board->CurrentPage] = 2;
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
        board->PageState[2] = 1; // cleared
        draw({200, 100, 210, 200}, Blue);
        board->setPanelKind(3, 1);
        board->PanelLeft[3] = 30;
        board->PanelTop[3] = 41;
        board->PanelWidth[3] = 200;
        board->PanelHeight[3] = 150;
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
        Kept k{b.PageCount, b.CurrentPage, b.BackgroundColour, {}, {}, {}};
        for (int n = 1; n <= b.PageCount; ++n) {
            k.pictures.push_back(b.pagePicture(n));
            k.attributes.push_back({b.PageState[n], b.panelKind(n), b.PanelLeft[n], b.PanelTop[n],
                                    b.PanelWidth[n], b.PanelHeight[n], b.PanelBaked[n]});
            QFile file(text(n));
            k.texts.push_back(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        }
        return k;
    }

    // The folder restored into a board of its own, with its texts in a folder of their own.
    std::optional<Kept> readBack() {
        const std::optional<RecoveredBoard> recovered = readRecovery(folder());
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
    board->PanelBaked[1] = 1;
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
    EXPECT_TRUE(readRecovery(folder())->worthOffering());
}

TEST_F(RecoveryTest, APageOfASmallerScreenComesBackOverTheBackgroundColour) {
    makeThreePages();
    writeOnce();
    const std::optional<RecoveredBoard> recovered = readRecovery(folder());
    ASSERT_TRUE(recovered);
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
        board->PageState[2] = 2;
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
    const std::optional<RecoveredBoard> found = readRecovery(folder());
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

TEST_F(RecoveryTest, AnIdleBoardIsWrittenAfterAChange) {
    RecoveryWriter writer(folder(), -1);
    RecoveryRecorder recorder(*board, writer, textFiles());
    recorder.start();
    draw({10, 10, 20, 20}, Ink);
    QTest::qWait(RecoveryRecorder::IdleMs / 2);
    writer.wait();
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("/manifest.json")));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(folder() + QStringLiteral("/manifest.json")); }, 10000));
}

// A folder whose manifest or files are damaged or missing is not offered, in any part.
TEST_F(RecoveryTest, ADamagedFolderIsNotRead) {
    struct Case {
        const char* what;
        std::function<void(const QString& folder)> damage;
    };
    const auto pageFile = [](const QString& f) {
        return QDir(f).entryList({QStringLiteral("page-1-*")}).value(0);
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
    const std::vector<Case> cases{
        {"a page file missing", [&](const QString& f) { QFile::remove(f + '/' + pageFile(f)); }},
        {"a page file cut short",
         [&](const QString& f) { QFile::resize(f + '/' + pageFile(f), 10); }},
        {"a text file missing",
         [](const QString& f) {
             QFile::remove(f + '/' + QDir(f).entryList({QStringLiteral("text-*")}).value(0));
         }},
        {"the manifest not JSON", [&](const QString& f) { rewriteManifest(f, "{", "x"); }},
        {"a file outside the folder",
         [&](const QString& f) { rewriteManifest(f, "page-1-", "../page-1-"); }},
        {"a page beyond the page count",
         [&](const QString& f) { rewriteManifest(f, "\"pageCount\": 3", "\"pageCount\": 2"); }},
        {"no manifest", [](const QString& f) { QFile::remove(f + "/manifest.json"); }},
    };
    makeThreePages();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder()).removeRecursively();
        writeOnce();
        ASSERT_TRUE(readRecovery(folder()));
        c.damage(folder());
        EXPECT_FALSE(readRecovery(folder()));
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
