// The keypad on which a teacher types a password.
#pragma once

#include "platform/widgets/form.h"

class TForm7 : public platform::Form {
    Q_OBJECT
public:
    TForm7();

    void FormCreate() {}
};

extern TForm7* Form7;
