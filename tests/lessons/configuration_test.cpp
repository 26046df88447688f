// The configuration file's place, its keys as hand-edited files may hold them, passwords, and
// the names a teacher may take.
#include "lessons/configuration.h"
#include "lessons/passwords.h"
#include "lessons/teacher_names.h"
#include "platform/os/fakes.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace lessons;
using namespace platform;

namespace {

const QString Folder = QStringLiteral("/drive_c/Program files/Common files/system/");
const QString ConfigFile = Folder + QStringLiteral("datb.sec");

class ConfigurationTest : public ::testing::Test {
protected:
    FakeServices fakes;
};

} // namespace

TEST_F(ConfigurationTest, TheFolderIsOnTheFirstFixedDiskOfEAndD) {
    struct Case {
        std::vector<Drive> drives;
        QChar expected;
    };
    const Drive c{QLatin1Char('C'), DriveType::Fixed, QStringLiteral("/c/")};
    const Drive dFixed{QLatin1Char('D'), DriveType::Fixed, QStringLiteral("/d/")};
    const Drive dRemovable{QLatin1Char('D'), DriveType::Removable, QStringLiteral("/d/")};
    const Drive eFixed{QLatin1Char('E'), DriveType::Fixed, QStringLiteral("/e/")};
    const Drive eCd{QLatin1Char('E'), DriveType::CdRom, QStringLiteral("/e/")};
    const Case cases[] = {
        {{c, dFixed, eFixed}, QLatin1Char('E')},
        {{c, dFixed, eCd}, QLatin1Char('D')},
        {{c, dRemovable, eCd}, QLatin1Char('C')},
        {{c}, QLatin1Char('C')},
    };
    for (const Case& test : cases) {
        fakes.drives.drives = test.drives;
        const ConfigPlace place = WorkOutConfigFolder();
        EXPECT_EQ(place.Drive, test.expected);
        const QString root = QStringLiteral("/") + test.expected.toLower() + QLatin1Char('/');
        EXPECT_EQ(place.Folder, root + QStringLiteral("Program files/Common files/system/"));
    }

    // Created level by level where it is missing; nothing is asked where it exists.
    fakes.drives.drives = {c};
    fakes.files.folders = {QStringLiteral("/c")};
    fakes.files.folderRequests.clear();
    WorkOutConfigFolder();
    EXPECT_EQ(fakes.files.folderRequests,
              QStringList({QStringLiteral("/c/Program files"),
                           QStringLiteral("/c/Program files/Common files"),
                           QStringLiteral("/c/Program files/Common files/system")}));
    EXPECT_TRUE(fakes.files.folderExists(QStringLiteral("/c/Program files/Common files/system")));
    fakes.files.folderRequests.clear();
    WorkOutConfigFolder();
    EXPECT_TRUE(fakes.files.folderRequests.isEmpty());
}

TEST_F(ConfigurationTest, AMissingFileGivesTheDefaults) {
    const Configuration config(Folder);
    EXPECT_EQ(config.TeacherCount(), 1);
    EXPECT_EQ(config.TeacherName(1), QStringLiteral("教师1"));
    EXPECT_EQ(config.DefaultSectionName(), QStringLiteral("教师0"));
    EXPECT_EQ(config.LessonDrive(), std::nullopt);
    const PersonalSettings s = config.Personal(QStringLiteral("教师0"));
    EXPECT_EQ(s.Volumes, 1);
    EXPECT_EQ(s.Lessons, 1);
    EXPECT_EQ(s.Stroke, 255U);
    EXPECT_EQ(s.Background, 0x808080U);
    EXPECT_EQ(s.Width, QStringLiteral("2"));
    EXPECT_EQ(s.PasswordCode, QStringLiteral("0"));
}

TEST_F(ConfigurationTest, HandEditedValuesAreKeptWithinBounds) {
    struct Case {
        const char* drive;
        std::optional<QChar> expectedDrive;
        const char* width;
        const char* expectedWidth;
    };
    const Case cases[] = {
        {"d", QLatin1Char('D'), "9", "9"},     {"", std::nullopt, "1", "1"},
        {"DE", std::nullopt, "10", "2"},       {"1", std::nullopt, "0", "2"},
        {" e ", QLatin1Char('E'), "abc", "2"}, {"中", std::nullopt, "$5", "5"},
        {"?", std::nullopt, "", "2"},
    };
    for (const Case& c : cases) {
        QString text = QStringLiteral("[tec]\r\nmum=100000\r\ndrive=%1\r\n[a]\r\nce=5000\r\n"
                                      "ke=-3\r\nfrn=0xFF\r\nblk=-1\r\nbh=%2\r\n")
                           .arg(QString::fromUtf8(c.drive), QString::fromUtf8(c.width));
        fakes.files.contents[ConfigFile] = toGbk(text);
        const Configuration config(Folder);
        EXPECT_EQ(config.TeacherCount(), 999);
        EXPECT_EQ(config.LessonDrive(), c.expectedDrive) << c.drive;
        const PersonalSettings s = config.Personal(QStringLiteral("A"));
        EXPECT_EQ(s.Volumes, 999);
        EXPECT_EQ(s.Lessons, -3);
        EXPECT_EQ(s.Stroke, 255U);
        EXPECT_EQ(s.Background, 0xFFFFFFU);
        EXPECT_EQ(s.Width, QString::fromUtf8(c.expectedWidth)) << c.width;
    }
}

TEST(Passwords, CodesPerDigitAndJoined) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0"},   {"1", "12"},     {"2", "278"},  {"3", "417"},    {"4", "556"},
        {"5", "780"}, {"6", "936"},    {"7", "1092"}, {"8", "1248"},   {"9", "1404"},
        {"", "0"},    {"12", "12278"}, {"00", "00"},  {"90", "14040"}, {"2024", "2780278556"},
    };
    for (const auto& [digits, code] : cases)
        EXPECT_EQ(PasswordCode(QString::fromLatin1(digits)), QString::fromLatin1(code)) << digits;
}

TEST(Passwords, TheAdministratorRecord) {
    EXPECT_EQ(AdminRecord(QString()), QByteArray(12, ' '));
    EXPECT_EQ(AdminRecord(QStringLiteral("123")), QByteArray("123         "));
    EXPECT_EQ(AdminRecord(QStringLiteral("12345678901234")), QByteArray("123456789012"));

    FakeServices fakes;
    const QString path = QStringLiteral("/drive_c/admin.sec");
    QByteArray file(5100, 'z');
    file.replace(5000, 12, QByteArray(12, ' '));
    fakes.files.contents[path] = file;
    // An unset record accepts any old entry; a new empty entry stores 12 spaces again.
    EXPECT_TRUE(AdminRecordAccepts(ReadAdminRecord(path), QStringLiteral("999")));
    ASSERT_TRUE(WriteAdminRecord(path, QStringLiteral("12345678901234")));
    EXPECT_EQ(ReadAdminRecord(path), QByteArray("123456789012"));
    EXPECT_TRUE(AdminRecordAccepts(ReadAdminRecord(path), QStringLiteral("1234567890129")));
    EXPECT_FALSE(AdminRecordAccepts(ReadAdminRecord(path), QStringLiteral("12345678901")));
    ASSERT_TRUE(WriteAdminRecord(path, QString()));
    EXPECT_EQ(ReadAdminRecord(path), QByteArray(12, ' '));
    // Bytes outside the record are untouched.
    EXPECT_EQ(fakes.files.contents[path].left(5000), QByteArray(5000, 'z'));
    EXPECT_EQ(fakes.files.contents[path].mid(5012), QByteArray(88, 'z'));

    // Missing or short files, and a zero byte, give fewer characters: nothing opens them.
    fakes.files.contents[path] = QByteArray(5004, ' ');
    EXPECT_EQ(ReadAdminRecord(path), QByteArray(4, ' '));
    fakes.files.contents[path] = QByteArray(5000, ' ') + QByteArray("12\0 45678901", 12);
    EXPECT_EQ(ReadAdminRecord(path), QByteArray("12"));
    EXPECT_FALSE(AdminRecordAccepts(ReadAdminRecord(path), QStringLiteral("12")));
    EXPECT_EQ(ReadAdminRecord(QStringLiteral("/missing")), QByteArray());
    EXPECT_FALSE(AdminRecordAccepts(ReadAdminRecord(QStringLiteral("/missing")), QString()));
    EXPECT_FALSE(WriteAdminRecord(QStringLiteral("/missing"), QStringLiteral("1")));
}

TEST(TeacherNames, WhatANameMayBe) {
    // Which rule each name breaks, if any: as a new teacher's name, and as part of the file
    // names of lessons saved under a name the file already holds.
    const QString braces = QStringLiteral("：设置文件用它分隔名称。");
    const QString drives = QStringLiteral("：存储盘上的文件名不能有这个符号。");
    const QString ends = QStringLiteral("教师姓名的开头和结尾不能是空格或句点。");
    const QString control = QStringLiteral("教师姓名不能含有换行、制表符等控制字符。");
    struct Case {
        QString name;
        QString asNew;  // empty: taken
        QString inFile; // empty: taken
    };
    const QString fine;
    const QString tooLongForAFile = QStringLiteral("教师姓名太长，不能用作课程的文件名。");
    const Case cases[] = {
        {QStringLiteral("王老师"), fine, fine},
        {QStringLiteral("李 明"), fine, fine},
        {QStringLiteral("O'Brien"), fine, fine},
        {QStringLiteral("a.b"), fine, fine},
        {QStringLiteral("张-3"), fine, fine},
        {QStringLiteral("'x"), fine, fine},
        {QStringLiteral("教师00"), fine, fine},
        {QStringLiteral("tec1"), fine, fine},
        {QStringLiteral(".."), ends, fine},
        {QString(32, QChar(u'王')), fine, fine},
        {QString(), QStringLiteral("请输入教师姓名！"), QStringLiteral("请输入教师姓名！")},
        {QStringLiteral("a/b"),
         QStringLiteral("教师姓名不能含有“/”：课程文件会因此放到别的文件夹里。"),
         QStringLiteral("教师姓名不能含有“/”：课程文件会因此放到别的文件夹里。")},
        {QStringLiteral("a\\b"),
         QStringLiteral("教师姓名不能含有“\\”：课程文件会因此放到别的文件夹里。"),
         QStringLiteral("教师姓名不能含有“\\”：课程文件会因此放到别的文件夹里。")},
        {QStringLiteral("a\tb"), control, control},
        {QStringLiteral("a\rb"), control, control},
        {QStringLiteral("a\nb"), control, control},
        {QStringLiteral("a") + QChar(0x7F), control, control},
        {QStringLiteral("a") + QChar(0), control, control},
        {QStringLiteral("a") + QChar(0xDC81),
         QStringLiteral("教师姓名含有无法识别的字符，不能用作文件名。"),
         QStringLiteral("教师姓名含有无法识别的字符，不能用作文件名。")},
        {QStringLiteral("a:b"), QStringLiteral("教师姓名不能含有“:”") + drives,
         QStringLiteral("教师姓名不能含有“:”") + drives},
        {QStringLiteral("a\"b"), QStringLiteral("教师姓名不能含有“\"”") + drives,
         QStringLiteral("教师姓名不能含有“\"”") + drives},
        {QStringLiteral("a|b"), QStringLiteral("教师姓名不能含有“|”") + drives,
         QStringLiteral("教师姓名不能含有“|”") + drives},
        {QStringLiteral("a*b"), QStringLiteral("教师姓名不能含有“*”") + drives,
         QStringLiteral("教师姓名不能含有“*”") + drives},
        {QString(80, QChar(u'王')), QStringLiteral("教师姓名不能超过32个字。"), fine},
        {QString(82, QChar(u'王')), tooLongForAFile, tooLongForAFile},
        // What only new names may not be.
        {QStringLiteral("a[b"), QStringLiteral("教师姓名不能含有“[”") + braces, fine},
        {QStringLiteral("a]b"), QStringLiteral("教师姓名不能含有“]”") + braces, fine},
        {QStringLiteral("a=b"), QStringLiteral("教师姓名不能含有“=”") + braces, fine},
        {QStringLiteral(" a"), ends, fine},
        {QStringLiteral("a "), ends, fine},
        {QStringLiteral(".a"), ends, fine},
        {QStringLiteral("王老师."), ends, fine},
        {QStringLiteral("'a'"), QStringLiteral("教师姓名不能用一对单引号括起来。"), fine},
        {QStringLiteral("''"), QStringLiteral("教师姓名不能用一对单引号括起来。"), fine},
        {QStringLiteral("教师0"), QStringLiteral("“教师0”是设置文件自用的名称，不能作为教师姓名。"),
         fine},
        {QStringLiteral("TEC"), QStringLiteral("“TEC”是设置文件自用的名称，不能作为教师姓名。"),
         fine},
        {QStringLiteral("😀"),
         QStringLiteral(
             "教师姓名中有设置文件无法保存的字符（只能用简体中文、英文字母、数字和常用符号）。"),
         fine},
        {QString(33, QLatin1Char('a')), QStringLiteral("教师姓名不能超过32个字。"), fine},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NewTeacherNameProblem(c.name).value_or(QString()), c.asNew)
            << c.name.toStdString();
        EXPECT_EQ(FileNameProblem(c.name).value_or(QString()), c.inFile) << c.name.toStdString();
    }

    const QStringList list = {QStringLiteral("默认"), QStringLiteral("Wang"), QStringLiteral("李")};
    EXPECT_EQ(FindTeacher(list, QStringLiteral("wang")), 1);
    EXPECT_EQ(FindTeacher(list, QStringLiteral("默认")), 0);
    EXPECT_EQ(FindTeacher(list, QStringLiteral("Li")), -1);
}
