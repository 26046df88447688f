// The program's start-up checks and its orderly end.
#include "app/application.h"
#include "app/forms.h"
#include "app/recovery.h"
#include "app/toolbar.h"
#include "app/window_walk.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/widgets/shell.h"
#include "platform/widgets/taskbar.h"

using namespace platform;

namespace {

const QString ProgramTitle = QStringLiteral("K_Vorne");
constexpr int CaptionBuffer = 11;

} // namespace

void TForm1::FormCreate() {
    if (display().colourDepth() < 24 &&
        dialogs().askYesNo(this, QStringLiteral("您的系统颜色质量设置低于24位，是否调整?"),
                           ConfirmTitle) == Answer::Yes) {
        // X11 cannot change the depth of a running display; the refusal is not reported.
        display().requestColourDepth(24);
    }

    // Every running copy owns one window captioned with the program's title: a second one
    // means another copy runs already, and this one ends, bringing that copy to the front.
    int copies = 0;
    std::vector<WindowHandle> others;
    for (WindowHandle w : windows().topLevelWindows()) {
        const QString caption = captionInBuffer(windows(), w, CaptionBuffer);
        if (caption.isEmpty())
            continue;
        if (caption == ProgramTitle && w != Application->Handle())
            others.push_back(w);
        if (caption == ProgramTitle && ++copies > 1)
            Application->Terminate();
        if (caption == TouchMonitorCaption)
            windows().requestClose(w);
    }

    if (Application->Terminated()) {
        for (const WindowHandle other : others)
            windows().call(other);
    } else {
        windows().answerCalls(Application->Handle(),
                              [this] { guarded([this] { comeForward(); }); });
    }

    keepWindowsOffTaskbar();
    move(screenWidth() - ToolbarDockOffset, 0);
    taskKeys().disableTaskKeys(1, 23);
}

// Another copy was started: the teacher is looking for this one. A shrunk toolbar is restored
// and put on top; the board or the annotation, when open, is what the teacher sees already.
void TForm1::comeForward() {
    if (isHidden())
        return;
    if (SpeedButton6->isVisible())
        SpeedButton6Click();
    windows().setZBand(handle(), ZBand::Topmost);
}

// Leave the program.
void TForm1::SpeedButton1Click() {
    if (dialogs().askYesNo(this, QStringLiteral("确实要退出系统吗？"), ConfirmTitle) != Answer::Yes)
        return;
    windows().restoreTaskbar();
    windows().setScreenSaverRunning(false);
    const BoardModel& board = boardModel();
    for (int n = 1; n <= board.pageCount(); ++n)
        files().removeFile(board.pageTextFile(n));
    finishRecovery();
    close();
}

void TForm1::FormCloseQuery(bool&) {
    closeWindowsCaptioned({OnScreenToolCaption, WritingEngineCaption}, 24);
}
