#include "practice/writing_engine.h"

#include "platform/os/processes.h"

QString writingEngineCommandLine(const QString& programFolder) {
    return platform::quotedForCommandLine(programFolder + QStringLiteral("ani.dll"));
}

QString startupScriptCommandLine(const QString& programFolder) {
    return platform::quotedForCommandLine(programFolder + QStringLiteral("auto-ip.cmd"));
}
