// The teachers' settings at the program's start, read without the settings window, which is
// made when the teacher first opens it.
#pragma once

#include "lessons/configuration.h"

#include <QChar>
#include <QString>
#include <optional>

namespace lessons {

class ArchiveFiles;
class BoardLink;

// The lesson folder on a drive, made level by level when `create`; none when the drive is not
// there, is a network drive or a level is a link.
std::optional<QString> lessonFolderOn(QChar drive, bool create, ArchiveFiles& files);

// The board takes a teacher's pen and background as the program starts with them.
void handOverAtStart(BoardLink& board, const PersonalSettings& settings);
// The same with the default teacher's settings, read from the configuration file.
void handOverDefaultSettings(BoardLink& board);

// Finishes (or undoes) a lesson save an earlier run left unfinished on the stored lesson
// drive. Only the copy that goes on running may do it: another copy's save could be under way.
// Returns whether the configuration file could be read.
bool finishSettingsAtStart(ArchiveFiles& files);

} // namespace lessons
