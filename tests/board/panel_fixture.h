// The board with its per-page text files in a folder of their own and a stand-in browser.
#pragma once

#include "board_fixture.h"
#include "fake_web_view.h"

#include <QTemporaryDir>
#include <QTextEdit>

class PanelFixture : public BoardFixture {
protected:
    QTemporaryDir dir;
    FakeWebViews views;

    void SetUp() override {
        BoardFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        Form3->Board.ProgramFolder = dir.path() + QLatin1Char('/');
    }
    // Pages up to `count`, each with content; the board stays on the last.
    void makePages(int count) {
        while (Form3->Board.PageCount < count) {
            Form3->Board.PageState[Form3->Board.CurrentPage] = 2;
            Form3->SpeedButton12Click();
        }
    }
    // Opens the text panel on the current page at a place of the test's, with a text in it.
    void openPanel(const QRect& place, const QString& text = QStringLiteral("牛顿")) {
        const int page = Form3->Board.CurrentPage;
        Form3->Board.PanelLeft[page] = place.left();
        Form3->Board.PanelTop[page] = place.top();
        Form3->Board.PanelWidth[page] = place.width();
        Form3->Board.PanelHeight[page] = place.height();
        Form3->SpeedButton18Click();
        Form3->RichEdit1->setPlainText(text);
    }
};
