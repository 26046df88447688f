// The picture import window: the folder and one-file imports into the board's own pictures,
// their progress texts, and the teacher's default folder.
#include "app/settings_button.h"
#include "app_fixture.h"
#include "board/picture_library.h"
#include "board/whiteboard.h"
#include "intake/import_window.h"
#include "lessons/configuration.h"
#include "lessons/settings_window.h"
#include "platform/widgets/list_box.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace platform;

namespace {

class ImportWindowTest : public AppFixture {
protected:
    QTemporaryDir driveC;

    bool createInSetUp() const override { return false; }
    void SetUp() override {
        fakes.drives.drives = {
            {QLatin1Char('C'), DriveType::Fixed, driveC.path() + QLatin1Char('/')}};
        // The configuration folder's levels are made on this drive as on any.
        fakes.files.folders.insert(driveC.path());
        createProgram();
    }
    BoardModel& board() { return Form3->Board; }
    const OwnPictureList& own() { return Form3->Board.ownPictures(); }

    // A picture of one colour in a folder of drive C; its local path.
    QString picture(const QString& folder, const QString& name, int w, int h, Qt::GlobalColor c) {
        QDir().mkpath(driveC.filePath(folder));
        const QString path = driveC.filePath(folder + QLatin1Char('/') + name);
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(c);
        EXPECT_TRUE(image.save(
            path, QFileInfo(name).suffix().toLower() == QLatin1String("jpg") ? "jpeg" : "png"));
        return path;
    }
    QString file(const QString& folder, const QString& name, const QByteArray& bytes) {
        QDir().mkpath(driveC.filePath(folder));
        QFile f(driveC.filePath(folder + QLatin1Char('/') + name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QColor centre(int slot) {
        return own().Thumbnails.at(static_cast<std::size_t>(slot)).pixelColor(50, 50);
    }
    static QString imported(int n) { return QStringLiteral("已导入%1个图像文件。  ").arg(n); }
    static QString total(int n) { return QStringLiteral("总共有%1个图像文件。  ").arg(n); }
    static QString boxText(int n) { return QStringLiteral("已导入%1个文件。  ").arg(n); }
    QString storedFolder(const QString& section) {
        return lessons::Configuration(Form6->ConfigFolder).PictureFolder(section);
    }
};

TEST_F(ImportWindowTest, TheWindowStartsOnDriveCAndListsPicturesWhateverTheirCase) {
    EXPECT_EQ(Form12->size(), QSize(450, 251));
    EXPECT_EQ(Form12->windowTitle(), QStringLiteral("导入图片"));
    EXPECT_EQ(Form12->Directory, QStringLiteral("C:\\"));
    picture(QStringLiteral("pics"), QStringLiteral("b.JPG"), 8, 8, Qt::red);
    picture(QStringLiteral("pics"), QStringLiteral("a.Png"), 8, 8, Qt::red);
    file(QStringLiteral("pics"), QStringLiteral("notes.txt"), "x");
    QDir().mkpath(driveC.filePath(QStringLiteral("pics/sub")));
    Form12->DriveComboBox1Change(); // the drive's root listed again

    Form12->DirectoryListBox1Click(
        static_cast<int>(Form12->DirectoryListBox1->Items().indexOf(QStringLiteral("  pics"))));
    EXPECT_EQ(Form12->Directory, QStringLiteral("C:\\pics"));
    EXPECT_EQ(Form12->FileListBox1->Items(), QStringList({"a.Png", "b.JPG"}));
    EXPECT_EQ(Form12->DirectoryListBox1->Items(), QStringList({"C:\\", "  pics", "    sub"}));
    Form12->DirectoryListBox1Click(0); // back up to the root
    EXPECT_EQ(Form12->Directory, QStringLiteral("C:\\"));
}

// The user's pictures folder and home are offered by name beside the drives, and a folder
// chosen there is listed as any drive's.
TEST_F(ImportWindowTest, ThePicturesFolderAndHomeAreOfferedByName) {
    QTemporaryDir pictures;
    fakes.drives.drives.push_back(
        {QLatin1Char('D'), DriveType::Removable, QStringLiteral("/d/"), QStringLiteral("STICK")});
    fakes.drives.drives.push_back({QLatin1Char('Y'), DriveType::Fixed,
                                   pictures.path() + QLatin1Char('/'), QStringLiteral("图片"),
                                   true});
    QImage(8, 8, QImage::Format_RGB32).save(pictures.filePath(QStringLiteral("trip.png")));
    Form12->DriveComboBox1->refresh();
    QStringList shown;
    for (int i = 0; i < Form12->DriveComboBox1->count(); ++i)
        shown << Form12->DriveComboBox1->itemText(i);
    EXPECT_EQ(shown, QStringList({"C:", "D: STICK", "图片"}));

    Form12->DriveComboBox1->setCurrentIndex(2);
    Form12->DriveComboBox1Change();
    EXPECT_EQ(Form12->Directory, QStringLiteral("Y:\\"));
    EXPECT_EQ(Form12->FileListBox1->Items(), QStringList{QStringLiteral("trip.png")});
    // The lessons' drive list offers drives only.
    Form6->DriveComboBox1->refresh();
    EXPECT_EQ(Form6->DriveComboBox1->findData(QStringLiteral("Y")), -1);
    EXPECT_EQ(Form6->DriveComboBox1->itemText(1), QStringLiteral("D: STICK"));
}

// The settings window's drive list follows sticks plugged in and pulled out while it is open,
// keeping the teacher's choice and without reading the chosen drive's lessons again.
TEST_F(ImportWindowTest, TheSettingsDriveListFollowsTheSticksQuietly) {
    const auto stick = [](char16_t letter, const char* name) {
        return Drive(QChar(letter), DriveType::Removable, QStringLiteral("/s/"),
                     QString::fromLatin1(name));
    };
    DriveComboBox& list = *Form6->DriveComboBox1;
    fakes.drives.drives.push_back(stick(u'D', "STICK"));
    list.refresh();
    list.setDrive(QLatin1Char('D'));
    QSignalSpy changes(&list, &QComboBox::currentIndexChanged);
    const auto shown = [&] {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts << list.itemText(i);
        return texts;
    };
    fakes.drives.drives.push_back(stick(u'E', "PHOTOS"));
    list.refreshQuietly();
    EXPECT_EQ(shown(), QStringList({"C:", "D: STICK", "E: PHOTOS"}));
    fakes.drives.drives.pop_back();
    list.refreshQuietly();
    EXPECT_EQ(shown(), QStringList({"C:", "D: STICK"}));
    EXPECT_EQ(list.Drive(), QLatin1Char('D'));
    EXPECT_EQ(changes.count(), 0);
}

// Five pictures from a folder, then the library is opened again and one more is imported: it
// goes after the last thumbnail, with its path beside it.
TEST_F(ImportWindowTest, AOneFileImportAppendsAfterAFolderImport) {
    const Qt::GlobalColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta};
    for (int i = 0; i < 5; ++i)
        picture(QStringLiteral("pics"), QStringLiteral("p%1.png").arg(i), 40, 40, colours[i]);
    ASSERT_TRUE(Form12->setDirectory(QStringLiteral("C:\\pics")));
    board().setOwnPicturesLoadState(1);
    Form12->BitBtn2Click();
    ASSERT_EQ(own().count(), 5);
    EXPECT_EQ(own().Height, 5 * 105);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(centre(i), QColor(colours[i])) << i;
    EXPECT_EQ(Form12->ListBox1->Items(), own().Paths);
    EXPECT_FALSE(Form12->ListBox1->isVisibleTo(Form12));
    EXPECT_EQ(Form12->ProgressTotal, total(5));
    EXPECT_EQ(Form12->ProgressDone, imported(5));
    EXPECT_EQ(Form13->StatusText, boxText(5));

    Form3->SpeedButton32Click();
    EXPECT_EQ(own().LastImportIndex, -1);
    const QString sixth =
        picture(QStringLiteral("other"), QStringLiteral("six.png"), 40, 40, Qt::yellow);
    fakes.dialogs.fileNames.push_back(sixth);
    Form12->BitBtn1Click();
    EXPECT_EQ(fakes.dialogs.shown.back().text, intake::OpenPictureFilter);
    ASSERT_EQ(own().count(), 6);
    EXPECT_EQ(own().Paths[5], sixth);
    EXPECT_EQ(centre(5), QColor(Qt::yellow));
    EXPECT_EQ(own().LastImportIndex, 5);
    EXPECT_EQ(own().Height, 5 * 105 + 100);
    EXPECT_EQ(Form12->ProgressTotal, total(6));
    EXPECT_EQ(Form12->ProgressDone, imported(6));
}

TEST_F(ImportWindowTest, AnEmptyFolderEmptiesTheList) {
    board().appendOwnPicture(QImage(100, 100, QImage::Format_RGB32), QStringLiteral("/x.png"));
    QDir().mkpath(driveC.filePath(QStringLiteral("empty")));
    ASSERT_TRUE(Form12->setDirectory(QStringLiteral("C:\\empty")));
    Form12->BitBtn2Click();
    EXPECT_EQ(own().Height, 0);
    EXPECT_TRUE(own().Paths.isEmpty());
    EXPECT_TRUE(Form12->ListBox1->Items().isEmpty());
    EXPECT_EQ(Form13->StatusText, boxText(0));
}

// A damaged file is passed over: the others stay packed, each thumbnail beside its own path,
// and the counts say what was imported.
TEST_F(ImportWindowTest, ADamagedFileIsPassedOverWithoutAGap) {
    picture(QStringLiteral("pics"), QStringLiteral("a.png"), 30, 30, Qt::red);
    file(QStringLiteral("pics"), QStringLiteral("b.png"), "\x89PNG damaged");
    picture(QStringLiteral("pics"), QStringLiteral("c.png"), 30, 30, Qt::blue);
    ASSERT_TRUE(Form12->setDirectory(QStringLiteral("C:\\pics")));
    Form12->BitBtn2Click();
    ASSERT_EQ(own().count(), 2);
    EXPECT_TRUE(own().Paths[1].endsWith(QStringLiteral("c.png")));
    EXPECT_EQ(centre(1), QColor(Qt::blue));
    EXPECT_EQ(own().Height, 2 * 105);
    EXPECT_EQ(Form12->ProgressTotal, total(3));
    EXPECT_EQ(Form13->StatusText, boxText(2));
}

TEST_F(ImportWindowTest, AFolderOf1000ImportsTheFirst999AndReportsAll) {
    QDir().mkpath(driveC.filePath(QStringLiteral("many")));
    QImage tiny(2, 2, QImage::Format_RGB32);
    tiny.fill(Qt::green);
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(tiny.save(
            driveC.filePath(QStringLiteral("many/%1.bmp").arg(i, 4, 10, QLatin1Char('0'))), "bmp"));
    ASSERT_TRUE(Form12->setDirectory(QStringLiteral("C:\\many")));
    Form12->BitBtn2Click();
    EXPECT_EQ(own().count(), 999);
    EXPECT_EQ(own().Height, 999 * 105);
    EXPECT_EQ(Form12->ProgressTotal, total(1000));
    EXPECT_TRUE(own().Paths.back().endsWith(QStringLiteral("0998.bmp")));
}

// Thumbnails are fitted and centred, also when a large picture is decoded at a fraction of its
// size; the list shows its own background in the bands beside them.
TEST_F(ImportWindowTest, ThumbnailsAreFittedAndCentredOnTheListsBackground) {
    struct Case {
        const char* name;
        int w, h;
        QPoint band, inside;
    };
    const Case cases[] = {
        {"square.png", 60, 60, {-1, -1}, {0, 0}},
        {"wide.png", 200, 100, {50, 24}, {50, 25}},
        {"tall.png", 100, 200, {24, 50}, {25, 50}},
        {"large.jpg", 1600, 800, {50, 23}, {50, 27}},
    };
    for (const Case& c : cases) {
        const QString path =
            picture(QStringLiteral("fit"), QString::fromLatin1(c.name), c.w, c.h, Qt::blue);
        fakes.dialogs.fileNames.push_back(path);
        Form12->BitBtn1Click();
        ASSERT_EQ(own().Thumbnails.back().size(), QSize(100, 100)) << c.name;
    }
    const QImage list = Form3->Image26->grab().toImage();
    const QColor background = Form3->Image26->palette().color(QPalette::Base);
    const auto isPicture = [&](int slot, QPoint p) {
        const QColor shown = list.pixelColor(p + QPoint(0, slot * OwnPictureList::SlotPitch));
        return shown.blue() > 200 && shown.red() < 60 && shown.green() < 60;
    };
    for (int slot = 0; slot < 4; ++slot) {
        const Case& c = cases[slot];
        if (c.band.x() >= 0) {
            EXPECT_EQ(list.pixelColor(c.band + QPoint(0, slot * OwnPictureList::SlotPitch)),
                      background)
                << c.name;
        }
        EXPECT_TRUE(isPicture(slot, c.inside)) << c.name;
        EXPECT_TRUE(isPicture(slot, QPoint(99, 99) - c.inside)) << c.name;
    }
}

TEST_F(ImportWindowTest, AFileQtCannotDecodeImportsNothing) {
    const QString emf =
        file(QStringLiteral("meta"), QStringLiteral("drawing.emf"), QByteArray(200, '\x01'));
    fakes.dialogs.fileNames.push_back(emf);
    Form12->BitBtn1Click();
    fakes.dialogs.fileNames.push_back(std::nullopt); // cancelled
    Form12->BitBtn1Click();
    EXPECT_EQ(own().count(), 0);
    EXPECT_EQ(own().Height, 0);
    EXPECT_TRUE(Form12->ProgressTotal.isEmpty());
}

TEST_F(ImportWindowTest, TheDefaultFolderIsStoredOnlyWhenTickedForTheNamedTeacher) {
    QDir().mkpath(driveC.filePath(QStringLiteral("photos/class")));
    ASSERT_TRUE(Form12->setDirectory(QStringLiteral("C:\\photos\\class")));
    Form6->Edit1->setText(QStringLiteral("王老师"));
    Form12->BitBtn3Click();
    EXPECT_TRUE(storedFolder(QStringLiteral("王老师")).isEmpty());

    Form12->CheckBox1->setChecked(true);
    Form12->BitBtn3Click();
    EXPECT_EQ(storedFolder(QStringLiteral("王老师")), QStringLiteral("C:\\photos\\class"));
    EXPECT_TRUE(storedFolder(QStringLiteral("教师0")).isEmpty());

    Form6->Edit1->clear();
    Form12->BitBtn3Click();
    EXPECT_EQ(storedFolder(QStringLiteral("教师0")), QStringLiteral("C:\\photos\\class"));
}

// The own-pictures tab reads the teacher's folder the first time and after the settings
// window's OK, reporting in the settings box; a folder that names nothing here is taken as
// empty.
TEST_F(ImportWindowTest, TheOwnPicturesTabLoadsTheTeachersFolder) {
    picture(QStringLiteral("mine"), QStringLiteral("a.png"), 20, 20, Qt::red);
    picture(QStringLiteral("mine"), QStringLiteral("b.png"), 20, 20, Qt::green);
    {
        lessons::Configuration config(Form6->ConfigFolder);
        config.StorePictureFolder(QStringLiteral("教师0"), QStringLiteral("C:\\mine"));
        config.Commit();
    }
    Form3->SpeedButton32Click();
    Form3->BitBtn3Click();
    EXPECT_EQ(own().count(), 2);
    EXPECT_EQ(own().LoadState, 1);
    EXPECT_EQ(Form13->StatusText, boxText(2));
    EXPECT_EQ(Form3->Image26->height(), 2 * 105);

    picture(QStringLiteral("mine"), QStringLiteral("c.png"), 20, 20, Qt::blue);
    Form3->BitBtn3Click();
    EXPECT_EQ(own().count(), 2); // loaded once

    Form6->BitBtn1Click(); // OK: to be read again
    EXPECT_EQ(own().LoadState, -1);
    {
        lessons::Configuration config(Form6->ConfigFolder);
        config.StorePictureFolder(QStringLiteral("教师0"), QStringLiteral("Q:\\nowhere"));
        config.Commit();
    }
    Form3->BitBtn3Click();
    EXPECT_EQ(Form12->Directory, QStringLiteral("C:\\mine"));
    EXPECT_EQ(own().count(), 3);
}

} // namespace
