// The desktop implementation of the dialog service: Qt's message boxes and colour dialog.
#pragma once

#include "platform/os/dialogs.h"

#include <QLocale>
#include <QStringList>

namespace platform {

// A filter written as on Windows ("swf files (*.swf)|*.SWF|...": descriptions and patterns in
// turn, patterns separated by ';') as Qt's name filters, each pattern matching names whatever
// their case: "swf files (*.swf) (*.[sS][wW][fF])".
QStringList nameFiltersFromWindows(const QString& filter);

// Qt's own dialogs and buttons speak Chinese, as the program does: traditional characters on a
// system set to them, simplified ones otherwise. Loads Qt's translations into the running
// application; false when they are not installed, and Qt's texts stay English.
bool installQtTranslations(const QLocale& system);

class QtDialogs final : public Dialogs {
public:
    Answer askYesNo(QWidget* owner, const QString& text, const QString& title) override;
    void inform(QWidget* owner, const QString& text, const QString& title) override;
    void showError(QWidget* owner, const QString& text) override;
    std::optional<TColor> chooseColor(QWidget* owner, TColor initial) override;
    std::optional<QString> chooseOpenFile(QWidget* owner, const QString& filter) override;
    std::optional<QString> chooseSaveFile(QWidget* owner, const QString& filter) override;
    std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial,
                                    const std::function<void(const QFont&)>& apply) override;
    std::optional<QString> chooseDocument(QWidget* owner, const QString& folder,
                                          const QString& filter, const QString& fileName) override;

private:
    // Each file dialog opens in the folder the previous one ended in.
    QString lastFolder_;
};

} // namespace platform
