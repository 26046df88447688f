// The writing-practice pad beside the external writing engine.
#pragma once

#include "platform/widgets/form.h"

class TForm14 : public platform::Form {
    Q_OBJECT
public:
    TForm14();

    void FormCreate() {}
    // Shows the pad and starts the engine. The pad's lines and the engine come with the pad
    // itself; until then the command leaves the desktop as it is.
    void openPad() {}
};

extern TForm14* Form14;
