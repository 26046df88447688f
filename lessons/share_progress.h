// The small window that stays on top while a lesson goes to or comes from the school's share:
// what is being done, and a cancel. The job runs on the share's own thread; the program's
// windows, the board among them, go on working meanwhile.
#pragma once

#include "lessons/share_jobs.h"
#include "platform/widgets/form.h"

#include <functional>

class QLabel;
class QPushButton;

namespace lessons {

class ShareProgressWindow : public platform::Form {
    Q_OBJECT
public:
    explicit ShareProgressWindow(QWidget* owner);

    QLabel* Label1;       // what is being done
    QPushButton* Button1; // cancel

    void Button1Click();
    bool cancelled() const { return cancelled_; }

private:
    bool cancelled_ = false;
};

using ShareJob = std::function<ShareReply(ShareSession& session, ShareTask& task)>;

// Runs the job on the share's thread with the window shown and returns its reply. A reply of
// its own when the teacher cancels (refused, saying `cancelled`) or when the job gives no sign
// of life for the share's time limit (unreachable, saying `silent` before why): the job is
// told to stop and finishes on its own, its reply unused.
// The window belongs to `owner`, so that it takes clicks while `owner` is shown modal.
ShareReply runOnShare(QWidget* owner, const platform::SchoolShare& share, const ShareJob& job,
                      const QString& cancelled, const QString& silent);

} // namespace lessons
