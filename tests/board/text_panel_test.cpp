// The text panel: baking and pinning its picture into the page, documents, fonts and paste.
#include "board/panel_picture.h"
#include "panel_fixture.h"
#include "platform/raster/rich_text.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMimeData>
#include <QTextCursor>
#include <QWidget>

using namespace platform;

namespace {

const QRect Place(400, 100, 300, 200);

bool anyPixel(const QImage& picture, const QRect& area, TColor colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (fromRgb(picture.pixel(x, y)) == colour)
                return true;
    return false;
}

} // namespace

TEST(PanelPicture, ThePanelCoversTheSurfaceWhereItDraws) {
    QImage surface = makeBitmap(100, 80);
    Canvas(surface).fillRect({0, 0, 100, 80}, 0x000000FF);
    // A panel half off the surface, drawing only its left half.
    QImage panel(40, 20, QImage::Format_ARGB32_Premultiplied);
    panel.fill(Qt::transparent);
    Canvas(panel).fillRect({0, 0, 20, 20}, 0x0000FF00);
    const QImage composed = composePanelOverSurface(surface, QRect(80, 10, 40, 20), panel);
    ASSERT_EQ(composed.size(), QSize(40, 20));
    EXPECT_EQ(fromRgb(composed.pixel(5, 5)), 0x0000FF00u);
    EXPECT_EQ(fromRgb(composed.pixel(25, 5)) & 0xFFFFFF, 0x00000000u); // off the surface
    EXPECT_EQ(fromRgb(composed.pixel(25, 5)), 0u);
    const QImage onSurface = composePanelOverSurface(surface, QRect(10, 10, 40, 20), panel);
    EXPECT_EQ(fromRgb(onSurface.pixel(25, 5)), 0x000000FFu);
}

TEST_F(PanelFixture, OpeningShowsTheStoredPlaceAndAnEmptyEditorAndFlipsTheDragBar) {
    openPanel(Place, QString());
    EXPECT_EQ(Form3->Panel4->geometry(), Place);
    EXPECT_TRUE(Form3->Image1->isVisible());
    EXPECT_EQ(Form3->RichEdit1->geometry(), QRect(0, 20, 300, 180));
    EXPECT_EQ(Form3->Board.panelKind(1), 1);
    EXPECT_EQ(Form3->Board.pageState(1), 2);
    Form3->SpeedButton18Click();
    EXPECT_TRUE(Form3->Image1->isHidden());
    Form3->SpeedButton20Click();
    EXPECT_EQ(Form3->RichEdit1->width(), 320);
}

TEST_F(PanelFixture, DroppingAnEditorWithTextBakesItIntoThePage) {
    openPanel(Place, QStringLiteral("力"));
    Form3->SpeedButton41Click();
    EXPECT_TRUE(Form3->Panel4->isHidden());
    EXPECT_EQ(Form3->Board.panelKind(1), 0);
    const QRect text(Place.left(), Place.top() + 20, 60, 60);
    EXPECT_TRUE(anyPixel(Form3->Board.current(), text, clBlack));
    EXPECT_EQ(pagePixel(Place.left() - 1, Place.top()), Background);
}

// Typed text is read on the editor's colour, white where it is dark, and the page's text file
// keeps no colour for it either way.
TEST_F(PanelFixture, TypedTextIsReadableOnADarkBackgroundAndKeepsNoColour) {
    const struct {
        TColor background;
        TColor text;
    } cases[] = {{0x00800000, clWhite},
                 {0x00004000, clWhite},
                 {0x00000000, clWhite},
                 {0x0000FFFF, clBlack},
                 {0x00FFFFFF, clBlack}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.background);
        fakes.dialogs.colours = {c.background};
        fakes.dialogs.answers = {Answer::Yes}; // the page's earlier text goes
        Form3->RCPClick();
        openPanel(Place, QStringLiteral("力"));
        EXPECT_FALSE(richTextToRtf(*Form3->RichEdit1->document()).contains("\\cf"));
        Form3->SpeedButton41Click();
        const QRect text(Place.left(), Place.top() + 20, 60, 60);
        EXPECT_TRUE(anyPixel(Form3->Board.current(), text, c.text));
    }
}

TEST_F(PanelFixture, PinThenCloseGivesBackThePixelsUnderThePanel) {
    paintPage({Place.left(), Place.top(), Place.right() + 1, Place.bottom() + 1}, Blue);
    openPanel(Place, QStringLiteral("力"));
    Form3->SpeedButton31Click();
    EXPECT_TRUE(Form3->Panel4->isHidden());
    EXPECT_EQ(Form3->Board.backdropActive(), 1);
    EXPECT_NE(pagePixel(Place.center().x(), Place.center().y()), Blue);
    EXPECT_EQ(fromRgb(Form3->Board.backdropBitmap().pixel(Place.center())),
              pagePixel(Place.center().x(), Place.center().y()));
    EXPECT_EQ(fromRgb(Form3->Board.backdropBitmap().pixel(10, 500)), Background);
    Form3->SpeedButton18Click();
    Form3->SpeedButton19Click();
    EXPECT_EQ(Form3->Board.backdropActive(), 0);
    EXPECT_FALSE(anyPixel(Form3->Board.current(), Place, clBlack));
    EXPECT_EQ(pagePixel(Place.center().x(), Place.center().y()), Blue);
}

TEST_F(PanelFixture, TheDocumentDialogStartsInTheProgramFolderAndTheBrowserShowsTheDocument) {
    fakes.dialogs.fileNames = {QStringLiteral("/lesson/motion.htm")};
    openPanel(Place);
    Form3->SpeedButton26Click();
    ASSERT_FALSE(fakes.dialogs.shown.empty());
    const FakeDialogs::Shown& dialog = fakes.dialogs.shown.back();
    EXPECT_EQ(dialog.kind, QStringLiteral("document"));
    EXPECT_TRUE(dialog.text.startsWith(QStringLiteral("swf files (*.swf)|*.SWF|")));
    EXPECT_TRUE(dialog.text.contains(QStringLiteral("*.PDF")));
    EXPECT_TRUE(dialog.text.contains(QStringLiteral("*.MHT")));
    EXPECT_TRUE(dialog.text.contains(QStringLiteral("*.pptx")));
    EXPECT_EQ(dialog.title, Form3->Board.programFolder() + QStringLiteral("|dream[1].swf"));
    EXPECT_EQ(Form3->Board.panelKind(1), 2);
    EXPECT_TRUE(Form3->RichEdit1->isHidden());
    EXPECT_EQ(views.loads, QStringList{QStringLiteral("/lesson/motion.htm")});
    ASSERT_NE(views.last, nullptr);
    EXPECT_EQ(views.last->widget()->geometry(), QRect(0, 20, 300, 180));
    // The browser's focus shows and hides the drag bar.
    views.last->focusHandler(false);
    EXPECT_TRUE(Form3->Image1->isHidden());
    views.last->focusHandler(true);
    EXPECT_TRUE(Form3->Image1->isVisible());
}

// What the browser can show goes to it; slide shows leave the board for the desktop's own
// program; anything else (a Flash film, the dialog's own proposal) is explained, and the
// panel stays as it was rather than turning into an empty white page.
TEST_F(PanelFixture, EachKindOfDocumentGoesWhereItCanBeShown) {
    enum Goes { Browser, Desktop, Told };
    const struct {
        const char* path;
        Goes goes;
    } cases[] = {
        {"/lesson/page.HTML", Browser}, {"/lesson/archive.mht", Browser},
        {"/lesson/notes.PDF", Browser}, {"/lesson/photo.jpg", Browser},
        {"/lesson/words.txt", Browser}, {"/lesson/show.PPS", Desktop},
        {"/lesson/show.ppt", Desktop},  {"/lesson/show.pptx", Desktop},
        {"/lesson/show.ppsx", Desktop}, {"/lesson/dream[1].swf", Told},
        {"/lesson/film.SWF", Told},     {"/lesson/letter.docx", Told},
        {"/lesson/no-extension", Told}, {"/lesson/show.ppt.exe", Told},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        SCOPED_TRACE(c.path);
        Form3->show();
        openPanel(Place);
        const qsizetype loads = views.loads.size();
        fakes.processes.opened.clear();
        fakes.dialogs.shown.clear();
        fakes.dialogs.fileNames = {path};
        Form3->SpeedButton26Click();

        EXPECT_EQ(views.loads.size() - loads, c.goes == Browser ? 1 : 0);
        EXPECT_EQ(fakes.processes.opened, c.goes == Desktop ? QStringList{path} : QStringList());
        EXPECT_EQ(Form3->isVisible(), c.goes != Desktop);
        EXPECT_EQ(Form3->Board.panelKind(1), c.goes == Browser ? 2 : 1);
        const bool told = fakes.dialogs.shown.size() == 2;
        EXPECT_EQ(told, c.goes == Told);
        if (told) {
            const FakeDialogs::Shown& message = fakes.dialogs.shown.back();
            EXPECT_EQ(message.kind, QStringLiteral("inform"));
            EXPECT_EQ(message.title, QStringLiteral("提示信息"));
            EXPECT_TRUE(message.text.contains(QFileInfo(path).fileName()));
            EXPECT_TRUE(message.text.contains(QStringLiteral("PDF")));
            EXPECT_TRUE(Form3->RichEdit1->isVisible());
        }
        Form3->SpeedButton19Click();
    }
}

// A slide show the desktop has no program for is not left without a word.
TEST_F(PanelFixture, ASlideShowThatDoesNotStartIsReported) {
    fakes.processes.openSucceeds = false;
    fakes.dialogs.fileNames = {QStringLiteral("/lesson/show.pptx")};
    openPanel(Place);
    Form3->SpeedButton26Click();
    EXPECT_FALSE(Form3->isVisible());
    ASSERT_EQ(fakes.dialogs.shown.size(), 2u);
    EXPECT_EQ(fakes.dialogs.shown.back().kind, QStringLiteral("inform"));
    EXPECT_TRUE(fakes.dialogs.shown.back().text.contains(QStringLiteral("show.pptx")));
}

TEST_F(PanelFixture, ABakedDocumentIsWhatTheBrowserShows) {
    fakes.dialogs.fileNames = {QStringLiteral("/lesson/a.htm")};
    openPanel(Place);
    Form3->SpeedButton26Click();
    Form3->SpeedButton41Click();
    EXPECT_EQ(fromRgb(Form3->Board.current().pixel(Place.left() + 5, Place.top() + 30)),
              fromRgb(FakeWebView::Colour));
    EXPECT_EQ(views.loads.back(), QStringLiteral("navigate:"));
}

TEST_F(PanelFixture, ApplyGivesTheWholeTextTheFontAndOkOnlyTheSelection) {
    openPanel(Place, QStringLiteral("一二三"));
    QFont applied(QStringLiteral("宋体"));
    applied.setPixelSize(20);
    QFont chosen = applied;
    chosen.setBold(true);
    fakes.dialogs.fontAnswers.push_back({{applied}, chosen});
    QTextCursor selection = Form3->RichEdit1->textCursor();
    selection.setPosition(0);
    selection.setPosition(1, QTextCursor::KeepAnchor);
    Form3->RichEdit1->setTextCursor(selection);
    Form3->SpeedButton16Click();
    ASSERT_EQ(fakes.dialogs.fontsShown.size(), 1u);
    EXPECT_EQ(fakes.dialogs.fontsShown[0].pixelSize(), 48);
    QTextCursor c(Form3->RichEdit1->document());
    c.setPosition(1);
    EXPECT_TRUE(c.charFormat().font().bold());
    EXPECT_EQ(c.charFormat().font().pixelSize(), 20);
    c.setPosition(3);
    EXPECT_FALSE(c.charFormat().font().bold());
    EXPECT_EQ(c.charFormat().font().pixelSize(), 20);
}

TEST_F(PanelFixture, PasteTakesTextAndFormattingButNoPictures) {
    openPanel(Place, QString());
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b>粗</b><img src=\"data:image/png;base64,AAAA\">字"
                                 "<ul><li><a href=\"http://x/\">链</a></li></ul>"));
    QApplication::clipboard()->setMimeData(data);
    Form3->SpeedButton23Click();
    EXPECT_EQ(Form3->RichEdit1->toPlainText(), QStringLiteral("粗字\n链"));
    QTextCursor c(Form3->RichEdit1->document());
    c.setPosition(1);
    EXPECT_TRUE(c.charFormat().font().bold());
    // What the page's file cannot keep does not show either: no list, no link.
    c.setPosition(4);
    EXPECT_EQ(c.currentList(), nullptr);
    EXPECT_FALSE(c.charFormat().isAnchor());
    EXPECT_EQ(Form3->Board.panelKind(1), 1);
}
