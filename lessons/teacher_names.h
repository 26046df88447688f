// Teacher names become section names of the configuration file and parts of lesson file names.
// A new name must survive both; a name the file already holds (one the Windows program took)
// need only be safe in a file name, so that its lessons open and save as they did there.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace lessons {

constexpr int MaxTeacherNameLength = 32;

// Why a name cannot be part of a lesson's file names, in words that name the rule; nothing
// when it can. Refused: an empty name, "/" and "\" (they lead into other folders), control
// characters, the characters : * ? " < > | that the lesson drives' file systems refuse, bytes
// that are no character, and a name too long for a file name.
std::optional<QString> FileNameProblem(const QString& name);

// Why a name cannot be given to a teacher who is added or renamed; nothing when it can. Beyond
// FileNameProblem: none of [ ] =, no space or dot at either end, not wrapped in one pair of
// single quotes, neither "教师0" nor "tec" in any letter case, only characters GBK holds, and at
// most 32 characters.
std::optional<QString> NewTeacherNameProblem(const QString& name);

// The position of a name in the list, letter case ignored as sections ignore it; -1 if absent.
int FindTeacher(const QStringList& list, const QString& name);

} // namespace lessons
