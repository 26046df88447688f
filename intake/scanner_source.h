// The choice of the scanner to scan from.
#pragma once

#include "platform/widgets/form.h"

class TForm11 : public platform::Form {
    Q_OBJECT
public:
    TForm11();

    void FormCreate() {}
};

extern TForm11* Form11;
