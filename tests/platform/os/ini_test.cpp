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

TEST(IniText, EachFileIsReadAndWrittenInItsOwnEncoding) {
    // The same settings in the encodings a file may come in. "王" and "李老师" are odd numbers
    // of bytes in UTF-8, so that a GBK reading would take each one's "]" into a character;
    // "¡" and "隆" are the same two bytes (C2 A1), UTF-8 for one and GBK for the other.
    const QString text = QStringLiteral("[tec]\r\nmum=2\r\nte1=王\r\nte2=李老师\r\n"
                                        "[王]\r\nma=12278\r\n[李老师]\r\nma=0\r\n");
    const QString changed = QStringLiteral("[tec]\r\nmum=3\r\nte1=王\r\nte2=李老师\r\n"
                                           "te3=张\r\n[王]\r\nma=12278\r\n[李老师]\r\nma=0\r\n"
                                           "[张]\r\nma=780\r\n");
    const QByteArray mark("\xEF\xBB\xBF");
    struct Case {
        const char* what;
        QByteArray bytes;
        bool utf8;
        QByteArray afterWrites;
    };
    const Case cases[] = {
        {"UTF-8 with a mark", mark + text.toUtf8(), true, mark + changed.toUtf8()},
        {"UTF-8 without one", text.toUtf8(), true, changed.toUtf8()},
        {"GBK, as the Windows program writes it", toGbk(text), false, toGbk(changed)},
        {"GBK that is also well-formed UTF-8",
         toGbk(QString(text).replace(QStringLiteral("李老师"), QStringLiteral("隆"))), false,
         toGbk(QString(changed).replace(QStringLiteral("李老师"), QStringLiteral("隆")))},
    };
    for (const Case& c : cases) {
        IniText ini(c.bytes);
        EXPECT_EQ(ini.isUtf8(), c.utf8) << c.what;
        EXPECT_EQ(ini.bytes(), c.bytes) << c.what;
        const QString second =
            c.bytes.contains("\xC2\xA1") ? QStringLiteral("隆") : QStringLiteral("李老师");
        EXPECT_EQ(ini.sections(),
                  QStringList({QStringLiteral("tec"), QStringLiteral("王"), second}))
            << c.what;
        EXPECT_EQ(ini.value(QStringLiteral("tec"), QStringLiteral("te2")), second) << c.what;
        EXPECT_EQ(ini.value(QStringLiteral("王"), QStringLiteral("ma")), QStringLiteral("12278"))
            << c.what;
        ini.setValue(QStringLiteral("tec"), QStringLiteral("mum"), QStringLiteral("3"));
        ini.setValue(QStringLiteral("tec"), QStringLiteral("te3"), QStringLiteral("张"));
        ini.setValue(QStringLiteral("张"), QStringLiteral("ma"), QStringLiteral("780"));
        EXPECT_EQ(ini.bytes(), c.afterWrites) << c.what;
    }

    // UTF-8 without a mark stays UTF-8 when what set it apart from GBK is gone: it takes the
    // mark rather than turn into GBK at the next reading.
    IniText lost(QStringLiteral("[王]\r\nk=1\r\n[¡]\r\nk=2\r\n").toUtf8());
    ASSERT_TRUE(lost.isUtf8());
    lost.removeSection(QStringLiteral("王"));
    EXPECT_EQ(lost.bytes(), mark + QStringLiteral("[¡]\r\nk=2\r\n").toUtf8());
    EXPECT_EQ(IniText(lost.bytes()).value(QStringLiteral("¡"), QStringLiteral("k")),
              QStringLiteral("2"));
}

TEST(IniText, BytesThatAreNoCharacterAreKept) {
    // Each file holds a byte its encoding has no character for: the names that hold it are
    // found, written again and copied into other values byte for byte.
    struct Case {
        const char* what;
        QByteArray section; // a section name holding the byte, in the file's encoding
        QByteArray before;  // the rest of the file, after that section's key
        QByteArray mark;
    };
    const Case cases[] = {
        {"GBK", "\xFF" + toGbk(QStringLiteral("王")), toGbk(QStringLiteral("[李]\r\nk=1\r\n")), ""},
        {"GBK, a lead byte before a digit", toGbk(QStringLiteral("王")) + "\x81" + "0",
         toGbk(QStringLiteral("[李]\r\nk=1\r\n")), ""},
        {"UTF-8", "\xFF" + QStringLiteral("王").toUtf8(),
         QStringLiteral("[李]\r\nk=1\r\n").toUtf8(), "\xEF\xBB\xBF"},
    };
    for (const Case& c : cases) {
        const QByteArray file = c.mark + "[" + c.section + "]\r\nk=1\r\n" + c.before;
        IniText ini(file);
        EXPECT_EQ(ini.bytes(), file) << c.what;
        const QStringList sections = ini.sections();
        ASSERT_EQ(sections.size(), 2) << c.what;
        const QString name = sections[0];
        EXPECT_EQ(ini.value(name, QStringLiteral("k")), QStringLiteral("1")) << c.what;
        ASSERT_TRUE(ini.canWrite(QStringLiteral("tec"), QStringLiteral("te1"), name)) << c.what;
        ini.setValue(name, QStringLiteral("k"), QStringLiteral("2"));
        ini.setValue(name, QStringLiteral("ma"), QStringLiteral("0"));
        ini.setValue(QStringLiteral("tec"), QStringLiteral("te1"), name);
        EXPECT_EQ(ini.bytes(), c.mark + "[" + c.section + "]\r\nk=2\r\nma=0\r\n" + c.before +
                                   "[tec]\r\nte1=" + c.section + "\r\n")
            << c.what;
    }
}

TEST(IniText, TheUtf16Mark) {
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
