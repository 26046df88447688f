// The window that asks which screens blanking covers: one box per screen, listed by name and
// size, the screens other than the program's own ticked the first time.
#pragma once

#include "platform/os/display.h"
#include "platform/widgets/form.h"

#include <QStringList>
#include <vector>

class QCheckBox;
class QPushButton;
class QVBoxLayout;

class ScreenChoiceWindow : public platform::Form {
    Q_OBJECT
public:
    ScreenChoiceWindow();

    std::vector<QCheckBox*> Boxes; // one per screen, in the desktop's order
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // Asks, modally, with the screens of `ticked` ticked (the screens other than the first,
    // when it names none of them); the keys of the screens chosen, empty when the teacher
    // cancelled.
    QStringList ask(const std::vector<platform::ScreenInfo>& screens, const QStringList& ticked);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OkButtonClick();
    void CancelButtonClick();
    void boxToggled();

    QVBoxLayout* boxLayout_;
    std::vector<platform::ScreenInfo> screens_;
    QStringList chosen_;
};
