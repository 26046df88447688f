// The text panel's document on disk: files the rich-edit control wrote read with their text and
// formatting, what is written reads back the same, and damaged files never crash the reader.
#include "platform/raster/rich_text.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// One line per document: each run as «text{attributes}», paragraphs split by " ¶ ", sizes in
// pixels at 96 pixels to the inch, as the Windows program measures them.
std::string describe(const QTextDocument& document) {
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line;
        const Qt::Alignment a = block.blockFormat().alignment();
        if (a & Qt::AlignHCenter)
            line += QStringLiteral("centre:");
        else if (a & Qt::AlignRight)
            line += QStringLiteral("right:");
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QFont font = f.font().resolve(document.defaultFont());
            const double px = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 4 / 3;
            QStringList attributes{font.families().value(0, font.family()),
                                   QString::number(px, 'g', 3) + QStringLiteral("px")};
            if (font.bold())
                attributes << QStringLiteral("b");
            if (font.italic())
                attributes << QStringLiteral("i");
            if (font.underline())
                attributes << QStringLiteral("u");
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                attributes << QStringLiteral("fg") + f.foreground().color().name();
            if (f.hasProperty(QTextFormat::BackgroundBrush))
                attributes << QStringLiteral("bg") + f.background().color().name();
            line += it.fragment().text() + u'{' + attributes.join(u' ') + u'}';
        }
        blocks << line;
    }
    return blocks.join(QStringLiteral(" ¶ ")).toStdString();
}

std::string read(const QByteArray& rtf) {
    QTextDocument document;
    rtfToRichText(rtf, document);
    return describe(document);
}

// The head of a file the rich-edit control wrote: 宋体, Arial, 隶书; red, blue; 宋体 64 px.
const QByteArray Head =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fprq2"
    "\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}{\\f2\\fnil"
    "\\fprq2\\fcharset134 \\'c1\\'a5\\'ca\\'e9;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0"
    "\\green0\\blue255;}\r\n{\\*\\generator Riched20 10.0.19041;}\\viewkind4\\uc1\\pard"
    "\\lang2052\\f0\\fs96 ";
const QByteArray Tail = "\\par\r\n}\r\n";

} // namespace

TEST(RichText, FilesOfTheRichEditControlReadWithTheirFormatting) {
    const struct {
        const char* body;
        const char* described;
    } cases[] = {
        // Chinese in code page 936, a character beyond it as \uN.
        {"\\'c4\\'e3\\'ba\\'c3\\u-10916?", "你好한{宋体 64px}"},
        // A Latin font reads its bytes in its own code page; the special characters.
        {"\\f1\\fs20 caf\\'e9 \\emdash\\lquote x\\rquote\\bullet\\ldblquote",
         "café —‘x’•“{Arial 13.3px}"},
        {"\\f2\\fs72\\cf1\\b \\'ba\\'ec\\cf0\\b0  x", "红{隶书 48px b fg#ff0000} x{隶书 48px}"},
        {"\\i\\ul a\\ulnone\\i0\\highlight2 b{\\b c}d",
         "a{宋体 64px i u}b{宋体 64px bg#0000ff}c{宋体 64px b bg#0000ff}d{宋体 64px bg#0000ff}"},
        {"a\\par\\pard\\qc b\\par\\pard c\\line d",
         "a{宋体 64px} ¶ centre:b{宋体 64px} ¶ c\u2028d{宋体 64px}"},
        // Surrogate pairs; a fallback of two bytes under \uc2; a trail byte written as ASCII.
        {"\\u-10179?\\u-8704?{\\uc2\\u20320\\'c4\\'e3}\\'b0@", "😀你癅{宋体 64px}"},
        // A double-byte character split by a change of format is still one character.
        {"\\'c4{\\b\\'e3\\'ba}\\'c3", "你{宋体 64px b}好{宋体 64px}"},
        // Pictures, objects and unknown destinations are skipped; \bin data is not text.
        {"a{\\*\\unknown x}{\\pict\\pngblip 89504e47}{\\object{\\*\\objdata 01}{\\result b}}"
         "{\\*\\blob\\bin4 }}{{}c",
         "ac{宋体 64px}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(Head + c.body + Tail), c.described) << c.body;
}

TEST(RichText, MixedFormattingReadsBackAsItWasWritten) {
    QFont::insertSubstitution(QStringLiteral("隶书"), QStringLiteral("AR PL KaitiM GB"));
    QTextDocument document;
    document.setDefaultFont(richTextDefaultFont());
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("牛顿 "));
    QTextCharFormat boldRed;
    boldRed.setFontWeight(QFont::Bold);
    boldRed.setForeground(QColor(255, 0, 0));
    cursor.insertText(QStringLiteral("第一定律"), boldRed);
    QTextCharFormat arial;
    arial.setFontFamilies({QStringLiteral("Arial")});
    arial.setFontPointSize(10.5);
    arial.setFontItalic(true);
    arial.setFontUnderline(true);
    cursor.insertText(QStringLiteral(" {a\\b}\tcafé"), arial);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCharFormat marked;
    marked.setBackground(QColor(0, 255, 0));
    marked.setFontFamilies({QStringLiteral("AR PL KaitiM GB")}); // written as 隶书
    cursor.insertBlock(centred);
    cursor.insertText(QStringLiteral("😀—‘’“”•\u00A0\u2028ẞ"), marked);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());

    const QByteArray rtf = richTextToRtf(document);
    EXPECT_TRUE(rtf.startsWith(
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil"
        "\\fprq2\\fcharset134 \\'c1\\'a5\\'ca\\'e9;}"))
        << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs72 \\'c5\\'a3"))
        << rtf.constData();
    EXPECT_FALSE(rtf.contains("AR PL")) << rtf.constData();

    QTextDocument back;
    rtfToRichText(rtf, back);
    QString written = QString::fromStdString(describe(document));
    EXPECT_EQ(
        describe(back),
        written.replace(QStringLiteral("AR PL KaitiM GB"), QStringLiteral("隶书")).toStdString());
    // Writing what was read gives the same bytes.
    EXPECT_EQ(richTextToRtf(back), rtf);
}

TEST(RichText, DamagedInputKeepsWhatCanBeRead) {
    const QByteArray deep = QByteArray(100000, '{') + "x" + QByteArray(100000, '}');
    const struct {
        QByteArray rtf;
        const char* text;
    } cases[] = {
        {"", ""},
        {"{\\rtf1 abc\\", "abc"},
        {"{\\rtf1 a\\'4", "a"},
        {"{\\rtf1 a\\'zz\\u", "azz"},
        {"{\\rtf1 a\\bin999999999 ", "a"},
        {"{\\rtf1 a\\bin-5 b}", "ab"},
        {"{\\rtf1 " + deep + "y}", "xy"},
        // Numbers past their range; \u beyond 16 bits stands for nothing but its fallback.
        {"{\\rtf1\\fs99999999999999999999 a\\u99999999999 b\\uc99999999999 \\u20320 cd\\'}", "a你"},
        {"{\\rtf1\\f99\\cf99\\highlight-3 a\\" + QByteArray(5000, 'x') + " b}", "ab"},
        {"{\\rtf1{\\fonttbl{\\f0\\fcharset134\\cpg99 \\'c4" + QByteArray(3000, 'n') + "}}a}", "a"},
        {"{\\rtf1 \\'c4}\\'e3", ""},
        {QByteArray("{\\rtf1 a}\0junk", 14), "a"},
        // Not RTF at all: the text in code page 936.
        {"}}}{{{", "}}}{{{"},
        {"\xce\xc4\xb1\xbe\r\nline", "文本\nline"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rtfToPlainText(c.rtf).toStdString(), c.text) << c.rtf.left(80).constData();
}

TEST(RichText, FilesAreWrittenWholeOrNotAtAll) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("7"));
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("惯性定律"));
    saveRichText(doc, path);
    QTextDocument back;
    EXPECT_TRUE(loadRichText(back, path));
    EXPECT_EQ(back.toPlainText(), QStringLiteral("惯性定律"));

    back.setPlainText(QStringLiteral("kept"));
    EXPECT_FALSE(loadRichText(back, dir.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(back.toPlainText(), QStringLiteral("kept"));
    EXPECT_THROW(saveRichText(doc, dir.filePath(QStringLiteral("no/such/folder/1"))),
                 std::runtime_error);
}
