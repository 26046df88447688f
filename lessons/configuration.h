// The configuration file "datb.sec": where it lies, and the reads and writes the settings
// windows make in it. Each operation makes one Configuration, reads and writes through it and
// commits it once (see platform::IniFile).
#pragma once

#include "lessons/settings_keys.h"
#include "platform/os/profiles.h"

#include <QStringList>
#include <optional>

namespace lessons {

struct ConfigPlace {
    QChar Drive;    // the drive letter the folder lies on
    QString Folder; // ConfigFolder on this machine, with a trailing separator
};

// ConfigFolder: "X:\Program files\Common files\system\" on the first fixed disk of E: and D:,
// else on C:; its levels are created one by one when it is missing (failures ignored: the
// first write then reports the missing folder).
ConfigPlace WorkOutConfigFolder();

// What the teacher is told while the file cannot be read, with the file's place.
QString UnreadableSettingsMessage(const QString& path);

// A teacher's settings as one section holds them.
struct PersonalSettings {
    int Volumes = keys::DefaultVolumes;
    int Lessons = keys::DefaultLessons;
    TColor Stroke = keys::DefaultStroke;
    TColor Background = keys::DefaultBackground;
    QString Width = keys::DefaultWidth; // always "1".."9"
    QString PasswordCode = keys::NoPassword;
    bool SmoothInk = true;
};

class Configuration {
public:
    explicit Configuration(const QString& configFolder);

    QString FileName() const { return ini_.FileName(); }
    // False when the file is there but cannot be read (no permission, a folder of that name,
    // too large): what it holds is unknown, so every read gives a default and nothing that
    // relies on a teacher's password may go ahead.
    bool Readable() const { return ini_.Readable(); }

    // "mum": teachers after "默认"; a hand-edited count above 999 reads as 999.
    int TeacherCount() const;
    // "te" + position, default "教师" + position.
    QString TeacherName(int position) const;
    // "te0", default "教师0".
    QString DefaultSectionName() const;
    // "drive", upper case; nothing when it is missing, empty or not one letter.
    std::optional<QChar> LessonDrive() const;
    // "ce", "ke" (at most 999), "frn", "blk", "bh" (anything but a number 1..9 reads as "2")
    // and "ma" of a section.
    PersonalSettings Personal(const QString& section) const;
    QString PasswordCode(const QString& section) const;
    QString PictureFolder(const QString& section) const;
    // "former": the teacher's earlier names, newest first.
    QStringList FormerNames(const QString& section) const;

    // "mum" and "te1".."teN" for the teachers after "默认", in list order.
    void StoreTeacherList(const QStringList& teachers);
    void ForgetTeacherKey(int position);
    void StoreDefaultSectionName();
    // "ce", "ke", "frn", "blk", "bh", and with the password also "ma", in that order.
    void StorePersonal(const QString& section, const PersonalSettings& settings,
                       bool withPasswordCode);
    void StorePasswordCode(const QString& section, const QString& code);
    void StoreLessonDrive(QChar drive);
    void StorePictureFolder(const QString& section, const QString& folder);
    // The teacher `from` is now `to`: `from` and its own former names become `to`'s.
    void StoreRename(const QString& from, const QString& to);
    void EraseTeacher(const QString& section);

    // Writes what was stored; raises "Unable to write to %s" when the file cannot be written.
    void Commit() { ini_.UpdateFile(); }

private:
    platform::IniFile ini_;
};

} // namespace lessons
