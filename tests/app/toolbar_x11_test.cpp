// The real toolbar on a real X server (run under Xvfb, no window manager): what a teacher sees
// when the pointer rests on its buttons.
#include "app/application.h"
#include "app/toolbar.h"
#include "platform/os/fakes.h"
#include "platform/os/x11_window_system.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>
#include <memory>
#include <string>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <vector>

namespace {

using namespace platform;

::Display* qtDisplay() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

// Moves the X pointer, as a hand on the pen would, so that the events come from the server.
void movePointer(QPoint screenPoint) {
    ::Display* display = qtDisplay();
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, screenPoint.x(),
                 screenPoint.y());
    XSync(display, False);
}

// What a panel reads to decide whether to list a window.
bool hasNetWmState(WindowHandle window, const char* state) {
    ::Display* display = qtDisplay();
    XSync(display, False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), 0, 64, False,
                       XA_ATOM, &type, &format, &count, &after, &data);
    if (data == nullptr)
        return false;
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    const bool found =
        std::find(atoms, atoms + count, XInternAtom(display, state, False)) != atoms + count;
    XFree(data);
    return found;
}

class ToolbarX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (qtDisplay() == nullptr)
            GTEST_SKIP() << "needs Qt on an X server (xcb)";
        Application = &application;
        toolbar = std::make_unique<TForm1>();
        Form1 = toolbar.get();
        toolbar->move(200, 0);
        toolbar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(toolbar.get()));
    }
    void TearDown() override {
        QToolTip::hideText();
        Form1 = nullptr;
        toolbar.reset();
        Application = nullptr;
    }

    // The tooltip shown after the pointer rests on `button`; empty when none appears.
    std::string hintAfterRestingOn(QWidget* button) {
        QToolTip::hideText(); // the label goes a moment later
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
            return "(the last hint stays)";
        movePointer({0, 300}); // off the toolbar, so that the next move enters the button
        QTest::qWait(100);
        movePointer(button->mapToGlobal(button->rect().center()));
        if (!QTest::qWaitFor([] { return QToolTip::isVisible(); }, 2000))
            return {};
        return QToolTip::text().toStdString();
    }

    FakeServices fakes;
    TApplication application{QStringLiteral("K_Vorne")};
    std::unique_ptr<TForm1> toolbar;
};

// The toolbar never takes the focus, so it is never the active window, where Qt shows hints.
TEST_F(ToolbarX11Test, HintsShowAlthoughTheToolbarIsNeverActive) {
    ASSERT_FALSE(toolbar->isActiveWindow());
    const struct {
        QWidget* button;
        QString hint;
    } cases[] = {
        {toolbar->SpeedButton4, QStringLiteral("书写板")},
        {toolbar->SpeedButton3, QStringLiteral("标注")},
        {toolbar->SpeedButton10, QStringLiteral("消隐投影")},
        {toolbar->SpeedButton2, QStringLiteral("帮助")},
        {toolbar->SpeedButton1, QStringLiteral("退出")},
        {toolbar->SpeedButton5, QStringLiteral("微缩")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hintAfterRestingOn(c.button), c.hint.toStdString());
    // Back on a button whose hint was shown last, as a hand that wavered comes back.
    for (int again = 0; again < 2; ++again)
        EXPECT_EQ(hintAfterRestingOn(toolbar->SpeedButton5), "微缩") << "again " << again;

    // The restore square of the shrunk toolbar shows no hint.
    toolbar->SpeedButton5Click();
    QTest::qWait(100);
    EXPECT_EQ(hintAfterRestingOn(toolbar->SpeedButton6), "");
}

// Every window a panel could list: the toolbar, a window of the program shown later, and a
// message box, each also when shown again after hiding.
TEST_F(ToolbarX11Test, TheProgramsWindowsStayOffTheTaskbar) {
    X11WindowSystem x11;
    const Services withFakes = installed();
    Services services = withFakes;
    services.windows = &x11;
    install(services);
    toolbar->hide();
    toolbar->FormCreate();

    Form later;
    later.setGeometry(300, 300, 200, 100);
    QMessageBox box(QMessageBox::Question, QStringLiteral("提示信息"),
                    QStringLiteral("确实要退出系统吗？"), QMessageBox::Yes | QMessageBox::No,
                    toolbar.get());
    for (int round = 0; round < 2; ++round) {
        for (QWidget* window : std::vector<QWidget*>{toolbar.get(), &later, &box}) {
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            EXPECT_TRUE(hasNetWmState(window->winId(), "_NET_WM_STATE_SKIP_TASKBAR"))
                << window->metaObject()->className() << " round " << round;
            EXPECT_TRUE(hasNetWmState(window->winId(), "_NET_WM_STATE_SKIP_PAGER"));
            window->hide();
            // What a window manager does to a window it no longer manages.
            XDeleteProperty(qtDisplay(), window->winId(),
                            XInternAtom(qtDisplay(), "_NET_WM_STATE", False));
        }
    }
    install(withFakes);
}

} // namespace
