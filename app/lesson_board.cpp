#include "app/lesson_board.h"

#include "app/recovery.h"

#include "board/whiteboard.h"
#include "platform/widgets/controls.h"

BoardModel& WhiteboardLessons::model() {
    return model_;
}

void WhiteboardLessons::showLessonPage(int page, const QImage& picture) {
    board_->Edit2->setText(QString::number(page));
    board_->canvas().drawImage(0, 0, picture);
    board_->showSurface();
}

void WhiteboardLessons::showCurrentPage() {
    board_->Edit2->setText(QString::number(model_.currentPage()));
    board_->Invalidate();
}

void WhiteboardLessons::allPagesSaved() {
    discardRecovery();
}
