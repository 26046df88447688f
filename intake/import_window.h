// The picture import window: fills the picture library's own-pictures list with thumbnails of
// every picture in a folder or of one chosen picture, and remembers a teacher's picture folder.
#pragma once

#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

#include <QString>
#include <functional>

class BoardModel;
class QCheckBox;
class QPushButton;

namespace platform {
class DriveComboBox;
class ListBox;
} // namespace platform

namespace intake {

// What the program gives the import window when it creates it.
struct ImportLinks {
    // The picture folder ("dcu") stored for the teacher named in the settings window's name
    // box, or for "教师0" when the box is empty; and storing one there.
    std::function<QString()> ReadDefaultFolder;
    std::function<void(const QString&)> StoreDefaultFolder;
    // Shows a progress text in the picture library's settings box.
    std::function<void(const QString&)> SettingsBoxText;
};

// The file list's patterns, matched without regard to case.
inline const QString PicturePatterns =
    QStringLiteral("*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff;*.gif");
// The picture-open dialog's filter, label and patterns in pairs.
inline const QString OpenPictureFilter = QStringLiteral(
    "All (*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.ico;"
    "*.emf;*.wmf|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps "
    "(*.bmp)|*.bmp|GIF(*.gif)|*.gif|PNG(*.png)|*.png|Icons (*.ico)|*.ico|Enhanced Metafiles "
    "(*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");
// A folder import takes this many files at most.
constexpr int MaxFolderImport = 999;

} // namespace intake

class TForm12 : public platform::Form {
    Q_OBJECT
public:
    explicit TForm12(BoardModel& board, intake::ImportLinks links = {});

    BoardModel& Board;

    platform::DriveComboBox* DriveComboBox1;
    platform::ListBox* DirectoryListBox1;
    platform::ListBox* FileListBox1;
    QPushButton* BitBtn1;        // one file
    QPushButton* BitBtn2;        // the folder
    QCheckBox* CheckBox1;        // default folder
    QPushButton* BitBtn3;        // OK
    platform::ListBox* ListBox1; // hidden: the own pictures' paths, in slot order

    // The folder list's folder as a drive-letter path, "C:\" for a drive's root, else without
    // a trailing separator.
    QString Directory;
    // The two progress lines, drawn at (6, 220) and (6, 236).
    QString ProgressTotal;
    QString ProgressDone;

    void FormCreate();
    void DriveComboBox1Change();
    void DirectoryListBox1Click(int index);
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

    // Makes a folder the folder list's folder; false, with nothing changed, when it names no
    // folder of this machine.
    bool setDirectory(const QString& windowsPath);
    // The picture library's own-pictures tab: the teacher's picture folder (when it names a
    // folder) becomes the current folder and every picture in it is imported.
    void LoadOwnPictures();
    // The folder import.
    void ImportFolder();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void listFolder();
    void showProgress(const QString& total, const QString& done);
    void settingsBoxText(const QString& text);
    void showPathList();

    intake::ImportLinks links_;
    // The drive-letter paths of the folder list's entries.
    QStringList folderEntries_;
};

extern platform::SingleWindow<TForm12> Form12;
