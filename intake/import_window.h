// The picture import window.
#pragma once

#include "platform/widgets/form.h"

class TForm12 : public platform::Form {
    Q_OBJECT
public:
    TForm12();

    void FormCreate() {}
};

extern TForm12* Form12;
