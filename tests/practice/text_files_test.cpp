// The practice lines as text files: what the Windows program wrote reads unchanged, nothing
// is lost on the way back, and a save that fails leaves the memo and the old file alone.
#include "app/toolbar.h"
#include "app_fixture.h"
#include "files.h"
#include "practice/practice_pad.h"
#include "practice/text_lines.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

using namespace platform;

namespace {

QString fixture(const char* name) {
    return QStringLiteral(KV_PRACTICE_DATA "/") + QLatin1String(name);
}

} // namespace

class PadFilesTest : public AppFixture {
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }
    void load(const QString& file) {
        fakes.dialogs.fileNames = {file};
        Form14->SpeedButton2Click();
    }
    void save(const QString& file) {
        fakes.dialogs.fileNames = {file};
        Form14->SpeedButton3Click();
    }
    std::vector<FakeDialogs::Shown> errors() const {
        std::vector<FakeDialogs::Shown> result;
        for (const auto& shown : fakes.dialogs.shown) {
            if (shown.kind == QStringLiteral("error"))
                result.push_back(shown);
        }
        return result;
    }
};

// A file of the Windows program (GBK, CR LF, an empty line) reads line by line and, unchanged,
// is written back byte for byte, under the name typed, with no extension added.
TEST_F(PadFilesTest, GbkFileFromTheWindowsProgramRoundTripsByteForByte) {
    load(fixture("lines-gbk.txt"));
    const QStringList expected{QStringLiteral("可以在本栏内输入多行文字"),
                               QStringLiteral("书写练习：田字格"), QString(),
                               QStringLiteral("ABC 123")};
    EXPECT_EQ(Form14->lines(), expected);
    ASSERT_FALSE(fakes.dialogs.shown.empty());
    EXPECT_EQ(fakes.dialogs.shown.front().kind, QStringLiteral("open"));
    EXPECT_EQ(fakes.dialogs.shown.front().text, QStringLiteral("*.txt"));

    save(path(QStringLiteral("lines")));
    EXPECT_EQ(readBytes(path(QStringLiteral("lines"))), readBytes(fixture("lines-gbk.txt")));
    EXPECT_EQ(fakes.dialogs.shown.back().kind, QStringLiteral("save"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("lines")});
    EXPECT_TRUE(errors().empty());
}

// Characters GBK cannot hold are saved in UTF-8, never as "?", and read back the same.
TEST_F(PadFilesTest, Utf8FileWithCharactersBeyondGbkRoundTrips) {
    load(fixture("lines-utf8.txt"));
    const QStringList expected{QStringLiteral("书写练习"), QStringLiteral("한글과 ✍ 😀"),
                               QStringLiteral("最后一行没有换行")};
    EXPECT_EQ(Form14->lines(), expected);

    save(path(QStringLiteral("out.txt")));
    const QByteArray saved = readBytes(path(QStringLiteral("out.txt")));
    EXPECT_FALSE(saved.contains('?'));
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF"));
    Form14->setLines({});
    load(path(QStringLiteral("out.txt")));
    EXPECT_EQ(Form14->lines(), expected);
    EXPECT_TRUE(errors().empty());
}

// The pad's own lines, typed by the teacher, come back as they were, an empty last line too.
TEST_F(PadFilesTest, MemoSavedAndLoadedGivesTheSameLines) {
    const QStringList initial = Form14->lines();
    ASSERT_EQ(initial.size(), 3);
    for (const QStringList& lines :
         {initial, QStringList{}, QStringList{QString()}, QStringList{QStringLiteral("一"), {}}}) {
        Form14->setLines(lines);
        save(path(QStringLiteral("round.txt")));
        Form14->setLines({QStringLiteral("something else")});
        load(path(QStringLiteral("round.txt")));
        EXPECT_EQ(Form14->lines(), lines) << lines.join(QLatin1Char('|')).toStdString();
    }
    EXPECT_TRUE(errors().empty());
}

// The file's place cannot take the new content: an error box, and the memo and the old file
// stay as they were. (A name at the file system's length limit leaves no room for the
// temporary file beside it; a read-only folder would not stop the root user the tests run as.)
TEST_F(PadFilesTest, FailedSaveShowsAnErrorAndKeepsTheOldFileAndTheMemo) {
    const QString longName = QString(251, QLatin1Char('n')) + QStringLiteral(".txt");
    const QString target = path(longName);
    writeBytes(target, "old lines\r\n");
    ASSERT_EQ(readBytes(target), QByteArray("old lines\r\n")) << "no 255-byte names here";
    const QStringList memo = Form14->lines();

    save(target);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_TRUE(errors().front().text.contains(longName));
    EXPECT_EQ(readBytes(target), QByteArray("old lines\r\n"));
    EXPECT_EQ(Form14->lines(), memo);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{longName});

    // A file that cannot be read, and dialogs cancelled, change nothing either.
    load(path(QStringLiteral("missing.txt")));
    EXPECT_EQ(errors().size(), 2u);
    fakes.dialogs.fileNames = {std::nullopt, std::nullopt};
    Form14->SpeedButton2Click();
    Form14->SpeedButton3Click();
    EXPECT_EQ(Form14->lines(), memo);
    EXPECT_EQ(errors().size(), 2u);
}

TEST(TextLines, ReadsEveryEncodingAndLineEnd) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList lines;
    };
    const QStringList ab{QStringLiteral("a"), QStringLiteral("b")};
    const Case cases[] = {
        {"empty", {}, {}},
        {"a byte-order mark alone", "\xEF\xBB\xBF", {}},
        {"CR LF", "a\r\nb\r\n", ab},
        {"LF, no break at the end", "a\nb", ab},
        {"CR", "a\rb\r", ab},
        {"mixed, with empty lines",
         "a\r\n\n\rb",
         {QStringLiteral("a"), {}, {}, QStringLiteral("b")}},
        {"UTF-8 without a mark", "\xE7\x94\xB0\r\n", {QStringLiteral("田")}},
        {"GBK", "\xCC\xEF\r\n", {QStringLiteral("田")}},
        {"UTF-16LE with its mark",
         QByteArray("\xFF\xFE\x30\x75\r\0\n\0", 8),
         {QStringLiteral("田")}},
        {"UTF-16BE with its mark", QByteArray("\xFE\xFF\x75\x30\0\n", 6), {QStringLiteral("田")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeTextLines(c.bytes), c.lines) << c.what;
}

TEST(TextLines, WritesGbkWhenItHoldsTheTextAndUtf8Otherwise) {
    EXPECT_EQ(encodeTextLines({QStringLiteral("田"), QStringLiteral("ab")}),
              QByteArray("\xCC\xEF\r\nab\r\n"));
    // One character beyond GBK puts the whole file in UTF-8.
    const QStringList mixed{QStringLiteral("田"), QStringLiteral("€ 한")};
    const QByteArray bytes = encodeTextLines(mixed);
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF") + QStringLiteral("田\r\n€ 한\r\n").toUtf8());
    EXPECT_EQ(decodeTextLines(bytes), mixed);
    // GBK that would read back as other characters, being valid UTF-8, is not written either.
    const QStringList one{QStringLiteral("一")};
    EXPECT_EQ(decodeTextLines(encodeTextLines(one)), one);
}
