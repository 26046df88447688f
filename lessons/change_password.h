// The window in which a teacher changes a password.
#pragma once

#include "platform/widgets/form.h"

class TForm8 : public platform::Form {
    Q_OBJECT
public:
    TForm8();

    void FormCreate() {}
};

extern TForm8* Form8;
