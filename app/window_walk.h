// Finding the desktop's windows by caption, as the start-up checks and the exit do.
#pragma once

#include <QStringList>

// Walks every top-level window from the top, reads each caption into a buffer of
// `bufferSize` characters and sends a close request to each whose caption is exactly one of
// `captions`. Returns how many were asked to close.
int closeWindowsCaptioned(const QStringList& captions, int bufferSize);
