#include "platform/os/qt_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

// QProcess::splitCommand's rules: a quoted word may hold spaces, and three quotes in a row
// stand for one literal quote.
QString quotedForCommandLine(const QString& path) {
    QString escaped = path;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QStringList QtProcesses::resolveCommandLine(const QString& commandLine,
                                            const QString& programFolder) {
    QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty())
        return {};
    const QString name = parts.takeFirst();
    QString program;
    const QFileInfo asGiven(name);
    if (asGiven.isAbsolute()) {
        if (asGiven.isFile())
            program = asGiven.absoluteFilePath();
    } else if (const QFileInfo local(QDir(programFolder).filePath(name)); local.isFile()) {
        program = local.absoluteFilePath();
    } else {
        program = QStandardPaths::findExecutable(name);
    }
    if (program.isEmpty())
        return {};
    parts.prepend(program);
    return parts;
}

bool QtProcesses::startProgram(const QString& commandLine, ShowState) {
    QStringList parts = resolveCommandLine(commandLine, programFolder_);
    if (parts.isEmpty())
        return false;
    const QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts, QDir::currentPath());
}

bool QtProcesses::openDocument(const QString& address) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(address, QDir::currentPath()));
}

} // namespace platform
