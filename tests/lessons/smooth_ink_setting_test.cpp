// Smooth ink as a personal setting: on for the default profile and every teacher whose
// section does not say otherwise, kept off in the teacher's own section, handed to the board.
#include "settings_fixture.h"

#include <QCheckBox>

namespace {

const QString File = QStringLiteral("[tec]\r\nmum=2\r\nte1=王老师\r\nte2=李老师\r\n"
                                    "[王老师]\r\nma=0\r\nsmooth=0\r\n"
                                    "[李老师]\r\nma=0\r\n");

} // namespace

TEST_F(SettingsFixture, SmoothInkIsOnWithoutASettingsFile) {
    createWindows();
    EXPECT_TRUE(Form6->SmoothInkBox->isChecked());
    EXPECT_EQ(board.smoothInk, true);
}

TEST_F(SettingsFixture, SmoothInkIsKeptPerTeacherUnderAKeyOfItsOwn) {
    holdConfig(File);
    createWindows();
    EXPECT_EQ(board.smoothInk, true); // the default profile
    choose(1);
    EXPECT_FALSE(Form6->SmoothInkBox->isChecked());
    Form6->BitBtn1Click();
    EXPECT_EQ(board.smoothInk, false);
    EXPECT_TRUE(config().contains(QStringLiteral("[王老师]\r\nma=0\r\nsmooth=0\r\n")));

    // Turned on again, the key goes: the section reads as the Windows program wrote it.
    choose(1);
    Form6->SmoothInkBox->setChecked(true);
    Form6->BitBtn1Click();
    EXPECT_EQ(board.smoothInk, true);
    EXPECT_FALSE(config().contains(QStringLiteral("smooth")));

    // Another teacher, never asked: on. Turned off, only that teacher's section says so.
    choose(2);
    EXPECT_TRUE(Form6->SmoothInkBox->isChecked());
    Form6->SmoothInkBox->setChecked(false);
    Form6->BitBtn1Click();
    EXPECT_TRUE(config().contains(QStringLiteral("[李老师]\r\nma=0\r\nce=1")));
    EXPECT_TRUE(config().endsWith(QStringLiteral("smooth=0\r\n")));
    EXPECT_EQ(config().count(QStringLiteral("smooth")), 1);
}
