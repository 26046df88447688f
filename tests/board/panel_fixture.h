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
        Form3->Board.setProgramFolder(dir.path() + QLatin1Char('/'));
    }
    // Pages up to `count`, each with content; the board stays on the last.
    void makePages(int count) {
        while (Form3->Board.pageCount() < count) {
            Form3->Board.setPageState(Form3->Board.currentPage(), 2);
            Form3->SpeedButton12Click();
        }
    }
    // Opens the text panel on the current page at a place of the test's, with a text in it.
    void openPanel(const QRect& place, const QString& text = QStringLiteral("牛顿")) {
        const int page = Form3->Board.currentPage();
        Form3->Board.setPanelBounds(
            page, QRect(place.left(), place.top(), place.width(), place.height()));
        Form3->SpeedButton18Click();
        Form3->RichEdit1->setPlainText(text);
    }
};
