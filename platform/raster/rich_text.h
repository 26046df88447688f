// The text panel's document on disk: rich text (RTF) as the rich-edit control of the classroom's
// Windows program streams it: code page 936 in \'hh escapes, \uN for what that page lacks, a
// font table, half-point sizes at 96 pixels to the inch, a colour table, bold, italic,
// underline and paragraph alignment. Pictures and embedded objects are never kept.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>

class QTextDocument;

namespace platform {

// The editor's font when a page's text has none of its own: "隶书" 48 pixels high.
QFont richTextDefaultFont();

// The document as the rich-edit control writes it. Fonts the system substitutes for a Windows
// face (see QFont::insertSubstitution) are written under the Windows name.
QByteArray richTextToRtf(const QTextDocument& document);
// Replaces the document's content by the RTF's (without an undo step). Any bytes are safe:
// damaged input keeps what can be read, memory stays bounded, pictures and unknown
// destinations are skipped. Bytes that are not RTF are taken as plain text in code page 936.
void rtfToRichText(const QByteArray& rtf, QTextDocument& document);

// The RTF for a plain text in the editor's default font.
QByteArray plainTextToRtf(const QString& text);
// The text of an RTF document, without its formatting.
QString rtfToPlainText(const QByteArray& rtf);

// Writes the document to `path` whole or not at all; throws std::runtime_error with a
// message for the teacher when it cannot.
void saveRichText(const QTextDocument& document, const QString& path);
// Reads `path` into the document; false, and the document unchanged, when the file is
// missing or unreadable.
bool loadRichText(QTextDocument& document, const QString& path);

} // namespace platform
