#include "lessons/settings_at_start.h"

#include "board/model/pen_rules.h"
#include "lessons/archive_files.h"
#include "lessons/board_link.h"
#include "lessons/lesson_archive.h"
#include "lessons/lesson_names.h"
#include "platform/os/services.h"

#include <QFileInfo>

namespace lessons {

std::optional<QString> lessonFolderOn(QChar drive, bool create, ArchiveFiles& files) {
    const std::optional<QString> folder = localPath(platform::drives(), lessonFolderName(drive));
    if (!folder || driveType(platform::drives(), drive) == platform::DriveType::Remote)
        return std::nullopt;
    // One level at a time; a level that is there already refuses, which is no fault. A level
    // that is a link could lead the lessons anywhere (a stick can carry one): no lesson
    // folder is there.
    for (const QString& level : lessonFolderLevels(drive)) {
        const std::optional<QString> path = localPath(platform::drives(), level);
        if (!path || QFileInfo(*path).isSymLink())
            return std::nullopt;
        if (create)
            files.makeFolder(*path);
    }
    return folder;
}

void handOverAtStart(BoardLink& board, const PersonalSettings& settings) {
    board.setPenColour(settings.Stroke);
    board.setBackgroundSwatch(settings.Background);
    board.setPenWidth(clampPenWidth(settings.Width.toInt()), true);
    board.setWindowColour(settings.Background);
    board.setEditorColour(editorColourFor(settings.Background));
    board.setSmoothInk(settings.SmoothInk);
    board.invalidate();
}

void handOverDefaultSettings(BoardLink& board) {
    const Configuration config(WorkOutConfigFolder().Folder);
    handOverAtStart(board, config.Personal(config.DefaultSectionName()));
}

bool finishSettingsAtStart(ArchiveFiles& files) {
    const ConfigPlace place = WorkOutConfigFolder();
    const Configuration config(place.Folder);
    const QChar drive = config.LessonDrive().value_or(place.Drive);
    if (const std::optional<QString> folder = lessonFolderOn(drive, false, files))
        LessonArchive(files).finishInterruptedSave(*folder);
    return config.Readable();
}

} // namespace lessons
