#include "platform/os/x11_window_system.h"

#include <QGuiApplication>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <initializer_list>
#include <memory>

namespace platform {

namespace {

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr)
            XFree(data);
    }
};
template <typename T> using XPtr = std::unique_ptr<T, XFreeDeleter>;

struct StringListDeleter {
    void operator()(char** list) const {
        if (list != nullptr)
            XFreeStringList(list);
    }
};

// Qt's own connection; null when Qt runs on another platform, which makes every call a no-op.
::Display* qtDisplay() {
    if (qGuiApp == nullptr)
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

// Foreign windows vanish whenever their programs like, and Xlib's default error handler ends
// the process on the BadWindow that follows. While a trap lives every X error is dropped; the
// closing XSync makes the answers to our requests arrive before the old handler returns.
class ErrorTrap {
public:
    explicit ErrorTrap(::Display* display) : display_(display) {
        XSync(display_, False);
        previous_ = XSetErrorHandler(ignore);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    static int ignore(::Display*, XErrorEvent*) { return 0; }

    ::Display* display_;
    XErrorHandler previous_ = nullptr;
};

Atom atom(::Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    XPtr<unsigned char> data;

    bool isAtomList() const { return data && type == XA_ATOM && format == 32; }
    // Format-32 items are C longs whatever their width on the wire.
    const Atom* atoms() const { return reinterpret_cast<const Atom*>(data.get()); }
    bool contains(Atom item) const {
        return isAtomList() && std::find(atoms(), atoms() + count, item) != atoms() + count;
    }
};

Property readProperty(::Display* display, Window window, Atom name) {
    Property property;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, 0x1000000L, False, AnyPropertyType,
                           &property.type, &property.format, &property.count, &bytesAfter,
                           &data) != Success)
        return {};
    property.data.reset(data);
    return property;
}

std::vector<Window> children(::Display* display, Window window) {
    Window root = None;
    Window parent = None;
    Window* list = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &list, &count) == 0)
        return {};
    const XPtr<Window> owned(list);
    return {list, list + count};
}

// The window in `frame`'s subtree that carries WM_STATE, that is the client a window manager
// put into its frame; None when there is none.
Window clientWindow(::Display* display, Window frame, Atom wmState, int depth = 0) {
    if (readProperty(display, frame, wmState).type != None)
        return frame;
    if (depth > 8)
        return None;
    for (const Window child : children(display, frame)) {
        if (const Window client = clientWindow(display, child, wmState, depth + 1))
            return client;
    }
    return None;
}

bool windowExists(::Display* display, Window window, XWindowAttributes& attributes) {
    return window != None && XGetWindowAttributes(display, window, &attributes) != 0;
}

// An EWMH window manager proves it runs by a check window that names itself.
bool windowManagerRunning(::Display* display) {
    const Atom check = atom(display, "_NET_SUPPORTING_WM_CHECK");
    const Property onRoot = readProperty(display, DefaultRootWindow(display), check);
    if (!onRoot.data || onRoot.type != XA_WINDOW || onRoot.format != 32 || onRoot.count != 1)
        return false;
    const Window wmWindow = *reinterpret_cast<const Window*>(onRoot.data.get());
    const Property onCheck = readProperty(display, wmWindow, check);
    return onCheck.data && onCheck.type == XA_WINDOW && onCheck.format == 32 &&
           onCheck.count == 1 && *reinterpret_cast<const Window*>(onCheck.data.get()) == wmWindow;
}

void sendToRoot(::Display* display, Window window, Atom message, std::initializer_list<long> data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = message;
    event.xclient.format = 32;
    int i = 0;
    for (const long item : data)
        event.xclient.data.l[i++] = item;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// A window manager keeps WM_STATE on each window it manages; a withdrawn (hidden) window loses
// the property or keeps it with the state WithdrawnState, and is no longer the manager's.
bool managedByWindowManager(::Display* display, Window window) {
    const Property state = readProperty(display, window, atom(display, "WM_STATE"));
    if (state.type == None)
        return false;
    if (!state.data || state.format != 32 || state.count < 1)
        return true;
    return *reinterpret_cast<const long*>(state.data.get()) != WithdrawnState;
}

// Adds or removes _NET_WM_STATE atoms. A managed window asks its window manager, which owns
// the property; a withdrawn window, or any window on a desktop without a window manager, gets
// the property written directly, where the next manager to map it will read it.
void changeNetWmState(::Display* display, Window window, bool add,
                      std::initializer_list<Atom> states) {
    XWindowAttributes attributes;
    if (!windowExists(display, window, attributes))
        return;
    const Atom netWmState = atom(display, "_NET_WM_STATE");
    const bool managed = managedByWindowManager(display, window);
    if ((managed || attributes.map_state != IsUnmapped) && windowManagerRunning(display)) {
        const auto first = static_cast<long>(*states.begin());
        const long second = states.size() > 1 ? static_cast<long>(*(states.begin() + 1)) : 0;
        sendToRoot(display, window, netWmState, {add ? 1L : 0L, first, second, 1L});
        return;
    }
    const Property current = readProperty(display, window, netWmState);
    std::vector<Atom> list;
    if (current.isAtomList())
        list.assign(current.atoms(), current.atoms() + current.count);
    for (const Atom state : states) {
        const auto found = std::find(list.begin(), list.end(), state);
        if (add && found == list.end())
            list.push_back(state);
        else if (!add && found != list.end())
            list.erase(found);
    }
    XChangeProperty(display, window, netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(list.data()),
                    static_cast<int>(list.size()));
}

// Under a window manager the client window lies in a frame of the manager's, and restacking the
// client moves it only inside that frame: the manager restacks the frame when asked (as a pager
// asks, which every manager honours). Without one, the window itself is restacked.
void restack(::Display* display, Window window, int detail) {
    if (windowManagerRunning(display) && managedByWindowManager(display, window)) {
        sendToRoot(display, window, atom(display, "_NET_RESTACK_WINDOW"), {2L, 0L, detail});
        return;
    }
    if (detail == Above)
        XRaiseWindow(display, window);
    else
        XLowerWindow(display, window);
}

QString decodeText(::Display* display, const Property& text) {
    if (!text.data || text.format != 8)
        return {};
    const auto* bytes = reinterpret_cast<const char*>(text.data.get());
    const auto size = static_cast<qsizetype>(text.count);
    if (text.type == atom(display, "UTF8_STRING"))
        return QString::fromUtf8(bytes, size);
    if (text.type == XA_STRING)
        return QString::fromLatin1(bytes, size);
    // COMPOUND_TEXT and the like: Xlib knows how to turn them into UTF-8.
    XTextProperty property{text.data.get(), text.type, text.format, text.count};
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) < Success)
        return QString::fromLatin1(bytes, size);
    const std::unique_ptr<char*, StringListDeleter> owned(list);
    QString result;
    for (int i = 0; i < count; ++i)
        result += QString::fromUtf8(list[i]);
    return result;
}

} // namespace

namespace {

// A call is a property written on the called window, which its program sees change.
constexpr const char* CallProperty = "_K_VORNE_CALL";

class CallFilter final : public QAbstractNativeEventFilter {
public:
    CallFilter(xcb_window_t window, xcb_atom_t property, std::function<void()> called)
        : window_(window), property_(property), called_(std::move(called)) {}

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
        if (notify->window == window_ && notify->atom == property_ &&
            notify->state == XCB_PROPERTY_NEW_VALUE)
            QTimer::singleShot(0, qApp, called_); // not inside Qt's event dispatch
        return false;
    }

private:
    xcb_window_t window_;
    xcb_atom_t property_;
    std::function<void()> called_;
};

} // namespace

X11WindowSystem::X11WindowSystem() = default;

X11WindowSystem::~X11WindowSystem() {
    if (callFilter_ != nullptr && qApp != nullptr)
        qApp->removeNativeEventFilter(callFilter_.get());
}

void X11WindowSystem::call(WindowHandle window) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return;
    const ErrorTrap trap(display);
    const long one = 1;
    XChangeProperty(display, window, atom(display, CallProperty), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&one), 1);
}

void X11WindowSystem::answerCalls(WindowHandle window, std::function<void()> called) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return;
    if (callFilter_ != nullptr)
        qApp->removeNativeEventFilter(callFilter_.get());
    callFilter_ = std::make_unique<CallFilter>(static_cast<xcb_window_t>(window),
                                               static_cast<xcb_atom_t>(atom(display, CallProperty)),
                                               std::move(called));
    qApp->installNativeEventFilter(callFilter_.get());
}

std::vector<WindowHandle> X11WindowSystem::topLevelWindows() {
    ::Display* display = qtDisplay();
    if (display == nullptr)
        return {};
    const ErrorTrap trap(display);
    const Atom wmState = atom(display, "WM_STATE");
    const std::vector<Window> frames = children(display, DefaultRootWindow(display));
    std::vector<WindowHandle> windows;
    windows.reserve(frames.size());
    // XQueryTree lists the bottom window first.
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
        const Window client = clientWindow(display, *frame, wmState);
        windows.push_back(client != None ? client : *frame);
    }
    return windows;
}

QString X11WindowSystem::caption(WindowHandle window) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return {};
    const ErrorTrap trap(display);
    const Property netName = readProperty(display, window, atom(display, "_NET_WM_NAME"));
    if (netName.data && netName.type == atom(display, "UTF8_STRING") && netName.format == 8)
        return QString::fromUtf8(reinterpret_cast<const char*>(netName.data.get()),
                                 static_cast<qsizetype>(netName.count));
    return decodeText(display, readProperty(display, window, XA_WM_NAME));
}

void X11WindowSystem::requestClose(WindowHandle window) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return;
    const ErrorTrap trap(display);
    const Atom deleteWindow = atom(display, "WM_DELETE_WINDOW");
    Atom* protocols = nullptr;
    int count = 0;
    if (XGetWMProtocols(display, window, &protocols, &count) == 0)
        return;
    const XPtr<Atom> owned(protocols);
    // A window that does not take part in the protocol is left alone: killing its client
    // would take every other window of that program with it.
    if (std::find(protocols, protocols + count, deleteWindow) == protocols + count)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atom(display, "WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
}

void X11WindowSystem::setZBand(WindowHandle window, ZBand band) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return;
    const ErrorTrap trap(display);
    const Atom above = atom(display, "_NET_WM_STATE_ABOVE");
    switch (band) {
    case ZBand::Topmost:
        changeNetWmState(display, window, true, {above});
        restack(display, window, Above);
        break;
    case ZBand::NotTopmost:
        changeNetWmState(display, window, false, {above});
        break;
    case ZBand::Bottom:
        // A window sent to the bottom stops being topmost, or it would float back up.
        changeNetWmState(display, window, false, {above});
        restack(display, window, Below);
        break;
    }
}

WindowHandle X11WindowSystem::windowFromPoint(QPoint screenPoint) {
    ::Display* display = qtDisplay();
    if (display == nullptr)
        return 0;
    const ErrorTrap trap(display);
    const Window root = DefaultRootWindow(display);
    Window current = root;
    // Each step finds the mapped child of `current` that contains the point.
    for (int depth = 0; depth < 64; ++depth) {
        int x = 0;
        int y = 0;
        Window child = None;
        if (XTranslateCoordinates(display, root, current, screenPoint.x(), screenPoint.y(), &x, &y,
                                  &child) == 0 ||
            child == None)
            break;
        current = child;
    }
    return current == root ? 0 : current;
}

void X11WindowSystem::setForeground(WindowHandle window) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return;
    const ErrorTrap trap(display);
    XWindowAttributes attributes;
    if (!windowExists(display, window, attributes))
        return;
    sendToRoot(display, window, atom(display, "_NET_ACTIVE_WINDOW"), {1L, CurrentTime, 0L});
    XRaiseWindow(display, window);
    // Focus on a window that is not viewable is a BadMatch; the window manager will focus it
    // when it maps it.
    if (attributes.map_state == IsViewable)
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
}

QPoint X11WindowSystem::pointerPosition() {
    ::Display* display = qtDisplay();
    if (display == nullptr)
        return {};
    Window root = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX,
                  &windowY, &mask);
    return {rootX, rootY};
}

void X11WindowSystem::setPointerPosition(QPoint screenPoint) {
    ::Display* display = qtDisplay();
    if (display == nullptr)
        return;
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, screenPoint.x(),
                 screenPoint.y());
    XSync(display, False);
}

void X11WindowSystem::setNoTaskbarButton(WindowHandle window) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return;
    const ErrorTrap trap(display);
    changeNetWmState(
        display, window, true,
        {atom(display, "_NET_WM_STATE_SKIP_TASKBAR"), atom(display, "_NET_WM_STATE_SKIP_PAGER")});
}

// A window manager keeps a transient window above the window it is transient for, in that
// window's layer at least. Written only when it changes: a manager restacks on every change.
void X11WindowSystem::keepAbove(WindowHandle window, WindowHandle owner) {
    ::Display* display = qtDisplay();
    if (display == nullptr || window == 0)
        return;
    const ErrorTrap trap(display);
    const Property current = readProperty(display, window, XA_WM_TRANSIENT_FOR);
    const bool holds = current.data && current.type == XA_WINDOW && current.format == 32 &&
                       current.count == 1 &&
                       *reinterpret_cast<const Window*>(current.data.get()) == owner;
    if (owner == 0) {
        if (current.type != None)
            XDeleteProperty(display, window, XA_WM_TRANSIENT_FOR);
    } else if (!holds) {
        XSetTransientForHint(display, window, owner);
    }
}

std::vector<WindowHandle> X11WindowSystem::dockWindows() {
    ::Display* display = qtDisplay();
    if (display == nullptr)
        return {};
    const std::vector<WindowHandle> windows = topLevelWindows();
    const ErrorTrap trap(display);
    const Atom windowType = atom(display, "_NET_WM_WINDOW_TYPE");
    const Atom dock = atom(display, "_NET_WM_WINDOW_TYPE_DOCK");
    std::vector<WindowHandle> docks;
    for (const WindowHandle window : windows) {
        if (readProperty(display, window, windowType).contains(dock))
            docks.push_back(window);
    }
    return docks;
}

bool X11WindowSystem::taskbarFound() {
    return !dockWindows().empty();
}

void X11WindowSystem::hideTaskbar() {
    ::Display* display = qtDisplay();
    if (display == nullptr)
        return;
    const std::vector<WindowHandle> docks = dockWindows();
    const ErrorTrap trap(display);
    for (const WindowHandle dock : docks) {
        XWindowAttributes attributes;
        if (!windowExists(display, dock, attributes) || attributes.map_state == IsUnmapped)
            continue;
        XUnmapWindow(display, dock);
        if (std::find(hiddenDocks_.begin(), hiddenDocks_.end(), dock) == hiddenDocks_.end())
            hiddenDocks_.push_back(dock);
    }
}

void X11WindowSystem::restoreTaskbar() {
    ::Display* display = qtDisplay();
    if (display == nullptr)
        return;
    std::vector<WindowHandle> docks = dockWindows();
    for (const WindowHandle hidden : hiddenDocks_) {
        if (std::find(docks.begin(), docks.end(), hidden) == docks.end())
            docks.push_back(hidden);
    }
    hiddenDocks_.clear();
    const ErrorTrap trap(display);
    for (const WindowHandle dock : docks)
        XMapWindow(display, dock);
}

} // namespace platform
