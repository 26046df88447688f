// The whiteboard as the lesson commands see it: its model, and its window showing the pages
// while a lesson is stored or loaded.
#pragma once

#include "lessons/lesson_board.h"
#include "platform/widgets/single_window.h"

class TForm3;

class WhiteboardLessons final : public lessons::LessonBoard {
public:
    WhiteboardLessons(BoardModel& model, platform::SingleWindow<TForm3>& board)
        : model_(model), board_(board) {}

    BoardModel& model() override;
    void showLessonPage(int page, const QImage& picture) override;
    void showCurrentPage() override;
    void allPagesSaved() override;

private:
    BoardModel& model_;
    platform::SingleWindow<TForm3>& board_;
};
