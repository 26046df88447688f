#include "lessons/teacher_names.h"

#include "lessons/settings_keys.h"
#include "platform/os/ini_text.h"

namespace lessons {

bool IsUsableTeacherName(const QString& name) {
    if (name.isEmpty() || name.toUcs4().size() > MaxTeacherNameLength)
        return false;
    for (QChar c : name) {
        if (c.category() == QChar::Other_Control || QStringLiteral("[]=/\\:*?\"<>|").contains(c))
            return false;
    }
    const QChar first = name.front();
    const QChar last = name.back();
    if (first == QLatin1Char(' ') || first == QLatin1Char('.') || last == QLatin1Char(' ') ||
        last == QLatin1Char('.'))
        return false;
    // The profile reader would take one pair of outer quotes away.
    if (name.size() >= 2 && first == QLatin1Char('\'') && last == QLatin1Char('\''))
        return false;
    if (name.compare(keys::DefaultSection, Qt::CaseInsensitive) == 0 ||
        name.compare(keys::TeacherList, Qt::CaseInsensitive) == 0)
        return false;
    return platform::gbkCanHold(name);
}

int FindTeacher(const QStringList& list, const QString& name) {
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace lessons
