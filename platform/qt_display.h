// The screen as Qt reports it: the primary screen's size in device pixels and its depth.
#pragma once

#include "display.h"

namespace platform {

class QtDisplay final : public Display {
public:
    QSize screenSize() override;
    int colourDepth() override;
    bool requestColourDepth(int bitsPerPixel) override;
};

} // namespace platform
