// Pixels put into the board's current page as if drawn there earlier, through the model.
#pragma once

#include "board/model/board_model.h"
#include "platform/raster/canvas.h"

inline void fillOnCurrentPage(BoardModel& board, const TRect& rect, TColor colour) {
    QImage page = board.current().copy();
    platform::Canvas(page).fillRect(rect, colour);
    board.writePage(board.currentPage(), page);
}
