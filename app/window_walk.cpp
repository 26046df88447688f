#include "app/window_walk.h"

#include "platform/os/services.h"

using namespace platform;

int closeWindowsCaptioned(const QStringList& captions, int bufferSize) {
    int closed = 0;
    for (WindowHandle w : windows().topLevelWindows()) {
        const QString caption = captionInBuffer(windows(), w, bufferSize);
        if (!caption.isEmpty() && captions.contains(caption)) {
            windows().requestClose(w);
            ++closed;
        }
    }
    return closed;
}
