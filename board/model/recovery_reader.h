// Reading back what the recovery writer kept, and putting it into the board.
#pragma once

#include "board/model/recovery_snapshot.h"

#include <functional>
#include <optional>

class BoardModel;

// What can be read of the folder's last complete write, page by page: a page or a text that is
// missing or damaged is left out and listed. When the write's list itself cannot be read, the
// pages of `screen`'s size are taken from their files alone, on `background`. Nothing when the
// folder holds none of its own files.
std::optional<RecoveredBoard> readRecovery(const QString& folder, QSize screen, TColor background);

// The board as it was: its pages with their states, panels and texts (written to the files
// `textFile` names, every other page's file removed), the page count, the current page and
// the background colour. A page without a panel's place keeps the board's; a page that could
// not be read is blank. The board's
// windows are told as after a turn into the current page.
void restoreRecovery(BoardModel& board, const RecoveredBoard& recovered,
                     const std::function<QString(int page)>& textFile);

// The text files of pages 1 .. 99 go, so that no page shows a text of an earlier run.
void removePageTexts(const std::function<QString(int page)>& textFile);
