// Starting other programs and opening documents or addresses.
#pragma once

#include <QString>

namespace platform {

enum class ShowState { Hide = 0, Show = 5 };

class Processes {
public:
    virtual ~Processes() = default;
    // Starts a command line. The program name is looked up in the program folder first, then
    // on the PATH. The program runs on by itself; false when it could not be started.
    virtual bool startProgram(const QString& commandLine, ShowState show) = 0;
    // Opens a file or an address with the desktop's handler for it.
    virtual bool openDocument(const QString& address) = 0;
};

// A program's path as one word of a command line, whatever spaces or quotes it holds.
QString quotedForCommandLine(const QString& path);

} // namespace platform
