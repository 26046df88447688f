// Blanking on a desktop of two screens: the teacher chooses the screens once, the choice is
// kept for the PC, and where the program's own screen is not blanked it goes on working.
#include "app/blanking.h"
#include "app/blanking_curtain.h"
#include "app/blanking_screens.h"
#include "app/screen_choice_window.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace platform;

namespace {

const ScreenInfo Laptop{QStringLiteral("eDP-1"), QRect(0, 0, 1024, 768)};
const ScreenInfo Projector{QStringLiteral("HDMI-1"), QRect(1024, 0, 800, 600)};

class TwoScreens : public AppFixture {
protected:
    void SetUp() override {
        fakes.display.monitors = {Laptop, Projector};
        fakes.stateFolder.folder = QStringLiteral("/state");
        fakes.files.folders.insert(QStringLiteral("/state"));
        AppFixture::SetUp();
    }
    // Blanks from the toolbar, answering the screen choice (when it comes) with `answer`.
    // True when the choice was asked.
    bool blank(const std::function<void(ScreenChoiceWindow*)>& answer = okAsTicked) {
        bool asked = false;
        QTimer::singleShot(0, [&] {
            if (Form5->screenChoice()->isVisible()) {
                asked = true;
                answer(Form5->screenChoice());
            }
        });
        Form1->SpeedButton10Click();
        QCoreApplication::processEvents();
        return asked;
    }
    static void okAsTicked(ScreenChoiceWindow* choice) { choice->OkButton->click(); }
    static void tickBoth(ScreenChoiceWindow* choice) {
        for (QCheckBox* box : choice->Boxes)
            box->setChecked(true);
        choice->OkButton->click();
    }
};

} // namespace

TEST_F(TwoScreens, TheFirstBlankingAsksAndBlanksTheProjectorOnlyWhileTheBoardDraws) {
    Form1->SpeedButton4Click(); // the board is open on the laptop's screen
    fakes.windows.pointer = QPoint(500, 400);
    bool listed = false;
    ASSERT_TRUE(blank([&](ScreenChoiceWindow* choice) {
        ASSERT_EQ(choice->Boxes.size(), 2u);
        // By name and size; the program's own screen not ticked the first time.
        EXPECT_TRUE(choice->Boxes[0]->text().startsWith(QStringLiteral("eDP-1  1024 × 768")));
        EXPECT_EQ(choice->Boxes[1]->text(), QStringLiteral("HDMI-1  800 × 600"));
        EXPECT_FALSE(choice->Boxes[0]->isChecked());
        EXPECT_TRUE(choice->Boxes[1]->isChecked());
        listed = true;
        choice->OkButton->click();
    }));
    ASSERT_TRUE(listed);
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->geometry(), Projector.geometry);
    EXPECT_EQ(Form5->SpeedButton1->pos(), QPoint(800 - 33, 0));
    EXPECT_TRUE(Form5->SpeedButton2->isVisible());
    EXPECT_TRUE(Form5->ownScreenWorks());
    EXPECT_FALSE(Form5->isModal());
    // The toolbar keeps its timer, the pointer stays on the teacher's screen.
    EXPECT_TRUE(Form1->Timer1->isActive());
    EXPECT_EQ(fakes.windows.pointer, QPoint(500, 400));
    // The board still takes the pen.
    Form3->FormMouseDown(100, 300);
    Form3->FormMouseMove(Qt::LeftButton, 200, 300);
    Form3->FormMouseUp(200, 300);
    EXPECT_NE(Form3->Board.current().pixel(150, 300), Form3->Board.current().pixel(150, 400));
    // Kept for the next blanking.
    EXPECT_EQ(blanking::rememberedChoice(), QStringList{blanking::screenKey(Projector)});
}

TEST_F(TwoScreens, AKeptChoiceIsNotAskedAgainAndTheCommandAgainGivesThePictureBack) {
    ASSERT_TRUE(blank());
    Form5->SpeedButton1Click();
    EXPECT_FALSE(blank());
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->geometry(), Projector.geometry);
    // The toolbar's blanking command once more gives the picture back, the pointer staying.
    fakes.windows.pointer = QPoint(300, 200);
    Form1->SpeedButton10Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(fakes.windows.pointer, QPoint(300, 200));
}

TEST_F(TwoScreens, AnotherProjectorIsAskedAbout) {
    ASSERT_TRUE(blank());
    Form5->SpeedButton1Click();
    fakes.display.monitors[1].geometry.setSize(QSize(1280, 720));
    EXPECT_TRUE(blank());
    EXPECT_EQ(Form5->geometry(), QRect(1024, 0, 1280, 720));
}

TEST_F(TwoScreens, BlankingBothCoversEachScreenAndAPressOnEitherEndsIt) {
    ASSERT_TRUE(blank(tickBoth));
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->geometry(), Laptop.geometry);
    ASSERT_EQ(Form5->curtains().size(), 1u);
    BlankingCurtain* curtain = Form5->curtains().front().get();
    EXPECT_TRUE(curtain->isVisible());
    EXPECT_EQ(curtain->geometry(), Projector.geometry);
    EXPECT_FALSE(Form5->ownScreenWorks());
    EXPECT_FALSE(Form1->Timer1->isActive());
    QTest::mousePress(curtain, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(Form5->curtains().empty());
    EXPECT_TRUE(Form1->Timer1->isActive());
}

TEST_F(TwoScreens, CancellingBlanksNothingAndAsksAgainNextTime) {
    ASSERT_TRUE(blank([](ScreenChoiceWindow* choice) { choice->CancelButton->click(); }));
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(Form1->Timer1->isActive());
    EXPECT_TRUE(blanking::rememberedChoice().isEmpty());
    EXPECT_TRUE(blank());
}

TEST_F(TwoScreens, NoScreenTickedIsNoChoice) {
    blank([](ScreenChoiceWindow* choice) {
        for (QCheckBox* box : choice->Boxes)
            box->setChecked(false);
        EXPECT_FALSE(choice->OkButton->isEnabled());
        choice->CancelButton->click();
    });
    EXPECT_FALSE(Form5->isVisible());
}

TEST_F(TwoScreens, TheBlankingsOwnButtonChangesTheChoice) {
    ASSERT_TRUE(blank());
    QTimer::singleShot(0, [] { tickBoth(Form5->screenChoice()); });
    Form5->SpeedButton2Click();
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->geometry(), Laptop.geometry);
    EXPECT_EQ(Form5->curtains().size(), 1u);
    EXPECT_EQ(blanking::rememberedChoice(),
              (QStringList{blanking::screenKey(Laptop), blanking::screenKey(Projector)}));
}

TEST_F(AppFixture, WithOneScreenBlankingAsksNothingAndCoversIt) {
    Form1->SpeedButton10Click();
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->geometry(), QRect(0, 0, sw(), sh()));
    EXPECT_FALSE(Form5->SpeedButton2->isVisible());
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_EQ(fakes.windows.pointer, QPoint(sw(), 50));
}
