// Profile (INI) text read and changed by the Windows rules, against small hand-made files.
#include "platform/os/ini_text.h"
#include "qt_printers.h"

#include <climits>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QByteArray gbk(const char* utf8) {
    return toGbk(QString::fromUtf8(utf8));
}

QByteArray utf16le(const QString& text) {
    QByteArray bytes("\xFF\xFE");
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray joinLines(const std::vector<QByteArray>& lines, const QByteArray& end) {
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + end;
    return bytes;
}

struct ReadCase {
    const char* section;
    const char* key;
    std::optional<const char*> expected;
};

} // namespace

TEST(IniText, ReadsAsTheProfileFunctionsDoWithEveryLineEnd) {
    const std::vector<QByteArray> lines = {
        "junk=before the first section",
        "[Tec]",
        "  MUM = 3 ",
        "te1=\"quoted\"",
        "te2='single'",
        "te3=\"mismatched'",
        ";te4=a comment",
        "# hash=not a comment",
        "semi=a;b",
        "empty=",
        "dup=first",
        "dup=second",
        "no equals sign",
        "\t tabbed\t=\tv\t",
        gbk("te5=王老师"),
        "  [ Spaced ] text after the bracket",
        "k=v",
        "[tec]",
        "only2=in the second copy",
        gbk("[教师1]"),
        "frn=255",
        "[Unclosed",
        "m=1",
    };
    const ReadCase cases[] = {
        {"tec", "junk", std::nullopt},
        {"TEC", "mum", "3"},
        {"  tec  ", "  te1 ", "quoted"}, // callers' spaces are trimmed
        {"tec", "te2", "single"},
        {"tec", "te3", "\"mismatched'"},
        {"tec", ";te4", std::nullopt},
        {"tec", "# hash", "not a comment"},
        {"tec", "semi", "a;b"},
        {"tec", "empty", ""},
        {"tec", "dup", "first"},
        {"tec", "no equals sign", std::nullopt},
        {"tec", "tabbed", "v"},
        {"tec", "te5", "王老师"},
        {"spaced", "k", "v"},
        {"tec", "only2", std::nullopt}, // the first copy of a section wins
        {"教师1", "FRN", "255"},
        {"unclosed", "m", "1"},
        {"\ttec", "mum", std::nullopt}, // callers' tabs are not trimmed
        {"nowhere", "mum", std::nullopt},
    };
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        const IniText text(joinLines(lines, end));
        for (const ReadCase& c : cases) {
            const std::optional<QString> value =
                text.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key));
            const std::optional<QString> expected =
                c.expected ? std::optional(QString::fromUtf8(*c.expected)) : std::nullopt;
            EXPECT_EQ(value, expected)
                << c.section << "/" << c.key << " with line end " << end.toHex().constData();
        }
    }
}

TEST(IniText, ByteOrderMarks) {
    // Windows takes no notice of a UTF-8 mark: it spoils the first line, the rest reads as GBK.
    const IniText utf8("\xEF\xBB\xBF[tec]\r\nmum=2\r\n[a]\r\nk=1\r\n");
    EXPECT_EQ(utf8.value(QStringLiteral("tec"), QStringLiteral("mum")), std::nullopt);
    EXPECT_EQ(utf8.value(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));

    // A UTF-16LE mark switches the whole file to UTF-16, and writes stay in it.
    IniText utf16(utf16le(QStringLiteral("[教师1]\r\nfrn=255\r\n")));
    EXPECT_TRUE(utf16.isUtf16());
    EXPECT_EQ(utf16.value(QStringLiteral("教师1"), QStringLiteral("frn")), QStringLiteral("255"));
    utf16.setValue(QStringLiteral("教师1"), QStringLiteral("blk"), QStringLiteral("😀"));
    utf16.setValue(QStringLiteral("新"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(utf16.bytes(),
              utf16le(QStringLiteral("[教师1]\r\nfrn=255\r\nblk=😀\r\n[新]\r\nk=v\r\n")));
    // A UTF-16 file cut in the middle of a character keeps the odd byte.
    EXPECT_EQ(IniText(utf16le(QStringLiteral("[a]")) + "x").bytes(),
              utf16le(QStringLiteral("[a]")) + "x");
}

TEST(IniText, WritesChangeOnlyTheirOwnLines) {
    const QByteArray before = "; K_Vorne\n"
                              "[tec]\n"
                              "  mum = 2 \n"
                              "te1=a\n"
                              "\n"
                              "; after the keys\n"
                              "[教师0]\r"
                              "ce=1";
    struct Case {
        const char* what;
        std::function<void(IniText&)> change;
        QByteArray after;
    };
    const Case cases[] = {
        {"a changed key keeps its spelling and line end",
         [](IniText& t) { t.setValue(QStringLiteral("TEC"), QStringLiteral("MUM"), "3"); },
         "; K_Vorne\n[tec]\nmum=3\nte1=a\n\n; after the keys\n[教师0]\rce=1"},
        {"a new key follows the section's last key",
         [](IniText& t) { t.setValue(QStringLiteral("tec"), QStringLiteral("te2"), "b"); },
         "; K_Vorne\n[tec]\n  mum = 2 \nte1=a\nte2=b\r\n\n; after the keys\n[教师0]\rce=1"},
        {"a new key after a last line without an end",
         [](IniText& t) { t.setValue(QStringLiteral("教师0"), QStringLiteral("ke"), "4"); },
         "; K_Vorne\n[tec]\n  mum = 2 \nte1=a\n\n; after the keys\n[教师0]\rce=1\r\nke=4\r\n"},
        {"a new section goes at the end",
         [](IniText& t) { t.setValue(QStringLiteral("王"), QStringLiteral("ma"), "12"); },
         "; K_Vorne\n[tec]\n  mum = 2 \nte1=a\n\n; after the keys\n[教师0]\rce=1\r\n"
         "[王]\r\nma=12\r\n"},
        {"a deleted key loses its line",
         [](IniText& t) { EXPECT_TRUE(t.removeKey(QStringLiteral("tec"), QStringLiteral("te1"))); },
         "; K_Vorne\n[tec]\n  mum = 2 \n\n; after the keys\n[教师0]\rce=1"},
        {"an erased section loses its header and its lines",
         [](IniText& t) { EXPECT_TRUE(t.removeSection(QStringLiteral("Tec"))); },
         "; K_Vorne\n[教师0]\rce=1"},
        {"removing what is not there changes nothing",
         [](IniText& t) {
             EXPECT_FALSE(t.removeKey(QStringLiteral("tec"), QStringLiteral("te9")));
             EXPECT_FALSE(t.removeKey(QStringLiteral("none"), QStringLiteral("te1")));
             EXPECT_FALSE(t.removeSection(QStringLiteral("none")));
         },
         before},
    };
    for (const Case& c : cases) {
        IniText text(toGbk(QString::fromUtf8(before)));
        c.change(text);
        EXPECT_EQ(fromGbk(text.bytes()), QString::fromUtf8(c.after)) << c.what;
    }
}

TEST(IniText, DuplicatesAreRemovedEverywhereSoNoOldCopyComesBack) {
    IniText text("[a]\r\nk=1\r\nk=2\r\n[b]\r\nx=1\r\n[A]\r\nk=3\r\n");
    EXPECT_TRUE(text.removeKey(QStringLiteral("a"), QStringLiteral("k")));
    EXPECT_EQ(text.value(QStringLiteral("a"), QStringLiteral("k")), std::nullopt);
    text.setValue(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("4"));
    EXPECT_TRUE(text.removeSection(QStringLiteral("a")));
    EXPECT_EQ(text.bytes(), QByteArray("[b]\r\nx=1\r\n"));
    // Into an empty file a first write puts the section and the key.
    IniText empty;
    empty.setValue(QStringLiteral("tec"), QStringLiteral("mum"), QStringLiteral("1"));
    EXPECT_EQ(empty.bytes(), QByteArray("[tec]\r\nmum=1\r\n"));
}

TEST(IniText, LookupsFollowEveryChange) {
    // Each step moves the lines of the sections after it; every lookup after it still finds
    // them, and names match in any letter case, whatever the script.
    IniText text(gbk("[a]\r\nk=1\r\n[ΣΟΦΙΑ]\r\nk=2\r\n[Ｗａｎｇ]\r\nk=3\r\n[a]\r\nk=4\r\n"));
    const auto expect = [&](const char* step, const char* a, const char* sophia, const char* ab) {
        const auto read = [&](const char* section) {
            return text.value(QString::fromUtf8(section), QStringLiteral("k"))
                .value_or(QStringLiteral("-"));
        };
        EXPECT_EQ(read("A"), QString::fromUtf8(a)) << step;
        EXPECT_EQ(read("σοφια"), QString::fromUtf8(sophia)) << step;
        EXPECT_EQ(read("ｗＡＮＧ"), QString::fromUtf8(ab)) << step;
    };
    expect("as read", "1", "2", "3");
    text.setValue(QStringLiteral("a"), QStringLiteral("new"), QStringLiteral("x"));
    expect("a key added before them", "1", "2", "3");
    EXPECT_TRUE(text.removeKey(QStringLiteral("ΣΟΦΙΑ"), QStringLiteral("k")));
    expect("a key removed", "1", "-", "3");
    text.setValue(QStringLiteral("c"), QStringLiteral("k"), QStringLiteral("5"));
    EXPECT_EQ(text.value(QStringLiteral("C"), QStringLiteral("k")), QStringLiteral("5"));
    EXPECT_TRUE(text.removeSection(QStringLiteral("a")));
    expect("a section removed, both copies", "-", "-", "3");
    EXPECT_EQ(text.sections(), QStringList({"ΣΟΦΙΑ", "Ｗａｎｇ", "c"}));
    text.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("6"));
    expect("a section added again", "6", "-", "3");
    EXPECT_EQ(text.sections(), QStringList({"ΣΟΦΙΑ", "Ｗａｎｇ", "c", "A"}));
}

TEST(IniText, WhatIsWrittenReadsBackTheSame) {
    IniText text;
    const std::pair<QString, QString> values[] = {
        {QStringLiteral("te1"), QStringLiteral("王老师")},
        {QStringLiteral("dcu"), QStringLiteral("C:\\图片 文件夹\\a;b=c")},
        {QStringLiteral("x"), QString()},
        {QStringLiteral("long"), QString(300, QChar(u'中'))},
        {QStringLiteral("te2"), QStringLiteral("'李'")},
        {QStringLiteral("te3"), QStringLiteral("\"a\"")},
        {QStringLiteral("te4"), QStringLiteral(" padded\t")},
        {QStringLiteral("te5"), QStringLiteral("\"half")},
    };
    for (const auto& [key, value] : values) {
        ASSERT_TRUE(text.canWrite(QStringLiteral("李 老师"), key, value));
        text.setValue(QStringLiteral("李 老师"), key, value);
    }
    const IniText back(text.bytes());
    for (const auto& [key, value] : values)
        EXPECT_EQ(back.value(QStringLiteral("李 老师"), key), value) << key.toStdString();
}

TEST(IniText, RefusesWhatWouldNotReadBackTheSame) {
    const IniText gbkFile;
    const IniText utf16File(QByteArray("\xFF\xFE"));
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case refused[] = {
        {"tec", "te1", "a\r\n[x]"},
        {"tec", "te1", "a\nb"},
        {"tec", "te1", "a\rb"},
        {"a\nb", "k", "v"},
        {"tec", "k\r", "v"},
        {"a]b", "k", "v"},
        {"", "k", "v"},
        {"tec", "", "v"},
        {"tec", "a=b", "v"},
        {"tec", "[k", "v"},
        {"tec", ";k", "v"},
        {"\ttec", "k", "v"},
        {"tec", "k\t", "v"},
        {"tec", "k", "😀"},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(gbkFile.canWrite(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                      QString::fromUtf8(c.value)))
            << c.section << "/" << c.key << "=" << c.value;
    }
    EXPECT_FALSE(gbkFile.canWrite(QStringLiteral("tec"), QStringLiteral("k"),
                                  QStringLiteral("a") + QChar(0) + QStringLiteral("b")));
    // A UTF-16 file holds every character; callers' spaces around names are trimmed.
    EXPECT_TRUE(utf16File.canWrite(QStringLiteral("tec"), QStringLiteral("k"), "😀"));
    EXPECT_TRUE(gbkFile.canWrite(QStringLiteral(" tec "), QStringLiteral(" k "), " v "));
}

TEST(IniText, ValuesAreCutToTheBufferBeforeACharacter) {
    EXPECT_EQ(fitToBuffer(QString(3000, QLatin1Char('a')), 2048), QString(2047, QLatin1Char('a')));
    // 1 + 2 x 1023 bytes fill the 2047 exactly; 2 x 1500 bytes leave the last byte unused
    // rather than split a character.
    EXPECT_EQ(fitToBuffer(QStringLiteral("a") + QString(1500, QChar(u'中')), 2048),
              QStringLiteral("a") + QString(1023, QChar(u'中')));
    EXPECT_EQ(fitToBuffer(QString(1500, QChar(u'中')), 2048), QString(1023, QChar(u'中')));
    EXPECT_EQ(fitToBuffer(QStringLiteral("short"), 2048), QStringLiteral("short"));
}

TEST(IniText, IntegersReadTheStrToIntDefWay) {
    const std::pair<const char*, int> cases[] = {
        {"12", 12},
        {"  12", 12},
        {"\t+7", 7},
        {"-7", -7},
        {"$FF", 255},
        {"0xFF", 255},
        {"0XfF", 255},
        {"xff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"00012", 12},
        {"0", 0},
        // Each of these gives the default.
        {"$100000000", -99},
        {"2147483648", -99},
        {"-2147483649", -99},
        {"12abc", -99},
        {"", -99},
        {"0x", -99},
        {"$", -99},
        {"abc", -99},
        {"1 ", -99},
        {"１２", -99},
        {"+-1", -99},
        {"1e3", -99},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(strToIntDef(QString::fromUtf8(text), -99), expected) << text;
}

TEST(IniText, GbkCoverage) {
    EXPECT_TRUE(gbkCanHold(QStringLiteral("王老师 Wang é €")));
    EXPECT_FALSE(gbkCanHold(QStringLiteral("😀")));
    EXPECT_FALSE(gbkCanHold(QStringLiteral("\u30FB")));
    EXPECT_EQ(toGbk(QStringLiteral("中😀")), QByteArray("\xD6\xD0?"));
}
