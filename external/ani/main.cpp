// "ani.dll": the writing engine beside the practice pad. It shows the line to practise one
// character per cell of a large practice grid, where a pupil writes over each model character
// with the pen. It runs until its "停止" button or a close request ends it.
#include "external/ani/engine_window.h"

#include <QApplication>
#include <QFont>
#include <QScreen>

int main(int argc, char* argv[]) {
    // Qt names some windows of its own after the application, and the pad looks for windows
    // captioned like the engine's: only the engine's window may carry that caption.
    QApplication::setApplicationName(QStringLiteral("ani"));
    QApplication app(argc, argv);
    // The designed faces are not on Linux; these free faces stand in for them.
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("AR PL SungtiL GB"));
    QFont::insertSubstitution(QStringLiteral("楷体"), QStringLiteral("AR PL KaitiM GB"));

    EngineWindow window;
    QScreen* screen = QGuiApplication::primaryScreen();
    window.layOut(screen->geometry());
    QObject::connect(screen, &QScreen::geometryChanged, &window,
                     [&window](const QRect& geometry) { window.layOut(geometry); });
    window.show();
    return QApplication::exec();
}
