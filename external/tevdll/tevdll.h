// libTEVDLL.so: blocks the keys that switch away from a full-screen program on an X11 desktop.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Key groups selected by DisableTaskKeys' second argument; 23 selects all of them.
enum {
    TEV_KEYS_ALT_TAB = 1,  // Alt+Tab and Alt+Shift+Tab
    TEV_KEYS_ALT_ESC = 2,  // Alt+Esc
    TEV_KEYS_CTRL_ESC = 4, // Ctrl+Esc
    TEV_KEYS_SUPER = 16,   // the left and right Super ("Windows logo") keys
    TEV_KEYS_ALL = 23
};

// first = 1 blocks the groups in `second`, first = 0 gives back the ones blocked before.
// The keys are grabbed on the root window through a connection that stays open for the life of
// the process, once for each state of CapsLock and NumLock. Blocking a group that is already
// blocked grabs nothing again. Answers 1 when every selected key is blocked (or released),
// 0 when some grab was refused (a window manager holds that key) or there is no X display.
__attribute__((visibility("default"))) int DisableTaskKeys(int first, int second);

#ifdef __cplusplus
}
#endif
