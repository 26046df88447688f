// The small set of classic controls the windows are built from: flat picture buttons,
// coloured panels with a caption, colour swatches and read-only number boxes.
#pragma once

#include "platform/raster/tcolor.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

namespace platform {

// A flat button with a picture; its hint shows as a tooltip.
class SpeedButton : public QToolButton {
    Q_OBJECT
public:
    SpeedButton(QWidget* parent, int left, int top, int width, int height,
                const QString& hint = {});

protected:
    bool event(QEvent* event) override;

private:
    void showHint();

    // Qt starts a hint on a pointer motion, and takes none at the point where it saw the
    // pointer last: a pointer that comes back onto the button there (a pen lifted and put down
    // again, a touch) brings only the entering. That starts this one.
    QTimer hintTimer_;
};

// A flat button that shows a caption where others show a picture.
SpeedButton* textButton(QWidget* parent, int left, int top, int width, int height,
                        const QString& caption, const QString& hint = {});

// A push button of a dialog or a form; it takes no focus, so that typing stays in the box that
// has it.
QPushButton* pushButton(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height);

// One line of text on a form, 18 high.
QLabel* formLabel(QWidget* parent, const QString& text, int left, int top, int width);

// Makes the button one of its parent's exclusive buttons (a QButtonGroup the parent owns):
// a press, or setChecked(true), puts it down and lifts the one that was down.
void makeExclusive(SpeedButton* button);

// A filled rectangle with an optional caption drawn in a chosen colour.
class Panel : public QWidget {
    Q_OBJECT
public:
    Panel(QWidget* parent, int left, int top, int width, int height, TColor color);
    TColor color() const { return color_; }
    void setColor(TColor color);
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    void setCaptionColor(TColor color);
    void setCaptionAlignment(Qt::Alignment alignment);
    void setBevel(bool raised);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor color_;
    TColor captionColor_ = clBlack;
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
    bool bevel_ = false;
};

// A colour swatch; the colour it holds is the value the commands read.
class Swatch : public QWidget {
    Q_OBJECT
public:
    Swatch(QWidget* parent, int left, int top, int width, int height, TColor color,
           const QString& hint);
    TColor Color() const { return color_; }
    void setColor(TColor color);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TColor color_;
};

// A read-only box showing a number in large red digits; its text is the value. Digits that
// would not fit at the designed size are drawn smaller, so that the whole number shows.
class NumberBox : public QLineEdit {
    Q_OBJECT
public:
    NumberBox(QWidget* parent, int left, int top, int width, int height, int pixelSize,
              const QString& text, const QString& hint);

private:
    void fitText();

    int pixelSize_;
};

// A picture shown at its own size from the top-left corner; what lies outside the control is
// cut off. It reports the mouse in its own coordinates.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent);
    const QImage& picture() const { return picture_; }
    QImage& picture() { return picture_; }
    void setPicture(const QImage& picture);

signals:
    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

} // namespace platform
