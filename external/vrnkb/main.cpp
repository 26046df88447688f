// "vrnkb.dll": a row of big keys that types into whichever window has the keyboard focus, for
// a teacher standing at the board without a keyboard. It never takes the focus itself.
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// The caption the whiteboard's toolbar looks for to close this tool.
constexpr char toolCaption[] = "%*Y";

struct Key {
    const char* label;
    KeySym symbol;
    bool repeats;
};

constexpr Key keys[] = {
    {"Esc", XK_Escape, false}, {"←", XK_Left, true},        {"↑", XK_Up, true},
    {"↓", XK_Down, true},      {"→", XK_Right, true},       {"Space", XK_space, true},
    {"⌫", XK_BackSpace, true}, {"Enter", XK_Return, false},
};

::Display* x11Display() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

void typeKey(KeySym symbol) {
    ::Display* display = x11Display();
    if (display == nullptr)
        return;
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (code == 0)
        return;
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

// Closing a tool window does not end a Qt program, and the toolbar closes the tool by its
// window: the program ends with it.
class ToolWindow : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void closeEvent(QCloseEvent* event) override {
        QWidget::closeEvent(event);
        QCoreApplication::quit();
    }
};

} // namespace

int main(int argc, char* argv[]) {
    // Qt names windows without a title after the application, and the toolbar closes every
    // window captioned like ours: only the one tool window may carry that caption.
    QApplication::setApplicationName(QStringLiteral("vrnkb"));
    QApplication app(argc, argv);

    ToolWindow window(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                   Qt::WindowDoesNotAcceptFocus);
    window.setWindowTitle(QString::fromLatin1(toolCaption));
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.setFocusPolicy(Qt::NoFocus);

    auto* row = new QHBoxLayout(&window);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);
    QFont font = window.font();
    font.setPixelSize(28);
    for (const Key& key : keys) {
        auto* button = new QPushButton(QString::fromUtf8(key.label), &window);
        button->setFont(font);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumSize(72, 64);
        button->setAutoRepeat(key.repeats);
        const KeySym symbol = key.symbol;
        QObject::connect(button, &QPushButton::clicked, button, [symbol] { typeKey(symbol); });
        row->addWidget(button);
    }

    window.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.move(area.center().x() - window.width() / 2,
                    area.bottom() - window.height() - area.height() / 20);
    }
    window.show();
    return QApplication::exec();
}
