// Message boxes owned by a window. The program's texts are passed as they stand.
#pragma once

#include "platform/raster/tcolor.h"

#include <QFont>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

enum class Answer { Yes, No, Ok };

// The title of every confirmation box.
inline const QString ConfirmTitle = QStringLiteral("提示信息");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A Yes/No box; the answer the teacher gave.
    virtual Answer askYesNo(QWidget* owner, const QString& text, const QString& title) = 0;
    // An OK box that tells something.
    virtual void inform(QWidget* owner, const QString& text, const QString& title) = 0;
    // The box shown when a command failed unexpectedly.
    virtual void showError(QWidget* owner, const QString& text) = 0;
    // The colour dialog, starting at `initial`; nothing when it was cancelled.
    virtual std::optional<TColor> chooseColor(QWidget* owner, TColor initial) = 0;
    // The open and save file dialogs with a name filter such as "*.txt", or labels and
    // patterns in pairs ("Pictures (*.jpg;*.png)|*.jpg;*.png|..."); the name chosen, or
    // nothing when the dialog was cancelled. No extension is added to a name typed without one.
    virtual std::optional<QString> chooseOpenFile(QWidget* owner, const QString& filter) = 0;
    virtual std::optional<QString> chooseSaveFile(QWidget* owner, const QString& filter) = 0;
    // The font dialog with an Apply button, starting at `initial`: each Apply hands the font
    // the dialog shows to `apply`. The font chosen with OK, or nothing when it was cancelled.
    virtual std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial,
                                            const std::function<void(const QFont&)>& apply) = 0;
    // The open dialog for documents, starting in `folder` with `fileName` proposed. `filter`
    // is written as on Windows, descriptions and patterns in turn ("htm files|*.htm|..."); the
    // patterns match names whatever their case, as they do there.
    virtual std::optional<QString> chooseDocument(QWidget* owner, const QString& folder,
                                                  const QString& filter,
                                                  const QString& fileName) = 0;
};

} // namespace platform
