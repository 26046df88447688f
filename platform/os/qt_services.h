// The desktop implementations of the dialog, file and process services.
#pragma once

#include "platform/os/dialogs.h"
#include "platform/os/files.h"
#include "platform/os/processes.h"

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

class QtFiles final : public Files {
public:
    bool exists(const QString& path) override;
    bool removeFile(const QString& path) override;
};

class QtProcesses final : public Processes {
public:
    // Program names are looked up in `programFolder` before the PATH.
    explicit QtProcesses(QString programFolder) : programFolder_(std::move(programFolder)) {}
    bool startProgram(const QString& commandLine, ShowState show) override;
    bool openDocument(const QString& address) override;

    // The program and its arguments that a command line starts, the program looked up as
    // above; an empty program when the line names none that can be found.
    static QStringList resolveCommandLine(const QString& commandLine, const QString& programFolder);

private:
    QString programFolder_;
};

} // namespace platform
