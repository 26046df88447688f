// Profile files on disk: an operation's writes reach the file once, whole, or not at all;
// and the file services the teachers' settings stand on (drives, folders, bytes at an offset).
#include "files.h"
#include "platform/os/fakes.h"
#include "platform/os/qt_services.h"
#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

using namespace platform;

namespace {

unsigned modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777U : 0U;
}

// A folder in which nothing can be created, renamed or removed, even by root, while it lives.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const QString& path) : path_(path) {
        ok_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~ImmutableFolder() {
        if (ok_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
    }
    bool ok() const { return ok_; }

private:
    QString path_;
    bool ok_ = false;
};

} // namespace

TEST(IniFile, AnOperationsWritesReachTheFileOnceAndWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("datb.sec"));
    const QByteArray original = "[tec]\r\nmum=2\r\n; kept\r\n";
    writeBytes(path, original);
    QtProfiles profiles;
    {
        IniFile ini(profiles, path);
        ini.WriteInteger(QStringLiteral("tec"), QStringLiteral("mum"), 3);
        ini.WriteString(QStringLiteral("tec"), QStringLiteral("te3"), QStringLiteral("王"));
        // Its own writes are seen at once; the file is untouched until the update.
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("tec"), QStringLiteral("mum"), 1), 3);
        EXPECT_EQ(ini.ReadString(QStringLiteral("TEC"), QStringLiteral("te3"), {}),
                  QStringLiteral("王"));
        EXPECT_EQ(readBytes(path), original);
        ini.UpdateFile();
    }
    const QByteArray updated = "[tec]\r\nmum=3\r\nte3=\xCD\xF5\r\n; kept\r\n";
    EXPECT_EQ(readBytes(path), updated);
    {
        // Released without an update (an operation that stopped halfway): nothing changes.
        IniFile ini(profiles, path);
        ini.EraseSection(QStringLiteral("tec"));
    }
    EXPECT_EQ(readBytes(path), updated);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("datb.sec")});
}

TEST(IniFile, DefaultsAndAMissingFileCreatedByTheFirstWrite) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("datb.sec"));
    QtProfiles profiles;
    IniFile ini(profiles, path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("tec"), QStringLiteral("te1"), "教师1  "),
              QStringLiteral("教师1")); // only trailing spaces leave a default
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("tec"), QStringLiteral("mum"), 1), 1);
    ini.UpdateFile(); // nothing written: no file
    EXPECT_FALSE(QFile::exists(path));
    ini.WriteString(QStringLiteral("教师0"), QStringLiteral("bh"), QStringLiteral("2"));
    ini.UpdateFile();
    EXPECT_EQ(readBytes(path), toGbk(QStringLiteral("[教师0]\r\nbh=2\r\n")));
    // Teachers' password codes live in it: a new file is for its owner only, and a file
    // replaced keeps the mode it had.
    EXPECT_EQ(modeOf(path), 0600U);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup));
    ini.WriteString(QStringLiteral("教师0"), QStringLiteral("bh"), QStringLiteral("3"));
    ini.UpdateFile();
    EXPECT_EQ(modeOf(path), 0640U);
}

TEST(IniFile, AFailedWriteReportsThePathAndLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtProfiles profiles;
    auto failsWith = [&](const QString& path) {
        IniFile ini(profiles, path);
        ini.WriteString(QStringLiteral("tec"), QStringLiteral("mum"), QStringLiteral("5"));
        try {
            ini.UpdateFile();
        } catch (const ProfileWriteError& e) {
            return QString::fromStdString(e.what());
        }
        return QString();
    };

    const QString inMissingFolder = dir.filePath(QStringLiteral("no/such/datb.sec"));
    EXPECT_EQ(failsWith(inMissingFolder), QStringLiteral("Unable to write to ") + inMissingFolder);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("no"))));

    // Something that exists but cannot be read is never replaced by what could be seen of it.
    const QString folderInTheWay = dir.filePath(QStringLiteral("folder.sec"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.sec")));
    EXPECT_FALSE(failsWith(folderInTheWay).isEmpty());
    EXPECT_TRUE(QFileInfo(folderInTheWay).isDir());

    // A file the process cannot replace (root ignores permissions, not the immutable flag).
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString path = locked + QStringLiteral("/datb.sec");
    writeBytes(path, "[tec]\r\nmum=2\r\n");
    ImmutableFolder immutable(locked);
    if (!immutable.ok())
        GTEST_SKIP() << "chattr +i is not available here";
    EXPECT_EQ(failsWith(path), QStringLiteral("Unable to write to ") + path);
    EXPECT_EQ(readBytes(path), QByteArray("[tec]\r\nmum=2\r\n"));
    EXPECT_EQ(QDir(locked).entryList(QDir::Files), QStringList{QStringLiteral("datb.sec")});
}

TEST(IniFile, RefusedTextChangesNothing) {
    FakeFiles files;
    files.folders.insert(QStringLiteral("/cfg"));
    FakeProfiles profiles(files);
    IniFile ini(profiles, QStringLiteral("/cfg/datb.sec"));
    ini.WriteString(QStringLiteral("tec"), QStringLiteral("mum"), QStringLiteral("1"));
    EXPECT_THROW(ini.WriteString(QStringLiteral("教师0"), QStringLiteral("dcu"),
                                 QStringLiteral("/x\r\n[tec]\r\nmum=0")),
                 ProfileWriteError);
    EXPECT_THROW(ini.WriteString(QStringLiteral("a]b"), QStringLiteral("k"), QString()),
                 ProfileWriteError);
    ini.UpdateFile();
    EXPECT_EQ(files.contents[QStringLiteral("/cfg/datb.sec")], QByteArray("[tec]\r\nmum=1\r\n"));
}

TEST(Drives, WindowsPathsMapOntoTheTable) {
    FakeDrives drives;
    drives.drives.push_back({QLatin1Char('D'), DriveType::Removable, QStringLiteral("/media/u/")});
    const std::pair<const char*, std::optional<const char*>> cases[] = {
        {"C:\\Program files\\Common files\\system\\",
         "/drive_c/Program files/Common files/system/"},
        {"c:\\a\\b", "/drive_c/a/b"},
        {"C:/a//b", "/drive_c/a/b"},
        {"C:\\", "/drive_c/"},
        {"d:\\K_Vorne\\data\\", "/media/u/K_Vorne/data/"},
        {"E:\\a", std::nullopt}, // not in the table: never a relative path
        {"C:\\a\\..\\..\\etc", std::nullopt},
        {"C:\\.\\a", std::nullopt},
        {"a\\b", std::nullopt},
        {"\\a", std::nullopt},
        {"", std::nullopt},
        {"中:\\a", std::nullopt},
    };
    for (const auto& [path, expected] : cases) {
        const std::optional<QString> local = localPath(drives, QString::fromUtf8(path));
        EXPECT_EQ(local, expected ? std::optional(QString::fromUtf8(*expected)) : std::nullopt)
            << path;
    }
    EXPECT_EQ(driveType(drives, QLatin1Char('c')), DriveType::Fixed);
    EXPECT_EQ(driveType(drives, QLatin1Char('D')), DriveType::Removable);
    EXPECT_EQ(driveType(drives, QLatin1Char('E')), DriveType::NoRootDir);
}

// The machine's table: drive C in the user's data, the volumes mounted under /media after it,
// and the user's pictures folder and home by name at the end.
TEST(Drives, TheMachinesTableHasItsFixedDiskAndTheUsersFolders) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QDir(home.path()).mkpath(QStringLiteral("config"));
    QDir(home.path()).mkpath(QStringLiteral("Bilder"));
    QFile dirs(home.filePath(QStringLiteral("config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    dirs.close();
    const char* names[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"};
    const QString values[] = {home.path(), home.filePath(QStringLiteral("config")), home.path()};
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i) {
        saved[i] = qgetenv(names[i]);
        qputenv(names[i], QFile::encodeName(values[i]));
    }
    const std::vector<Drive> table = QtDrives().table();
    for (int i = 0; i < 3; ++i)
        qputenv(names[i], saved[i]);
    ASSERT_GE(table.size(), 3u);
    EXPECT_EQ(table[0].letter, QLatin1Char('C'));
    EXPECT_EQ(table[0].type, DriveType::Fixed);
    EXPECT_EQ(table[0].folder, home.path() + QStringLiteral("/K_Vorne/drive_c/"));
    EXPECT_TRUE(QFileInfo(table[0].folder).isDir());
    EXPECT_FALSE(table[0].userFolder);
    for (std::size_t i = 1; i + 2 < table.size(); ++i) {
        EXPECT_EQ(table[i].letter, QChar(static_cast<char16_t>(u'C' + i)));
        EXPECT_EQ(table[i].type, DriveType::Removable);
        EXPECT_TRUE(table[i].folder.startsWith(QStringLiteral("/media/")) ||
                    table[i].folder.startsWith(QStringLiteral("/run/media/")));
    }
    const Drive& pictures = table[table.size() - 2];
    EXPECT_EQ(pictures.letter, QLatin1Char('Y'));
    EXPECT_EQ(pictures.folder, home.path() + QStringLiteral("/Bilder/"));
    EXPECT_EQ(pictures.name, QStringLiteral("图片"));
    EXPECT_TRUE(pictures.userFolder);
    const Drive& own = table.back();
    EXPECT_EQ(own.letter, QLatin1Char('Z'));
    EXPECT_EQ(own.folder, home.path() + QLatin1Char('/'));
    EXPECT_EQ(own.name, QStringLiteral("主文件夹"));
    EXPECT_TRUE(own.userFolder);
}

// Sticks plugged in and pulled out one after another: each keeps its letter while it stays,
// and a new one takes the lowest letter free.
TEST(Drives, AVolumeKeepsItsLetterWhileItStaysMounted) {
    const struct {
        QStringList mounted;
        std::map<QString, QChar> letters;
    } steps[] = {
        {{"/media/t/ZETA"}, {{"/media/t/ZETA", u'D'}}},
        {{"/media/t/ALPHA", "/media/t/ZETA"}, {{"/media/t/ALPHA", u'E'}, {"/media/t/ZETA", u'D'}}},
        {{"/media/t/ALPHA"}, {{"/media/t/ALPHA", u'E'}}},
        {{"/media/t/ALPHA", "/media/t/BETA", "/media/t/GAMMA"},
         {{"/media/t/ALPHA", u'E'}, {"/media/t/BETA", u'D'}, {"/media/t/GAMMA", u'F'}}},
        {{}, {}},
    };
    std::map<QString, QChar> kept;
    for (const auto& step : steps) {
        assignVolumeLetters(step.mounted, kept);
        EXPECT_EQ(kept, step.letters) << step.mounted.join(QLatin1Char(' ')).toStdString();
    }
    // Only D to X go to volumes.
    QStringList many;
    for (int i = 0; i < 22; ++i)
        many << QStringLiteral("/media/v%1").arg(i, 2, 10, QLatin1Char('0'));
    assignVolumeLetters(many, kept);
    EXPECT_EQ(kept.size(), 21u);
    EXPECT_EQ(kept.at(QStringLiteral("/media/v20")), QLatin1Char('X'));
    EXPECT_FALSE(kept.contains(QStringLiteral("/media/v21")));
}

TEST(Files, BytesAtAnOffsetFoldersAndCopies) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFiles files;
    const QString path = dir.filePath(QStringLiteral("admin.sec"));
    writeBytes(path, QByteArray(5012, 'x'));
    EXPECT_TRUE(files.writeAt(path, 5000, "123         "));
    const QByteArray after = readBytes(path);
    EXPECT_EQ(after.size(), 5012);
    EXPECT_EQ(after.left(5000), QByteArray(5000, 'x'));
    EXPECT_EQ(files.readAt(path, 5000, 12), QByteArray("123         "));
    EXPECT_EQ(files.readAt(path, 5006, 12), QByteArray("      "));
    EXPECT_EQ(files.readAt(path, 6000, 12), QByteArray());

    const QString missing = dir.filePath(QStringLiteral("missing"));
    EXPECT_EQ(files.readAt(missing, 0, 12), QByteArray());
    EXPECT_FALSE(files.writeAt(missing, 5000, "1"));
    EXPECT_FALSE(QFile::exists(missing));

    // Folders one level at a time.
    EXPECT_FALSE(files.makeFolder(dir.filePath(QStringLiteral("a/b"))));
    EXPECT_TRUE(files.makeFolder(dir.filePath(QStringLiteral("a"))));
    EXPECT_FALSE(files.makeFolder(dir.filePath(QStringLiteral("a"))));
    EXPECT_TRUE(files.makeFolder(dir.filePath(QStringLiteral("a/b"))));
    EXPECT_TRUE(files.folderExists(dir.filePath(QStringLiteral("a/b/"))));
    EXPECT_FALSE(files.folderExists(path));

    // Copies never replace unless asked, and are for their owner only.
    const QString copy = dir.filePath(QStringLiteral("a/admin.sec"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadOther));
    EXPECT_TRUE(files.copyFile(path, copy, false));
    EXPECT_EQ(modeOf(copy), 0600U);
    writeBytes(copy, "other");
    EXPECT_FALSE(files.copyFile(path, copy, false));
    EXPECT_EQ(readBytes(copy), QByteArray("other"));
    EXPECT_TRUE(files.copyFile(path, copy, true));
    EXPECT_EQ(readBytes(copy).size(), 5012);
    EXPECT_FALSE(files.copyFile(missing, dir.filePath(QStringLiteral("c")), true));

    // A link (as a stick can carry one) is never written through, nor is its target created.
    QTemporaryDir outside;
    const QString own = outside.filePath(QStringLiteral("own"));
    writeBytes(own, QByteArray(5012, 'o'));
    const QString absent = outside.filePath(QStringLiteral("absent"));
    const QString linked = dir.filePath(QStringLiteral("linked.sec"));
    const QString dangling = dir.filePath(QStringLiteral("dangling.sec"));
    ASSERT_TRUE(QFile::link(own, linked) && QFile::link(absent, dangling));
    EXPECT_FALSE(files.writeAt(linked, 5000, "123"));
    for (const QString& target : {linked, dangling}) {
        EXPECT_FALSE(files.copyFile(path, target, false));
        EXPECT_FALSE(files.copyFile(path, target, true));
    }
    EXPECT_EQ(readBytes(own), QByteArray(5012, 'o'));
    EXPECT_FALSE(QFile::exists(absent));
}
