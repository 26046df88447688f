// The practice lines as text files. Files come from the Windows program (GBK, CR LF) and from
// any editor (UTF-8, with or without a byte-order mark); neither reading nor writing may lose a
// character.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The lines a file's bytes hold. UTF-16 when it starts with that byte-order mark; UTF-8 when
// the bytes are valid UTF-8, with or without the mark; otherwise GBK. Lines end at CR LF, LF or
// CR; a line break at the very end starts no further line.
QStringList decodeTextLines(const QByteArray& bytes);

// The bytes of a file holding `lines`, each ended by CR LF: in GBK, which the Windows program
// reads, when GBK holds every character; otherwise in UTF-8 with a byte-order mark.
QByteArray encodeTextLines(const QStringList& lines);

// Reads a text file's lines; on failure nothing, with `error` saying why for the teacher.
std::optional<QStringList> readTextFile(const QString& path, QString& error);

// Replaces the file with `lines`, or leaves it as it was: the new content goes to a temporary
// file that takes the old one's place only once it is whole. False with `error` on failure.
bool writeTextFile(const QString& path, const QStringList& lines, QString& error);
