#include "lessons/share_progress.h"

#include "platform/widgets/controls.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>

#include <future>

namespace lessons {

namespace {

// The share's thread, with the one connection its jobs use. Jobs run one after the other;
// at the program's end a job still waiting for its server finishes first.
struct ShareThread {
    std::unique_ptr<ShareSession> session;
    QThreadPool pool;

    ShareThread() {
        pool.setMaxThreadCount(1);
        pool.setExpiryTimeout(-1);
    }
    ~ShareThread() { pool.waitForDone(); }

    // On the share's thread: the session for the share, anew when the share's setting changed.
    ShareSession& sessionFor(const platform::SchoolShare& share) {
        const platform::SchoolShare& now = session ? session->share() : share;
        if (!session || now.address != share.address || now.account != share.account ||
            now.timeoutSeconds != share.timeoutSeconds)
            session = std::make_unique<ShareSession>(share);
        return *session;
    }

    static ShareThread& instance() {
        static ShareThread thread;
        return thread;
    }
};

constexpr int PollMs = 50;

} // namespace

ShareProgressWindow::ShareProgressWindow(QWidget* owner)
    : Form(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("学校服务器"));
    setFixedSize(380, 110);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(13);
    setFont(f);
    Label1 = new QLabel(this);
    Label1->setGeometry(16, 12, 348, 44);
    Label1->setWordWrap(true);
    Button1 = pushButton(this, QStringLiteral("取消"), 150, 68, 80, 28);
    onClick(Button1, &ShareProgressWindow::Button1Click);
}

void ShareProgressWindow::Button1Click() {
    cancelled_ = true;
}

ShareReply runOnShare(QWidget* owner, const platform::SchoolShare& share, const ShareJob& job,
                      const QString& cancelled, const QString& silent) {
    auto task = std::make_shared<ShareTask>();
    auto promise = std::make_shared<std::promise<ShareReply>>();
    std::future<ShareReply> future = promise->get_future();
    ShareThread::instance().pool.start([share, job, task, promise] {
        try {
            promise->set_value(job(ShareThread::instance().sessionFor(share), *task));
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });

    ShareProgressWindow window(owner);
    window.Label1->setText(QStringLiteral("正在连接学校服务器……"));
    window.show();
    window.raise();
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer quiet;
    quiet.start();
    int heard = 0;
    ShareReply own;
    bool ownReply = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            loop.quit();
            return;
        }
        const auto [line, count] = task->said();
        if (count != heard) {
            heard = count;
            quiet.restart();
            window.Label1->setText(line);
        }
        if (window.cancelled()) {
            own.result = ArchiveResult::refused(cancelled);
        } else if (quiet.elapsed() > share.timeoutSeconds * 1000) {
            own.unreachable = true;
            own.result = ArchiveResult::failed(silent + shareUnreachable(share));
        } else {
            return;
        }
        ownReply = true;
        task->cancel();
        loop.quit();
    });
    poll.start(PollMs);
    loop.exec();
    window.hide();
    return ownReply ? own : future.get();
}

} // namespace lessons
