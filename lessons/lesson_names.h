// Where a lesson lies and what its files are called. The names are the Windows program's, so
// that lessons go both ways between the two programs unchanged: the teacher's name, the volume
// and the lesson number joined with nothing between them make the lesson's key, and the key
// with the page number makes each page's file names.
#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace lessons {

inline const QString LessonIndexFile = QStringLiteral("datb.sec");

namespace lessonkeys {
// In the index, one section per lesson, named by its key.
inline const QString Pages = QStringLiteral("pag"); // 1..99
// Ours alone, beside "pag": whose lesson the section and its page files are, since keys of
// different lessons can be equal ("教师1" 2 13 and "教师12" 1 3 both give "教师1213").
inline const QString Teacher = QStringLiteral("teacher");
inline const QString Volume = QStringLiteral("volume");
inline const QString Lesson = QStringLiteral("lesson");
// In each page's ".sec", section "edit": the text panel's kind and bounds.
inline const QString Edit = QStringLiteral("edit");
inline const QString Kind = QStringLiteral("vis");
inline const QString Left = QStringLiteral("left");
inline const QString Top = QStringLiteral("top");
inline const QString Width = QStringLiteral("width");
inline const QString Height = QStringLiteral("height");
} // namespace lessonkeys

inline const QString PictureExtension = QStringLiteral(".pte");
inline const QString PanelExtension = QStringLiteral(".sec");
inline const QString TextExtension = QStringLiteral(".te");

// Volumes and lessons are numbered from 1; the lists offer at most this many.
constexpr int MaxLessonNumber = 999;

// "X:\Program files\K_Vorne\data\" of a drive letter.
QString lessonFolderName(QChar drive);
// Its levels, outermost first, as they are created one by one.
QStringList lessonFolderLevels(QChar drive);

// Whose lesson it is: the teacher's list entry, the volume and the lesson.
struct LessonOwner {
    QString Teacher;
    int Volume = 1;
    int Lesson = 1;

    QString key() const;
    // Teachers' names match without regard to case, as their sections do.
    bool sameAs(const LessonOwner& other) const;
    // Why the owner cannot name files (a teacher's name unsafe in a file name, numbers outside
    // 1..999); nothing when it can.
    std::optional<QString> problem() const;
    bool usable() const { return !problem(); }
    // For messages: "教师1 第2册第13课".
    QString describe() const;
};

// The file name of a page's file without the folder: key, page number, extension.
QString pageFileName(const QString& key, int page, const QString& extension);

} // namespace lessons
