#include "lessons/teacher_names.h"

#include "lessons/settings_keys.h"
#include "platform/os/ini_text.h"

namespace lessons {

namespace {

// The longest file name the lesson drives take, in bytes, and what a page's file name adds to
// the teacher's name: volume and lesson up to 999, page up to 99, ".pte".
constexpr int MaxFileNameBytes = 255;
constexpr int PageFileNameTail = 3 + 3 + 2 + 4;

QString quoted(QChar c) {
    return QStringLiteral("“%1”").arg(c);
}

} // namespace

std::optional<QString> FileNameProblem(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("请输入教师姓名！");
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return QStringLiteral("教师姓名不能含有%1：课程文件会因此放到别的文件夹里。")
                .arg(quoted(c));
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("教师姓名不能含有换行、制表符等控制字符。");
        if (QStringLiteral(":*?\"<>|").contains(c))
            return QStringLiteral("教师姓名不能含有%1：存储盘上的文件名不能有这个符号。")
                .arg(quoted(c));
        // A half of a pair without its other half: a byte that was no character in the file.
        const bool paired = c.isHighSurrogate()
                                ? i + 1 < name.size() && name[i + 1].isLowSurrogate()
                            : c.isLowSurrogate() ? i > 0 && name[i - 1].isHighSurrogate()
                                                 : true;
        if (!paired)
            return QStringLiteral("教师姓名含有无法识别的字符，不能用作文件名。");
    }
    if (name.toUtf8().size() + PageFileNameTail > MaxFileNameBytes)
        return QStringLiteral("教师姓名太长，不能用作课程的文件名。");
    return std::nullopt;
}

std::optional<QString> NewTeacherNameProblem(const QString& name) {
    if (const auto problem = FileNameProblem(name))
        return problem;
    for (QChar c : name) {
        if (QStringLiteral("[]=").contains(c))
            return QStringLiteral("教师姓名不能含有%1：设置文件用它分隔名称。").arg(quoted(c));
    }
    const QChar first = name.front();
    const QChar last = name.back();
    if (first == QLatin1Char(' ') || first == QLatin1Char('.') || last == QLatin1Char(' ') ||
        last == QLatin1Char('.'))
        return QStringLiteral("教师姓名的开头和结尾不能是空格或句点。");
    // The profile reader would take one pair of outer quotes away.
    if (name.size() >= 2 && first == QLatin1Char('\'') && last == QLatin1Char('\''))
        return QStringLiteral("教师姓名不能用一对单引号括起来。");
    if (name.compare(keys::DefaultSection, Qt::CaseInsensitive) == 0 ||
        name.compare(keys::TeacherList, Qt::CaseInsensitive) == 0)
        return QStringLiteral("“%1”是设置文件自用的名称，不能作为教师姓名。").arg(name);
    if (!platform::gbkCanHold(name))
        return QStringLiteral("教师姓名中有设置文件无法保存的字符（只能用简体中文、英文字母、"
                              "数字和常用符号）。");
    if (name.toUcs4().size() > MaxTeacherNameLength)
        return QStringLiteral("教师姓名不能超过%1个字。").arg(MaxTeacherNameLength);
    return std::nullopt;
}

int FindTeacher(const QStringList& list, const QString& name) {
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace lessons
