// Teacher names become section names of the configuration file and parts of lesson file names,
// so only names that survive both are taken.
#pragma once

#include <QString>
#include <QStringList>

namespace lessons {

// The one message for a name that cannot be used.
inline const QString BadTeacherName =
    QStringLiteral("教师姓名不能含有 [ ] = / \\ : * ? \" < > | 等符号，首尾不能是空格或句点，"
                   "且不超过32个字！");

constexpr int MaxTeacherNameLength = 32;

// Whether a name can be a teacher's: none of [ ] = / \ : * ? " < > |, no control character,
// no space or dot at either end, not wrapped in one pair of single quotes, only characters GBK
// holds, at most 32 characters, and neither "教师0" nor "tec" in any letter case.
bool IsUsableTeacherName(const QString& name);

// The position of a name in the list, letter case ignored as sections ignore it; -1 if absent.
int FindTeacher(const QStringList& list, const QString& name);

} // namespace lessons
