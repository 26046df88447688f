// Starting the programs of the program folder by command line, whatever its path holds.
#include "platform/os/qt_services.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace platform;

TEST(Processes, QuotedPathStartsTheProgramInAFolderWithSpacesAndQuotes) {
    QTemporaryDir top;
    const QString folder = top.filePath(QStringLiteral("K Vorne \"2\"/"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString script = folder + QStringLiteral("auto-ip.cmd");
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho ran > \"$(dirname \"$0\")/ran\"\n");
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }
    const QString line = quotedForCommandLine(script);
    EXPECT_EQ(QtProcesses::resolveCommandLine(line, top.path()),
              QStringList{QFileInfo(script).absoluteFilePath()});

    QtProcesses processes(top.path());
    ASSERT_TRUE(processes.startProgram(line, ShowState::Hide));
    const QDeadlineTimer deadline(5000);
    while (!QFile::exists(folder + QStringLiteral("ran")) && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("ran")));
}
