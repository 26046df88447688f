// The ten digit buttons that the keypad and the change-password window share: two rows of
// five, "1".."5" above and "6".."9", "0" below, named SpeedButton1 .. SpeedButton10 as the
// windows name them. They take no focus, so a digit goes to the box that has it.
#pragma once

#include "platform/widgets/controls.h"

#include <QPushButton>
#include <array>

namespace lessons {

// The buttons in the order of their names: [0] is SpeedButton1 ("0"), [1] SpeedButton2 ("1").
std::array<platform::SpeedButton*, 10> makeDigitButtons(QWidget* parent, int topRow, int bottomRow,
                                                        const std::array<int, 5>& columns);

} // namespace lessons
