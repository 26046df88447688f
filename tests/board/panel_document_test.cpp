// A document on the text panel: its links to the web and its way back.
#include "panel_fixture.h"

#include <QTest>

using namespace platform;

namespace {

const QRect Place(400, 100, 300, 200);

} // namespace

TEST_F(PanelFixture, ALinkToTheWebOpensInTheDesktopsBrowserOnlyWhenTheTeacherAgrees) {
    fakes.dialogs.fileNames = {QStringLiteral("/stick/lesson.htm")};
    openPanel(Place);
    Form3->SpeedButton26Click();
    ASSERT_NE(views.last, nullptr);
    ASSERT_TRUE(views.last->webLinkHandler);
    const QString address = QStringLiteral("http://example.org/lesson");
    fakes.dialogs.answers = {Answer::No, Answer::Yes};
    views.last->webLinkHandler(address);
    ASSERT_FALSE(fakes.dialogs.shown.empty());
    EXPECT_EQ(fakes.dialogs.shown.back().kind, QStringLiteral("question"));
    EXPECT_TRUE(fakes.dialogs.shown.back().text.contains(address));
    EXPECT_TRUE(fakes.processes.opened.isEmpty());
    views.last->webLinkHandler(address);
    EXPECT_EQ(fakes.processes.opened, QStringList{address});
    // The panel itself still shows the document.
    EXPECT_EQ(views.loads, QStringList{QStringLiteral("/stick/lesson.htm")});
}

TEST_F(PanelFixture, TheWayBackShowsWhileTheDocumentHasAPageToGoBackTo) {
    fakes.dialogs.fileNames = {QStringLiteral("/stick/lesson.htm")};
    openPanel(Place);
    EXPECT_TRUE(Form3->DocumentBack->isHidden());
    Form3->SpeedButton26Click();
    ASSERT_NE(views.last, nullptr);
    views.last->backHandler(true);
    EXPECT_TRUE(Form3->DocumentBack->isVisible());
    QTest::mouseClick(Form3->DocumentBack, Qt::LeftButton);
    EXPECT_EQ(views.loads.back(), QStringLiteral("back"));
    views.last->backHandler(false);
    EXPECT_TRUE(Form3->DocumentBack->isHidden());
    // Typed text has no way back.
    views.last->backHandler(true);
    Form3->SpeedButton23Click();
    EXPECT_TRUE(Form3->DocumentBack->isHidden());
    views.last->backHandler(true);
    EXPECT_TRUE(Form3->DocumentBack->isHidden());
}
