#include "external/ani/engine_layout.h"

#include <algorithm>

namespace {

constexpr int Margin = 10;
constexpr int ControlsHeight = 48;
constexpr int ToolbarBottom = 40;
// Three cells side by side show a character with its neighbours.
constexpr int CellsAcross = 3;

} // namespace

int padBottom(QSize screen) {
    if (screen.height() == 600)
        return 40 + 103;
    return std::max(0, (screen.height() - 424) / 2 - 100) + 154;
}

EngineLayout engineLayout(QSize screen) {
    EngineLayout layout;
    const int top = std::max(padBottom(screen), ToolbarBottom) + Margin;
    const int width = screen.width() - 2 * Margin;
    layout.controls = QRect(Margin, top, width, ControlsHeight);

    const int gridTop = layout.controls.bottom() + 1 + Margin;
    const int gridHeight = screen.height() - Margin - gridTop;
    // A cell a pupil can write in with the pen is at least a fifth of the screen high.
    layout.cell = std::max(screen.height() / 5, std::min(gridHeight, width / CellsAcross));
    layout.visibleCells = std::max(1, width / layout.cell);
    const int gridWidth = layout.visibleCells * layout.cell;
    const int spare = std::max(0, gridHeight - layout.cell);
    layout.grid =
        QRect((screen.width() - gridWidth) / 2, gridTop + spare / 2, gridWidth, layout.cell);
    return layout;
}
