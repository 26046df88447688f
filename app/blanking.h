// The blanking window: black over the screen so that the projector shows nothing, until the
// teacher clicks anywhere. Where the desktop has two or more screens, blanking covers the
// screens the teacher chose (asked the first time, and from the window's own button later);
// when the program's own screen is not among them it goes on working beside the blanking.
#pragma once

#include "platform/os/display.h"
#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

#include <QRect>
#include <memory>
#include <vector>

class BlankingCurtain;
class ScreenChoiceWindow;

class TForm5 : public platform::Form {
    Q_OBJECT
public:
    TForm5();
    ~TForm5() override;

    platform::SpeedButton* SpeedButton1; // give the picture back
    platform::SpeedButton* SpeedButton2; // choose the screens, with two or more screens

    void FormCreate() {}
    // Shows it; modal, nothing beneath takes input until it ends. With two or more screens,
    // the screens are asked for first when no choice is kept for the present ones; while the
    // program's own screen works beside the blanking, asking again gives the picture back.
    void showBlanking(bool modal);
    void FormShow();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void FormMouseDown();

    // True while the blanking leaves the program's own screen working.
    bool ownScreenWorks() const { return ownScreenWorks_; }
    // The screens blanked now (empty while hidden, and with one screen).
    const std::vector<platform::ScreenInfo>& blankedScreens() const { return blanked_; }
    const std::vector<std::unique_ptr<BlankingCurtain>>& curtains() const { return curtains_; }
    ScreenChoiceWindow* screenChoice();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Asks which screens to blank and keeps the answer; empty when cancelled.
    void keepPointerAt(QPoint pointer);
    void dropCurtains();
    QStringList chooseScreens(const std::vector<platform::ScreenInfo>& present);
    void blankScreens(const std::vector<platform::ScreenInfo>& present,
                      const std::vector<platform::ScreenInfo>& chosen, bool modal);

    QRect place_;
    bool modalAsked_ = false;
    bool ownScreenWorks_ = false;
    std::vector<platform::ScreenInfo> blanked_;
    std::vector<std::unique_ptr<BlankingCurtain>> curtains_;
    std::unique_ptr<ScreenChoiceWindow> screenChoice_;
};

extern platform::SingleWindow<TForm5> Form5;
