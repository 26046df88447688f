// The button that opens an instrument, and its small row of choices below the title bar: the
// ruler, the two set squares, the protractor, the compass and the axes.
#pragma once

#include "instruments/model/instrument.h"

#include <QObject>

class QWidget;
namespace platform {
class Panel;
class SpeedButton;
} // namespace platform

class InstrumentChooser : public QObject {
    Q_OBJECT
public:
    // The button goes into `bar`; the choices open on `window` below it.
    InstrumentChooser(QWidget* bar, QWidget* window);

    platform::SpeedButton* Button;
    platform::Panel* Choices;

    // Puts the button at `left` of the bar, and the choices under it.
    void placeAt(int left);

signals:
    void chosen(InstrumentKind kind);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
