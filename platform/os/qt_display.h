// The screen as Qt reports it: the primary screen's size in device pixels, its depth and its
// pixels.
#pragma once

#include "platform/os/display.h"

namespace platform {

class QtDisplay final : public Display {
public:
    QSize screenSize() override;
    int colourDepth() override;
    bool requestColourDepth(int bitsPerPixel) override;
    QImage grabScreen() override;
    std::vector<ScreenInfo> screens() override;

    // The two halves of grabScreen, for measuring them apart: waiting until the server has
    // done what the program asked and the uncovered windows have repainted, and the read.
    static void settle();
    static QImage readScreen();
    // How long uncovered windows of other programs are given to repaint.
    static constexpr int SettleMilliseconds = 120;
};

} // namespace platform
