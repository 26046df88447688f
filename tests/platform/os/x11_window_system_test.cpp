// The X11 window system and libTEVDLL.so against a real X server without a window manager
// (run under Xvfb): what the walk, the stacking, closing, the pointer and the grabs do there.
#include "platform/os/x11_window_system.h"
#include "tevdll.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using platform::WindowHandle;
using platform::X11WindowSystem;
using platform::ZBand;

::Display* qtDisplay() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

struct DisplayCloser {
    void operator()(::Display* display) const { XCloseDisplay(display); }
};
using Connection = std::unique_ptr<::Display, DisplayCloser>;

// Another X client, as a foreign program or a window manager would be.
Connection otherClient() {
    return Connection(XOpenDisplay(nullptr));
}

Window makeWindow(::Display* display, QRect geometry) {
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), geometry.x(),
                                              geometry.y(), static_cast<unsigned>(geometry.width()),
                                              static_cast<unsigned>(geometry.height()), 0, 0, 0);
    XSync(display, False);
    return window;
}

int mapState(::Display* display, Window window) {
    XSync(display, False);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    return attributes.map_state;
}

std::vector<Atom> netWmState(::Display* display, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), 0, 64, False,
                       XA_ATOM, &type, &format, &count, &after, &data);
    std::vector<Atom> atoms;
    if (data != nullptr) {
        const auto* first = reinterpret_cast<const Atom*>(data);
        atoms.assign(first, first + count);
        XFree(data);
    }
    return atoms;
}

bool hasState(::Display* display, Window window, const char* state) {
    const std::vector<Atom> atoms = netWmState(display, window);
    return std::find(atoms.begin(), atoms.end(), XInternAtom(display, state, False)) != atoms.end();
}

long indexIn(const std::vector<WindowHandle>& windows, WindowHandle window) {
    const auto found = std::find(windows.begin(), windows.end(), window);
    return found == windows.end() ? -1 : found - windows.begin();
}

class ClosableWidget : public QWidget {
public:
    bool closeSeen = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        closeSeen = true;
        QWidget::closeEvent(event);
    }
};

class X11WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qtDisplay() == nullptr)
            GTEST_SKIP() << "needs Qt on an X server (xcb)";
    }

    void showAt(QWidget& widget, QRect geometry) {
        widget.setGeometry(geometry);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        XSync(qtDisplay(), False);
    }

    X11WindowSystem windows;
};

TEST_F(X11WindowSystemTest, WalkListsMappedAndHiddenWindowsWithTheirCaptions) {
    QWidget shown;
    shown.setWindowTitle(QStringLiteral("书写练习引擎 第1页"));
    showAt(shown, {20, 20, 120, 80});
    QWidget hidden;
    hidden.setWindowTitle(QStringLiteral("K_Vorne"));
    const WindowHandle hiddenId = hidden.winId();

    // Captions set by other programs the old way, without _NET_WM_NAME.
    const Connection other = otherClient();
    const Window latin1 = makeWindow(other.get(), {0, 0, 10, 10});
    XStoreName(other.get(), latin1, "caf\xe9");
    const Window nameless = makeWindow(other.get(), {0, 0, 10, 10});
    const Window compound = makeWindow(other.get(), {0, 0, 10, 10});
    char chinese[] = "黑板";
    char* list[] = {chinese};
    XTextProperty text{};
    ASSERT_GE(Xutf8TextListToTextProperty(other.get(), list, 1, XCompoundTextStyle, &text),
              Success);
    XSetWMName(other.get(), compound, &text);
    XFree(text.value);
    XSync(other.get(), False);

    const std::vector<WindowHandle> walk = windows.topLevelWindows();
    const struct {
        WindowHandle window;
        QString caption;
    } cases[] = {
        {shown.winId(), QStringLiteral("书写练习引擎 第1页")},
        {hiddenId, QStringLiteral("K_Vorne")},
        {latin1, QStringLiteral("café")},
        {nameless, QString()},
        {compound, QStringLiteral("黑板")},
    };
    for (const auto& c : cases) {
        EXPECT_GE(indexIn(walk, c.window), 0) << c.caption.toStdString();
        EXPECT_EQ(windows.caption(c.window), c.caption);
    }
    EXPECT_EQ(platform::captionInBuffer(windows, shown.winId(), 3), QStringLiteral("书写"));
}

TEST_F(X11WindowSystemTest, WalkNamesTheClientInsideAWindowManagersFrame) {
    const Connection manager = otherClient();
    ::Display* display = manager.get();
    const Window frame = makeWindow(display, {0, 0, 50, 50});
    const Window decoration = makeWindow(display, {0, 0, 50, 10});
    const Window client = makeWindow(display, {0, 10, 50, 40});
    XReparentWindow(display, decoration, frame, 0, 0);
    XReparentWindow(display, client, frame, 0, 10);
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    const long normalState[] = {NormalState, None};
    XChangeProperty(display, client, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(normalState), 2);
    XSync(display, False);

    const std::vector<WindowHandle> walk = windows.topLevelWindows();
    EXPECT_GE(indexIn(walk, client), 0);
    EXPECT_EQ(indexIn(walk, frame), -1);
    EXPECT_EQ(indexIn(walk, decoration), -1);
}

TEST_F(X11WindowSystemTest, ZBandsReorderTheWalkAndMarkTheState) {
    QWidget first;
    first.setWindowTitle(QStringLiteral("first"));
    showAt(first, {20, 20, 100, 60});
    QWidget second;
    second.setWindowTitle(QStringLiteral("second"));
    showAt(second, {40, 40, 100, 60});
    QWidget hidden;
    hidden.setWindowTitle(QStringLiteral("hidden"));
    ::Display* display = qtDisplay();

    windows.setZBand(first.winId(), ZBand::Topmost);
    EXPECT_EQ(windows.topLevelWindows().front(), first.winId());
    EXPECT_TRUE(hasState(display, first.winId(), "_NET_WM_STATE_ABOVE"));

    // An unmapped window has its place in the stacking order too.
    windows.setZBand(hidden.winId(), ZBand::Topmost);
    std::vector<WindowHandle> walk = windows.topLevelWindows();
    EXPECT_EQ(walk.front(), hidden.winId());
    EXPECT_LT(indexIn(walk, first.winId()), indexIn(walk, second.winId()));

    windows.setZBand(first.winId(), ZBand::NotTopmost);
    EXPECT_FALSE(hasState(display, first.winId(), "_NET_WM_STATE_ABOVE"));
    EXPECT_LT(indexIn(windows.topLevelWindows(), first.winId()),
              indexIn(windows.topLevelWindows(), second.winId()));

    windows.setZBand(second.winId(), ZBand::Topmost);
    windows.setZBand(second.winId(), ZBand::Bottom);
    walk = windows.topLevelWindows();
    EXPECT_EQ(walk.back(), second.winId());
    EXPECT_FALSE(hasState(display, second.winId(), "_NET_WM_STATE_ABOVE"));
    // Stacking never moves or resizes.
    XWindowAttributes attributes;
    XGetWindowAttributes(display, second.winId(), &attributes);
    EXPECT_EQ(QRect(attributes.x, attributes.y, attributes.width, attributes.height),
              QRect(40, 40, 100, 60));
}

TEST_F(X11WindowSystemTest, RequestCloseClosesAWidgetThroughDeleteWindow) {
    ClosableWidget widget;
    showAt(widget, {20, 20, 100, 60});
    windows.requestClose(widget.winId());
    EXPECT_TRUE(QTest::qWaitFor([&] { return widget.closeSeen; }, 5000));
    EXPECT_FALSE(widget.isVisible());

    // A window that does not speak the protocol is left as it is.
    const Connection other = otherClient();
    const Window plain = makeWindow(other.get(), {0, 0, 10, 10});
    XMapWindow(other.get(), plain);
    windows.requestClose(plain);
    EXPECT_EQ(mapState(other.get(), plain), IsViewable);
}

TEST_F(X11WindowSystemTest, WindowFromPointFindsTheDeepestMappedWindow) {
    QWidget outer;
    showAt(outer, {300, 200, 200, 150});
    auto* inner = new QWidget(&outer);
    inner->setGeometry(100, 50, 60, 40);
    inner->setAttribute(Qt::WA_NativeWindow);
    inner->show();
    XSync(qtDisplay(), False);

    EXPECT_EQ(windows.windowFromPoint({310, 210}), outer.winId());
    EXPECT_EQ(windows.windowFromPoint({420, 260}), inner->winId());
    EXPECT_EQ(windows.windowFromPoint({900, 700}), 0U);
}

TEST_F(X11WindowSystemTest, SetForegroundRaisesAndFocuses) {
    QWidget back;
    showAt(back, {20, 20, 100, 60});
    QWidget front;
    showAt(front, {30, 30, 100, 60});
    windows.setForeground(back.winId());
    Window focus = None;
    int revert = 0;
    XGetInputFocus(qtDisplay(), &focus, &revert);
    EXPECT_EQ(focus, back.winId());
    EXPECT_EQ(windows.topLevelWindows().front(), back.winId());
}

TEST_F(X11WindowSystemTest, PointerWarpsAndReadsBack) {
    for (const QPoint point : {QPoint(123, 45), QPoint(0, 0), QPoint(600, 400)}) {
        windows.setPointerPosition(point);
        EXPECT_EQ(windows.pointerPosition(), point);
    }
}

TEST_F(X11WindowSystemTest, NoTaskbarButtonMarksMappedAndUnmappedWindows) {
    QWidget shown;
    showAt(shown, {20, 20, 100, 60});
    QWidget hidden;
    for (const WindowHandle window : {shown.winId(), hidden.winId()}) {
        windows.setNoTaskbarButton(window);
        EXPECT_TRUE(hasState(qtDisplay(), window, "_NET_WM_STATE_SKIP_TASKBAR"));
        EXPECT_TRUE(hasState(qtDisplay(), window, "_NET_WM_STATE_SKIP_PAGER"));
    }
    // Qt merges its own states into what it finds when it maps the window.
    showAt(hidden, {20, 20, 100, 60});
    EXPECT_TRUE(hasState(qtDisplay(), hidden.winId(), "_NET_WM_STATE_SKIP_TASKBAR"));
}

// A window manager runs (its check window names itself) and has let go of a hidden window,
// leaving WM_STATE at WithdrawnState: it would ignore a request about that window, so the mark
// is written on the window, where the manager reads it when the window is shown again.
TEST_F(X11WindowSystemTest, NoTaskbarButtonOnAWindowTheManagerHasLetGo) {
    const Connection manager = otherClient();
    ::Display* wm = manager.get();
    const Window check = makeWindow(wm, {0, 0, 1, 1});
    const Atom checkAtom = XInternAtom(wm, "_NET_SUPPORTING_WM_CHECK", False);
    for (const Window on : {DefaultRootWindow(wm), check})
        XChangeProperty(wm, on, checkAtom, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&check), 1);
    QWidget hidden;
    const Atom wmState = XInternAtom(wm, "WM_STATE", False);
    const long withdrawn[] = {WithdrawnState, None};
    XChangeProperty(wm, hidden.winId(), wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(withdrawn), 2);
    XSync(wm, False);

    windows.setNoTaskbarButton(hidden.winId());
    EXPECT_TRUE(hasState(qtDisplay(), hidden.winId(), "_NET_WM_STATE_SKIP_TASKBAR"));
    XDeleteProperty(wm, DefaultRootWindow(wm), checkAtom);
    XSync(wm, False);
}

TEST_F(X11WindowSystemTest, DockPanelsAreHiddenAndMappedAgain) {
    const Connection panel = otherClient();
    const Window dock = makeWindow(panel.get(), {0, 0, 200, 24});
    const Atom dockType = XInternAtom(panel.get(), "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(panel.get(), dock, XInternAtom(panel.get(), "_NET_WM_WINDOW_TYPE", False),
                    XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&dockType),
                    1);
    XMapWindow(panel.get(), dock);
    ASSERT_EQ(mapState(panel.get(), dock), IsViewable);

    EXPECT_TRUE(windows.taskbarFound());
    windows.hideTaskbar();
    EXPECT_EQ(mapState(panel.get(), dock), IsUnmapped);
    EXPECT_TRUE(windows.taskbarFound());
    windows.restoreTaskbar();
    EXPECT_EQ(mapState(panel.get(), dock), IsViewable);

    // A later run of the program gives back a taskbar that an earlier run left hidden.
    windows.hideTaskbar();
    X11WindowSystem later;
    later.restoreTaskbar();
    EXPECT_EQ(mapState(panel.get(), dock), IsViewable);
}

TEST_F(X11WindowSystemTest, WindowsThatDoNotExistCostNothing) {
    ::Display* display = qtDisplay();
    // Xlib's own handler ends the process on any error that gets past the traps.
    const XErrorHandler qtHandler = XSetErrorHandler(nullptr);
    for (const WindowHandle gone : {WindowHandle{0x3fffff}, WindowHandle{0}}) {
        EXPECT_EQ(windows.caption(gone), QString());
        windows.requestClose(gone);
        windows.setZBand(gone, ZBand::Topmost);
        windows.setZBand(gone, ZBand::NotTopmost);
        windows.setZBand(gone, ZBand::Bottom);
        windows.setForeground(gone);
        windows.setNoTaskbarButton(gone);
    }
    XSync(display, False);
    XSetErrorHandler(qtHandler);
    EXPECT_FALSE(windows.topLevelWindows().empty());
}

// A key chord as another client would try to grab it on the root window.
struct Chord {
    KeySym key;
    unsigned modifiers;
};

int grabErrorCode = 0;
int recordGrabError(::Display*, XErrorEvent* error) {
    grabErrorCode = error->error_code;
    return 0;
}

// True when the other client may grab the chord, which it then lets go again.
bool otherClientCanGrab(::Display* other, Chord chord) {
    const KeyCode code = XKeysymToKeycode(other, chord.key);
    const Window root = DefaultRootWindow(other);
    grabErrorCode = 0;
    const XErrorHandler previous = XSetErrorHandler(recordGrabError);
    XGrabKey(other, code, chord.modifiers, root, False, GrabModeAsync, GrabModeAsync);
    XSync(other, False);
    XSetErrorHandler(previous);
    if (grabErrorCode != 0) {
        EXPECT_EQ(grabErrorCode, BadAccess);
        return false;
    }
    XUngrabKey(other, code, chord.modifiers, root);
    XSync(other, False);
    return true;
}

TEST(TevDll, HoldsTheTaskKeysAgainstOtherClients) {
    const Connection other = otherClient();
    if (!other)
        GTEST_SKIP() << "needs an X server";
    ASSERT_EQ(DisableTaskKeys(1, TEV_KEYS_ALL), 1);
    EXPECT_EQ(DisableTaskKeys(1, TEV_KEYS_ALL), 1);

    const Chord blocked[] = {
        {XK_Tab, Mod1Mask},
        {XK_Tab, Mod1Mask | ShiftMask | Mod2Mask},
        {XK_Escape, Mod1Mask | LockMask},
        {XK_Escape, ControlMask | LockMask | Mod2Mask},
        {XK_Super_L, 0},
        {XK_Super_R, Mod2Mask},
    };
    for (const Chord chord : blocked)
        EXPECT_FALSE(otherClientCanGrab(other.get(), chord)) << XKeysymToString(chord.key);
    EXPECT_TRUE(otherClientCanGrab(other.get(), {XK_Tab, ControlMask}));

    EXPECT_EQ(DisableTaskKeys(0, TEV_KEYS_ALL), 1);
    EXPECT_TRUE(otherClientCanGrab(other.get(), {XK_Tab, Mod1Mask}));
}

TEST(TevDll, BlocksWhatItCanWhereAKeyIsTakenAndRetriesLater) {
    const Connection other = otherClient();
    if (!other)
        GTEST_SKIP() << "needs an X server";
    DisableTaskKeys(0, TEV_KEYS_ALL);
    const KeyCode escape = XKeysymToKeycode(other.get(), XK_Escape);
    const Window root = DefaultRootWindow(other.get());
    XGrabKey(other.get(), escape, ControlMask, root, False, GrabModeAsync, GrabModeAsync);
    XSync(other.get(), False);

    EXPECT_EQ(DisableTaskKeys(1, TEV_KEYS_ALL), 0);
    EXPECT_FALSE(otherClientCanGrab(other.get(), {XK_Tab, Mod1Mask}));

    XUngrabKey(other.get(), escape, ControlMask, root);
    XSync(other.get(), False);
    EXPECT_EQ(DisableTaskKeys(1, TEV_KEYS_CTRL_ESC), 1);
    EXPECT_FALSE(otherClientCanGrab(other.get(), {XK_Escape, ControlMask}));
    DisableTaskKeys(0, TEV_KEYS_ALL);
}

} // namespace
