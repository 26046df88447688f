// Keeping the program's windows off the desktop's taskbar and out of its window switchers: the
// program is reached through its own toolbar only.
#pragma once

namespace platform {

// From now on each top-level window of the program is marked, every time it is about to be
// shown, as one that panels and switchers leave out; windows shown already are marked at once.
// A window manager drops the mark when a window is hidden, so marking once would not last.
void keepWindowsOffTaskbar();

} // namespace platform
