#include "lessons/digit_buttons.h"

namespace lessons {

std::array<platform::SpeedButton*, 10> makeDigitButtons(QWidget* parent, int topRow, int bottomRow,
                                                        const std::array<int, 5>& columns) {
    struct Place {
        char digit;
        bool top;
        int column;
    };
    // SpeedButton1 .. SpeedButton10.
    constexpr Place places[10] = {
        {'0', false, 4}, {'1', true, 0},  {'2', true, 1},  {'3', true, 2}, {'7', false, 1},
        {'8', false, 2}, {'9', false, 3}, {'6', false, 0}, {'5', true, 4}, {'4', true, 3}};
    std::array<platform::SpeedButton*, 10> buttons{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const Place& p = places[i];
        auto* b = new platform::SpeedButton(parent, columns[static_cast<std::size_t>(p.column)],
                                            p.top ? topRow : bottomRow, 31, 25);
        b->setAutoRaise(false);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setText(QString(QLatin1Char(p.digit)));
        QFont f(QStringLiteral("宋体"));
        f.setPixelSize(16);
        f.setBold(true);
        b->setFont(f);
        b->setStyleSheet(QStringLiteral("QToolButton { color: blue; }"));
        buttons[i] = b;
    }
    return buttons;
}

} // namespace lessons
