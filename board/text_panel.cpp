// The text panel that floats on a page: typed rich text or a document, moved and sized with
// the pointer, kept per page, and baked or pinned into the page's pixels.
#include "board/document_kinds.h"
#include "board/event_hook.h"
#include "board/panel_picture.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/raster/rich_text.h"
#include "platform/widgets/shell.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

using namespace platform;

namespace {

constexpr int DragBarHeight = 20;
constexpr int ButtonWidth = 22;
constexpr TColor PanelTeal = 0x808000;

// The chooser's filter as the classroom's files are named, with the newer slide shows and the
// documents the browser shows besides: web archives and PDF.
const QString DocumentFilter = QStringLiteral(
    "swf files (*.swf)|*.SWF|htm files(*.htm)|*.HTM|*.pps|*.pps;*.ppsx|*.ppt|*.ppt;*.pptx"
    "|pdf files (*.pdf)|*.PDF|mht files (*.mht)|*.MHT");
const QString DocumentDefaultName = QStringLiteral("dream[1].swf");

// Pictures have no place in the page's text file, so they are left out of what is pasted.
void removePictures(QTextDocument& document) {
    std::vector<std::pair<int, int>> pictures;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid() && f.charFormat().isImageFormat())
                pictures.emplace_back(f.position(), f.length());
        }
    }
    QTextCursor c(&document);
    for (auto p = pictures.rbegin(); p != pictures.rend(); ++p) {
        c.setPosition(p->first);
        c.setPosition(p->first + p->second, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
}

// The panel's editor: it takes in text and its formatting, which the page's file keeps.
class PanelEditor final : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override {
        return source->hasHtml() || source->hasText();
    }
    void insertFromMimeData(const QMimeData* source) override {
        if (source->hasHtml()) {
            QTextDocument pasted;
            pasted.setHtml(source->html());
            removePictures(pasted);
            // Through the page file's own form, so that what shows is what the next save
            // keeps (no lists, tables or links that would vanish then).
            QTextDocument kept;
            kept.setDefaultFont(document()->defaultFont());
            rtfToRichText(richTextToRtf(pasted), kept);
            textCursor().insertFragment(QTextDocumentFragment(&kept));
        } else if (source->hasText()) {
            textCursor().insertText(source->text());
        }
        ensureCursorVisible();
    }
};

// The drag bar's picture: a darker band with a grip.
QImage dragBarPicture(int width) {
    QImage picture(width, DragBarHeight, QImage::Format_RGB32);
    Canvas c(picture);
    c.fillRect({0, 0, width, DragBarHeight}, 0x00604000);
    for (int y = 5; y < DragBarHeight - 4; y += 3)
        c.fillRect({width - 60, y, width - 10, y + 1}, 0x00C0C080);
    return picture;
}

SpeedButton* panelButton(QWidget* panel, int index, const QString& caption) {
    auto* b = new SpeedButton(panel, index * ButtonWidth, 0, ButtonWidth, DragBarHeight);
    b->setText(caption);
    // Read from the back of a classroom: a large light character on the panel's teal.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    font.setBold(true);
    b->setFont(font);
    QPalette pal = b->palette();
    pal.setColor(QPalette::ButtonText, Qt::white);
    b->setPalette(pal);
    return b;
}

} // namespace

void TForm3::createTextPanel() {
    Panel4 = new Panel(this, 0, 41, PanelDesignWidth, 189, PanelTeal);
    Image1 = new ImageBox(Panel4);
    Image1->setCursor(Qt::SizeAllCursor);
    Image1->hide();
    // Left to right; the scanner and the picture library are wired where they are made.
    SpeedButton16 = panelButton(Panel4, 0, QStringLiteral("字"));
    SpeedButton22 = panelButton(Panel4, 1, QStringLiteral("原"));
    SpeedButton21 = panelButton(Panel4, 2, QStringLiteral("全"));
    SpeedButton26 = panelButton(Panel4, 3, QStringLiteral("文"));
    SpeedButton34 = panelButton(Panel4, 4, QStringLiteral("扫"));
    SpeedButton32 = panelButton(Panel4, 5, QStringLiteral("图"));
    SpeedButton23 = panelButton(Panel4, 6, QStringLiteral("贴"));
    SpeedButton31 = panelButton(Panel4, 7, QStringLiteral("钉"));
    SpeedButton41 = panelButton(Panel4, 8, QStringLiteral("放"));
    SpeedButton20 = panelButton(Panel4, 9, QStringLiteral("宽"));
    SpeedButton24 = panelButton(Panel4, 10, QStringLiteral("隐"));
    SpeedButton19 = panelButton(Panel4, 11, QStringLiteral("关"));
    // Shown while a document's page that a link led to has one to go back to.
    DocumentBack = panelButton(Panel4, 12, QStringLiteral("返"));
    DocumentBack->hide();

    // The editor asks for no input method: on Linux the teacher's desktop provides one.
    RichEdit1 = new PanelEditor(Panel4);
    // The editor shows the text the model keeps for the current page's panel.
    RichEdit1->setDocument(&Board.panelText());
    RichEdit1->setFrameStyle(QFrame::NoFrame);
    RichEdit1->setFont(richTextDefaultFont());
    RichEdit1->document()->setDefaultFont(richTextDefaultFont());
    applyEditorColour(EditorOnGrey);
    layoutTextPanel();
    Panel4->hide();

    panelHook_ = new EventHook(Panel4, [this](QEvent* event) {
        switch (event->type()) {
        case QEvent::Resize:
            layoutTextPanel();
            break;
        case QEvent::HideToParent:
            Board.setPanelShown(false);
            break;
        default:
            break;
        }
        // The model follows the panel shown on the current page wherever it goes.
        if (!Panel4->isHidden() &&
            (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
             event->type() == QEvent::ShowToParent)) {
            storePanelGeometry();
            Board.setPanelShown(true);
        }
        return false;
    });
    // The editor keeps its own handling of the mouse; the panel looks at it first.
    new EventHook(RichEdit1->viewport(), [this](QEvent* event) {
        if (event->type() == QEvent::MouseButtonPress) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            guarded([&] { RichEdit1MouseDown(p.x(), p.y()); });
        } else if (event->type() == QEvent::MouseMove) {
            const auto* e = static_cast<QMouseEvent*>(event);
            const QPoint p = e->position().toPoint();
            guarded([&] { RichEdit1MouseMove(e->buttons(), p.x(), p.y()); });
        }
        return false;
    });
    RichEdit1->viewport()->setMouseTracking(true);
    Image1->setMouseTracking(true);
    connect(Image1, &ImageBox::mouseDown, this, [this](Qt::MouseButton b, int x, int y) {
        guarded([&] { Image1MouseDown(b, x, y); });
    });
    connect(Image1, &ImageBox::mouseMove, this, [this](Qt::MouseButtons b, int x, int y) {
        guarded([&] { Image1MouseMove(b, x, y); });
    });
    onClick(SpeedButton16, &TForm3::SpeedButton16Click);
    onClick(SpeedButton22, &TForm3::SpeedButton22Click);
    onClick(SpeedButton21, &TForm3::SpeedButton21Click);
    onClick(SpeedButton26, &TForm3::SpeedButton26Click);
    onClick(SpeedButton23, &TForm3::SpeedButton23Click);
    onClick(SpeedButton31, &TForm3::SpeedButton31Click);
    onClick(SpeedButton41, &TForm3::SpeedButton41Click);
    onClick(SpeedButton20, &TForm3::SpeedButton20Click);
    onClick(SpeedButton24, &TForm3::SpeedButton24Click);
    onClick(SpeedButton19, &TForm3::SpeedButton19Click);
    onClick(SpeedButton34, &TForm3::SpeedButton34Click);
    onClick(DocumentBack, &TForm3::DocumentBackClick);
}

// The editor and the browser fill the panel below the drag bar's row; the buttons stay above
// the bar, whose free part to their right is what the pointer grabs.
void TForm3::layoutTextPanel() {
    const int w = Panel4->width();
    const int h = std::max(0, Panel4->height() - DragBarHeight);
    Image1->setGeometry(0, 0, w, DragBarHeight);
    if (Image1->picture().width() != w)
        Image1->setPicture(dragBarPicture(w));
    RichEdit1->setGeometry(0, DragBarHeight, w, h);
    if (WebBrowser1)
        WebBrowser1->widget()->setGeometry(0, DragBarHeight, w, h);
    for (SpeedButton* b :
         {SpeedButton16, SpeedButton22, SpeedButton21, SpeedButton26, SpeedButton34, SpeedButton32,
          SpeedButton23, SpeedButton31, SpeedButton41, SpeedButton20, SpeedButton24, SpeedButton19,
          DocumentBack})
        b->raise();
}

TRect TForm3::panelRect() const {
    return TRect::fromQRect(Panel4->geometry());
}

void TForm3::storePanelGeometry() {
    Board.setPanelBounds(Board.currentPage(), Panel4->geometry());
}

WebView* TForm3::webBrowser() {
    if (!WebBrowser1) {
        WebBrowser1 = createWebView(Panel4);
        if (!WebBrowser1)
            return nullptr; // without the browser module the panel shows no document
        WebBrowser1->setFocusHandler(
            [this](bool focused) { guarded([&] { WebBrowser1Focus(focused); }); });
        WebBrowser1->setBackHandler([this](bool canGoBack) {
            DocumentBack->setVisible(canGoBack && !RichEdit1->isVisibleTo(Panel4));
        });
        WebBrowser1->widget()->hide();
        layoutTextPanel();
    }
    return WebBrowser1.get();
}

void TForm3::showEditor() {
    RichEdit1->show();
    DocumentBack->hide();
    if (WebBrowser1)
        WebBrowser1->widget()->hide();
}

void TForm3::showDocumentView(const QString& path) {
    RichEdit1->hide();
    // A document page without a path of this run (its lesson opened, or brought back after a
    // crash) shows an empty view, never the document of the page shown before.
    if (path.isEmpty()) {
        if (WebBrowser1) {
            WebBrowser1->navigate({});
            WebBrowser1->widget()->show();
        }
        return;
    }
    if (WebView* browser = webBrowser()) {
        browser->widget()->show();
        browser->loadFile(path);
    }
}

QImage TForm3::panelPicture() {
    QWidget* document = WebBrowser1 ? WebBrowser1->widget() : nullptr;
    const QImage documentPixels =
        document != nullptr && document->isVisibleTo(Panel4) ? WebBrowser1->pixels() : QImage();
    return composePanelOverSurface(Surface, Panel4->geometry(),
                                   renderPanel(Panel4, document, documentPixels));
}

void TForm3::bakePanel() {
    Board.bakePanel(panelPicture(), panelRect());
}

// Open the panel on the current page, or show it again with its drag bar flipped.
void TForm3::SpeedButton18Click() {
    const int page = Board.currentPage();
    Panel4->setGeometry(Board.panelBounds(page));
    Image1->setVisible(Image1->isHidden());
    Panel4->show();
    Board.markContent(page);
    if (Board.panelKind(page) != NoPanel)
        return;
    if (!Board.loadPanelText(page))
        RichEdit1->clear();
    Board.setPanelKind(page, TextPanel);
    showEditor();
}

// Font of the selection.
void TForm3::SpeedButton16Click() {
    const QFont initial = RichEdit1->currentCharFormat().font();
    const std::optional<QFont> chosen = dialogs().chooseFont(
        this, initial, [this](const QFont& font) { guarded([&] { FontDialog1Apply(font); }); });
    if (chosen) {
        QTextCharFormat format;
        format.setFont(*chosen);
        RichEdit1->mergeCurrentCharFormat(format);
    }
    Board.setBoardPaintMode(1);
}

// Apply in the font dialog: the whole text takes the font.
void TForm3::FontDialog1Apply(const QFont& font) {
    RichEdit1->setFont(font);
    RichEdit1->document()->setDefaultFont(font);
    QTextCursor all(RichEdit1->document());
    all.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setFont(font);
    all.mergeCharFormat(format);
}

// Normal size: the panel at the left edge. A picture of the larger panel baked for the
// thumbnails would stay in the page beside it: the page's own pixels go back there, and
// everything written on the page meanwhile stays.
void TForm3::SpeedButton22Click() {
    Board.clearBakedPanel(panelRect());
    Panel4->setGeometry(0, Panel4->y(), PanelDesignWidth, screenHeight() - 40);
    Board.setBoardPaintMode(1);
}

// Full screen.
void TForm3::SpeedButton21Click() {
    Panel4->setGeometry(0, Panel4->y(), screenWidth(), screenHeight());
}

// A document: shown in the panel, or a slide show handed to the desktop.
void TForm3::SpeedButton26Click() {
    const std::optional<QString> path =
        dialogs().chooseDocument(this, Board.programFolder(), DocumentFilter, DocumentDefaultName);
    if (!path)
        return;
    switch (documentKind(*path)) {
    case DocumentKind::Shown:
        break;
    case DocumentKind::SlideShow:
        SpeedButton40Click();
        if (!processes().openDocument(*path))
            dialogs().inform(this, slideShowNotOpenedMessage(*path), ConfirmTitle);
        return;
    case DocumentKind::NotShown:
        dialogs().inform(this, documentNotShownMessage(*path), ConfirmTitle);
        return;
    }
    const int page = Board.currentPage();
    Board.setPanelKind(page, DocumentPanel);
    Board.setPanelDocument(page, *path);
    showDocumentView(*path);
}

// Paste into the editor.
void TForm3::SpeedButton23Click() {
    showEditor();
    RichEdit1->paste();
    Board.setPanelKind(Board.currentPage(), TextPanel);
    if (WebBrowser1)
        WebBrowser1->navigate(QString());
}

// Pin: the panel's picture goes into the page and becomes what erasing restores. The panel
// comes back with the page, so its text and place are kept as a turn keeps them.
void TForm3::SpeedButton31Click() {
    Image1->hide();
    Board.storePanelText();
    Board.pinPanel(panelPicture(), panelRect(), surfaceBackground());
    Panel4->hide();
    Invalidate();
    storePanelGeometry();
}

// Drop: the panel's picture stays in the page and the panel goes. A picture baked earlier is
// cleared first, so that it is the new one that stays.
void TForm3::SpeedButton41Click() {
    Image1->hide();
    const TRect place = panelRect();
    Board.clearBakedPanel(place);
    bakePanel();
    Panel4->hide();
    Invalidate();
    closeOnPage();
}

// The page has no panel from now on; its text and bounds are kept for the next opening.
void TForm3::closeOnPage() {
    if (WebBrowser1)
        WebBrowser1->navigate(QString());
    Board.storePanelText();
    storePanelGeometry();
    Board.setPanelKind(Board.currentPage(), NoPanel);
    Board.setBoardPaintMode(1);
}

void TForm3::SpeedButton20Click() {
    Panel4->resize(Panel4->width() + 20, Panel4->height());
}

void TForm3::SpeedButton24Click() {
    Image1->hide();
}

// The scanner: its source window, from which scanned pages come onto the board.
void TForm3::SpeedButton34Click() {
    shell().openScanner();
}

// Close: the page's own pixels back under a pinned or baked picture of the panel, the text
// kept in the page's file.
void TForm3::SpeedButton19Click() {
    closeTextPanel();
}

void TForm3::closeTextPanel() {
    Image1->hide();
    const TRect place = panelRect();
    Board.unpinPanel(place);
    Board.clearBakedPanel(place);
    Panel4->hide();
    closeOnPage();
}

void TForm3::Image1MouseDown(Qt::MouseButton, int x, int y) {
    Board.beginPanelDrag(x, y, Panel4->size());
    Board.clearBakedPanel(panelRect());
}

void TForm3::Image1MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (buttons == Qt::NoButton) {
        Image1->setCursor(x > Image1->width() - 5 ? Qt::SizeHorCursor : Qt::SizeAllCursor);
        return;
    }
    if (!(buttons & Qt::LeftButton))
        return;
    if (Image1->cursor().shape() == Qt::SizeHorCursor)
        Panel4->resize(x + Board.panelDragWidth() - Board.anchorX(), Panel4->height());
    else
        Panel4->move(Panel4->x() + x - Board.anchorX(), Panel4->y() + y - Board.anchorY());
    Board.setBoardPaintMode(1);
}

// A press in the editor shows the drag bar; one in the border zone begins a resize, and clears a
// picture of the panel baked into the page, which the resized panel would no longer cover.
void TForm3::RichEdit1MouseDown(int x, int y) {
    Image1->show();
    Board.beginPanelDrag(x, y, Panel4->size());
    const QWidget* area = RichEdit1->viewport();
    if (x > area->width() - 5 || y > area->height() - 8)
        Board.clearBakedPanel(panelRect());
}

void TForm3::RichEdit1MouseMove(Qt::MouseButtons buttons, int x, int y) {
    // The edges are the text area's, which a scroll bar narrows once the text runs long.
    QWidget* area = RichEdit1->viewport();
    const int w = area->width();
    const int h = area->height();
    if (buttons == Qt::NoButton) {
        Qt::CursorShape shape = Qt::IBeamCursor;
        if (x > w - 5 && y > h - 5)
            shape = Qt::SizeFDiagCursor;
        else if (y > h - 8)
            shape = Qt::SizeVerCursor;
        else if (x > w - 5)
            shape = Qt::SizeHorCursor;
        area->setCursor(shape);
        return;
    }
    if (!(buttons & Qt::LeftButton))
        return;
    const int width = x + Board.panelDragWidth() - Board.anchorX();
    const int height = y + Board.panelDragHeight() - Board.anchorY();
    switch (area->cursor().shape()) {
    case Qt::SizeFDiagCursor:
        Panel4->resize(width, height);
        break;
    case Qt::SizeVerCursor:
        Panel4->resize(Panel4->width(), height);
        break;
    case Qt::SizeHorCursor:
        Panel4->resize(width, Panel4->height());
        break;
    default:
        return;
    }
    Board.setBoardPaintMode(1);
}

void TForm3::WebBrowser1Focus(bool focused) {
    Image1->setVisible(focused);
}

void TForm3::DocumentBackClick() {
    if (WebBrowser1)
        WebBrowser1->back();
}
