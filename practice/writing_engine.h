// What passes between the practice pad and the writing engine, a program of its own that the
// toolbar starts from the program folder: the pad knows the engine by its window's caption alone.
#pragma once

#include <QString>

inline const QString WritingEngineCaption = QStringLiteral("书写练习引擎");
// The pad's own caption: the engine takes a line only from a window that bears it when the
// teacher drops the engine's magnifier there.
inline const QString PracticePadCaption = QStringLiteral("书写练习");

// Command lines for the engine and for the script the pad runs at start. `programFolder` ends
// in a separator; its path may hold spaces.
QString writingEngineCommandLine(const QString& programFolder);
QString startupScriptCommandLine(const QString& programFolder);
