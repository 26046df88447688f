// The picture library's own controls: a library picture showing its small preview, and the
// list of the teacher's own pictures, drawn from the board's model.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

struct OwnPictureList;

// A 50 x 50 library picture. Its stamp file is armed on a press, or, for a picture made to
// react to a click, on a release over it after a press on it.
class StampPicture : public QWidget {
    Q_OBJECT
public:
    static constexpr int Size = 50;
    StampPicture(QWidget* parent, int left, int top, QString fileName, bool onClick);

    const QString FileName;

signals:
    void chosen(const QString& fileName);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage preview_;
    bool onClick_;
};

// The own pictures: the window colour, with slot i's thumbnail at y = i * 105. It is as high as
// the list says; a release reports its height in the list.
class OwnPictureView : public QWidget {
    Q_OBJECT
public:
    OwnPictureView(QWidget* parent, const OwnPictureList& list);
    // Takes the list's height and shows its thumbnails again.
    void refresh();

signals:
    void released(int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const OwnPictureList& list_;
};
