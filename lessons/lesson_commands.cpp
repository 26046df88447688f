// The lesson group's commands: open and save the chosen lesson, and export it as a PDF. The
// archive does the work; the window chooses the lesson, asks and tells the teacher, and lets
// the board show each page as it goes.
#include "board/model/board_model.h"
#include "lessons/archive_files.h"
#include "lessons/lesson_archive.h"
#include "lessons/lesson_board.h"
#include "lessons/lesson_pdf.h"
#include "lessons/settings_at_start.h"
#include "lessons/settings_window.h"
#include "lessons/teacher_names.h"
#include "platform/os/services.h"
#include "platform/widgets/list_box.h"

#include <QCoreApplication>
#include <QLineEdit>

using namespace lessons;
using namespace platform;

ArchiveFiles& TForm6::lessonFiles() {
    return links_.LessonFiles != nullptr ? *links_.LessonFiles : DiskArchiveFiles::instance();
}

std::optional<LessonOwner> TForm6::chosenLesson() {
    if (!teacherChosen())
        return std::nullopt;
    // The unlocked teacher, not what has been typed into the name box since.
    const int index = ListBox1->ItemIndex();
    if (index <= 0) {
        inform(QStringLiteral("请选择任课教师！"));
        return std::nullopt;
    }
    const LessonOwner owner{ListBox1->Item(index), Edit2->text().toInt(), Edit3->text().toInt()};
    // A name the file holds may break the rules for new names; it names files all the same,
    // unless that would be unsafe.
    if (const auto problem = owner.problem()) {
        inform(*problem);
        return std::nullopt;
    }
    return owner;
}

std::optional<QString> TForm6::lessonFolderOnDrive(bool create) {
    const QChar drive = DriveComboBox1->Drive().isNull() ? ConfigDrive : DriveComboBox1->Drive();
    return lessonFolderOn(drive, create, lessonFiles());
}

void TForm6::carryLessons(const QString& from, const QString& to) {
    const std::optional<QString> folder = lessonFolderOnDrive(false);
    if (!folder)
        return;
    if (const ArchiveResult r = archive_->renameTeacher(*folder, from, to); !r.ok())
        inform(r.message);
}

QStringList TForm6::formerNames(const QString& teacher) const {
    // A name given to another teacher since is that teacher's.
    QStringList names;
    for (const QString& former : Configuration(ConfigFolder).FormerNames(teacher)) {
        if (FindTeacher(ListBox1->Items(), former) < 0)
            names << former;
    }
    return names;
}

void TForm6::carryFormerLessons(const QString& folder, const LessonOwner& owner) {
    for (const QString& former : formerNames(owner.Teacher))
        archive_->renameTeacher(folder, former, owner.Teacher);
}

void TForm6::showLessonProgress(int page, const QImage& picture) {
    if (links_.Lessons != nullptr)
        links_.Lessons->showLessonPage(page, picture);
    // The board shows the page and nothing the teacher does starts another command meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Open: the board's pages 1..n become the lesson's; a lesson that is not there leaves the
// board and this window as they were.
void TForm6::SpeedButton1Click() {
    const std::optional<LessonOwner> owner = chosenLesson();
    if (!owner || links_.Lessons == nullptr)
        return;
    if (const std::optional<SchoolShare> share = chosenShare()) {
        openFromShare(*share, *owner);
        return;
    }
    const std::optional<QString> folder = lessonFolderOnDrive(false);
    if (!folder) {
        inform(LessonNotFound);
        return;
    }
    LessonFolder = *folder;
    carryFormerLessons(*folder, *owner);
    // A save left unfinished may be this very lesson's.
    if (const ArchiveResult r = archive_->finishInterruptedSave(*folder, owner->key()); !r.ok()) {
        inform(r.message);
        return;
    }
    // A lesson that could not go with its teacher's new name is still the teacher's.
    LessonOwner lesson = *owner;
    for (const QString& former : formerNames(owner->Teacher)) {
        if (lessonPageCount(lessonFiles(), *folder, lesson.key()))
            break;
        lesson.Teacher = former;
    }
    if (!lessonPageCount(lessonFiles(), *folder, lesson.key())) {
        inform(LessonNotFound);
        return;
    }
    stepAside();
    openOntoBoard(*archive_, *folder, lesson);
}

bool TForm6::openOntoBoard(LessonArchive& archive, const QString& folder,
                           const LessonOwner& lesson) {
    const ArchiveResult result = archive.open(
        links_.Lessons->model(), folder, lesson,
        [this](int page, const QImage& picture) { showLessonProgress(page, picture); });
    if (!result.ok()) {
        links_.Lessons->showCurrentPage();
        comeBack();
        inform(result.message);
        return false;
    }
    endModal();
    // Opened, with the pages that could not be read named.
    if (!result.message.isEmpty())
        inform(result.message);
    return true;
}

// Save: pages 1..PageCount with their panels and texts, replacing the lesson's earlier save
// only once the new one is whole on the drive.
void TForm6::SpeedButton2Click() {
    const std::optional<LessonOwner> owner = chosenLesson();
    if (!owner || links_.Lessons == nullptr)
        return;
    if (const std::optional<SchoolShare> share = chosenShare()) {
        saveToShare(*share, *owner);
        return;
    }
    const std::optional<QString> folder = lessonFolderOnDrive(true);
    if (!folder) {
        inform(QStringLiteral("课程没有保存：找不到所选的存储盘。"));
        return;
    }
    LessonFolder = *folder;
    BoardModel& board = links_.Lessons->model();
    carryFormerLessons(*folder, *owner);
    const LessonArchive::SaveCheck check = archive_->checkSave(*folder, *owner, board.pageCount());
    if (check.verdict == LessonArchive::SaveCheck::Refused) {
        inform(check.message);
        return;
    }
    const bool replace = check.verdict == LessonArchive::SaveCheck::AskToReplace;
    if (replace && dialogs().askYesNo(this, check.message, ConfirmTitle) != Answer::Yes)
        return;
    // The teacher's own lesson saved before is replaced only when the teacher says so.
    if (const std::optional<int> saved = lessonPageCount(lessonFiles(), *folder, owner->key());
        !replace && saved) {
        const QString question = QStringLiteral("存储盘上已有%1（%2页）。要用现在的课替换它吗？")
                                     .arg(owner->describe())
                                     .arg(*saved);
        if (dialogs().askYesNo(this, question, ConfirmTitle) != Answer::Yes)
            return;
    }
    stepAside();
    const ArchiveResult result =
        archive_->save(board, *folder, *owner, replace, [this](int page, const QImage& picture) {
            showLessonProgress(page, picture);
        });
    links_.Lessons->showCurrentPage();
    if (!result.ok()) {
        comeBack();
        if (!result.message.isEmpty())
            inform(result.message);
        return;
    }
    links_.Lessons->allPagesSaved();
    endModal();
    inform(QStringLiteral("%1已保存（%2页）。").arg(owner->describe()).arg(board.pageCount()));
}

// Export: the chosen lesson as one PDF, a page per page with its text panel as shown.
void TForm6::Button10Click() {
    const std::optional<LessonOwner> owner = chosenLesson();
    if (!owner)
        return;
    if (const std::optional<SchoolShare> share = chosenShare()) {
        exportFromShare(*share, *owner);
        return;
    }
    const std::optional<QString> folder = lessonFolderOnDrive(false);
    if (folder)
        carryFormerLessons(*folder, *owner);
    if (!folder || !lessonPageCount(lessonFiles(), *folder, owner->key())) {
        inform(LessonNotFound);
        return;
    }
    const std::optional<QString> target =
        dialogs().chooseSaveFile(this, QStringLiteral("PDF 文件 (*.pdf)"));
    if (!target)
        return;
    QString path = *target;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    const ArchiveResult result = writeLessonPdf(lessonFiles(), *folder, owner->key(), path);
    inform(result.ok() ? QStringLiteral("课程已导出为 %1。").arg(path) : result.message);
}
