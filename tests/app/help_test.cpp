// The help window's own commands; the document itself is shown by the browser engine.
#include "app/help_window.h"
#include "app/toolbar.h"
#include "app_fixture.h"
#include "board/whiteboard.h"
#include "board/whiteboard.h"

#include <QLabel>

TEST_F(AppFixture, HelpWindowLinksAndCloses) {
    EXPECT_EQ(Form4->size(), QSize(792, 516));
    EXPECT_EQ(Form4->windowTitle(), QStringLiteral("帮助"));
    EXPECT_EQ(Form4->HelpDocument(), Form3->Board.ProgramFolder + QStringLiteral("kvrhelp.mht"));
    EXPECT_FALSE(Form4->WebBrowser1); // no browser engine until help is shown
    EXPECT_EQ(Form4->Label9->text(), Form4->Label10->text());
    EXPECT_EQ(Form4->Label7->text(), Form4->Label8->text());

    Form4->Label13Click();
    ASSERT_EQ(fakes.processes.opened.size(), 1);
    EXPECT_TRUE(fakes.processes.opened[0].startsWith(QStringLiteral("https://")));

    Form3->Board.BoardPaintMode = 0;
    Form4->BitBtn1Click();
    EXPECT_EQ(Form3->Board.BoardPaintMode, 1);
    EXPECT_FALSE(Form4->isVisible());
}
