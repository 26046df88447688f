// Every key of the configuration file "datb.sec" with its section and its default, in one
// place. Teacher sections are named by the teacher; "教师0" holds the defaults.
#pragma once

#include "platform/raster/tcolor.h"

#include <QString>

namespace lessons::keys {

inline const QString ConfigFileName = QStringLiteral("datb.sec");

// Section "tec": the teacher list and the lesson drive.
inline const QString TeacherList = QStringLiteral("tec");
inline const QString Count = QStringLiteral("mum");         // integer, default 1
inline const QString NamePrefix = QStringLiteral("te");     // "te" + i, default "教师" + i
inline const QString DefaultName = QStringLiteral("te0");   // default "教师0"
inline const QString LessonDrive = QStringLiteral("drive"); // one letter, default ConfigFolder's

inline const QString DefaultSection = QStringLiteral("教师0");
inline const QString DefaultTeacherPrefix = QStringLiteral("教师");

// Each teacher's section (and "教师0").
inline const QString Volumes = QStringLiteral("ce");        // integer, default 1
inline const QString Lessons = QStringLiteral("ke");        // integer, default 1
inline const QString Stroke = QStringLiteral("frn");        // colour, default red
inline const QString Background = QStringLiteral("blk");    // colour, default grey
inline const QString Width = QStringLiteral("bh");          // text "1".."9", default "2"
inline const QString PasswordCode = QStringLiteral("ma");   // text, default "0" (none)
inline const QString PictureFolder = QStringLiteral("dcu"); // text, default empty
// Ours alone: the names the teacher had before, newest first, joined by "|" (which no teacher
// name holds), so that lessons on a drive that was not there at a rename are still found.
inline const QString FormerNames = QStringLiteral("former");
// Ours alone: smooth ink, 0 off; on where the section does not say (the key is then left out).
inline const QString SmoothInk = QStringLiteral("smooth");

constexpr int DefaultCount = 1;
constexpr int DefaultVolumes = 1;
constexpr int DefaultLessons = 1;
constexpr TColor DefaultStroke = 255;         // red
constexpr TColor DefaultBackground = 8421504; // 0x808080, grey
inline const QString DefaultWidth = QStringLiteral("2");
inline const QString NoPassword = QStringLiteral("0");

// Hand-edited counts above this read as it; nobody teaches more lessons or has more colleagues
// on one classroom PC, and a list of millions would stall the window.
constexpr int MaxCount = 999;

} // namespace lessons::keys
