#include "app/lesson_board.h"

#include "app/recovery.h"

#include "board/whiteboard.h"
#include "platform/widgets/controls.h"

BoardModel& WhiteboardLessons::model() {
    return board_.Board;
}

void WhiteboardLessons::showLessonPage(int page, const QImage& picture) {
    board_.Edit2->setText(QString::number(page));
    board_.canvas().drawImage(0, 0, picture);
    board_.showSurface();
}

void WhiteboardLessons::showCurrentPage() {
    board_.Edit2->setText(QString::number(board_.Board.currentPage()));
    board_.Invalidate();
}

void WhiteboardLessons::allPagesSaved() {
    discardRecovery();
}
