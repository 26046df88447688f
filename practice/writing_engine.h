// What passes between the practice pad and the writing engine, a program of its own that the
// toolbar starts from the program folder: the pad knows the engine by its window's caption alone.
#pragma once

#include <QString>

inline const QString WritingEngineCaption = QStringLiteral("书写练习引擎");

// Command lines for the engine and for the script the pad runs at start. `programFolder` ends
// in a separator; its path may hold spaces.
QString writingEngineCommandLine(const QString& programFolder);
QString startupScriptCommandLine(const QString& programFolder);
