#include "lessons/configuration.h"

#include "lessons/teacher_names.h"
#include "platform/os/services.h"

#include <algorithm>

namespace lessons {

using namespace platform;

namespace {

QString teacherKey(int position) {
    return keys::NamePrefix + QString::number(position);
}

// The hand-edited value of a colour may carry a high byte; the colour is in the low three.
TColor colourFrom(int value) {
    return static_cast<TColor>(value) & 0x00FFFFFFU;
}

QString widthFrom(const QString& text) {
    const int width = strToIntDef(text, 0);
    return width >= 1 && width <= 9 ? QString::number(width) : keys::DefaultWidth;
}

} // namespace

ConfigPlace WorkOutConfigFolder() {
    Drives& table = drives();
    QChar letter = QLatin1Char('C');
    if (driveType(table, QLatin1Char('E')) == DriveType::Fixed)
        letter = QLatin1Char('E');
    else if (driveType(table, QLatin1Char('D')) == DriveType::Fixed)
        letter = QLatin1Char('D');
    const QString root = QString(letter) + QStringLiteral(":\\Program files");
    const QString levels[] = {root, root + QStringLiteral("\\Common files"),
                              root + QStringLiteral("\\Common files\\system")};
    const std::optional<QString> folder = localPath(table, levels[2] + QLatin1Char('\\'));
    if (!folder)
        throw std::runtime_error("The drive table has no drive C.");
    if (!files().folderExists(*folder)) {
        for (const QString& level : levels) {
            if (const std::optional<QString> path = localPath(table, level))
                files().makeFolder(*path);
        }
    }
    return {letter, *folder};
}

QString UnreadableSettingsMessage(const QString& path) {
    return QStringLiteral("无法读取设置文件 %1（没有读取权限、不是文件或文件过大）。\n"
                          "在它能够读取之前，不能选择教师，也不能修改教师、密码和课程。")
        .arg(path);
}

Configuration::Configuration(const QString& configFolder)
    : ini_(profiles(), configFolder + keys::ConfigFileName) {}

int Configuration::TeacherCount() const {
    return std::min(ini_.ReadInteger(keys::TeacherList, keys::Count, keys::DefaultCount),
                    keys::MaxCount);
}

QString Configuration::TeacherName(int position) const {
    return ini_.ReadString(keys::TeacherList, teacherKey(position),
                           keys::DefaultTeacherPrefix + QString::number(position));
}

QString Configuration::DefaultSectionName() const {
    return ini_.ReadString(keys::TeacherList, keys::DefaultName, keys::DefaultSection);
}

std::optional<QChar> Configuration::LessonDrive() const {
    const QString drive = ini_.ReadString(keys::TeacherList, keys::LessonDrive, {}).trimmed();
    if (drive.size() != 1 || drive[0].unicode() > 0x7F || !drive[0].isLetter())
        return std::nullopt;
    return drive[0].toUpper();
}

PersonalSettings Configuration::Personal(const QString& section) const {
    PersonalSettings s;
    s.Volumes =
        std::min(ini_.ReadInteger(section, keys::Volumes, keys::DefaultVolumes), keys::MaxCount);
    s.Lessons =
        std::min(ini_.ReadInteger(section, keys::Lessons, keys::DefaultLessons), keys::MaxCount);
    s.Stroke =
        colourFrom(ini_.ReadInteger(section, keys::Stroke, static_cast<int>(keys::DefaultStroke)));
    s.Background = colourFrom(
        ini_.ReadInteger(section, keys::Background, static_cast<int>(keys::DefaultBackground)));
    s.Width = widthFrom(ini_.ReadString(section, keys::Width, keys::DefaultWidth));
    s.PasswordCode = PasswordCode(section);
    s.SmoothInk = ini_.ReadInteger(section, keys::SmoothInk, 1) != 0;
    return s;
}

QString Configuration::PasswordCode(const QString& section) const {
    return ini_.ReadString(section, keys::PasswordCode, keys::NoPassword);
}

QStringList Configuration::FormerNames(const QString& section) const {
    return ini_.ReadString(section, keys::FormerNames, {})
        .split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QString Configuration::PictureFolder(const QString& section) const {
    return ini_.ReadString(section, keys::PictureFolder, {});
}

void Configuration::StoreTeacherList(const QStringList& teachers) {
    ini_.WriteInteger(keys::TeacherList, keys::Count, static_cast<int>(teachers.size()));
    for (int i = 1; i <= teachers.size(); ++i)
        ini_.WriteString(keys::TeacherList, teacherKey(i), teachers[i - 1]);
}

void Configuration::ForgetTeacherKey(int position) {
    ini_.DeleteKey(keys::TeacherList, teacherKey(position));
}

void Configuration::StoreDefaultSectionName() {
    ini_.WriteString(keys::TeacherList, keys::DefaultName, keys::DefaultSection);
}

void Configuration::StorePersonal(const QString& section, const PersonalSettings& settings,
                                  bool withPasswordCode) {
    ini_.WriteInteger(section, keys::Volumes, settings.Volumes);
    ini_.WriteInteger(section, keys::Lessons, settings.Lessons);
    ini_.WriteInteger(section, keys::Stroke, static_cast<int>(settings.Stroke));
    ini_.WriteInteger(section, keys::Background, static_cast<int>(settings.Background));
    ini_.WriteString(section, keys::Width, settings.Width);
    // On is what a section without the key says: a file whose teachers keep smooth ink stays
    // as the Windows program wrote it.
    if (settings.SmoothInk)
        ini_.DeleteKey(section, keys::SmoothInk);
    else
        ini_.WriteInteger(section, keys::SmoothInk, 0);
    if (withPasswordCode)
        ini_.WriteString(section, keys::PasswordCode, settings.PasswordCode);
}

void Configuration::StorePasswordCode(const QString& section, const QString& code) {
    ini_.WriteString(section, keys::PasswordCode, code);
}

void Configuration::StoreLessonDrive(QChar drive) {
    ini_.WriteString(keys::TeacherList, keys::LessonDrive, QString(drive));
}

void Configuration::StoreRename(const QString& from, const QString& to) {
    QStringList names{from};
    names += FormerNames(from);
    names += FormerNames(to);
    QStringList kept;
    for (const QString& name : names) {
        if (name.compare(to, Qt::CaseInsensitive) != 0 && FindTeacher(kept, name) < 0)
            kept << name;
    }
    if (!kept.isEmpty() || !FormerNames(to).isEmpty())
        ini_.WriteString(to, keys::FormerNames, kept.join(QLatin1Char('|')));
}

void Configuration::StorePictureFolder(const QString& section, const QString& folder) {
    ini_.WriteString(section, keys::PictureFolder, folder);
}

void Configuration::EraseTeacher(const QString& section) {
    ini_.EraseSection(section);
}

} // namespace lessons
