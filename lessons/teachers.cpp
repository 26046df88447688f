// The teacher list: choosing a teacher (with the keypad when protected), adding, renaming and
// deleting teachers, and opening the change-password window.
#include "lessons/change_password.h"
#include "lessons/keypad.h"
#include "lessons/passwords.h"
#include "lessons/settings_window.h"
#include "lessons/teacher_names.h"
#include "platform/os/services.h"
#include "platform/widgets/list_box.h"

#include <QLineEdit>

using namespace lessons;
using namespace platform;

namespace {

const QString NoNameMessage = QStringLiteral("请输入教师姓名！");
const QString ListedMessage = QStringLiteral("教师名列表中已存在！");

} // namespace

// Choosing an entry: a protected teacher is asked for the password first; "默认" never is.
void TForm6::ListBox1Click() {
    TeacherSelected = 0;
    const int index = ListBox1->ItemIndex();
    if (index < 0)
        return;
    // Without the file no password can be checked, so no teacher can be chosen.
    if (!settingsReadable()) {
        ListBox1->setItemIndex(-1);
        return;
    }
    if (index > 0) {
        const QString teacher = ListBox1->Item(index);
        if (Configuration(ConfigFolder).PasswordCode(teacher) != keys::NoPassword) {
            Form7->Ask(
                QStringLiteral("请输入任课教师个人密码："),
                [this](const QString& entry) { KeypadOk(entry); }, [this] { KeypadCancel(); });
            return;
        }
    }
    loadTeacher(index > 0 ? ListBox1->Item(index) : QString());
}

void TForm6::loadTeacher(const QString& teacher) {
    const Configuration config(ConfigFolder);
    QString section = keys::DefaultSection;
    if (teacher.isEmpty()) {
        Edit1->clear();
    } else {
        Edit1->setText(teacher);
        TeacherSelected = 1;
        section = teacher;
    }
    const PersonalSettings settings = config.Personal(section);
    showSettings(settings);
    TeacherPasswordCode = settings.PasswordCode;
}

void TForm6::KeypadOk(const QString& entry) {
    if (!settingsReadable()) {
        Edit1->clear();
        ListBox1->setItemIndex(-1);
        return;
    }
    const int index = ListBox1->ItemIndex();
    if (index <= 0)
        return;
    const QString teacher = ListBox1->Item(index);
    if (PasswordCode(entry) != Configuration(ConfigFolder).PasswordCode(teacher)) {
        inform(QStringLiteral("密码错误！"));
        Edit1->clear();
        ListBox1->setItemIndex(-1);
        return;
    }
    loadTeacher(teacher);
}

void TForm6::KeypadCancel() {
    Edit1->clear();
    ListBox1->setItemIndex(-1);
}

// Add: the name joins the list; the file learns of it at OK.
void TForm6::Button1Click() {
    const QString name = Edit1->text();
    if (name.isEmpty()) {
        inform(NoNameMessage);
        return;
    }
    // Sections ignore letter case, so "Wang" and "wang" would share one.
    if (FindTeacher(ListBox1->Items(), name) >= 0) {
        inform(ListedMessage);
        return;
    }
    if (const auto problem = NewTeacherNameProblem(name)) {
        inform(*problem);
        return;
    }
    ListBox1->addItem(name);
}

// Rename: the chosen teacher's settings and stored password code go under the new name.
void TForm6::Button2Click() {
    if (!teacherChosen())
        return;
    const int index = ListBox1->ItemIndex();
    if (index <= 0)
        return;
    const QString name = Edit1->text();
    if (name.isEmpty()) {
        inform(NoNameMessage);
        return;
    }
    // Renaming onto another teacher would replace that teacher's password.
    const int listed = FindTeacher(ListBox1->Items(), name);
    if (listed >= 0 && listed != index) {
        inform(ListedMessage);
        return;
    }
    if (const auto problem = NewTeacherNameProblem(name)) {
        inform(*problem);
        return;
    }
    // The teacher's lessons go with the name: the list holds the new name at once, with the
    // old one kept for the lessons on drives that are not there now.
    const QString old = ListBox1->Item(index);
    QStringList teachers = ListBox1->Items();
    teachers[index] = name;
    Configuration config(ConfigFolder);
    // The code the file holds now: the password may have changed since the teacher was chosen.
    PersonalSettings settings = shownSettings();
    settings.PasswordCode = config.PasswordCode(old);
    config.StorePersonal(name, settings, true);
    config.StoreRename(old, name);
    config.StoreTeacherList(teachers.mid(1));
    config.Commit();
    ListBox1->setItem(index, name);
    carryLessons(old, name);
}

// Delete, once the teacher agrees: the teacher's section goes and the list is stored without the
// teacher.
void TForm6::Button5Click() {
    if (!teacherChosen())
        return;
    const int index = ListBox1->ItemIndex();
    if (index <= 0)
        return;
    QStringList remaining = ListBox1->Items();
    const QString question =
        QStringLiteral("要删除教师“%1”吗？删除后这位教师的设置和密码都不再保留。")
            .arg(remaining[index]);
    if (dialogs().askYesNo(this, question, ConfirmTitle) != Answer::Yes)
        return;
    Configuration config(ConfigFolder);
    config.EraseTeacher(remaining[index]);
    remaining.removeAt(index);
    config.StoreTeacherList(remaining.mid(1));
    config.ForgetTeacherKey(static_cast<int>(remaining.size()));
    config.Commit();
    ListBox1->removeItem(index);
    ListBox1->setItemIndex(-1);
    Edit1->clear();
}

// The chosen teacher's own password.
void TForm6::Button8Click() {
    if (!teacherChosen())
        return;
    const int index = ListBox1->ItemIndex();
    if (index <= 0)
        return;
    Form8->Open(TForm8::PersonalPassword, ConfigFolder, ListBox1->Item(index), AdminPasswordPath());
}

// The administrator password, kept in the lesson folder once lessons have been used.
void TForm6::Button9Click() {
    if (!LessonFolder.isEmpty() && !files().exists(LessonFolder + AdminPasswordFile))
        files().copyFile(links_.ProgramFolder + AdminPasswordFile, LessonFolder + AdminPasswordFile,
                         false);
    Form8->Open(TForm8::AdministratorPassword, ConfigFolder, QString(), AdminPasswordPath());
}
