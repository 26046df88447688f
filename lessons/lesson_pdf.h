// A lesson as one PDF document: a page per lesson page, each at its picture's own size, with
// the text panel drawn where the page showed it. Reads any lesson folder, ours or the Windows
// program's; needs no board and no display.
#pragma once

#include "lessons/archive_files.h"
#include "lessons/lesson_archive.h"

namespace lessons {

ArchiveResult writeLessonPdf(ArchiveFiles& files, const QString& folder, const QString& key,
                             const QString& target);

// The command line's export: 0 when the PDF is written; otherwise a message on the error
// output and 1.
int exportLessonPdf(const QString& folder, const QString& key, const QString& target);

} // namespace lessons
