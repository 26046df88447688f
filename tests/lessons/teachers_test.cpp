// The teacher list: creation from the configuration file, choosing teachers with and without
// the keypad, Add, Rename, Delete and OK, and what each leaves in the file.
#include "lessons/configuration.h"
#include "lessons/teacher_names.h"
#include "settings_fixture.h"

#include <QTest>
#include <QTimer>

using namespace platform;

namespace {

// As the Windows program leaves it: GBK names, CRLF, keys in the order it wrote them.
const QString WindowsFile = QStringLiteral("[tec]\r\n"
                                           "mum=3\r\n"
                                           "te1=王老师\r\n"
                                           "te2=李老师\r\n"
                                           "te3=Zhang\r\n"
                                           "drive=D\r\n"
                                           "te0=教师0\r\n"
                                           "[教师0]\r\n"
                                           "ce=2\r\n"
                                           "ke=3\r\n"
                                           "frn=16711680\r\n"
                                           "blk=0\r\n"
                                           "bh=4\r\n"
                                           "[王老师]\r\n"
                                           "ce=5\r\n"
                                           "ke=12\r\n"
                                           "frn=65280\r\n"
                                           "blk=16777215\r\n"
                                           "bh=7\r\n"
                                           "ma=12278\r\n" // "12"
                                           "[李老师]\r\n"
                                           "ma=0\r\n"
                                           "frn=255\r\n"
                                           "[Zhang]\r\n"
                                           "ma=1404\r\n"); // "9"

class Teachers : public SettingsFixture {
protected:
    void SetUp() override {
        holdConfig(WindowsFile);
        createWindows();
    }

    // The group's content: volumes, lessons, stroke, background, width.
    QString group() const {
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(Form6->ListBox2->count())
            .arg(Form6->ListBox3->count())
            .arg(Form6->LCP->Color(), 0, 16)
            .arg(Form6->RCP->Color(), 0, 16)
            .arg(Form6->Edit4->text());
    }
};

} // namespace

TEST_F(SettingsFixture, AFreshConfiguration) {
    EXPECT_EQ(Form6->ConfigFolder, ConfigFolder);
    EXPECT_EQ(Form6->ConfigDrive, QLatin1Char('C'));
    EXPECT_EQ(teachers(), QStringList({QStringLiteral("默认"), QStringLiteral("教师1")}));
    EXPECT_EQ(Form6->DriveComboBox1->Drive(), QLatin1Char('C'));
    // Red strokes 2 pixels wide on grey, and the lighter grey editor.
    EXPECT_EQ(board.calls, QStringList({"penColour ff", "backgroundSwatch 808080", "penWidth 2 pen",
                                        "window 808080", "editor a5a5a5", "invalidate"}));
    EXPECT_FALSE(configExists());

    choose(1); // asks no password
    EXPECT_EQ(Form6->TeacherSelected, 1);
    EXPECT_EQ(Form6->Edit1->text(), QStringLiteral("教师1"));

    // OK stores the list, the default section's name, the settings and the drive, in order.
    choose(0);
    board.calls.clear();
    Form6->BitBtn1Click();
    EXPECT_EQ(config(), QStringLiteral("[tec]\r\nmum=1\r\nte1=教师1\r\nte0=教师0\r\ndrive=C\r\n"
                                       "[教师0]\r\nce=1\r\nke=1\r\nfrn=255\r\nblk=8421504\r\n"
                                       "bh=2\r\n"));
    // The board's background is the grey already since the start.
    EXPECT_EQ(board.calls, QStringList({"paintMode 1", "penColour ff", "penWidth 2"}));
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Teachers, CreationReadsTheWindowsFile) {
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "李老师", "Zhang"}));
    // A drive that is not plugged in stays the teacher's choice.
    EXPECT_EQ(Form6->DriveComboBox1->Drive(), QLatin1Char('D'));
    EXPECT_EQ(group(), QStringLiteral("2 3 ff0000 0 4"));
    // Part of the rule for the editor: black gives black.
    EXPECT_EQ(board.calls, QStringList({"penColour ff0000", "backgroundSwatch 0", "penWidth 4 pen",
                                        "window 0", "editor 0", "invalidate"}));
    EXPECT_EQ(config(), WindowsFile);
}

TEST_F(Teachers, ChoosingATeacher) {
    struct Case {
        const char* what;
        int index;
        std::optional<const char*> keypad; // digits typed, nothing when no keypad shows
        bool ok;
        int selected;
        const char* nameBox;
        int selection;
        const char* group;
        QStringList messages;
    };
    const Case cases[] = {
        {"an unprotected teacher", 2, std::nullopt, true, 1, "李老师", 2, "1 1 ff 808080 2", {}},
        {"the right password", 1, "12", true, 1, "王老师", 1, "5 12 ff00 ffffff 7", {}},
        {"a wrong password", 1, "21", true, 0, "", -1, "2 3 ff0000 0 4", {"密码错误！"}},
        {"an empty entry", 3, "", true, 0, "", -1, "2 3 ff0000 0 4", {"密码错误！"}},
        {"cancelled", 1, "12", false, 0, "", -1, "2 3 ff0000 0 4", {}},
        {"the default entry", 0, std::nullopt, true, 0, "", 0, "2 3 ff0000 0 4", {}},
    };
    for (const Case& c : cases) {
        createWindows();
        fakes.dialogs.shown.clear();
        Form6->Edit1->setText(QStringLiteral("typed before"));
        if (c.keypad) {
            const QString digits = QString::fromUtf8(*c.keypad);
            const bool ok = c.ok;
            choose(c.index, [digits, ok] {
                EXPECT_EQ(Form7->Label1->text(), QStringLiteral("请输入任课教师个人密码："));
                EXPECT_TRUE(Form7->Edit1->text().isEmpty());
                typeOnKeypad(digits, ok);
            });
        } else {
            choose(c.index);
        }
        EXPECT_FALSE(Form7->isVisible()) << c.what;
        EXPECT_EQ(Form6->TeacherSelected, c.selected) << c.what;
        EXPECT_EQ(Form6->Edit1->text(), QString::fromUtf8(c.nameBox)) << c.what;
        EXPECT_EQ(Form6->ListBox1->ItemIndex(), c.selection) << c.what;
        EXPECT_EQ(group(), QString::fromUtf8(c.group)) << c.what;
        EXPECT_EQ(messages(), c.messages) << c.what;
        EXPECT_EQ(config(), WindowsFile) << c.what;
    }
    EXPECT_EQ(Form6->TeacherPasswordCode, QStringLiteral("0"));
}

TEST_F(Teachers, OpeningTheWindowAsksForTheTeacherAgain) {
    choose(2);
    ASSERT_EQ(Form6->TeacherSelected, 1);
    Form6->show();
    EXPECT_EQ(Form6->TeacherSelected, 0);
    EXPECT_EQ(Form6->ListBox1->ItemIndex(), -1);
    EXPECT_EQ(Form6->Edit1->text(), QStringLiteral("李老师"));
    EXPECT_EQ(Form6->pos(), QPoint((1024 - 560) / 2, (768 - 364) / 2));
    EXPECT_EQ(Form6->size(), QSize(560, 364));
    Form6->hide();
}

TEST_F(Teachers, AClickBesideTheEntriesDoesNothing) {
    Form6->show();
    choose(2);
    ListBox* list = Form6->ListBox1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(20, list->viewport()->height() - 5));
    EXPECT_EQ(Form6->TeacherSelected, 1);
    EXPECT_EQ(list->ItemIndex(), 2);
    // A real click on an entry runs the handler, also on the entry already chosen.
    Form6->Edit1->setText(QStringLiteral("typed"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(Form6->Edit1->text(), QStringLiteral("李老师"));
    Form6->hide();
}

TEST_F(Teachers, DeletingTheSecondOfThreeTeachers) {
    choose(2);
    // The teacher is asked first; No keeps the teacher.
    Form6->Button5Click();
    ASSERT_EQ(fakes.dialogs.shown.size(), 1U);
    EXPECT_EQ(fakes.dialogs.shown[0].kind, QStringLiteral("question"));
    EXPECT_TRUE(fakes.dialogs.shown[0].text.contains(QStringLiteral("“李老师”")));
    EXPECT_EQ(config(), WindowsFile);
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "李老师", "Zhang"}));
    fakes.dialogs.shown.clear();

    fakes.dialogs.answers = {Answer::Yes};
    Form6->Button5Click();
    EXPECT_EQ(config(), QStringLiteral("[tec]\r\n"
                                       "mum=2\r\n"
                                       "te1=王老师\r\n"
                                       "te2=Zhang\r\n"
                                       "drive=D\r\n"
                                       "te0=教师0\r\n"
                                       "[教师0]\r\n"
                                       "ce=2\r\nke=3\r\nfrn=16711680\r\nblk=0\r\nbh=4\r\n"
                                       "[王老师]\r\n"
                                       "ce=5\r\nke=12\r\nfrn=65280\r\nblk=16777215\r\nbh=7\r\n"
                                       "ma=12278\r\n"
                                       "[Zhang]\r\n"
                                       "ma=1404\r\n"));
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "Zhang"}));
    EXPECT_TRUE(Form6->Edit1->text().isEmpty());
    EXPECT_EQ(Form6->ListBox1->ItemIndex(), -1);
    EXPECT_EQ(Form6->TeacherSelected, 1);

    // With no entry selected the commands that need one do nothing.
    fakes.dialogs.shown.clear();
    const QString before = config();
    Form6->Edit1->setText(QStringLiteral("新名"));
    Form6->Button5Click();
    Form6->Button2Click();
    Form6->Button8Click();
    EXPECT_EQ(config(), before);
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "Zhang"}));
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Teachers, RenameCarriesThePasswordTheFileHoldsNow) {
    struct Case {
        const char* what;
        int index;
        std::optional<const char*> keypad; // the password asked when choosing
        std::optional<const char*> change; // old and new password, changed before the rename
        const char* code;                  // "ma" under the new name
    };
    const Case cases[] = {
        {"a password set in the same visit", 2, std::nullopt, "|55", "780780"},
        {"a password changed in the same visit", 1, "12", "12|34", "417556"},
        {"a password removed in the same visit", 1, "12", "12|", "0"},
        {"no change", 3, "9", std::nullopt, "1404"},
    };
    for (const Case& c : cases) {
        holdConfig(WindowsFile);
        createWindows();
        fakes.dialogs.shown.clear();
        if (c.keypad)
            choose(c.index, [&c] { typeOnKeypad(QString::fromUtf8(*c.keypad)); });
        else
            choose(c.index);
        ASSERT_EQ(Form6->TeacherSelected, 1) << c.what;
        QString newPassword;
        if (c.change) {
            const QStringList change = QString::fromUtf8(*c.change).split(QLatin1Char('|'));
            newPassword = change[1];
            Form6->Button8Click();
            Form8->Edit1->setText(change[0]);
            Form8->Edit2->setText(newPassword);
            Form8->Edit3->setText(newPassword);
            Form8->BitBtn1Click();
            ASSERT_FALSE(Form8->isVisible()) << c.what;
        } else if (c.keypad) {
            newPassword = QString::fromUtf8(*c.keypad);
        }
        const QString former = teachers()[c.index];
        Form6->Edit1->setText(QStringLiteral("李明"));
        Form6->Button2Click();
        EXPECT_EQ(teachers()[c.index], QStringLiteral("李明")) << c.what;
        // The old section stays, and the old name is kept with the new one; the list holds the
        // new name at once, since the teacher's lessons go with it.
        EXPECT_TRUE(
            config().endsWith(QStringLiteral("[李明]\r\nce=%1\r\nke=%2\r\nfrn=%3\r\n"
                                             "blk=%4\r\nbh=%5\r\nma=%6\r\nformer=%7\r\n")
                                  .arg(Form6->ListBox2->count())
                                  .arg(Form6->ListBox3->count())
                                  .arg(Form6->LCP->Color())
                                  .arg(Form6->RCP->Color())
                                  .arg(Form6->Edit4->text(), QString::fromUtf8(c.code), former)))
            << c.what << "\n"
            << config().toStdString();
        Form6->BitBtn1Click();
        EXPECT_TRUE(config().contains(QStringLiteral("te%1=李明\r\n").arg(c.index))) << c.what;

        // The renamed teacher opens with the password last set, and with no other.
        Form6->show();
        bool asked = false;
        QTimer::singleShot(0, [&] {
            asked = Form7->isVisible();
            if (asked)
                typeOnKeypad(newPassword);
        });
        choose(c.index);
        QCoreApplication::processEvents();
        EXPECT_EQ(asked, !newPassword.isEmpty()) << c.what;
        EXPECT_EQ(Form6->TeacherSelected, 1) << c.what;
        EXPECT_TRUE(messages().isEmpty()) << c.what;
        Form6->hide();
    }
}

TEST_F(Teachers, RefusedNamesLeaveTheFileAsItWas) {
    // Names the list or the rules for new names refuse; each refusal says which rule it is.
    const std::pair<QString, QString> cases[] = {
        {QString(), QStringLiteral("请输入教师姓名！")},
        {QStringLiteral("王老师"), QStringLiteral("教师名列表中已存在！")},
        {QStringLiteral("zhang"), QStringLiteral("教师名列表中已存在！")},
        {QStringLiteral("默认"), QStringLiteral("教师名列表中已存在！")},
        {QStringLiteral("a]b"), QStringLiteral("教师姓名不能含有“]”：设置文件用它分隔名称。")},
        {QStringLiteral("x\r\n[tec]"), QStringLiteral("教师姓名不能含有换行、制表符等控制字符。")},
        {QStringLiteral(" 王"), QStringLiteral("教师姓名的开头和结尾不能是空格或句点。")},
        {QStringLiteral("王."), QStringLiteral("教师姓名的开头和结尾不能是空格或句点。")},
        {QStringLiteral("'王'"), QStringLiteral("教师姓名不能用一对单引号括起来。")},
        {QStringLiteral("..\\x"),
         QStringLiteral("教师姓名不能含有“\\”：课程文件会因此放到别的文件夹里。")},
        {QStringLiteral("教师0"),
         QStringLiteral("“教师0”是设置文件自用的名称，不能作为教师姓名。")},
        {QStringLiteral("Tec"), QStringLiteral("“Tec”是设置文件自用的名称，不能作为教师姓名。")},
        {QStringLiteral("王😀"),
         QStringLiteral("教师姓名中有设置文件无法保存的字符（只能用简体中文、"
                        "英文字母、数字和常用符号）。")},
        {QString(33, QChar(u'王')), QStringLiteral("教师姓名不能超过32个字。")},
    };
    const QByteArray before = fakes.files.contents[ConfigFile];
    const QStringList list = teachers();
    for (const auto& [name, message] : cases) {
        // Add, without a teacher chosen.
        createWindows();
        fakes.dialogs.shown.clear();
        Form6->Edit1->setText(name);
        Form6->Button1Click();
        // Rename, with 李老师 chosen.
        choose(2);
        Form6->Edit1->setText(name);
        Form6->Button2Click();
        // OK, with nothing selected and a name typed that is not listed (a list entry would
        // win over it).
        const bool listed = lessons::FindTeacher(list, name) >= 0;
        if (!name.isEmpty() && !listed) {
            Form6->ListBox1->setItemIndex(-1);
            Form6->BitBtn1Click();
        }
        const QStringList expected = !name.isEmpty() && !listed
                                         ? QStringList({message, message, message})
                                         : QStringList({message, message});
        EXPECT_EQ(messages(), expected) << name.toStdString();
        EXPECT_EQ(teachers(), list) << name.toStdString();
        EXPECT_EQ(fakes.files.contents[ConfigFile], before) << name.toStdString();
    }
    EXPECT_EQ(reloads, 0);

    // Renaming a teacher to the same name in another letter case is no duplicate.
    choose(3, [] { typeOnKeypad(QStringLiteral("9")); });
    Form6->Edit1->setText(QStringLiteral("ZHANG"));
    Form6->Button2Click();
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "李老师", "ZHANG"}));
}

TEST_F(Teachers, AddedTeachersAreStoredAtOk) {
    Form6->Edit1->setText(QStringLiteral("赵老师"));
    Form6->Button1Click();
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "李老师", "Zhang", "赵老师"}));
    EXPECT_EQ(config(), WindowsFile);
    choose(4);
    board.pageState = 2; // the page has content: only the board's swatch takes the colour
    fakes.dialogs.colours = {0x00123456};
    Form6->RCPClick();
    board.calls.clear();
    Form6->BitBtn1Click();
    EXPECT_EQ(board.calls, QStringList({"paintMode 1", "penColour ff", "penWidth 2",
                                        "backgroundSwatch 123456"}));
    EXPECT_TRUE(config().startsWith(QStringLiteral("[tec]\r\nmum=4\r\nte1=王老师\r\nte2=李老师\r\n"
                                                   "te3=Zhang\r\ndrive=D\r\nte0=教师0\r\n"
                                                   "te4=赵老师\r\n[教师0]\r\n")));
    EXPECT_TRUE(config().endsWith(QStringLiteral("[赵老师]\r\nce=1\r\nke=1\r\nfrn=255\r\n"
                                                 "blk=1193046\r\nbh=2\r\n")));
}

TEST_F(Teachers, CommandsThatNeedAChosenTeacher) {
    Form6->Edit1->setText(QStringLiteral("王老师"));
    Form6->ListBox1->setItemIndex(1); // selected, but not unlocked
    using Handler = void (TForm6::*)();
    for (Handler h : {&TForm6::Button2Click, &TForm6::Button5Click, &TForm6::Button8Click,
                      &TForm6::Button3Click, &TForm6::Button4Click, &TForm6::Button6Click,
                      &TForm6::Button7Click})
        (Form6->*h)();
    EXPECT_EQ(messages(), QStringList(7, QStringLiteral("请选择任课教师！")));
    EXPECT_EQ(config(), WindowsFile);
    EXPECT_EQ(Form6->ListBox2->count(), 2);
    EXPECT_FALSE(Form8->isVisible());
}

TEST_F(Teachers, AFailedWriteIsReportedAndChangesNothing) {
    fakes.files.readOnly.insert(ConfigFile);
    choose(2);
    fakes.dialogs.answers = {Answer::Yes};
    Form6->Button5->click(); // delete, once asked
    ASSERT_FALSE(fakes.dialogs.shown.empty());
    EXPECT_EQ(fakes.dialogs.shown[0].kind, QStringLiteral("question"));
    fakes.dialogs.shown.erase(fakes.dialogs.shown.begin());
    Form6->BitBtn1->click(); // OK
    const QString error = QStringLiteral("Unable to write to ") + ConfigFile;
    ASSERT_EQ(fakes.dialogs.shown.size(), 2U);
    for (const auto& shown : fakes.dialogs.shown) {
        EXPECT_EQ(shown.kind, QStringLiteral("error"));
        EXPECT_EQ(shown.text, error);
    }
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "李老师", "Zhang"}));
    EXPECT_EQ(config(), WindowsFile);
    EXPECT_EQ(reloads, 0);
}

TEST_F(Teachers, AFileThatCannotBeReadRefusesEveryProtectedAction) {
    const QStringList unreadable{lessons::UnreadableSettingsMessage(ConfigFile)};
    using Action = std::function<void()>;
    const std::pair<const char*, Action> actions[] = {
        {"choosing the last entry", [this] { choose(static_cast<int>(teachers().size()) - 1); }},
        {"the keypad's OK with nothing typed",
         [] {
             Form6->ListBox1->setItemIndex(Form6->ListBox1->count() - 1);
             Form6->KeypadOk(QString());
         }},
        {"rename", [] { Form6->Button2->click(); }},
        {"delete", [] { Form6->Button5->click(); }},
        {"the personal password", [] { Form6->Button8->click(); }},
        {"the change-password window's OK",
         [this] {
             Form8->Open(TForm8::PersonalPassword, ConfigFolder, QStringLiteral("王老师"),
                         ProgramFolder + QStringLiteral("admin.sec"));
             Form8->Edit2->setText(QStringLiteral("1"));
             Form8->Edit3->setText(QStringLiteral("1"));
             Form8->BitBtn1->click();
             Form8->hide();
         }},
        {"a volume added", [] { Form6->Button3->click(); }},
        {"the lesson saved", [] { Form6->SpeedButton2->click(); }},
        {"OK", [] { Form6->BitBtn1->click(); }},
    };
    const auto refused = [&](const char* phase) {
        for (const auto& [what, action] : actions) {
            fakes.dialogs.shown.clear();
            const int selected = Form6->TeacherSelected;
            action();
            EXPECT_EQ(messages(), unreadable) << phase << ": " << what;
            EXPECT_LE(Form6->TeacherSelected, selected) << phase << ": " << what;
            EXPECT_EQ(config(), WindowsFile) << phase << ": " << what;
        }
        EXPECT_EQ(fakes.profiles.saves, 0) << phase;
        EXPECT_EQ(reloads, 0) << phase;
    };

    // Unreadable from the start: the teacher is told at once, where the file is, and the list
    // holds no teacher the file does not name.
    fakes.profiles.unreadable.insert(ConfigFile);
    createWindows();
    fakes.dialogs.shown.clear();
    Form6->warnIfSettingsUnreadable();
    EXPECT_EQ(messages(), unreadable);
    EXPECT_TRUE(unreadable[0].contains(ConfigFile));
    EXPECT_EQ(teachers(), QStringList({"默认"}));
    refused("from the start");

    // Readable again: the next opening of the window lists the teachers.
    fakes.profiles.unreadable.clear();
    Form6->show();
    QCoreApplication::processEvents();
    Form6->hide();
    EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "李老师", "Zhang"}));

    // Unreadable after the teacher was chosen: the chosen teacher can do nothing either.
    choose(1, [] { typeOnKeypad(QStringLiteral("12")); });
    ASSERT_EQ(Form6->TeacherSelected, 1);
    fakes.profiles.unreadable.insert(ConfigFile);
    refused("after a teacher was chosen");

    fakes.profiles.unreadable.clear();
    fakes.dialogs.shown.clear();
    choose(1, [] { typeOnKeypad(QStringLiteral("12")); });
    EXPECT_EQ(Form6->TeacherSelected, 1);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Teachers, AFileALinuxEditorSavedInUtf8) {
    // The Windows program's file saved again by an editor in UTF-8, with and without the mark.
    const QByteArray mark("\xEF\xBB\xBF");
    for (const QByteArray& start : {mark, QByteArray()}) {
        fakes.files.contents[ConfigFile] = start + WindowsFile.toUtf8();
        createWindows();
        fakes.dialogs.shown.clear();
        EXPECT_EQ(teachers(), QStringList({"默认", "王老师", "李老师", "Zhang"}));
        EXPECT_EQ(Form6->ListBox2->count(), 2); // from "教师0"
        // 王老师 is protected: the keypad asks, and the teacher's settings come with it.
        bool asked = false;
        choose(1, [&asked] {
            asked = true;
            typeOnKeypad(QStringLiteral("12"));
        });
        EXPECT_TRUE(asked);
        EXPECT_EQ(Form6->TeacherSelected, 1);
        EXPECT_EQ(Form6->ListBox2->count(), 5);
        Form6->BitBtn1Click();
        EXPECT_TRUE(messages().isEmpty());
        // Stored in UTF-8 still, into the sections that were there.
        const QByteArray stored = fakes.files.contents[ConfigFile];
        EXPECT_TRUE(stored.startsWith(start));
        const QString text = QString::fromUtf8(stored.mid(start.size()));
        EXPECT_EQ(text.count(QStringLiteral("[tec]")), 1);
        EXPECT_EQ(text.count(QStringLiteral("[王老师]")), 1);
        EXPECT_EQ(text, WindowsFile);
    }
}

TEST_F(Teachers, VolumeAndLessonLists) {
    choose(1, [] { typeOnKeypad(QStringLiteral("12")); });
    ASSERT_EQ(Form6->ListBox2->count(), 5);
    Form6->ListBox2->setItemIndex(4);
    Form6->ListBox2Click();
    EXPECT_EQ(Form6->Edit2->text(), QStringLiteral("5"));
    Form6->Button6Click(); // the last entry goes, the selected one with it here
    EXPECT_EQ(Form6->ListBox2->count(), 4);
    EXPECT_EQ(Form6->ListBox2->ItemIndex(), -1);
    EXPECT_EQ(Form6->Edit2->text(), QStringLiteral("5"));
    Form6->ListBox3->setItemIndex(2);
    Form6->Button4Click();
    Form6->Button7Click();
    Form6->Button7Click();
    EXPECT_EQ(Form6->ListBox3->Items().last(), QStringLiteral("11"));
    EXPECT_EQ(Form6->ListBox3->ItemIndex(), 2);
    Form6->BitBtn1Click();
    EXPECT_TRUE(config().contains(QStringLiteral("[王老师]\r\nce=4\r\nke=11\r\n")));
    // Emptied lists stay empty.
    for (int i = 0; i < 12; ++i)
        Form6->Button6Click();
    EXPECT_EQ(Form6->ListBox2->count(), 0);
}
