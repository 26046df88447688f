// The help window: the help document with the product's title and the maker's notice.
#pragma once

#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"
#include "platform/widgets/web_view.h"

#include <memory>

class QLabel;

class QPushButton;

class TForm4 : public platform::Form {
    Q_OBJECT
public:
    TForm4();

    // The browser is made when help is first shown: the program starts without the engine.
    std::unique_ptr<platform::WebView> WebBrowser1;
    QString HelpDocument() const;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label13; // opens the help document in the desktop's browser; hidden while it is missing
    QPushButton* BitBtn1;

    void FormCreate() {}
    void FormShow();
    void BitBtn1Click();
    void Label13Click();

    // The browser is made before the window first appears: making it later gives the window a
    // new native window, which a modal window beneath would then block.
    void setVisible(bool visible) override;
};

extern platform::SingleWindow<TForm4> Form4;
