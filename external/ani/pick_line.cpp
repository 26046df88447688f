#include "external/ani/pick_line.h"

#include "practice/writing_engine.h"

#include <QGuiApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <memory>

namespace {

::Display* x11Display() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

// Another program's window may vanish between two requests; Xlib's default handler would end
// this program on the error that follows.
class ErrorTrap {
public:
    explicit ErrorTrap(::Display* display) : display_(display) {
        XSync(display_, False);
        previous_ = XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    ::Display* display_;
    XErrorHandler previous_ = nullptr;
};

struct XFreeDeleter {
    void operator()(unsigned char* data) const {
        if (data != nullptr)
            XFree(data);
    }
};

bool hasProperty(::Display* display, Window window, Atom name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, name, 0, 0, False, AnyPropertyType,
                                          &type, &format, &count, &after, &data);
    std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    return status == Success && type != None;
}

// The client window in a window manager's frame: the one that carries WM_STATE.
Window clientOf(::Display* display, Window frame, Atom wmState, int depth = 0) {
    if (hasProperty(display, frame, wmState))
        return frame;
    if (depth > 4)
        return None;
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, frame, &root, &parent, &children, &count) == 0)
        return None;
    std::unique_ptr<unsigned char, XFreeDeleter> owned(reinterpret_cast<unsigned char*>(children));
    for (unsigned i = count; i-- > 0;) {
        if (const Window client = clientOf(display, children[i], wmState, depth + 1))
            return client;
    }
    return None;
}

QString caption(::Display* display, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 256,
                           False, utf8, &type, &format, &count, &after, &data) != Success)
        return {};
    std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (data == nullptr || type != utf8 || format != 8)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
}

} // namespace

bool onPadLines(QPoint inPad, QSize padSize) {
    constexpr int ScrollBarAllowance = 20;
    const int height = padSize.height() > 103 ? 125 : 86;
    return inPad.x() >= 2 && inPad.x() < 513 - ScrollBarAllowance && inPad.y() >= 2 &&
           inPad.y() < height - 2;
}

bool padLinesAt(QPoint screenPoint) {
    ::Display* display = x11Display();
    if (display == nullptr)
        return false;
    const ErrorTrap trap(display);
    const Window root = DefaultRootWindow(display);
    int x = 0;
    int y = 0;
    Window top = None;
    // The child of the root that holds the point is the topmost mapped one there.
    if (XTranslateCoordinates(display, root, root, screenPoint.x(), screenPoint.y(), &x, &y,
                              &top) == 0 ||
        top == None)
        return false;
    Window pad = clientOf(display, top, XInternAtom(display, "WM_STATE", False));
    if (pad == None)
        pad = top;
    if (caption(display, pad) != PracticePadCaption)
        return false;
    XWindowAttributes attributes;
    Window child = None;
    if (XGetWindowAttributes(display, pad, &attributes) == 0 ||
        XTranslateCoordinates(display, root, pad, screenPoint.x(), screenPoint.y(), &x, &y,
                              &child) == 0)
        return false;
    return onPadLines(QPoint(x, y), QSize(attributes.width, attributes.height));
}

void tripleClick() {
    ::Display* display = x11Display();
    if (display == nullptr)
        return;
    // A short pause before each event keeps the three clicks apart yet well inside the
    // double-click time.
    for (int i = 0; i < 3; ++i) {
        XTestFakeButtonEvent(display, 1, True, 20);
        XTestFakeButtonEvent(display, 1, False, 20);
    }
    XFlush(display);
}
