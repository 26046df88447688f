// Passive key grabs on the X root window that keep the task-switching chords away from the
// desktop while the whiteboard runs full screen.
#include "tevdll.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

struct ModifierMapFree {
    void operator()(XModifierKeymap* map) const { XFreeModifiermap(map); }
};

enum Modifier : unsigned { Plain = 0, Alt = 1, Shift = 2, Control = 4 };

struct Chord {
    KeySym key;
    unsigned modifiers; // Modifier bits, turned into the keyboard's real masks when grabbing
    int group;
};

constexpr Chord chords[] = {
    {XK_Tab, Alt, TEV_KEYS_ALT_TAB},     {XK_Tab, Alt | Shift, TEV_KEYS_ALT_TAB},
    {XK_Escape, Alt, TEV_KEYS_ALT_ESC},  {XK_Escape, Control, TEV_KEYS_CTRL_ESC},
    {XK_Super_L, Plain, TEV_KEYS_SUPER}, {XK_Super_R, Plain, TEV_KEYS_SUPER},
};

struct Grab {
    KeyCode code;
    unsigned modifiers;
    int group;
};

std::mutex mutex;
// Grabs last as long as the connection that made them, so it is never closed before exit.
std::unique_ptr<Display, DisplayCloser> connection;
std::vector<Grab> held;
std::vector<unsigned long> refusedSerials;

Display* openConnection() {
    if (!connection)
        connection.reset(XOpenDisplay(nullptr));
    return connection.get();
}

int recordRefusal(Display* display, XErrorEvent* error) {
    // Only our connection's errors arrive while this handler is set: every request in between
    // goes through it.
    if (display == connection.get())
        refusedSerials.push_back(error->serial);
    return 0;
}

// The modifier bit that carries `key` on this keyboard (Alt is not always Mod1).
unsigned maskOf(Display* display, KeySym key, unsigned fallback) {
    const KeyCode code = XKeysymToKeycode(display, key);
    const std::unique_ptr<XModifierKeymap, ModifierMapFree> map(XGetModifierMapping(display));
    if (code == 0 || !map)
        return fallback;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            if (map->modifiermap[modifier * map->max_keypermod + i] == code)
                return 1U << modifier;
        }
    }
    return fallback;
}

bool isHeld(KeyCode code, unsigned modifiers) {
    return std::any_of(held.begin(), held.end(), [&](const Grab& grab) {
        return grab.code == code && grab.modifiers == modifiers;
    });
}

int block(Display* display, int groups) {
    const Window root = DefaultRootWindow(display);
    const unsigned alt = maskOf(display, XK_Alt_L, Mod1Mask);
    const unsigned numLock = maskOf(display, XK_Num_Lock, Mod2Mask);
    // A grab matches one exact modifier state, so each chord is grabbed again with every
    // combination of the lock keys a teacher may have left on.
    const unsigned locks[] = {0, LockMask, numLock, LockMask | numLock};

    struct Attempt {
        unsigned long serial;
        Grab grab;
    };
    std::vector<Attempt> attempts;
    refusedSerials.clear();
    XSync(display, False);
    const XErrorHandler previous = XSetErrorHandler(recordRefusal);
    for (const Chord& chord : chords) {
        if ((chord.group & groups) == 0)
            continue;
        const KeyCode code = XKeysymToKeycode(display, chord.key);
        if (code == 0)
            continue; // a key the keyboard lacks cannot be pressed either
        unsigned base = 0;
        if ((chord.modifiers & Alt) != 0)
            base |= alt;
        if ((chord.modifiers & Shift) != 0)
            base |= ShiftMask;
        if ((chord.modifiers & Control) != 0)
            base |= ControlMask;
        for (const unsigned lock : locks) {
            const unsigned modifiers = base | lock;
            const bool planned =
                std::any_of(attempts.begin(), attempts.end(), [&](const Attempt& a) {
                    return a.grab.code == code && a.grab.modifiers == modifiers;
                });
            if (planned || isHeld(code, modifiers))
                continue;
            attempts.push_back({NextRequest(display), {code, modifiers, chord.group}});
            XGrabKey(display, code, modifiers, root, False, GrabModeAsync, GrabModeAsync);
        }
    }
    // The server answers a grab someone else holds with BadAccess; XSync makes every answer
    // arrive while our handler is still in place.
    XSync(display, False);
    XSetErrorHandler(previous);

    bool all = true;
    for (const Attempt& attempt : attempts) {
        const bool refused = std::find(refusedSerials.begin(), refusedSerials.end(),
                                       attempt.serial) != refusedSerials.end();
        if (refused)
            all = false;
        else
            held.push_back(attempt.grab);
    }
    return all ? 1 : 0;
}

int release(Display* display, int groups) {
    const Window root = DefaultRootWindow(display);
    const auto released = std::remove_if(held.begin(), held.end(), [&](const Grab& grab) {
        if ((grab.group & groups) == 0)
            return false;
        XUngrabKey(display, grab.code, grab.modifiers, root);
        return true;
    });
    held.erase(released, held.end());
    XSync(display, False);
    return 1;
}

} // namespace

extern "C" int DisableTaskKeys(int first, int second) {
    const std::lock_guard lock(mutex);
    Display* display = openConnection();
    if (display == nullptr)
        return 0;
    return first != 0 ? block(display, second) : release(display, second);
}
