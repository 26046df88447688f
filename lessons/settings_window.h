// The settings window: the teacher list with its passwords, the lesson choice and the personal
// pen and background settings. It owns every access to the configuration file.
#pragma once

#include "lessons/configuration.h"
#include "platform/os/school_share.h"
#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class DriveComboBox;
class ListBox;
} // namespace platform

namespace lessons {

class ArchiveFiles;
class BoardLink;
class LessonArchive;
class LessonBoard;
struct LessonOwner;
struct ArchiveResult;

// What the program gives the settings window when it creates it.
struct SettingsLinks {
    // The whiteboard the personal settings are handed to; none leaves the board alone.
    BoardLink* Board = nullptr;
    // The program's folder, with a trailing separator: the administrator record's file lies
    // there until a lesson is opened or saved.
    QString ProgramFolder;
    // Asks the picture library to read the teacher's picture folder again when next shown.
    std::function<void()> ReloadPictureLibrary;
    // The board whose pages lessons are stored from and loaded into; none leaves the lesson
    // commands without a board.
    LessonBoard* Lessons = nullptr;
    // Where lesson folders are read and written; none is this machine's disk.
    ArchiveFiles* LessonFiles = nullptr;
    // Whether the window's creation hands the default teacher's settings to the board: a
    // program that makes the window only when it is first opened has done so at its start.
    bool HandOverAtCreation = true;
};

} // namespace lessons

class TForm6 : public platform::Form {
    Q_OBJECT
public:
    TForm6() : TForm6(lessons::SettingsLinks{}) {}
    explicit TForm6(lessons::SettingsLinks links);
    ~TForm6() override;

    // The teacher group.
    QGroupBox* GroupBox1;
    QLineEdit* Edit1;     // name box
    QPushButton* Button1; // add
    QPushButton* Button2; // rename
    QPushButton* Button5; // delete
    platform::ListBox* ListBox1;
    QPushButton* Button8; // personal password
    QPushButton* Button9; // administrator password

    // The lesson group.
    QGroupBox* GroupBox2;
    QLabel* Label1;
    QLineEdit* Edit2; // volume box
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* Edit3; // lesson box
    QLabel* Label4;
    platform::ListBox* ListBox2; // volumes
    QPushButton* Button3;        // add a volume
    QPushButton* Button6;        // remove a volume
    platform::ListBox* ListBox3; // lessons
    QPushButton* Button4;        // add a lesson
    QPushButton* Button7;        // remove a lesson
    QLabel* Label11;
    QLabel* Label10;
    platform::DriveComboBox* DriveComboBox1;
    platform::SpeedButton* SpeedButton1; // open the lesson
    platform::SpeedButton* SpeedButton2; // save the lesson
    QPushButton* Button10;               // export the lesson as a PDF

    // The personal group.
    QGroupBox* GroupBox3;
    platform::SpeedButton* SpeedButton9; // frames LCP
    platform::Swatch* LCP;               // stroke colour
    QLabel* Label5;
    QLabel* Label6;
    platform::Swatch* RCP; // background colour
    QLabel* Label7;
    QLabel* Label8;
    QLineEdit* Edit4;                    // width readout
    QCheckBox* SmoothInkBox;             // smooth ink
    platform::SpeedButton* SpeedButton7; // wider
    platform::SpeedButton* SpeedButton8; // narrower
    QLabel* Label9;

    QPushButton* BitBtn1; // OK

    // Where the configuration file lies, on this machine, and the drive letter it lies on.
    QString ConfigFolder;
    QChar ConfigDrive;
    // 1 while a real teacher is chosen and, if protected, unlocked.
    int TeacherSelected = 0;
    // The chosen teacher's password code as read when the teacher was chosen.
    QString TeacherPasswordCode;
    // The lesson folder of the last lesson opened or saved in this run, on this machine, with a
    // trailing separator; empty before.
    QString LessonFolder;

    void FormCreate();
    // Tells the teacher at the program's start when the configuration file is there but cannot
    // be read.
    void warnIfSettingsUnreadable();

    // Teachers and passwords (teachers.cpp).
    void ListBox1Click();
    void Button1Click(); // add
    void Button2Click(); // rename
    void Button5Click(); // delete
    void Button8Click(); // personal password
    void Button9Click(); // administrator password
    // The keypad's OK with the digits typed, and its Cancel.
    void KeypadOk(const QString& entry);
    void KeypadCancel();

    // The volume and lesson lists (lesson_lists.cpp).
    void ListBox2Click();
    void ListBox3Click();
    void Button3Click(); // add a volume
    void Button4Click(); // add a lesson
    void Button6Click(); // remove a volume
    void Button7Click(); // remove a lesson

    // The lesson archive (lesson_commands.cpp).
    void SpeedButton1Click(); // open
    void SpeedButton2Click(); // save
    void Button10Click();     // export as PDF

    // Personal settings (personal_settings.cpp).
    void LCPClick();
    void SpeedButton9Click();
    void RCPClick();
    void SpeedButton7Click(); // wider
    void SpeedButton8Click(); // narrower

    void BitBtn1Click(); // OK

    // The section of the teacher named in the name box, "教师0" when it is empty: where the
    // picture library and the picture import keep the teacher's picture folder.
    QString TeacherSection() const;
    // The file that holds the administrator password record.
    QString AdminPasswordPath() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    lessons::BoardLink& board();
    // Shows a section's settings in the lesson lists and the personal group.
    void showSettings(const lessons::PersonalSettings& settings);
    lessons::PersonalSettings shownSettings() const;
    // Reads a chosen teacher's settings; an empty name stands for "默认".
    void loadTeacher(const QString& teacher);
    void handOverAtStart();
    void handOverAtOk();
    void applyBackgroundAtOk();
    void inform(const QString& text);
    // True when the configuration file can be read; otherwise the teacher is told where it is
    // and that it cannot be read.
    bool settingsReadable();
    // True when a teacher has been chosen (and the file can still be read); otherwise the
    // teacher is asked to choose one first.
    bool teacherChosen();
    // The teacher list and the lesson drive as the file holds them; only "默认" while the file
    // cannot be read, and then again at the next opening of the window.
    void readTeacherList(const lessons::Configuration& config);

    // The chosen teacher's list entry with the volume and lesson boxes; nothing, with the
    // teacher asked to choose, when no teacher is chosen.
    std::optional<lessons::LessonOwner> chosenLesson();
    // LessonFolder on this machine for the chosen drive, its levels created when `create`;
    // nothing when the drive is not there or is the school's share.
    std::optional<QString> lessonFolderOnDrive(bool create);
    // The volume and lesson lists reach every lesson the chosen teacher has saved on the
    // chosen drive (lesson_lists.cpp).
    void showSavedLessons();
    // Files the lessons of the teacher's old name on the lesson drive under the new one; says
    // so when some could not go.
    void carryLessons(const QString& from, const QString& to);
    // The teacher's former names that no listed teacher has now.
    QStringList formerNames(const QString& teacher) const;
    // Before a lesson of the owner is opened or saved: lessons of the teacher's former names
    // on that drive go under the owner's name, as at a rename.
    void carryFormerLessons(const QString& folder, const lessons::LessonOwner& owner);
    // Shows a page while a lesson is stored or loaded, and keeps the windows painted.
    void showLessonProgress(int page, const QImage& picture);
    lessons::ArchiveFiles& lessonFiles();

    // The lesson commands on the school's share (share_commands.cpp). The share when it is the
    // chosen drive.
    std::optional<platform::SchoolShare> chosenShare();
    std::optional<QString> shareLessonFolder(const platform::SchoolShare& share);
    // The lesson folder of this machine that the owner's lesson passes through to the share
    // or, `opening`, from it; empty when it cannot be made.
    QString shareStaging(const lessons::LessonOwner& owner, bool opening);
    // Where the lessons kept on drive C for the share are listed.
    static QString keptOnCList();
    lessons::LessonArchive& stagingArchive();
    // Opens the lesson from `folder` onto the board with the progress shown; says what could
    // not be read, or why nothing was opened. False when nothing was.
    bool openOntoBoard(lessons::LessonArchive& archive, const QString& folder,
                       const lessons::LessonOwner& lesson);
    void openFromShare(const platform::SchoolShare& share, const lessons::LessonOwner& owner);
    void saveToShare(const platform::SchoolShare& share, const lessons::LessonOwner& owner);
    void exportFromShare(const platform::SchoolShare& share, const lessons::LessonOwner& owner);
    void showSavedOnShare(const platform::SchoolShare& share, const QString& teacher);
    // The lesson passing through to the share kept on drive C instead, and remembered, so
    // that the teacher is offered to copy it to the share later.
    lessons::ArchiveResult keepOnDriveC(const lessons::LessonOwner& owner, const QString& staging);
    void offerCopiesToShare(const platform::SchoolShare& share);

    lessons::SettingsLinks links_;
    bool teachersRead_ = false;
    std::unique_ptr<lessons::LessonArchive> archive_;
    std::unique_ptr<lessons::LessonArchive> stagingArchive_;
};

extern platform::SingleWindow<TForm6> Form6;
