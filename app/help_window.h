// The help window: the help document with the product's title and the maker's notice.
#pragma once

#include "platform/form.h"

class QLabel;
class QPushButton;

class TForm4 : public platform::Form {
    Q_OBJECT
public:
    TForm4();

    QWidget* WebBrowser1;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label13;
    QPushButton* BitBtn1;

    void FormCreate() {}
    void BitBtn1Click();
    void Label13Click();
};

extern TForm4* Form4;
