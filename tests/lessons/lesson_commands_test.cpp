// The lesson group's open, save and export: which lesson the window chooses, what the teacher
// is told, and that the window stays open whenever nothing was done.
#include "archive_fixture.h"
#include "lessons/lesson_board.h"
#include "lessons/lesson_pdf.h"
#include "platform/raster/tcolor.h"
#include "settings_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QLineEdit>
#include <QScopeGuard>

using namespace lessons;
using namespace platform;

namespace {

class FakeLessonBoard final : public LessonBoard {
public:
    explicit FakeLessonBoard(BoardModel& board) : board_(board) {}
    std::vector<int> shown;
    int currentShown = 0;

    BoardModel& model() override { return board_; }
    void showLessonPage(int page, const QImage&) override { shown.push_back(page); }
    void showCurrentPage() override { ++currentShown; }
    void allPagesSaved() override { ++saved; }
    int saved = 0;

private:
    BoardModel& board_;
};

class LessonCommands : public SettingsFixture {
protected:
    QTemporaryDir drive;
    QTemporaryDir program;
    BoardModel model;
    FakeLessonBoard lessonView{model};
    QString folder;

    void SetUp() override {
        fakes.drives.drives[0].folder = drive.path() + QLatin1Char('/');
        folder = drive.path() + QStringLiteral("/Program files/K_Vorne/data/");
        model.create(QSize(32, 24), program.path() + QLatin1Char('/'));
        model.prepareCurrentPage();
        lessonBoard = &lessonView;
        createWindows();
        Form6->show();
        choose(1); // "教师1", without a password
        Form6->Edit2->setText(QStringLiteral("2"));
        Form6->Edit3->setText(QStringLiteral("13"));
    }
    // The configuration folder on the lesson drive, where renames write.
    void allowConfig() {
        QString level = Form6->ConfigFolder.chopped(1);
        for (int i = 0; i < 3; ++i, level = level.left(level.lastIndexOf(QLatin1Char('/'))))
            fakes.files.folders.insert(level);
    }
    // Saves as the teacher would: yes to replacing the lesson saved before. The note that the
    // lesson was saved leaves the messages, which then hold only what went wrong.
    void save() {
        fakes.dialogs.answers = {Answer::Yes};
        Form6->SpeedButton2->click();
        fakes.dialogs.answers.clear();
        std::erase_if(fakes.dialogs.shown, [](const FakeDialogs::Shown& shown) {
            return shown.kind == QStringLiteral("inform") &&
                   shown.text.contains(QStringLiteral("课已保存（"));
        });
    }
    void drawPages(int count, TColor colour) {
        for (int page = 1; page <= count; ++page)
            model.fill(page, colour);
        model.setPageCount(count);
    }
};

TEST_F(LessonCommands, SaveAndOpenTheChosenTeachersLesson) {
    drawPages(2, 0x0000FF);
    // What was typed into the name box since the teacher was chosen does not name the lesson.
    Form6->Edit1->setText(QStringLiteral("教师12"));
    Form6->SpeedButton2->click();
    // A fresh lesson is saved without a question, and the teacher is told.
    ASSERT_EQ(fakes.dialogs.shown.size(), 1U);
    EXPECT_EQ(fakes.dialogs.shown[0].kind, QStringLiteral("inform"));
    EXPECT_EQ(fakes.dialogs.shown[0].text, QStringLiteral("教师1 第2册第13课已保存（2页）。"));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("教师12132.pte")));
    EXPECT_EQ(lessonView.shown, (std::vector<int>{1, 2}));
    EXPECT_EQ(lessonView.currentShown, 1);
    EXPECT_EQ(lessonView.saved, 1); // what was kept against a crash can go
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_EQ(Form6->LessonFolder, folder);

    drawPages(3, 0x00FF00);
    Form6->show();
    choose(1);
    Form6->SpeedButton1->click();
    EXPECT_EQ(model.pageCount(), 2);
    EXPECT_EQ(fromRgb(model.pagePicture(2).pixel(0, 0)), 0x0000FFU);
    EXPECT_FALSE(Form6->isVisible());
}

// Saving over the teacher's own lesson asks first: No leaves the lesson on the drive and the
// window open, Yes replaces it.
TEST_F(LessonCommands, SavingOverTheTeachersOwnLessonAsksFirst) {
    drawPages(2, 0x0000FF);
    save();
    const struct {
        Answer answer;
        TColor stored;
        bool saved;
    } cases[] = {{Answer::No, 0x0000FF, false}, {Answer::Yes, 0x00FF00, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        fakes.dialogs.shown.clear();
        drawPages(1, 0x00FF00);
        Form6->show();
        choose(1);
        fakes.dialogs.answers = {c.answer};
        Form6->SpeedButton2->click();
        ASSERT_GE(fakes.dialogs.shown.size(), 1U);
        EXPECT_EQ(fakes.dialogs.shown[0].kind, QStringLiteral("question"));
        EXPECT_EQ(fakes.dialogs.shown[0].title, ConfirmTitle);
        EXPECT_TRUE(
            fakes.dialogs.shown[0].text.contains(QStringLiteral("教师1 第2册第13课（2页）")))
            << fakes.dialogs.shown[0].text.toStdString();
        EXPECT_EQ(fakes.dialogs.shown.size(), c.saved ? 2U : 1U);
        EXPECT_EQ(Form6->isVisible(), !c.saved);
        EXPECT_EQ(fromRgb(QImage(folder + QStringLiteral("教师12131.pte")).pixel(0, 0)), c.stored);
    }
}

TEST_F(LessonCommands, NamesTheWindowsProgramTookKeepTheirLessons) {
    // Names the rules for new names refuse still name their lessons; only what is unsafe in a
    // file name is refused, and the refusal says why.
    struct Case {
        QString inFile; // the "te" value as the Windows program wrote it
        QString name;   // as the list shows it
        QString refusal;
    };
    const Case cases[] = {
        {QStringLiteral("王老师."), QStringLiteral("王老师."), QString()},
        {QString(33, QLatin1Char('w')), QString(33, QLatin1Char('w')), QString()},
        {QStringLiteral("''李''"), QStringLiteral("'李'"), QString()},
        {QStringLiteral("a=b"), QStringLiteral("a=b"), QString()},
        {QStringLiteral(" 张"), QStringLiteral("张"), QString()},
        {QStringLiteral("a/b"), QStringLiteral("a/b"),
         QStringLiteral("教师姓名不能含有“/”：课程文件会因此放到别的文件夹里。")},
        {QStringLiteral("a:b"), QStringLiteral("a:b"),
         QStringLiteral("教师姓名不能含有“:”：存储盘上的文件名不能有这个符号。")},
    };
    QString file = QStringLiteral("[tec]\r\nmum=%1\r\n").arg(std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        file += QStringLiteral("te%1=%2\r\n").arg(i + 1).arg(cases[i].inFile);
    // The configuration folder lies on this test's drive C.
    const QString configFile = Form6->ConfigFolder + QStringLiteral("datb.sec");
    fakes.files.contents[configFile] = toGbk(file);
    fakes.files.folders.insert(FakeFiles::folderOf(configFile));
    createWindows();
    drawPages(2, 0x0000FF);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const int entry = static_cast<int>(i) + 1;
        ASSERT_EQ(teachers()[entry], c.name);
        fakes.dialogs.shown.clear();
        Form6->show();
        choose(entry);
        save(); // save
        if (!c.refusal.isEmpty()) {
            EXPECT_EQ(messages(), QStringList{c.refusal}) << c.name.toStdString();
            EXPECT_TRUE(Form6->isVisible());
            Form6->SpeedButton1->click(); // open
            EXPECT_EQ(messages(), QStringList({c.refusal, c.refusal}));
            Form6->hide();
            continue;
        }
        EXPECT_TRUE(messages().isEmpty())
            << c.name.toStdString() << ": " << messages().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(QFile::exists(folder + c.name + QStringLiteral("112.pte")))
            << c.name.toStdString();
        Form6->show();
        choose(entry);
        Form6->SpeedButton1->click(); // open
        EXPECT_TRUE(messages().isEmpty()) << c.name.toStdString();
        EXPECT_FALSE(Form6->isVisible()) << c.name.toStdString();
        // OK stores the teacher's settings under the name as listed.
        Form6->show();
        choose(entry);
        Form6->BitBtn1->click();
        EXPECT_TRUE(messages().isEmpty())
            << c.name.toStdString() << ": " << messages().join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(Form6->isVisible()) << c.name.toStdString();
    }
    EXPECT_TRUE(
        fromGbk(fakes.files.contents[configFile]).contains(QStringLiteral("[王老师.]\r\nce=")));
}

TEST_F(LessonCommands, RefusalsKeepTheWindowOpen) {
    drawPages(2, 0x0000FF);
    Form6->SpeedButton1->click();
    EXPECT_EQ(messages(), QStringList{LessonNotFound});
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_EQ(model.pageCount(), 2);

    // The disk fills up: the save says so and the window stays.
    FaultyFiles full;
    full.spaceLeft = 100;
    lessonFiles = &full;
    createWindows();
    Form6->show();
    choose(1);
    Form6->SpeedButton2->click();
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[1].contains(QStringLiteral("没有保存成功")));
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_EQ(lessonView.saved, 0);
    lessonFiles = nullptr;
}

TEST_F(LessonCommands, NothingWithoutATeacher) {
    choose(0);
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(Form6->SpeedButton1),
                               static_cast<QAbstractButton*>(Form6->SpeedButton2),
                               static_cast<QAbstractButton*>(Form6->Button10)})
        b->click();
    EXPECT_EQ(messages(), QStringList(3, QStringLiteral("请选择任课教师！")));
}

// A lesson as the Windows program leaves it exports with one PDF page per lesson page.
TEST_F(LessonCommands, AWindowsLessonExportsAsAPdfPagePerPage) {
    QDir().mkpath(folder);
    QFile index(folder + LessonIndexFile);
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(toGbk(QStringLiteral("[教师1213]\r\npag=3\r\n")));
    index.close();
    for (int page = 1; page <= 3; ++page) {
        QImage picture(1024, 768, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QImageWriter(folder + QStringLiteral("教师1213%1.pte").arg(page), "png").write(picture);
    }
    QFile sec(folder + QStringLiteral("教师12131.sec"));
    ASSERT_TRUE(sec.open(QIODevice::WriteOnly));
    sec.write("[edit]\r\nvis=1\r\nleft=10\r\ntop=50\r\nwidth=300\r\nheight=400\r\n");
    sec.close();
    QFile te(folder + QStringLiteral("教师12131.te"));
    ASSERT_TRUE(te.open(QIODevice::WriteOnly));
    te.write("{\\rtf1\\ansi\\ansicpg936\\f0\\fs48 \\'c4\\'e3\\'ba\\'c3\\par}");
    te.close();

    const QString target = program.filePath(QStringLiteral("lesson.pdf"));
    fakes.dialogs.fileNames.push_back(target);
    Form6->Button10->click();
    QFile pdf(target);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              3)
        << bytes.left(2000).toStdString();
}

// A renamed teacher's lessons go with the name, a change of letter case too, and open under
// it; the teacher list holds the new name at once.
TEST_F(LessonCommands, ARenamedTeachersLessonsGoWithTheName) {
    allowConfig();
    drawPages(2, 0x0000FF);
    save();
    for (const QString& name :
         {QStringLiteral("Wang"), QStringLiteral("WANG"), QStringLiteral("李明")}) {
        SCOPED_TRACE(name.toStdString());
        Form6->show();
        choose(1);
        Form6->Edit1->setText(name);
        Form6->Button2->click();
        EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(Configuration(Form6->ConfigFolder).TeacherName(1), name);
        EXPECT_EQ(
            QDir(folder).entryList({QStringLiteral("*.pte")}),
            QStringList({name + QStringLiteral("2131.pte"), name + QStringLiteral("2132.pte")}));
        drawPages(3, 0x00FF00);
        choose(1);
        Form6->Edit2->setText(QStringLiteral("2"));
        Form6->Edit3->setText(QStringLiteral("13"));
        Form6->SpeedButton1->click();
        EXPECT_EQ(model.pageCount(), 2);
        EXPECT_EQ(fromRgb(model.pagePicture(2).pixel(0, 0)), 0x0000FFU);
    }
}

// A drive that was not there at the rename gives the lessons up under the new name when it is
// next used.
TEST_F(LessonCommands, LessonsOnADriveAbsentAtTheRenameOpenUnderTheNewName) {
    allowConfig();
    drawPages(2, 0x0000FF);
    save();
    const QString present = fakes.drives.drives[0].folder;
    fakes.drives.drives[0].folder = program.filePath(QStringLiteral("elsewhere/"));
    Form6->show();
    choose(1);
    Form6->Edit1->setText(QStringLiteral("李明"));
    Form6->Button2->click();
    fakes.drives.drives[0].folder = present;

    drawPages(3, 0x00FF00);
    choose(1);
    Form6->SpeedButton1->click();
    EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(model.pageCount(), 2);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("李明2132.pte")));
}

// After a restart the lists reach every lesson the chosen teacher saved on the chosen drive,
// and no further for another teacher's lessons; another drive brings its own.
TEST_F(LessonCommands, TheListsReachEveryLessonSavedOnTheDrive) {
    QTemporaryDir stick;
    fakes.drives.drives.push_back(
        {QLatin1Char('F'), DriveType::Removable, stick.path() + QLatin1Char('/')});
    const struct {
        int teacher;
        QChar drive;
        int volume, lesson;
    } saves[] = {{1, 'C', 2, 13}, {1, 'C', 4, 1}, {2, 'C', 9, 20}, {1, 'F', 6, 2}};
    allowConfig();
    fakes.files.contents[Form6->ConfigFolder + QStringLiteral("datb.sec")] = "[tec]\r\nmum=2\r\n";
    createWindows();
    drawPages(1, 0x0000FF);
    for (const auto& saved : saves) {
        Form6->show();
        choose(saved.teacher);
        Form6->DriveComboBox1->setDrive(saved.drive);
        Form6->Edit2->setText(QString::number(saved.volume));
        Form6->Edit3->setText(QString::number(saved.lesson));
        save();
        ASSERT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
    }
    createWindows();
    Form6->show();
    Form6->DriveComboBox1->setDrive(QLatin1Char('C'));
    choose(1);
    EXPECT_EQ(Form6->ListBox2->count(), 4);
    EXPECT_EQ(Form6->ListBox3->count(), 13);
    Form6->DriveComboBox1->setDrive(QLatin1Char('F'));
    EXPECT_EQ(Form6->ListBox2->count(), 6);
    EXPECT_EQ(Form6->ListBox3->count(), 13);
}

// A stick whose lesson folder is a link elsewhere (into the teacher's own files) has no lesson
// folder: nothing is written or read through the link.
TEST_F(LessonCommands, ALinkedLessonFolderIsNoLessonFolder) {
    QTemporaryDir outside;
    QDir().mkpath(outside.filePath(QStringLiteral("K_Vorne/data")));
    for (const QString& level :
         {QStringLiteral("Program files"), QStringLiteral("K_Vorne"), QStringLiteral("data")}) {
        SCOPED_TRACE(level.toStdString());
        QDir(drive.path()).removeRecursively();
        QDir().mkpath(drive.path());
        const QString path = folder.left(folder.indexOf(level) + level.size());
        QDir().mkpath(QFileInfo(path).path());
        const QString target =
            level == QStringLiteral("data")      ? outside.filePath(QStringLiteral("K_Vorne/data"))
            : level == QStringLiteral("K_Vorne") ? outside.filePath(QStringLiteral("K_Vorne"))
                                                 : outside.path();
        ASSERT_TRUE(QFile::link(target, path));
        drawPages(1, 0x0000FF);
        Form6->show();
        choose(1);
        Form6->SpeedButton2->click();
        Form6->SpeedButton1->click();
        EXPECT_TRUE(QDir(outside.filePath(QStringLiteral("K_Vorne/data"))).isEmpty());
        fakes.dialogs.shown.clear();
    }
}

// A former name given to a new teacher is that teacher's: its lessons stay with it.
TEST_F(LessonCommands, ANewTeacherOfAFormerNameKeepsItsLessons) {
    allowConfig();
    Form6->show();
    choose(1);
    Form6->Edit1->setText(QStringLiteral("李明"));
    Form6->Button2->click();
    Form6->Edit1->setText(QStringLiteral("教师1"));
    Form6->Button1->click();
    ASSERT_EQ(teachers(), QStringList({"默认", "李明", "教师1"}));

    drawPages(1, 0x0000FF);
    choose(2);
    save(); // 教师1's volume 2 lesson 13
    drawPages(1, 0x00FF00);
    Form6->show();
    choose(1);
    save(); // 李明's
    EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("教师12131.pte")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("李明2131.pte")));
}

// A network drive that is not the school's share set up on this PC (a letter kept from before
// the setting was removed) holds no lessons, and no folder of this machine stands in for it.
TEST_F(LessonCommands, ANetworkDriveWithoutItsSettingIsNoLessonDrive) {
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_CONFIG_HOME", config); });
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(program.path())); // no share set up
    fakes.drives.drives.push_back(
        {QLatin1Char('S'), DriveType::Remote, QStringLiteral("smb://server/staff/")});
    Form6->DriveComboBox1->refresh();
    Form6->DriveComboBox1->setDrive(QLatin1Char('S'));
    drawPages(1, 0x0000FF);
    Form6->SpeedButton2->click();
    Form6->SpeedButton1->click();
    EXPECT_EQ(messages(),
              (QStringList{QStringLiteral("课程没有保存：找不到所选的存储盘。"), LessonNotFound}));
    EXPECT_EQ(lessonView.shown, std::vector<int>{});
}

} // namespace
