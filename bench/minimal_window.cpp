// The start-up floor: the least a Qt Widgets program does to show a toolbar-sized window.
// startup_bench.py times K_Vorne against this program in the same run.
#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The same window kind and place as the toolbar, so that only the program's own work differs.
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                Qt::WindowDoesNotAcceptFocus);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.setFixedSize(343, 39);
    window.move(QGuiApplication::primaryScreen()->geometry().width() - 436, 0);
    window.show();
    return QApplication::exec();
}
