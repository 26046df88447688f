// The text panel's files; the RTF itself is read in rtf_reader.cpp and written in rtf_writer.cpp.
#include "platform/raster/rich_text.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>
#include <stdexcept>

namespace platform {

QFont richTextDefaultFont() {
    QFont font(QStringLiteral("隶书"));
    font.setPixelSize(48);
    return font;
}

QByteArray plainTextToRtf(const QString& text) {
    QTextDocument document;
    document.setDefaultFont(richTextDefaultFont());
    document.setPlainText(text);
    return richTextToRtf(document);
}

QString rtfToPlainText(const QByteArray& rtf) {
    QTextDocument document;
    rtfToRichText(rtf, document);
    // The raw text: the plain one would turn no-break spaces into spaces.
    return document.toRawText()
        .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'));
}

void saveRichText(const QTextDocument& document, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(richTextToRtf(document)) < 0 ||
        !file.commit()) {
        throw std::runtime_error(
            QStringLiteral("无法写入文件“%1”：%2").arg(path, file.errorString()).toStdString());
    }
}

bool loadRichText(QTextDocument& document, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray rtf = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    rtfToRichText(rtf, document);
    return true;
}

} // namespace platform
