// The annotation overlay: a frozen picture of the desktop that the teacher writes on.
#pragma once

#include "platform/surface_window.h"

class TForm2 : public platform::SurfaceWindow {
    Q_OBJECT
public:
    TForm2();

    void FormCreate() {}
    // Freezes the desktop and shows the overlay over it. The overlay's tools are not there
    // yet, so the command leaves the desktop as it is.
    void openAnnotation() {}
};

extern TForm2* Form2;
