// Black over one more screen that blanking covers, beside the blanking window; a press on it
// ends the blanking as a press on the blanking window does.
#pragma once

#include <QWidget>

class BlankingCurtain : public QWidget {
    Q_OBJECT
public:
    BlankingCurtain();

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
