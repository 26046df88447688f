// The volume and lesson lists of the lesson group. Opening and saving lessons come with the
// lesson archive.
#include "lessons/lesson_archive.h"
#include "lessons/settings_window.h"
#include "platform/widgets/list_box.h"

#include <QLineEdit>

using namespace lessons;
using namespace platform;

namespace {

void appendNext(ListBox* list) {
    list->addItem(QString::number(list->count() + 1));
}

// The last entry goes whichever is selected; the selection stays where it was, if it still
// can.
void removeLast(ListBox* list) {
    if (list->count() == 0)
        return;
    const int selected = list->ItemIndex();
    list->removeItem(list->count() - 1);
    list->setItemIndex(selected < list->count() ? selected : -1);
}

} // namespace

void TForm6::showSavedLessons() {
    const int index = ListBox1->ItemIndex();
    if (TeacherSelected != 1 || index <= 0)
        return;
    if (const std::optional<SchoolShare> share = chosenShare()) {
        showSavedOnShare(*share, ListBox1->Item(index));
        return;
    }
    const std::optional<QString> folder = lessonFolderOnDrive(false);
    if (!folder)
        return;
    const QString teacher = ListBox1->Item(index);
    const SavedNumbers saved =
        savedLessonNumbers(lessonFiles(), *folder, QStringList{teacher} + formerNames(teacher));
    while (ListBox2->count() < saved.Volumes)
        appendNext(ListBox2);
    while (ListBox3->count() < saved.Lessons)
        appendNext(ListBox3);
}

void TForm6::ListBox2Click() {
    Edit2->setText(ListBox2->Item(ListBox2->ItemIndex()));
}

void TForm6::ListBox3Click() {
    Edit3->setText(ListBox3->Item(ListBox3->ItemIndex()));
}

void TForm6::Button3Click() {
    if (!teacherChosen())
        return;
    appendNext(ListBox2);
}

void TForm6::Button4Click() {
    if (!teacherChosen())
        return;
    appendNext(ListBox3);
}

void TForm6::Button6Click() {
    if (!teacherChosen())
        return;
    removeLast(ListBox2);
}

void TForm6::Button7Click() {
    if (!teacherChosen())
        return;
    removeLast(ListBox3);
}
