// The practice grid (田字格): the line's characters one per square cell, the model character in
// light grey in the Kai face, and the pupil's pen strokes over it in dark ink. Each cell keeps
// its strokes while the pupil moves along the line.
#pragma once

#include <QPolygonF>
#include <QStringList>
#include <QWidget>
#include <map>
#include <vector>

class PracticeGrid : public QWidget {
    Q_OBJECT
public:
    explicit PracticeGrid(QWidget* parent = nullptr);

    // A new line to practise: its characters from the first cell on, every stroke wiped.
    void setLine(const QString& line);
    const QStringList& characters() const { return characters_; }

    // Cells side by side on the widget; each is `cell` pixels square.
    void setCells(int cell, int visibleCells);

    int current() const { return current_; }
    int first() const { return first_; }
    // The cells there are to write in: one per character, and at least a row's worth.
    int cellCount() const;

    void previous();
    void next();
    // Wipes the pupil's strokes from the current cell.
    void rewrite();
    // Ends a stroke the pen is still drawing, as if the pen had been lifted.
    void finishStroke();
    bool strokeInProgress() const { return drawing_; }

    // The strokes of a cell in the cell's own coordinates, 0..1 across and down.
    std::vector<QPolygonF> strokes(int index) const;

    // The colours a look at the screen can tell apart.
    static const QColor ModelColour;
    static const QColor InkColour;
    static const QColor BorderColour;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect cellRect(int slot) const;
    // The index of the cell under a point of the widget, -1 when there is none.
    int cellAt(QPoint point) const;
    QPointF inCell(QPointF point, int index) const;
    void makeVisible(int index);
    void updateCell(int index);

    QStringList characters_;
    std::map<int, std::vector<QPolygonF>> strokes_;
    QPolygonF stroke_;
    bool drawing_ = false;
    int strokeCell_ = -1;
    int cell_ = 200;
    int visible_ = 3;
    int current_ = 0;
    int first_ = 0;
};
