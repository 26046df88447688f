// Which screens blanking covers where the desktop has more than one: the teacher's choice,
// kept for this PC in a file of the program's state folder of its own (the Windows program's
// files are left as they are).
#pragma once

#include "platform/os/display.h"

#include <QStringList>
#include <vector>

namespace blanking {

// A screen as the choice names it: its name, size and place, so that another projector (or
// the same one at another size) is asked about again.
QString screenKey(const platform::ScreenInfo& screen);
// How the choice lists a screen: its name and size; the program's own screen says so.
QString screenCaption(const platform::ScreenInfo& screen, bool ownScreen);

// "blanking.ini" in the state folder; empty when the folder cannot be made.
QString choiceFile();
// The screens chosen before, as keys; empty when none were.
QStringList rememberedChoice();
// Keeps the choice for the next blanking; false when it could not be written.
bool rememberChoice(const QStringList& keys);

// The present screens among `keys`, in the desktop's order.
std::vector<platform::ScreenInfo> chosenScreens(const std::vector<platform::ScreenInfo>& present,
                                                const QStringList& keys);

} // namespace blanking
