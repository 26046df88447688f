// The text panel's document on disk: rich text (RTF) in code page 936, as the classroom's
// earlier files hold it. For now the text itself is kept, without its formatting.
#pragma once

#include <QString>

class QTextDocument;

namespace platform {

// The RTF for a plain text: Chinese in code page 936 (\'xx), what that page lacks as \uN.
QByteArray plainTextToRtf(const QString& text);
// The text of an RTF document; formatting, pictures and unknown destinations are skipped.
QString rtfToPlainText(const QByteArray& rtf);

// Writes the document to `path` whole or not at all; throws std::runtime_error with a
// message for the teacher when it cannot.
void saveRichText(const QTextDocument& document, const QString& path);
// Reads `path` into the document; false, and the document unchanged, when the file is
// missing or unreadable.
bool loadRichText(QTextDocument& document, const QString& path);

} // namespace platform
