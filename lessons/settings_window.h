// The settings window: teachers, lessons and personal settings.
#pragma once

#include "platform/widgets/form.h"

class TForm6 : public platform::Form {
    Q_OBJECT
public:
    TForm6();

    void FormCreate() {}
};

extern TForm6* Form6;
