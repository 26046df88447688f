// The help window: the document asked of the browser, the link to it, and closing. Whether
// the browser really shows the document is seen on the screen in the end-to-end test.
#include "app/help_window.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"
#include "fake_web_view.h"

#include <QLabel>

TEST_F(AppFixture, HelpWindowLooksAsDesigned) {
    EXPECT_EQ(Form4->size(), QSize(792, 516));
    EXPECT_EQ(Form4->windowTitle(), QStringLiteral("帮助"));
    EXPECT_EQ(Form4->HelpDocument(), Form3->Board.programFolder() + QStringLiteral("kvrhelp.mht"));
    EXPECT_FALSE(Form4->WebBrowser1); // no browser engine until help is shown
    EXPECT_EQ(Form4->Label9->text(), Form4->Label10->text());
    EXPECT_EQ(Form4->Label7->text(), Form4->Label8->text());
}

TEST_F(AppFixture, HelpShowsItsDocumentAndLinksToItOnlyWhileItExists) {
    FakeWebViews views;
    const QString document = Form4->HelpDocument();
    fakes.files.present.insert(document);
    Form4->show();
    ASSERT_TRUE(Form4->isVisible());
    ASSERT_TRUE(Form4->WebBrowser1);
    EXPECT_EQ(views.loads, QStringList{document});
    EXPECT_FALSE(views.last->scripts); // our own document runs none
    EXPECT_EQ(Form4->WebBrowser1->widget()->geometry(), QRect(0, 46, 791, 389));
    EXPECT_TRUE(Form4->WebBrowser1->widget()->isVisible());
    EXPECT_EQ(Form4->pos(), QPoint((sw() - 792) / 2, (sh() - 516) / 2));
    EXPECT_TRUE(Form4->Label13->isVisible());
    Form4->Label13Click();
    EXPECT_EQ(fakes.processes.opened, QStringList{document});

    Form3->Board.setBoardPaintMode(0);
    Form4->BitBtn1Click();
    EXPECT_EQ(Form3->Board.boardPaintMode(), 1);
    EXPECT_FALSE(Form4->isVisible());

    // Shown again with the document gone: the same view shows what it shows for a missing
    // file, and there is no link to follow.
    fakes.files.present.clear();
    Form4->show();
    EXPECT_EQ(views.made, 1);
    EXPECT_EQ(views.loads, (QStringList{document, document}));
    EXPECT_FALSE(Form4->Label13->isVisible());
    Form4->Label13Click();
    EXPECT_EQ(fakes.processes.opened.size(), 1);
    Form4->BitBtn1Click();
}
