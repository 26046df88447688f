#include "samba_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace lessons;

namespace {

const QString Password = QStringLiteral("kv-test-Pw1");

// A port nothing listens on now.
int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

bool runScript(const QStringList& arguments, QString* output = nullptr) {
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral("bash"), QStringList{QStringLiteral(KV_SAMBA_SCRIPT)} + arguments);
    const bool done = script.waitForFinished(30000) &&
                      script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    if (output != nullptr)
        *output = QString::fromLocal8Bit(script.readAll());
    return done;
}

} // namespace

void SambaFixture::SetUpTestSuite() {
    if (::geteuid() != 0 ||
        QStandardPaths::findExecutable(QStringLiteral("smbd"), {QStringLiteral("/usr/sbin")})
            .isEmpty()) {
        skip_ = QStringLiteral("needs root and Samba's smbd");
        return;
    }
    dir_ = std::make_unique<QTemporaryDir>();
    port_ = freePort();
    QString output;
    if (!runScript({QStringLiteral("start"), dir_->path(), QString::number(port_), Password},
                   &output))
        skip_ = QStringLiteral("smbd did not start: ") + output;
}

void SambaFixture::TearDownTestSuite() {
    if (dir_)
        runScript({QStringLiteral("stop"), dir_->path()});
    dir_.reset();
}

void SambaFixture::SetUp() {
    if (!skip_.isEmpty())
        GTEST_SKIP() << skip_.toStdString();
    ArchiveFixture::SetUp();
    ASSERT_TRUE(stagingDir.isValid() && secondDir.isValid());
    // Each test starts with an empty share and a server that answers.
    server(QStringLiteral("resume"));
    QDir(shareFolder()).removeRecursively();
    QDir().mkpath(lessonOnServer());
}

QString SambaFixture::serverFolder() {
    return dir_->path();
}

QString SambaFixture::lessonUrl() {
    return QStringLiteral("smb://127.0.0.1/kvtest/Program files/K_Vorne/data/");
}

QString SambaFixture::lessonOnServer() {
    return shareFolder() + QStringLiteral("Program files/K_Vorne/data/");
}

platform::SchoolShare SambaFixture::share() {
    QFile password(dir_->path() + QStringLiteral("/password"));
    password.open(QIODevice::WriteOnly);
    password.write(Password.toUtf8() + '\n');
    password.close();
    password.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray ini =
        QStringLiteral("Address=smb://127.0.0.1:%1/kvtest\nAccount=KVTEST\\root\n"
                       "Timeout=%2\n")
            .arg(port_)
            .arg(TimeoutSeconds)
            .toUtf8();
    return *platform::parseSchoolShare(ini, password.fileName());
}

void SambaFixture::server(const QString& command) {
    QStringList arguments{command, dir_->path()};
    if (command == QLatin1String("start"))
        arguments << QString::number(port_) << Password;
    ASSERT_TRUE(runScript(arguments)) << command.toStdString();
}

QString SambaFixture::stage(const LessonOwner& owner) {
    QDir(stagingDir.path()).removeRecursively();
    QDir().mkpath(stagingDir.path());
    const QString staging = stagingDir.path() + QLatin1Char('/');
    LessonArchive archive;
    EXPECT_TRUE(archive.save(*board, staging, owner, true).ok());
    return staging;
}

ShareReply SambaFixture::openElsewhere(const LessonOwner& owner) {
    ShareSession session(share());
    ShareTask task;
    const QString local = secondDir.path() + QLatin1Char('/');
    ShareReply reply = downloadLesson(session, lessonUrl(), owner, {}, local, task);
    makeBoard();
    if (reply.result.ok() && reply.lesson) {
        LessonArchive archive;
        const ArchiveResult opened = archive.open(*board, local, *reply.lesson);
        if (!opened.ok())
            reply.result = opened;
    }
    return reply;
}
