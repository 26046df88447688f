// Keypad passwords as they are stored. Both forms are kept as the Windows program made them,
// since the classroom's files rely on them; neither is secret to anyone who can read the files
// (see the README): they keep pupils from casually opening a teacher's lessons, no more.
#pragma once

#include <QByteArray>
#include <QString>

namespace lessons {

// A personal password's code: per digit d, d x 156 for 5..9, d x 139 for 2..4, d x 12 for 0
// and 1, joined in typing order; "0" for the empty password. Other characters add nothing.
QString PasswordCode(const QString& digits);

// The administrator password record: 12 bytes at offset 5000 of AdminPasswordFile, the
// password as typed followed by spaces. A record that begins with a space means none is set.
inline const QString AdminPasswordFile = QStringLiteral("admin.sec");
constexpr qint64 AdminRecordOffset = 5000;
constexpr int AdminRecordSize = 12;

// A typed password as the record holds it: a single space when empty, then 11 spaces, cut to
// its first 12 characters.
QByteArray AdminRecord(const QString& typed);
// The record as read from the file: up to the first zero byte, fewer bytes from a short file,
// none from a missing one.
QByteArray ReadAdminRecord(const QString& path);
// Whether an old entry opens the record: equal to it, or any entry when none is set.
bool AdminRecordAccepts(const QByteArray& stored, const QString& typed);
// Writes the record into the file in place; false when the file is missing or cannot be
// written.
bool WriteAdminRecord(const QString& path, const QString& typed);

} // namespace lessons
