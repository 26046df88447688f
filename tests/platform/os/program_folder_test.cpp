// The per-user stand-in for an installed, read-only program folder.
#include "files.h"
#include "platform/os/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {} // namespace

TEST(ProgramFolder, LinksInstalledFilesCopiesWrittenOnesAndKeepsTheUsers) {
    QTemporaryDir dir;
    const QString installed = dir.filePath(QStringLiteral("usr/lib/k-vorne"));
    const QString user = dir.filePath(QStringLiteral("home/K_Vorne/program"));
    writeBytes(installed + QStringLiteral("/K_Vorne"), "program");
    writeBytes(installed + QStringLiteral("/ani.dll"), "engine");
    writeBytes(installed + QStringLiteral("/db/pic/1.jt"), "stamp");
    writeBytes(installed + QStringLiteral("/admin.sec"), "record");

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
    writeBytes(record, "changed");
    writeBytes(user + QStringLiteral("/1"), "page text");
    QFile::remove(installed + QStringLiteral("/ani.dll"));
    writeBytes(installed + QStringLiteral("/vrnkb.dll"), "keys");
    ASSERT_TRUE(linkProgramFolder(installed, user));
    EXPECT_EQ(readBytes(record), "changed");
    EXPECT_EQ(readBytes(user + QStringLiteral("/1")), "page text");
    EXPECT_FALSE(QFileInfo(user + QStringLiteral("/ani.dll")).isSymLink());
    EXPECT_EQ(readBytes(user + QStringLiteral("/vrnkb.dll")), "keys");
}

TEST(ProgramFolder, AWritableFolderIsItsOwnProgramFolder) {
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("user"));
    EXPECT_EQ(chooseProgramFolder(dir.path(), user), dir.path() + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(user));

    // Root may write into the installed folder, which must stay as the package left it.
    writeBytes(dir.filePath(InstalledMarker), "");
    writeBytes(dir.filePath(QStringLiteral("ani.dll")), "engine");
    EXPECT_EQ(chooseProgramFolder(dir.path(), user), user + QLatin1Char('/'));
    EXPECT_TRUE(QFileInfo(user + QStringLiteral("/ani.dll")).isSymLink());
}
