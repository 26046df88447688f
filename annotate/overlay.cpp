#include "annotate/overlay.h"

TForm2* Form2 = nullptr;

TForm2::TForm2() : SurfaceWindow(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("标注"));
}
