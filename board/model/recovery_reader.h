// Reading back what the recovery writer kept, and putting it into the board.
#pragma once

#include "board/model/recovery_snapshot.h"

#include <functional>
#include <optional>

class BoardModel;

// The state of the folder's last complete write; nothing when there is none or when any file
// it names is missing or damaged (a state is given back whole or not at all).
std::optional<RecoveredBoard> readRecovery(const QString& folder);

// The board as it was: its pages with their states, panels and texts (written to the files
// `textFile` names, a stale file of a page without text removed), the page count, the
// current page and the background colour. The board's windows are told as after a turn into
// the current page.
void restoreRecovery(BoardModel& board, const RecoveredBoard& recovered,
                     const std::function<QString(int page)>& textFile);
