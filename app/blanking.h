// The blanking window: black over the whole screen so that the projector shows nothing,
// until the teacher clicks anywhere.
#pragma once

#include "platform/widgets/single_window.h"
#include "platform/widgets/form.h"

class TForm5 : public platform::Form {
    Q_OBJECT
public:
    TForm5();

    platform::SpeedButton* SpeedButton1; // give the picture back

    void FormCreate() {}
    // Shows it; modal, nothing beneath takes input until it ends.
    void showBlanking(bool modal);
    void FormShow();
    void SpeedButton1Click();
    void FormMouseDown();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

extern platform::SingleWindow<TForm5> Form5;
