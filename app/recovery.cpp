#include "app/recovery.h"

#include "board/model/recovery_reader.h"
#include "board/model/recovery_recorder.h"
#include "board/model/recovery_writer.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/shell.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

using namespace platform;

namespace {

BoardRecovery* theRecovery = nullptr;

const QString RecoveryQuestion = QStringLiteral("上次未正常退出，是否恢复未保存的页面？");

QString pageList(const std::vector<int>& pages) {
    QStringList numbers;
    for (const int page : pages)
        numbers << QString::number(page);
    return numbers.join(QStringLiteral("、"));
}

// What of the folder could not be read, a line each.
QStringList unreadable(const RecoveredBoard& found) {
    QStringList lines;
    if (found.listDamaged)
        lines << QStringLiteral("恢复文件的页面目录已损坏，其中的部分内容无法读取。");
    if (!found.unreadablePages.empty())
        lines << QStringLiteral("第 %1 页无法读取。").arg(pageList(found.unreadablePages));
    if (!found.unreadableTexts.empty())
        lines << QStringLiteral("第 %1 页的文字无法读取。").arg(pageList(found.unreadableTexts));
    return lines;
}

// The folder moved beside itself under a name of its own; empty when it cannot be.
QString setAside(const QString& folder, const QString& why) {
    const QString stem = folder + QLatin1Char('.') + why + QLatin1Char('-') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n);
    return QDir().rename(folder, aside) ? aside : QString();
}

} // namespace

BoardRecovery::BoardRecovery(BoardModel& model) : model_(model) {}

BoardRecovery::~BoardRecovery() {
    if (theRecovery == this)
        theRecovery = nullptr;
}

void BoardRecovery::start(QWidget* owner) {
    const QString base = stateFolder().path();
    if (base.isEmpty())
        return;
    lock_ = stateFolder().lockFile(base + QStringLiteral("/recovery.lock"));
    if (!lock_)
        return;
    const QString folder = base + QStringLiteral("/recovery");
    BoardModel& model = model_;
    const auto textFile = [this](int page) { return model_.pageTextFile(page); };

    const std::optional<RecoveredBoard> found =
        readRecovery(folder, model.pageSize(), model.backgroundColour());
    // A folder with anything that could not be read is never removed: it goes aside whole.
    const bool damaged = found && found->damaged();
    const QString damagedAside = damaged ? setAside(folder, QStringLiteral("damaged")) : QString();
    QStringList notes = found ? unreadable(*found) : QStringList();
    if (!damagedAside.isEmpty())
        notes << QStringLiteral("无法读取的恢复文件已保留在“%1”。").arg(damagedAside);

    bool restore = false;
    if (found && found->worthOffering()) {
        notes.prepend(RecoveryQuestion);
        restore =
            dialogs().askYesNo(owner, notes.join(QLatin1Char('\n')), ConfirmTitle) == Answer::Yes;
    } else if (damaged) {
        notes.prepend(QStringLiteral("上次未正常退出，未保存的页面无法读取。"));
        dialogs().inform(owner, notes.join(QLatin1Char('\n')), ConfirmTitle);
    }
    if (restore)
        restoreRecovery(model, *found, textFile);
    else // a clean start: nothing of the run before shows
        removePageTexts(textFile);

    // Restored, an intact folder stays until the first write replaces it: it holds what the
    // board holds now. Declined or empty, it goes. Restored from a folder set aside, the
    // board is written at once.
    bool setAsideRestored = restore && damaged;
    if (restore && !damaged && found->largerThan(model.pageSize())) {
        largerPages_ = setAside(folder, QStringLiteral("larger"));
        setAsideRestored = true;
        if (!largerPages_.isEmpty()) {
            dialogs().inform(owner,
                             QStringLiteral("恢复的页面比本屏幕大，超出屏幕的部分没有显示。\n"
                                            "原来的恢复文件保留在“%1”，直到保存课程或退出。")
                                 .arg(largerPages_),
                             ConfirmTitle);
        }
    } else if (!restore && !damaged) {
        QDir(folder).removeRecursively();
    }
    // A folder that could not be set aside or removed is not written over.
    if (QFileInfo::exists(folder) && !(restore && !setAsideRestored))
        return;

    writer_ = std::make_unique<RecoveryWriter>(folder);
    recorder_ = std::make_unique<RecoveryRecorder>(model, *writer_, textFile);
    recorder_->start(!setAsideRestored);
    if (setAsideRestored)
        recorder_->record();
    theRecovery = this;

    if (restore) {
        shell().hideToolbar();
        shell().openBoard();
    }
}

void BoardRecovery::removeLargerPages() {
    if (!largerPages_.isEmpty())
        QDir(largerPages_).removeRecursively();
    largerPages_.clear();
}

void BoardRecovery::discard() {
    if (recorder_)
        recorder_->discard();
    removeLargerPages();
}

void BoardRecovery::finish() {
    if (theRecovery == this)
        theRecovery = nullptr;
    recorder_.reset();
    if (writer_)
        writer_->discardAndStop();
    writer_.reset();
    removeLargerPages();
    lock_.reset();
}

void discardRecovery() {
    if (theRecovery != nullptr)
        theRecovery->discard();
}

void finishRecovery() {
    if (theRecovery != nullptr)
        theRecovery->finish();
}
