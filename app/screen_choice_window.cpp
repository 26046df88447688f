#include "app/screen_choice_window.h"

#include "app/blanking_screens.h"
#include "platform/os/services.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace platform;

ScreenChoiceWindow::ScreenChoiceWindow()
    : Form(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("选择消隐的屏幕"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("消隐哪些屏幕？其余屏幕照常使用。"), this));
    boxLayout_ = new QVBoxLayout;
    layout->addLayout(boxLayout_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OkButton = new QPushButton(QStringLiteral("确定"), this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("取消"), this);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    onClick(OkButton, &ScreenChoiceWindow::OkButtonClick);
    onClick(CancelButton, &ScreenChoiceWindow::CancelButtonClick);
}

QStringList ScreenChoiceWindow::ask(const std::vector<ScreenInfo>& screens,
                                    const QStringList& ticked) {
    for (QCheckBox* box : Boxes)
        delete box;
    Boxes.clear();
    screens_ = screens;
    chosen_.clear();
    const bool anyKnown = !blanking::chosenScreens(screens, ticked).empty();
    for (size_t i = 0; i < screens.size(); ++i) {
        auto* box = new QCheckBox(blanking::screenCaption(screens[i], i == 0), this);
        box->setChecked(anyKnown ? ticked.contains(blanking::screenKey(screens[i])) : i > 0);
        connect(box, &QCheckBox::toggled, this, [this] { boxToggled(); });
        boxLayout_->addWidget(box);
        Boxes.push_back(box);
    }
    boxToggled();
    adjustSize();
    ShowModal();
    return chosen_;
}

// On the program's own screen, above the blanking.
void ScreenChoiceWindow::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    guarded([this] {
        move((screenWidth() - width()) / 2, (screenHeight() - height()) / 3);
        windows().setZBand(static_cast<WindowHandle>(winId()), ZBand::Topmost);
        activateWindow();
    });
}

// Blanking nothing is no choice.
void ScreenChoiceWindow::boxToggled() {
    OkButton->setEnabled(std::any_of(Boxes.begin(), Boxes.end(),
                                     [](const QCheckBox* box) { return box->isChecked(); }));
}

void ScreenChoiceWindow::OkButtonClick() {
    chosen_.clear();
    for (size_t i = 0; i < Boxes.size(); ++i)
        if (Boxes[i]->isChecked())
            chosen_ << blanking::screenKey(screens_[i]);
    hide();
}

void ScreenChoiceWindow::CancelButtonClick() {
    chosen_.clear();
    hide();
}
