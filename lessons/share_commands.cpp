// The lesson group's commands when the chosen drive is the school's share. The board is saved
// into a lesson folder of this machine first, as on any drive, and the share's thread takes
// the lesson from there to the share; an opening comes from the share into that folder and
// opens from it. Whatever the share does, the board stays the teacher's: while the share is
// at work only the progress window (with its cancel) shows.
#include "board/model/board_model.h"
#include "lessons/lesson_archive.h"
#include "lessons/lesson_board.h"
#include "lessons/lesson_pdf.h"
#include "lessons/settings_window.h"
#include "lessons/share_files.h"
#include "lessons/share_progress.h"
#include "platform/os/drives.h"
#include "platform/os/owner_folder.h"
#include "platform/os/services.h"
#include "platform/widgets/list_box.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSaveFile>
#include <QStandardPaths>

using namespace lessons;
using namespace platform;

namespace {

// The lessons kept on drive C while the share could not be reached, one "teacher\tvolume\t
// lesson" a line.
QList<LessonOwner> keptOnC(const QString& list) {
    QFile file(list);
    QList<LessonOwner> kept;
    if (!file.open(QIODevice::ReadOnly))
        return kept;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() == 3) {
            const LessonOwner owner{f[0], f[1].toInt(), f[2].toInt()};
            if (!owner.problem())
                kept << owner;
        }
    }
    return kept;
}

bool storeKeptOnC(const QString& list, const QList<LessonOwner>& kept) {
    if (kept.isEmpty())
        return QFile::remove(list) || !QFile::exists(list);
    QSaveFile file(list);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const LessonOwner& owner : kept)
        file.write(QStringLiteral("%1\t%2\t%3\n")
                       .arg(owner.Teacher)
                       .arg(owner.Volume)
                       .arg(owner.Lesson)
                       .toUtf8());
    return file.commit();
}

} // namespace

std::optional<SchoolShare> TForm6::chosenShare() {
    const QChar drive = DriveComboBox1->Drive().isNull() ? ConfigDrive : DriveComboBox1->Drive();
    const std::optional<Drive> found = findDrive(drives(), drive);
    if (!found || found->type != DriveType::Remote)
        return std::nullopt;
    std::optional<SchoolShare> share = schoolShare();
    return share && share->letter == found->letter ? share : std::nullopt;
}

QString TForm6::shareStaging(const LessonOwner& owner, bool opening) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/K_Vorne/school_share/");
    // A lesson folder of its own for the lesson under way, so that no other lesson's files or
    // index entry stand in its way, and one apart for a lesson coming from the share, so that
    // a job given up on that still ends cannot mix into a save; the folders before go.
    const QString name = owner.key() + (opening ? QStringLiteral(".opened") : QString());
    if (!makeOwnerOnlyFolder(base + name))
        return {};
    for (const QString& other : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (other != name)
            QDir(base + other).removeRecursively();
    }
    return base + name + QLatin1Char('/');
}

QString TForm6::keptOnCList() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/K_Vorne/school_share/kept-on-c.txt");
}

LessonArchive& TForm6::stagingArchive() {
    if (!stagingArchive_)
        stagingArchive_ = std::make_unique<LessonArchive>(PassingArchiveFiles::instance());
    return *stagingArchive_;
}

std::optional<QString> TForm6::shareLessonFolder(const SchoolShare& share) {
    return localPath(drives(), lessonFolderName(share.letter));
}

void TForm6::openFromShare(const SchoolShare& share, const LessonOwner& owner) {
    const std::optional<QString> folder = shareLessonFolder(share);
    const QString staging = shareStaging(owner, true);
    if (!folder || staging.isEmpty()) {
        inform(LessonNotFound);
        return;
    }
    stepAside();
    const QStringList former = formerNames(owner.Teacher);
    const ShareReply reply = runOnShare(
        this, share,
        [folder = *folder, owner, former, staging](ShareSession& session, ShareTask& task) {
            return downloadLesson(session, folder, owner, former, staging, task);
        },
        QString(), QString());
    if (!reply.result.ok() || !reply.lesson) {
        comeBack();
        if (!reply.result.message.isEmpty())
            inform(reply.result.message);
        return;
    }
    if (openOntoBoard(stagingArchive(), staging, *reply.lesson))
        offerCopiesToShare(share);
}

void TForm6::saveToShare(const SchoolShare& share, const LessonOwner& owner) {
    const std::optional<QString> folder = shareLessonFolder(share);
    const QString staging = shareStaging(owner, false);
    if (!folder || staging.isEmpty()) {
        inform(QStringLiteral("课程没有保存：找不到所选的存储盘。"));
        return;
    }
    BoardModel& board = links_.Lessons->model();
    stepAside();
    const ArchiveResult kept =
        stagingArchive().save(board, staging, owner, true, [this](int page, const QImage& picture) {
            showLessonProgress(page, picture);
        });
    links_.Lessons->showCurrentPage();
    // What the board holds as the lesson goes: strokes made while the share works are not in
    // this save, and the board's recovery keeps them.
    std::vector<std::uint64_t> versions;
    for (int page = 1; page <= board.pageCount(); ++page)
        versions.push_back(board.version(page));
    const auto unchanged = [&] {
        if (static_cast<int>(versions.size()) != board.pageCount())
            return false;
        for (int page = 1; page <= board.pageCount(); ++page) {
            if (board.version(page) != versions[static_cast<std::size_t>(page - 1)])
                return false;
        }
        return true;
    };
    if (!kept.ok()) {
        comeBack();
        if (!kept.message.isEmpty())
            inform(kept.message);
        return;
    }
    const QStringList former = formerNames(owner.Teacher);
    bool replace = false;
    ShareReply reply;
    while (true) {
        reply = runOnShare(
            this, share,
            [folder = *folder, owner, former, staging, replace](ShareSession& session,
                                                                ShareTask& task) {
                return uploadLesson(session, folder, owner, former, staging, replace, task);
            },
            QStringLiteral("已取消保存。"), QStringLiteral("课程没有能保存到学校服务器上。\n"));
        if (reply.question.isEmpty() || replace)
            break;
        if (dialogs().askYesNo(this, reply.question, ConfirmTitle) != Answer::Yes) {
            comeBack();
            return;
        }
        replace = true;
    }
    if (reply.unreachable) {
        const QString offer = reply.result.message +
                              QStringLiteral("\n要先把这节课保存在 C 盘上吗？学校服务器恢复后，"
                                             "再用它打开或保存课程时，会提醒您把这节课复制过去。");
        if (dialogs().askYesNo(this, offer, ConfirmTitle) == Answer::Yes) {
            const ArchiveResult onC = keepOnDriveC(owner, staging);
            if (onC.ok()) {
                if (unchanged())
                    links_.Lessons->allPagesSaved();
                endModal();
                inform(QStringLiteral("%1已保存在 C 盘上（%2页）。")
                           .arg(owner.describe())
                           .arg(board.pageCount()));
                return;
            }
            comeBack();
            inform(onC.message);
            return;
        }
        comeBack();
        return;
    }
    if (!reply.result.ok()) {
        comeBack();
        if (!reply.result.message.isEmpty())
            inform(reply.result.message);
        return;
    }
    if (unchanged())
        links_.Lessons->allPagesSaved();
    endModal();
    inform(QStringLiteral("%1已保存（%2页）。").arg(owner.describe()).arg(board.pageCount()));
    offerCopiesToShare(share);
}

ArchiveResult TForm6::keepOnDriveC(const LessonOwner& owner, const QString& staging) {
    const std::optional<QString> folder = localPath(drives(), lessonFolderName(QLatin1Char('C')));
    if (!folder)
        return ArchiveResult::failed(QStringLiteral("课程没有保存：找不到 C 盘。"));
    for (const QString& level : lessonFolderLevels(QLatin1Char('C'))) {
        if (const std::optional<QString> path = localPath(drives(), level))
            lessonFiles().makeFolder(*path);
    }
    LessonArchive c(lessonFiles());
    const LessonArchive::SaveCheck check = c.checkSave(*folder, owner, 1);
    if (check.verdict == LessonArchive::SaveCheck::Refused)
        return ArchiveResult::refused(check.message);
    if (ArchiveResult r = c.copyLesson(DiskArchiveFiles::instance(), staging, *folder, owner);
        !r.ok())
        return r;
    QList<LessonOwner> kept = keptOnC(keptOnCList());
    kept.removeIf([&](const LessonOwner& k) { return k.sameAs(owner); });
    kept << owner;
    storeKeptOnC(keptOnCList(), kept);
    return ArchiveResult::done();
}

void TForm6::offerCopiesToShare(const SchoolShare& share) {
    const std::optional<QString> folder = shareLessonFolder(share);
    const std::optional<QString> c = localPath(drives(), lessonFolderName(QLatin1Char('C')));
    QList<LessonOwner> kept = keptOnC(keptOnCList());
    if (kept.isEmpty() || !folder || !c)
        return;
    QStringList names;
    for (const LessonOwner& owner : kept)
        names << owner.describe();
    const QString question =
        QStringLiteral("学校服务器连不上时，这些课保存在了 C 盘上：\n%1\n"
                       "要现在把它们复制到学校服务器上吗？学校服务器上同名的课会被替换。")
            .arg(names.join(QLatin1Char('\n')));
    if (dialogs().askYesNo(this, question, ConfirmTitle) != Answer::Yes)
        return;
    QStringList problems;
    const QList<LessonOwner> toCopy = kept;
    for (const LessonOwner& owner : toCopy) {
        const ShareReply reply = runOnShare(
            this, share,
            [folder = *folder, owner, local = *c](ShareSession& session, ShareTask& task) {
                return uploadLesson(session, folder, owner, {}, local, true, task);
            },
            QStringLiteral("已取消复制。"), QString());
        if (reply.result.ok()) {
            kept.removeIf([&](const LessonOwner& k) { return k.sameAs(owner); });
            continue;
        }
        problems << owner.describe() + QStringLiteral("：") + reply.result.message;
        if (reply.unreachable || reply.result.outcome == ArchiveResult::Refused)
            break;
    }
    storeKeptOnC(keptOnCList(), kept);
    inform(problems.isEmpty() ? QStringLiteral("这些课已复制到学校服务器上。")
                              : QStringLiteral("有的课没有复制过去，下次再提醒您：\n%1")
                                    .arg(problems.join(QLatin1Char('\n'))));
}

void TForm6::exportFromShare(const SchoolShare& share, const LessonOwner& owner) {
    const std::optional<QString> folder = shareLessonFolder(share);
    const QString staging = shareStaging(owner, true);
    if (!folder || staging.isEmpty()) {
        inform(LessonNotFound);
        return;
    }
    const QStringList former = formerNames(owner.Teacher);
    const ShareReply reply = runOnShare(
        this, share,
        [folder = *folder, owner, former, staging](ShareSession& session, ShareTask& task) {
            return downloadLesson(session, folder, owner, former, staging, task);
        },
        QString(), QString());
    if (!reply.result.ok() || !reply.lesson) {
        if (!reply.result.message.isEmpty())
            inform(reply.result.message);
        return;
    }
    const std::optional<QString> target =
        dialogs().chooseSaveFile(this, QStringLiteral("PDF 文件 (*.pdf)"));
    if (!target)
        return;
    QString path = *target;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    const ArchiveResult result =
        writeLessonPdf(DiskArchiveFiles::instance(), staging, reply.lesson->key(), path);
    inform(result.ok() ? QStringLiteral("课程已导出为 %1。").arg(path) : result.message);
}

void TForm6::showSavedOnShare(const SchoolShare& share, const QString& teacher) {
    const std::optional<QString> folder = shareLessonFolder(share);
    if (!folder)
        return;
    const QStringList teachers = QStringList{teacher} + formerNames(teacher);
    const ShareReply reply = runOnShare(
        this, share,
        [folder = *folder, teachers](ShareSession& session, ShareTask&) {
            return savedOnShare(session, folder, teachers);
        },
        QString(), QString());
    while (ListBox2->count() < reply.saved.Volumes)
        ListBox2->addItem(QString::number(ListBox2->count() + 1));
    while (ListBox3->count() < reply.saved.Lessons)
        ListBox3->addItem(QString::number(ListBox3->count() + 1));
}
