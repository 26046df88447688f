// The lesson group's open, save and export: which lesson the window chooses, what the teacher
// is told, and that the window stays open whenever nothing was done.
#include "archive_fixture.h"
#include "lessons/lesson_board.h"
#include "lessons/lesson_pdf.h"
#include "platform/raster/tcolor.h"
#include "settings_fixture.h"

#include <QFile>
#include <QImageWriter>
#include <QLineEdit>

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
    EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
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
    EXPECT_EQ(model.PageCount, 2);
    EXPECT_EQ(fromRgb(model.pagePicture(2).pixel(0, 0)), 0x0000FFU);
    EXPECT_FALSE(Form6->isVisible());
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
        Form6->SpeedButton2->click(); // save
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
    EXPECT_EQ(model.PageCount, 2);

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

} // namespace
