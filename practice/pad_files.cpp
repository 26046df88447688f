// Loading and saving the pad's lines as text files.
#include "practice/practice_pad.h"

#include "platform/os/services.h"
#include "practice/text_lines.h"

using namespace platform;

namespace {

const QString TextFilter = QStringLiteral("*.txt");

} // namespace

void TForm14::SpeedButton2Click() {
    const std::optional<QString> name = dialogs().chooseOpenFile(this, TextFilter);
    if (!name)
        return;
    QString error;
    if (const std::optional<QStringList> read = readTextFile(*name, error))
        setLines(*read);
    else
        dialogs().showError(this, error);
}

void TForm14::SpeedButton3Click() {
    const std::optional<QString> name = dialogs().chooseSaveFile(this, TextFilter);
    if (!name)
        return;
    QString error;
    if (!writeTextFile(*name, lines(), error))
        dialogs().showError(this, error);
}
