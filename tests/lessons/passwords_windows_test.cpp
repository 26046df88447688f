// The personal group and its hand-over to the board at OK; the keypad and the change-password
// window as a teacher uses them.
#include "lessons/passwords.h"
#include "settings_fixture.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace platform;

TEST_F(SettingsFixture, WidthButtonsStopAtNineAndOne) {
    QStringList seen;
    for (int i = 0; i < 8; ++i) {
        Form6->SpeedButton7Click();
        seen << Form6->Edit4->text();
    }
    EXPECT_EQ(seen, QStringList({"3", "4", "5", "6", "7", "8", "9", "9"}));
    for (int i = 0; i < 9; ++i)
        Form6->SpeedButton8Click();
    EXPECT_EQ(Form6->Edit4->text(), QStringLiteral("1"));
}

TEST_F(SettingsFixture, ColoursAreChosenInTheGroupAndTakeEffectAtOk) {
    board.calls.clear();
    fakes.dialogs.colours = {0x00123456, std::nullopt, 0x00ABCDEF, std::nullopt};
    Form6->LCPClick();
    Form6->SpeedButton9Click(); // cancelled
    Form6->RCPClick();
    Form6->RCPClick(); // cancelled
    EXPECT_EQ(Form6->LCP->Color(), 0x00123456U);
    EXPECT_EQ(Form6->RCP->Color(), 0x00ABCDEFU);
    EXPECT_TRUE(board.calls.isEmpty());
    EXPECT_FALSE(configExists());
}

TEST_F(SettingsFixture, BackgroundAtOkByPageAndColour) {
    struct Case {
        TColor background;
        int pageState;
        QStringList expected; // after the pen's part
    };
    const QStringList pen = {"paintMode 1", "penColour ff", "penWidth 2"};
    const Case cases[] = {
        // The lighter grey for the default grey only; any other colour is the editor's too.
        {0x808080,
         1,
         {"backgroundSwatch 808080", "paintMode 0", "window 808080", "fill 808080", "editor a5a5a5",
          "invalidate"}},
        {0x000000,
         0,
         {"backgroundSwatch 0", "paintMode 0", "window 0", "fill 0", "editor 0", "invalidate"}},
        {0x400040,
         1,
         {"backgroundSwatch 400040", "paintMode 0", "window 400040", "fill 400040", "editor 400040",
          "invalidate"}},
        // A page with content keeps its colours; only the swatch shows the new one.
        {0x000000, 2, {"backgroundSwatch 0"}},
        // The board's colour already: nothing.
        {0x400000, 1, {}},
    };
    for (const Case& c : cases) {
        createWindows();
        board.background = 0x400000;
        board.pageState = c.pageState;
        board.calls.clear();
        fakes.dialogs.colours = {c.background};
        Form6->RCPClick();
        Form6->BitBtn1Click();
        EXPECT_EQ(board.calls, pen + c.expected) << std::hex << c.background << " " << c.pageState;
    }
}

TEST_F(SettingsFixture, WindowSizesAndDigitPlaces) {
    EXPECT_EQ(Form6->size(), QSize(560, 364));
    EXPECT_EQ(Form7->size(), QSize(419, 202));
    EXPECT_EQ(Form8->size(), QSize(404, 220));
    EXPECT_TRUE(Form6->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(Form6->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(Form6->font().pixelSize(), 13);
    // Digit, keypad place, change-password place.
    struct Place {
        SpeedButton* keypad;
        SpeedButton* change;
        const char* digit;
        QPoint keypadAt;
        QPoint changeAt;
    };
    const Place places[] = {
        {Form7->SpeedButton2, Form8->SpeedButton2, "1", {103, 66}, {89, 99}},
        {Form7->SpeedButton3, Form8->SpeedButton3, "2", {151, 66}, {137, 99}},
        {Form7->SpeedButton4, Form8->SpeedButton4, "3", {199, 66}, {185, 99}},
        {Form7->SpeedButton10, Form8->SpeedButton10, "4", {247, 66}, {233, 99}},
        {Form7->SpeedButton9, Form8->SpeedButton9, "5", {295, 66}, {281, 99}},
        {Form7->SpeedButton8, Form8->SpeedButton8, "6", {103, 105}, {89, 138}},
        {Form7->SpeedButton5, Form8->SpeedButton5, "7", {151, 105}, {137, 138}},
        {Form7->SpeedButton6, Form8->SpeedButton6, "8", {199, 105}, {185, 138}},
        {Form7->SpeedButton7, Form8->SpeedButton7, "9", {247, 105}, {233, 138}},
        {Form7->SpeedButton1, Form8->SpeedButton1, "0", {295, 105}, {281, 138}},
    };
    for (const Place& p : places) {
        EXPECT_EQ(p.keypad->text(), QString::fromLatin1(p.digit));
        EXPECT_EQ(p.keypad->geometry(), QRect(p.keypadAt, QSize(31, 25))) << p.digit;
        EXPECT_EQ(p.change->text(), QString::fromLatin1(p.digit));
        EXPECT_EQ(p.change->geometry(), QRect(p.changeAt, QSize(31, 25))) << p.digit;
        EXPECT_EQ(p.keypad->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(p.change->focusPolicy(), Qt::NoFocus);
    }
}

TEST_F(SettingsFixture, KeypadDigitsAndItsEntryBox) {
    Form7->show();
    QTest::mouseClick(Form7->SpeedButton2, Qt::LeftButton);
    QTest::mouseClick(Form7->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(Form7->Edit1->text(), QStringLiteral("10"));
    EXPECT_EQ(Form7->Edit1->displayText(), QStringLiteral("**"));
    QTest::mouseClick(Form7->Edit1, Qt::LeftButton);
    EXPECT_TRUE(Form7->Edit1->text().isEmpty());
    Form7->hide();
}

namespace {

class ChangePassword : public SettingsFixture {
protected:
    void SetUp() override {
        holdConfig(QStringLiteral("[tec]\r\nmum=2\r\nte1=王老师\r\nte2=李老师\r\n"
                                  "[王老师]\r\nma=12278\r\n"));
        createWindows();
    }

    static void enter(const char* old, const char* fresh, const char* again) {
        Form8->Edit1->setText(QString::fromLatin1(old));
        Form8->Edit2->setText(QString::fromLatin1(fresh));
        Form8->Edit3->setText(QString::fromLatin1(again));
        Form8->BitBtn1Click();
    }

    void holdAdminFile(const QString& path, const QByteArray& record) {
        QByteArray bytes(5012, '\0');
        bytes.replace(5000, record.size(), record);
        fakes.files.contents[path] = bytes;
    }
};

} // namespace

TEST_F(ChangePassword, APersonalPassword) {
    choose(1, [] { typeOnKeypad(QStringLiteral("12")); });
    Form6->Button8Click();
    EXPECT_TRUE(Form8->isVisible());
    EXPECT_EQ(Form8->PasswordTarget, TForm8::PersonalPassword);
    // The teacher chosen when the window opened, whatever the list shows later.
    Form6->ListBox1->setItemIndex(2);
    enter("21", "5", "5");
    enter("12", "5", "6");
    EXPECT_EQ(messages(), QStringList({"原密码错误！", "两次输入的新密码不一致！"}));
    EXPECT_TRUE(Form8->isVisible());
    EXPECT_TRUE(config().contains(QStringLiteral("[王老师]\r\nma=12278\r\n")));
    enter("12", "0", "0");
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_TRUE(config().endsWith(QStringLiteral("[王老师]\r\nma=0\r\n")));
    // "0" is no password at all: the teacher is not asked for one any more.
    choose(1);
    EXPECT_EQ(Form6->TeacherSelected, 1);
}

TEST_F(ChangePassword, TheAdministratorPassword) {
    const QString programCopy = ProgramFolder + QStringLiteral("admin.sec");
    holdAdminFile(programCopy, QByteArray(12, ' '));
    Form6->Button9Click(); // needs no teacher
    ASSERT_TRUE(Form8->isVisible());
    EXPECT_EQ(Form8->PasswordTarget, TForm8::AdministratorPassword);
    enter("999", "1234567890123", "1234567890123"); // unset: any old entry opens it
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_EQ(lessons::ReadAdminRecord(programCopy), QByteArray("123456789012"));
    EXPECT_EQ(fakes.files.contents[programCopy].size(), 5012);

    Form6->Button9Click();
    enter("12345678901", "", "");
    enter("123456789012", "", "");
    EXPECT_EQ(messages(), QStringList({"原密码错误！"}));
    EXPECT_EQ(lessons::ReadAdminRecord(programCopy), QByteArray(12, ' '));

    // Once lessons are used the record lies in the lesson folder, copied there once.
    fakes.dialogs.shown.clear();
    fakes.files.folders.insert(QStringLiteral("/lesson"));
    Form6->LessonFolder = QStringLiteral("/lesson/");
    holdAdminFile(programCopy, "7           ");
    Form6->Button9Click();
    enter("7", "8", "8");
    EXPECT_EQ(lessons::ReadAdminRecord(QStringLiteral("/lesson/admin.sec")),
              QByteArray("8           "));
    holdAdminFile(programCopy, "5           ");
    Form6->Button9Click(); // the lesson folder's own copy stays
    enter("8", "", "");
    EXPECT_TRUE(messages().isEmpty());

    // With no record anywhere nothing opens it; when the lesson folder went with its stick,
    // the teacher is told the stick is missing.
    const struct {
        const char* lessonFolder;
        bool stickMissing;
    } gone[] = {{"/lesson/", false}, {"/nowhere/", true}};
    fakes.files.contents.erase(QStringLiteral("/lesson/admin.sec"));
    fakes.files.contents.erase(programCopy);
    for (const auto& c : gone) {
        SCOPED_TRACE(c.lessonFolder);
        fakes.dialogs.shown.clear();
        Form6->LessonFolder = QString::fromLatin1(c.lessonFolder);
        Form6->Button9Click();
        enter("", "", "");
        ASSERT_EQ(messages().size(), 1);
        EXPECT_EQ(messages()[0] == QStringLiteral("原密码错误！"), !c.stickMissing);
        EXPECT_EQ(messages()[0].contains(QStringLiteral("找不到存放管理密码的存储盘")),
                  c.stickMissing);
        EXPECT_TRUE(Form8->isVisible());
    }
    Form8->BitBtn2Click();
    EXPECT_FALSE(Form8->isVisible());
}

TEST_F(ChangePassword, LeavesWithTheSettingsWindow) {
    Form6->show();
    Form6->Button9Click();
    ASSERT_TRUE(Form8->isVisible());
    Form6->BitBtn1Click();
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_FALSE(Form8->isVisible());
}

TEST_F(ChangePassword, DigitsGoToTheBoxThatHasTheFocus) {
    Form6->Button9Click();
    ASSERT_TRUE(Form8->isVisible());
    QTest::mouseClick(Form8->SpeedButton2, Qt::LeftButton); // "1": the old password's box
    QTest::mouseClick(Form8->Edit3, Qt::LeftButton);
    QTest::mouseClick(Form8->SpeedButton3, Qt::LeftButton); // "2"
    QTest::mouseClick(Form8->Edit2, Qt::LeftButton);
    QTest::mouseClick(Form8->SpeedButton4, Qt::LeftButton); // "3"
    QTest::mouseClick(Form8->SpeedButton1, Qt::LeftButton); // "0"
    EXPECT_EQ(Form8->Edit1->text(), QStringLiteral("1"));
    EXPECT_EQ(Form8->Edit2->text(), QStringLiteral("30"));
    EXPECT_EQ(Form8->Edit3->text(), QStringLiteral("2"));
    // A click on a box empties it.
    QTest::mouseClick(Form8->Edit2, Qt::LeftButton);
    EXPECT_TRUE(Form8->Edit2->text().isEmpty());
    EXPECT_EQ(Form8->Edit1->displayText(), QStringLiteral("*"));
    Form8->hide();
}

namespace {

// A click as the window system delivers it, which the modal state can block.
void clickThroughTheWindow(QWidget* button) {
    QTest::mouseClick(button->window()->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(button->window(), button->rect().center()));
}

} // namespace

TEST_F(ChangePassword, ItTakesClicksAboveTheModalSettingsWindow) {
    // A window of its own would be blocked like any other while the settings window is modal.
    TForm8 loose;
    QString ownedTyped;
    QString looseTyped;
    QTimer::singleShot(0, [&] {
        Form6->Button9Click();
        clickThroughTheWindow(Form8->SpeedButton2);
        ownedTyped = Form8->Edit1->text();
        loose.Open(TForm8::AdministratorPassword, ConfigFolder, QString(), QString());
        clickThroughTheWindow(loose.SpeedButton2);
        looseTyped = loose.Edit1->text();
        loose.hide();
        Form8->hide();
        Form6->close();
    });
    Form6->ShowModal();
    EXPECT_EQ(ownedTyped, QStringLiteral("1"));
    EXPECT_EQ(looseTyped, QString());
}
