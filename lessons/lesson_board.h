// What the lesson archive's commands ask of the whiteboard beyond its model: to show a page
// while it is stored or loaded, and its own page again afterwards. The program implements it
// over the board window; tests give a fake.
#pragma once

#include <QImage>

class BoardModel;

namespace lessons {

class LessonBoard {
public:
    virtual ~LessonBoard() = default;

    virtual BoardModel& model() = 0;
    // The board shows the picture with the page number in its readout; its current page and
    // its pages stay as they are.
    virtual void showLessonPage(int page, const QImage& picture) = 0;
    // The board shows its current page and its number again.
    virtual void showCurrentPage() = 0;
    // Every page of the board is stored in a lesson now: what was kept against a crash can go.
    virtual void allPagesSaved() = 0;
};

} // namespace lessons
