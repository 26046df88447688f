// The text panel's document on disk: what is written reads back the same, and documents the
// rich-edit control wrote read as their text.
#include "platform/raster/rich_text.h"

#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace platform;

TEST(RichText, TextReadsBackAsItWasWritten) {
    const QString texts[] = {
        QString(),
        QStringLiteral("Hello"),
        QStringLiteral("你好，世界\n第二行"),
        QStringLiteral("braces {a} and \\ backslash\ttab"),
        QStringLiteral("beyond GBK: \U0001F600 and ẞ"),
        QStringLiteral("\n\nblank lines\n"),
    };
    for (const QString& text : texts) {
        const QByteArray rtf = plainTextToRtf(text);
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936")) << rtf.constData();
        EXPECT_EQ(rtfToPlainText(rtf), text) << rtf.constData();
    }
    // Chinese goes out as code page 936 bytes, as the classroom's files hold it.
    EXPECT_TRUE(plainTextToRtf(QStringLiteral("你好")).contains("\\'c4\\'e3\\'ba\\'c3"));
}

TEST(RichText, ReadsWhatTheRichEditControlWrites) {
    const QByteArray fixture =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil"
        "\\fprq2\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n{\\*\\generator Riched20 10.0;}"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs96 "
        "\\'c4\\'e3\\'ba\\'c3\\u-10916?\\par\r\n{\\b bold}\\line x\\~y\\par\r\n}\r\n";
    EXPECT_EQ(rtfToPlainText(fixture),
              QStringLiteral("你好") + QChar(0xD55C) + QStringLiteral("\nbold\nx\u00A0y"));
    // Damaged input never crashes and keeps what it can.
    EXPECT_EQ(rtfToPlainText("{\\rtf1 abc\\"), QStringLiteral("abc"));
    EXPECT_EQ(rtfToPlainText("{\\rtf1 a\\'4"), QStringLiteral("a"));
    EXPECT_EQ(rtfToPlainText("}}}{{{"), QString());
    EXPECT_EQ(rtfToPlainText(QByteArray()), QString());
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
