// The writing engine's window: full screen beneath the practice pad, with the writing box
// (待书写框) that holds the line to practise, the buttons to move along it, rewrite a cell and
// stop, and the practice grid.
#pragma once

#include <QLineEdit>
#include <QWidget>

class PracticeGrid;
class QPushButton;

// The magnifier a teacher drags onto a line of the practice pad to practise that line.
class MagnifierIcon : public QWidget {
    Q_OBJECT
public:
    explicit MagnifierIcon(QWidget* parent);

signals:
    void dropped(QPoint screenPoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool dragging_ = false;
};

// The writing box. The engine lies below the other windows and is never activated by them: a
// press on the box makes it the window that takes the keys.
class WritingBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class EngineWindow : public QWidget {
    Q_OBJECT
public:
    EngineWindow();

    MagnifierIcon* magnifier;
    WritingBox* writingBox;
    QPushButton* previousButton;
    QPushButton* nextButton;
    QPushButton* rewriteButton;
    QPushButton* stopButton;
    PracticeGrid* grid;

    // Covers a screen of that size and lays the controls out for it.
    void layOut(const QRect& screen);
    // A line taken from the pad: selected there, dropped here or picked with the magnifier.
    void takeLine(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void selectionChanged();
    void magnifierDropped(QPoint screenPoint);

    QWidget* controls_;
};
