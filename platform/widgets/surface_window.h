// A full-screen drawing window: it keeps its own screen-sized surface, which handlers draw
// on and which the window shows; repaints only show it again.
//
// A window manager keeps a focused window that fills the screen above every window that is not
// its own. So every other window of the program that is shown while a surface window is up (a
// box, a dialog, the keypad) is made its transient window, which the manager keeps above it.
#pragma once

#include "platform/raster/canvas.h"
#include "platform/widgets/form.h"

namespace platform {

class SurfaceWindow : public Form {
    Q_OBJECT
public:
    explicit SurfaceWindow(Qt::WindowFlags flags);

    // The picture the window shows, and a canvas on it with the window's pen and brush.
    QImage Surface;
    Canvas& canvas() { return canvas_; }

    // Draws a picture over the surface at (0, 0) and shows it.
    void drawOnSurface(const QImage& picture);
    // Shows the given rectangle of the surface again (the whole surface when empty).
    void showSurface(const TRect& changed = {});

protected:
    void paintEvent(QPaintEvent* event) override;
    // Makes the surface as large as the screen, keeping what fits.
    void fitSurfaceToScreen();

private:
    Canvas canvas_;
};

} // namespace platform
