// The small floating window with the one button that opens the picture import.
#pragma once

#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

class TForm13 : public platform::Form {
    Q_OBJECT
public:
    TForm13();

    platform::SpeedButton* SpeedButton1;

    void FormCreate() {}
    void SpeedButton1Click();

    // The picture import's progress line at (3, 23); it stays until the next one.
    QString StatusText;
    void setStatusText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};

extern platform::SingleWindow<TForm13> Form13;
