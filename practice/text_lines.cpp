#include "practice/text_lines.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// A practice list is a few pages of text; a larger file was chosen by mistake, and reading it
// whole would stall the pad.
constexpr qint64 LargestFile = 8 * 1024 * 1024;

const char* const WindowsCodePage = "GBK";

bool startsWith(const QByteArray& bytes, std::initializer_list<unsigned char> mark) {
    if (bytes.size() < static_cast<qsizetype>(mark.size()))
        return false;
    qsizetype i = 0;
    for (const unsigned char byte : mark) {
        if (static_cast<unsigned char>(bytes[i++]) != byte)
            return false;
    }
    return true;
}

QString decodeText(const QByteArray& bytes) {
    // 0xFF never occurs in GBK, and 0xFE 0xFF is no GBK character: these marks are certain.
    if (startsWith(bytes, {0xFF, 0xFE}))
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.mid(2));
    if (startsWith(bytes, {0xFE, 0xFF}))
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.mid(2));
    QStringDecoder utf8(QStringConverter::Utf8); // drops a leading byte-order mark
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QStringDecoder(WindowsCodePage).decode(bytes);
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QStringList decodeTextLines(const QByteArray& bytes) {
    const QString text = decodeText(bytes);
    QStringList lines;
    QString line;
    bool open = false; // a line has begun that no break has ended yet
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            lines << line;
            line.clear();
            open = false;
        } else {
            line += c;
            open = true;
        }
    }
    if (open)
        lines << line;
    return lines;
}

QByteArray encodeTextLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    QStringEncoder gbk(WindowsCodePage);
    const QByteArray inGbk = gbk.encode(text);
    // The encoder puts a substitute in place of what GBK cannot hold; and a short GBK text can
    // happen to be valid UTF-8 ("一" is D2 BB), which the reader would take it for. Only GBK
    // that reads back as these very lines is written.
    if (!gbk.hasError() && decodeTextLines(inGbk) == lines)
        return inGbk;
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<QStringList> readTextFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("无法打开文件“%1”。%2").arg(nativePath(path), file.errorString());
        return std::nullopt;
    }
    if (file.size() > LargestFile) {
        error = QStringLiteral("文件“%1”太大，不是练习用的文本文件。").arg(nativePath(path));
        return std::nullopt;
    }
    const QByteArray bytes = file.read(LargestFile + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > LargestFile) {
        error = QStringLiteral("无法读取文件“%1”。%2").arg(nativePath(path), file.errorString());
        return std::nullopt;
    }
    return decodeTextLines(bytes);
}

bool writeTextFile(const QString& path, const QStringList& lines, QString& error) {
    QSaveFile file(path);
    const QByteArray bytes = encodeTextLines(lines);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("无法保存文件“%1”。%2").arg(nativePath(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}
