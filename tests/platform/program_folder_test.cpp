// The per-user stand-in for an installed, read-only program folder.
#include "platform/os/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ProgramFolder, LinksInstalledFilesCopiesWrittenOnesAndKeepsTheUsers) {
    QTemporaryDir dir;
    const QString installed = dir.filePath(QStringLiteral("usr/lib/k-vorne"));
    const QString user = dir.filePath(QStringLiteral("home/K_Vorne/program"));
    write(installed + QStringLiteral("/K_Vorne"), "program");
    write(installed + QStringLiteral("/ani.dll"), "engine");
    write(installed + QStringLiteral("/db/pic/1.jt"), "stamp");
    write(installed + QStringLiteral("/admin.sec"), "record");

    ASSERT_TRUE(linkProgramFolder(installed, user));
    for (const char* name : {"K_Vorne", "ani.dll", "db/pic/1.jt"}) {
        const QFileInfo link(user + QLatin1Char('/') + QLatin1String(name));
        EXPECT_TRUE(link.isSymLink()) << name;
        EXPECT_EQ(link.symLinkTarget(), installed + QLatin1Char('/') + QLatin1String(name));
    }
    const QString record = user + QStringLiteral("/admin.sec");
    EXPECT_FALSE(QFileInfo(record).isSymLink());
    EXPECT_EQ(QFile::permissions(record) & (QFile::ReadOther | QFile::ReadGroup), 0);

    // The program writes its files; an update of the installed files changes the set.
    write(record, "changed");
    write(user + QStringLiteral("/1"), "page text");
    QFile::remove(installed + QStringLiteral("/ani.dll"));
    write(installed + QStringLiteral("/vrnkb.dll"), "keys");
    ASSERT_TRUE(linkProgramFolder(installed, user));
    EXPECT_EQ(read(record), "changed");
    EXPECT_EQ(read(user + QStringLiteral("/1")), "page text");
    EXPECT_FALSE(QFileInfo(user + QStringLiteral("/ani.dll")).isSymLink());
    EXPECT_EQ(read(user + QStringLiteral("/vrnkb.dll")), "keys");
}

TEST(ProgramFolder, AWritableFolderIsItsOwnProgramFolder) {
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("user"));
    EXPECT_EQ(chooseProgramFolder(dir.path(), user), dir.path() + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(user));

    // Root may write into the installed folder, which must stay as the package left it.
    write(dir.filePath(InstalledMarker), "");
    write(dir.filePath(QStringLiteral("ani.dll")), "engine");
    EXPECT_EQ(chooseProgramFolder(dir.path(), user), user + QLatin1Char('/'));
    EXPECT_TRUE(QFileInfo(user + QStringLiteral("/ani.dll")).isSymLink());
}
