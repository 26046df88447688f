// A real Samba server for the tests of lessons on a school's share: started as root on the
// loopback with a configuration, a share and a port of its own (tests/support/samba_server.sh),
// and the program's share setting pointing at it. Tests skip where smbd cannot be run.
#pragma once

#include "archive_fixture.h"
#include "lessons/share_jobs.h"

#include <QTemporaryDir>

class SambaFixture : public ArchiveFixture {
protected:
    static constexpr int TimeoutSeconds = 2;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // The server's folder and the share as this machine sees it.
    static QString serverFolder();
    static QString shareFolder() { return serverFolder() + QStringLiteral("/share/"); }
    // The lesson folder of drive "S" on the share, as a URL and as the server's own folder.
    static QString lessonUrl();
    static QString lessonOnServer();
    static platform::SchoolShare share();
    // Runs the server script's command: "kill", "stop", "pause", "resume", or "start" again.
    static void server(const QString& command);

    // Stores the board's pages as the owner's lesson in a folder of this machine (as the
    // program does before a lesson goes to the share) and returns it.
    QString stage(const lessons::LessonOwner& owner);
    // Opens the owner's lesson from the share into a fresh board, as a second classroom.
    lessons::ShareReply openElsewhere(const lessons::LessonOwner& owner);

    QTemporaryDir stagingDir;
    QTemporaryDir secondDir;

private:
    static inline std::unique_ptr<QTemporaryDir> dir_;
    static inline int port_ = 0;
    static inline QString skip_;
};
