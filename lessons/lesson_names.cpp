#include "lessons/lesson_names.h"

#include "lessons/teacher_names.h"

#include <QStringList>

namespace lessons {

QString lessonFolderName(QChar drive) {
    return lessonFolderLevels(drive).constLast() + QLatin1Char('\\');
}

QStringList lessonFolderLevels(QChar drive) {
    const QString root = QString(drive.toUpper()) + QStringLiteral(":\\Program files");
    return {root, root + QStringLiteral("\\K_Vorne"), root + QStringLiteral("\\K_Vorne\\data")};
}

QString LessonOwner::key() const {
    return Teacher + QString::number(Volume) + QString::number(Lesson);
}

bool LessonOwner::sameAs(const LessonOwner& other) const {
    return Teacher.compare(other.Teacher, Qt::CaseInsensitive) == 0 && Volume == other.Volume &&
           Lesson == other.Lesson;
}

std::optional<QString> LessonOwner::problem() const {
    if (const auto name = FileNameProblem(Teacher))
        return name;
    if (Volume < 1 || Volume > MaxLessonNumber || Lesson < 1 || Lesson > MaxLessonNumber)
        return QStringLiteral("册号和课号只能是1到%1。").arg(MaxLessonNumber);
    return std::nullopt;
}

QString LessonOwner::describe() const {
    return QStringLiteral("%1 第%2册第%3课").arg(Teacher).arg(Volume).arg(Lesson);
}

QString pageFileName(const QString& key, int page, const QString& extension) {
    return key + QString::number(page) + extension;
}

} // namespace lessons
