// The picture import window: its layout, the drive, folder and file lists, and the imports.
#include "intake/import_window.h"

#include "board/model/board_model.h"
#include "intake/import_thumbnails.h"
#include "platform/os/drives.h"
#include "platform/os/services.h"
#include "platform/widgets/list_box.h"

#include <QCheckBox>
#include <QCollator>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

using namespace platform;

platform::SingleWindow<TForm12> Form12;

namespace {

const QChar Backslash = QLatin1Char('\\');

QString countText(const char* before, qsizetype count, const char* after) {
    return QString::fromUtf8(before) + QString::number(count) + QString::fromUtf8(after);
}

// "C:\a\b" for "C:\a" and "b"; a drive's root keeps its one separator.
QString childFolder(const QString& folder, const QString& name) {
    return (folder.endsWith(Backslash) ? folder : folder + Backslash) + name;
}

} // namespace

TForm12::TForm12(BoardModel& board, intake::ImportLinks links)
    : Form(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint), Board(board), links_(std::move(links)) {
    setWindowTitle(QStringLiteral("导入图片"));
    setFixedSize(450, 251);

    DriveComboBox1 = new DriveComboBox(this, 8, 8, 200, 22, true);
    DirectoryListBox1 = new ListBox(this, 8, 34, 200, 176);
    FileListBox1 = new ListBox(this, 216, 8, 226, 170);
    CheckBox1 = new QCheckBox(QStringLiteral("默认文件夹"), this);
    CheckBox1->setGeometry(216, 184, 120, 22);
    BitBtn1 = new QPushButton(QStringLiteral("浏览"), this);
    BitBtn1->setGeometry(216, 214, 70, 28);
    BitBtn1->setToolTip(QStringLiteral("导入指定的一个图像文件"));
    BitBtn2 = new QPushButton(QStringLiteral("导入"), this);
    BitBtn2->setGeometry(294, 214, 70, 28);
    BitBtn2->setToolTip(QStringLiteral("导入指定文件夹的所有图像文件"));
    BitBtn3 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn3->setGeometry(372, 214, 70, 28);
    ListBox1 = new ListBox(this, 0, 0, 0, 0);
    ListBox1->hide();

    connect(DriveComboBox1, &QComboBox::activated, this,
            [this] { guarded([this] { DriveComboBox1Change(); }); });
    connect(DirectoryListBox1, &ListBox::clicked, this,
            [this](int index) { guarded([&] { DirectoryListBox1Click(index); }); });
    onClick(BitBtn1, &TForm12::BitBtn1Click);
    onClick(BitBtn2, &TForm12::BitBtn2Click);
    onClick(BitBtn3, &TForm12::BitBtn3Click);
}

void TForm12::FormCreate() {
    DriveComboBox1->setDrive(QLatin1Char('C'));
    setDirectory(QStringLiteral("C:\\"));
}

void TForm12::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    // A stick plugged in, or a folder made, since the window was last open is listed.
    DriveComboBox1->refresh();
    if (!setDirectory(Directory))
        setDirectory(QStringLiteral("C:\\"));
    move((screenWidth() - width()) / 2, (screenHeight() - height()) / 2);
}

void TForm12::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect line(6, 220, 204, fontMetrics().height());
    p.drawText(line, Qt::AlignLeft | Qt::AlignTop, ProgressTotal);
    p.drawText(line.translated(0, 16), Qt::AlignLeft | Qt::AlignTop, ProgressDone);
}

void TForm12::DriveComboBox1Change() {
    const QChar drive = DriveComboBox1->Drive();
    if (drive.isNull() || !setDirectory(QString(drive) + QStringLiteral(":\\")))
        DriveComboBox1->setDrive(Directory.isEmpty() ? QLatin1Char('C') : Directory[0]);
}

void TForm12::DirectoryListBox1Click(int index) {
    if (index >= 0 && index < folderEntries_.size())
        setDirectory(folderEntries_[index]);
}

bool TForm12::setDirectory(const QString& windowsPath) {
    const std::optional<QString> local = localPath(drives(), windowsPath);
    if (!local || !QDir(*local).exists())
        return false;
    // The folder list names folders without a trailing separator, a drive's root with one.
    QStringList parts = QString(windowsPath).replace(QLatin1Char('/'), Backslash).split(Backslash);
    parts.removeAll(QString());
    const QString root = parts.front().toUpper() + Backslash;
    Directory = root + parts.mid(1).join(Backslash);
    DriveComboBox1->setDrive(root[0]);
    listFolder();
    return true;
}

// The folder list shows the drive's root, the folders down to the current one and the current
// one's subfolders; the file list the current folder's pictures. Both sort as Windows does,
// without regard to case.
void TForm12::listFolder() {
    QCollator order;
    order.setCaseSensitivity(Qt::CaseInsensitive);
    const auto sorted = [&order](QStringList names) {
        std::sort(names.begin(), names.end(), order);
        return names;
    };
    const QDir folder(localPath(drives(), Directory).value_or(QString()));

    folderEntries_.clear();
    QStringList shown;
    QString path;
    const QStringList levels = Directory.split(Backslash, Qt::SkipEmptyParts);
    for (int depth = 0; depth < levels.size(); ++depth) {
        path = depth == 0 ? levels[0] + Backslash : childFolder(path, levels[depth]);
        folderEntries_.append(path);
        shown.append(QString(depth * 2, QLatin1Char(' ')) + (depth == 0 ? path : levels[depth]));
    }
    const QString indent(levels.size() * 2, QLatin1Char(' '));
    for (const QString& name :
         sorted(folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort))) {
        folderEntries_.append(childFolder(Directory, name));
        shown.append(indent + name);
    }
    DirectoryListBox1->setItems(shown);
    DirectoryListBox1->setItemIndex(static_cast<int>(levels.size()) - 1);

    // QDir matches name filters without regard to case unless told otherwise.
    FileListBox1->setItems(sorted(folder.entryList(intake::PicturePatterns.split(QLatin1Char(';')),
                                                   QDir::Files, QDir::NoSort)));
}

void TForm12::showProgress(const QString& total, const QString& done) {
    ProgressTotal = total;
    ProgressDone = done;
    // Shown now: the next file is read only after the teacher has seen this one counted.
    repaint();
}

void TForm12::settingsBoxText(const QString& text) {
    if (links_.SettingsBoxText)
        links_.SettingsBoxText(text);
}

void TForm12::showPathList() {
    ListBox1->setItems(Board.ownPictures().Paths);
}

// One file: its thumbnail goes into the slot after the last one. A file that cannot be decoded
// here (a metafile, a damaged picture) imports nothing.
void TForm12::BitBtn1Click() {
    const std::optional<QString> chosen = dialogs().chooseOpenFile(this, intake::OpenPictureFilter);
    if (!chosen)
        return;
    const std::optional<QImage> thumbnail = MakeImportThumbnail(*chosen, Board.programFolder());
    if (!thumbnail)
        return;
    // After the library was opened again the last index starts over, but the list it appends
    // to does not: the slot follows the last thumbnail, so slot and path stay together.
    const int k = Board.ownPictures().count();
    showProgress(countText("总共有", k + 1, "个图像文件。  "),
                 countText("已导入", k + 1, "个图像文件。  "));
    Board.setOwnPicturesHeight(k * OwnPictureList::SlotPitch + OwnPictureList::ThumbnailSize);
    Board.appendOwnPicture(*thumbnail, *chosen);
    showPathList();
}

void TForm12::BitBtn2Click() {
    ImportFolder();
}

void TForm12::BitBtn3Click() {
    if (CheckBox1->isChecked() && links_.StoreDefaultFolder)
        links_.StoreDefaultFolder(Directory);
    close();
}

void TForm12::LoadOwnPictures() {
    // A value that names no folder here (a drive that is not plugged in, a value from another
    // machine) is taken as empty: the current folder stays.
    if (links_.ReadDefaultFolder) {
        if (const QString folder = links_.ReadDefaultFolder(); !folder.isEmpty())
            setDirectory(folder);
    }
    ImportFolder();
}

// Every listed picture of the current folder, at most 999. A file that cannot be decoded is
// passed over: the thumbnails stay packed, and the counts say what was imported.
void TForm12::ImportFolder() {
    // The folder as it is now: pictures added since it was listed are imported too.
    listFolder();
    const QStringList names = FileListBox1->Items();
    const int n = static_cast<int>(std::min<qsizetype>(names.size(), intake::MaxFolderImport));
    Board.clearOwnPictures(n * OwnPictureList::SlotPitch);
    showProgress(countText("总共有", names.size(), "个图像文件。  "),
                 countText("已导入", 0, "个图像文件。  "));

    const QString folder = localPath(drives(), Directory).value_or(QString());
    QStringList paths;
    for (int i = 0; i < n; ++i)
        paths.append(QDir(folder).filePath(names[i]));
    ThumbnailQueue queue(paths, Board.programFolder());
    int imported = 0;
    while (!queue.atEnd()) {
        const QString path = queue.nextPath();
        const std::optional<QImage> thumbnail = queue.takeNext();
        if (!thumbnail)
            continue;
        Board.appendOwnPicture(*thumbnail, path);
        ++imported;
        if (Board.ownPictures().LoadState == 1)
            showProgress(ProgressTotal, countText("已导入", imported, "个图像文件。  "));
        else
            settingsBoxText(countText("已导入", imported, "个文件。  "));
    }
    if (imported < n)
        Board.setOwnPicturesHeight(imported * OwnPictureList::SlotPitch);
    settingsBoxText(countText("已导入", imported, "个文件。  "));
    showPathList();
}
