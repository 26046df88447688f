// The desktop implementation of the dialog service: Qt's message boxes and colour dialog.
#pragma once

#include "platform/os/dialogs.h"

namespace platform {

class QtDialogs final : public Dialogs {
public:
    Answer askYesNo(QWidget* owner, const QString& text, const QString& title) override;
    void inform(QWidget* owner, const QString& text, const QString& title) override;
    void showError(QWidget* owner, const QString& text) override;
    std::optional<TColor> chooseColor(QWidget* owner, TColor initial) override;
    std::optional<QString> chooseOpenFile(QWidget* owner, const QString& filter) override;
    std::optional<QString> chooseSaveFile(QWidget* owner, const QString& filter) override;

private:
    // Each file dialog opens in the folder the previous one ended in.
    QString lastFolder_;
};

} // namespace platform
