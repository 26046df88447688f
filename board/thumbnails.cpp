// The thumbnail strip over the lower half of the board: two pages side by side at half size, or
// the lower half of one page at full scale, a scroll bar to look through the lesson, and a
// click to jump to a page.
#include "board/event_hook.h"
#include "board/whiteboard.h"
#include "intake/picture_conversion.h"
#include "platform/os/services.h"
#include "platform/raster/rich_text.h"

#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

using namespace platform;

namespace {

constexpr int BarRowHeight = 18;
constexpr int StripTopRow = 41; // just below the title bar
// Set on the scroll bar while a mouse button holds it (its thumb or an arrow).
const char* const ScrollHeld = "kvScrollHeld";
constexpr int TwoPageView = 2; // the scroll bar's small step: two pages an arrow
constexpr int HalfPageView = 1;
constexpr TColor BarRowColour = 0x00C08040;

// The bar row's own picture, under its flat buttons.
QImage barRowPicture(int width) {
    QImage picture(width, BarRowHeight, QImage::Format_RGB32);
    Canvas c(picture);
    c.fillRect({0, 0, width, BarRowHeight}, BarRowColour);
    c.fillRect({0, 0, width, 1}, 0x00F0C080);
    c.fillRect({0, BarRowHeight - 1, width, BarRowHeight}, 0x00603010);
    return picture;
}

} // namespace

void TForm3::createThumbnailStrip() {
    const int sw = screenWidth();
    const int sh = screenHeight();
    Panel5 = new Panel(this, 0, sh / 2, sw, sh / 2, clGray);
    Panel6 = new Panel(Panel5, 0, 0, sw, 1, BarRowColour);
    Image4 = new ImageBox(Panel6);
    Image4->setGeometry(0, 0, sw, BarRowHeight);
    Image4->setPicture(barRowPicture(sw));
    ScrollBar1 = new QScrollBar(Qt::Horizontal, Panel6);
    ScrollBar1->setGeometry(2, 1, std::max(100, sw / 2), BarRowHeight - 2);
    ScrollBar1->setRange(1, 1);
    ScrollBar1->setSingleStep(TwoPageView);
    // A click beside the thumb moves one page, and the thumb stands for one page of the range
    // (Qt's default of ten made it fill most of the bar for a short lesson).
    ScrollBar1->setPageStep(1);
    int left = ScrollBar1->geometry().right() + 6;
    Edit3 = new NumberBox(Panel6, left, 1, 44, BarRowHeight - 2, 13, QStringLiteral(" 1"), {});
    left += 50;
    SpeedButton28 = textButton(Panel6, left, 1, 22, BarRowHeight - 2, QStringLiteral("半"));
    SpeedButton27 = textButton(Panel6, left += 24, 1, 22, BarRowHeight - 2, QStringLiteral("双"));
    SpeedButton37 = textButton(Panel6, left += 24, 1, 22, BarRowHeight - 2, QStringLiteral("▲"));
    SpeedButton38 = textButton(Panel6, left, 1, 22, BarRowHeight - 2, QStringLiteral("▼"));
    SpeedButton38->hide();
    SpeedButton29 = textButton(Panel6, left += 24, 1, 22, BarRowHeight - 2, QStringLiteral("－"));
    SpeedButton39 = textButton(Panel6, left += 24, 1, 22, BarRowHeight - 2, QString());
    SpeedButton30 = textButton(Panel6, left += 24, 1, 22, BarRowHeight - 2, QStringLiteral("×"));
    Image3 = new ImageBox(Panel5);
    Image3->setGeometry(0, 0, sw, sh / 2);
    Panel5->hide();

    onClick(SpeedButton28, &TForm3::SpeedButton28Click);
    onClick(SpeedButton27, &TForm3::SpeedButton27Click);
    onClick(SpeedButton37, &TForm3::SpeedButton37Click);
    onClick(SpeedButton38, &TForm3::SpeedButton38Click);
    onClick(SpeedButton29, &TForm3::SpeedButton29Click);
    onClick(SpeedButton30, &TForm3::SpeedButton30Click);
    connect(ScrollBar1, &QScrollBar::valueChanged, this,
            [this] { guarded([this] { ScrollBar1Change(); }); });
    // A scroll ends when the button or key that drove it is let go, whether it moved the thumb,
    // an arrow or a page; a turn of the wheel is a scroll of its own. The end is reported after
    // the scroll bar has taken the event in.
    new EventHook(ScrollBar1, [this](QEvent* event) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            ScrollBar1->setProperty(ScrollHeld, true);
            break;
        case QEvent::MouseButtonRelease:
            ScrollBar1->setProperty(ScrollHeld, false);
            // The bar row's redraw, left out while the scroll bar was held.
            QTimer::singleShot(0, this, [this] {
                if (Panel5->isVisible() && !ScrollBar1->property(ScrollHeld).toBool()) {
                    Panel6->hide();
                    Panel6->show();
                }
            });
            [[fallthrough]];
        case QEvent::KeyRelease:
        case QEvent::Wheel:
            QTimer::singleShot(0, this,
                               [this] { guarded([this] { ScrollBar1Scroll(EndScroll); }); });
            break;
        default:
            break;
        }
        return false;
    });
    connect(Image3, &ImageBox::mouseUp, this,
            [this](Qt::MouseButton b, int x, int y) { guarded([&] { Image3MouseUp(b, x, y); }); });
}

int TForm3::stripPosition() const {
    return ScrollBar1->value();
}

int TForm3::stripHalf() const {
    return Panel5->width() / 2;
}

// Shows or collapses the bar row with the strip's top edge where the strip stands at the bottom.
void TForm3::showBarRow(bool shown) {
    const int half = screenHeight() / 2;
    if (shown) {
        Panel5->setGeometry(0, half - BarRowHeight, Panel5->width(), half + BarRowHeight);
        Panel6->resize(Panel6->width(), BarRowHeight);
        Image3->move(0, BarRowHeight);
    } else {
        Panel5->setGeometry(0, half, Panel5->width(), half);
        Image3->move(0, 0);
        Panel6->resize(Panel6->width(), 1);
    }
    Board.setBoardPaintMode(1);
}

// The lower half of page P at full scale.
void TForm3::drawHalfPageView() {
    const QImage page = Board.pagePicture(stripPosition());
    const int w = page.width();
    const int h = page.height();
    Canvas(Image3->picture()).copyRect(page, {0, h / 2, w, h}, QPoint(0, 0));
    Image3->update();
}

// A page's pixels for one half of the strip. Pages held packed are expanded into the half's
// own picture, so that scrolling takes no fresh memory.
QImage TForm3::stripPage(int page, bool right) {
    return Board.pagePicture(page, std::exchange(stripPageBuffer_[right ? 1 : 0], QImage()));
}

// The picture is kept for the next page only when it is the strip's own: one shared with the
// page shown would make the page copy itself at its next stroke.
void TForm3::releaseStripPage(QImage& picture, bool right) {
    if (picture.isDetached())
        stripPageBuffer_[right ? 1 : 0] = std::move(picture);
    picture = QImage();
}

void TForm3::stretchIntoHalf(const QImage& picture, bool right) {
    const int half = stripHalf();
    const int h = Image3->height();
    const TRect to = right ? TRect{half, 0, Panel5->width(), h} : TRect{0, 0, half, h};
    Canvas(Image3->picture()).stretchCopy(picture, {0, 0, picture.width(), picture.height()}, to);
}

// The page through the one conversion that scales pictures, whole into its half.
void TForm3::renderIntoHalf(const QImage& picture, bool right) {
    const std::optional<CapturedPicture> source = CapturedPicture::fromBitmap(picture);
    if (!source)
        return;
    QImage& half = right ? StripRightBitmap : StripLeftBitmap;
    // Drawn in the previous render's memory.
    const std::optional<QImage> render =
        ConvertPicture(*source, thumbnailStripRequest(source->size(), Board.programFolder()),
                       std::exchange(half, QImage()));
    if (!render)
        return;
    half = *render;
    Canvas(Image3->picture()).drawImage(right ? stripHalf() : 0, 0, half);
}

void TForm3::fillHalf(bool right, TColor colour) {
    const int half = stripHalf();
    const int h = Image3->height();
    Canvas(Image3->picture())
        .fillRect(right ? TRect{half, 0, Panel5->width(), h} : TRect{0, 0, half, h}, colour);
}

// Black between the pages, or white on a black board.
void TForm3::drawDivider(TColor sample) {
    const int x = stripHalf();
    Canvas(Image3->picture())
        .fillRect({x, 0, x + 1, Image3->height()}, sample != 0 ? clBlack : clWhite);
    Image3->update();
}

// Two pages from P: a quick stretch of each, then (unless `quick`) the finer renders over it;
// past the last page, the right half takes `fill`.
void TForm3::drawTwoPageView(TColor fill, bool quick) {
    const int p = stripPosition();
    const bool pair = p < Board.pageCount();
    for (const bool right : {false, true}) {
        if (right && !pair)
            break;
        QImage picture = stripPage(right ? p + 1 : p, right);
        stretchIntoHalf(picture, right);
        if (!quick)
            renderIntoHalf(picture, right);
        releaseStripPage(picture, right);
    }
    if (!pair)
        fillHalf(true, fill);
}

// Open the strip, or flip its bar row and draw it again when it is open.
void TForm3::SpeedButton1Click() {
    SpeedButton37->show();
    SpeedButton38->hide();
    const bool opening = Panel5->isHidden();
    if (!Panel4->isHidden() && opening) {
        // The page takes the panel's picture, so that its thumbnail shows the text.
        Image1->hide();
        Board.storePanelText();
        Board.bakePanelOver(panelPicture(), panelRect());
        storePanelGeometry();
    }
    if (opening) {
        if (Board.backdropActive() == 1)
            Panel4->show();
        const int sh = screenHeight();
        Panel5->resize(screenWidth(), Panel5->height());
        Image3->setGeometry(0, Image3->y(), Panel5->width(), sh / 2);
        if (Image3->picture().size() != Image3->size())
            Image3->setPicture(makeBitmap(Image3->width(), Image3->height()));
        {
            // The page count may have changed without a turn (a lesson opened).
            const QSignalBlocker quiet(ScrollBar1);
            ScrollBar1->setMaximum(Board.pageCount());
            ScrollBar1->setValue(Board.currentPage());
        }
        Edit3->setText(QStringLiteral(" ") + QString::number(stripPosition()));
        Panel5->show();
        Panel5->raise();
        Panel2->raise();
    }
    showBarRow(Panel6->height() != BarRowHeight);
    if (ScrollBar1->singleStep() == HalfPageView) {
        drawHalfPageView();
        return;
    }
    const TColor sample = surfaceBackground();
    drawTwoPageView(sample, false);
    drawDivider(sample);
}

// Half-page view.
void TForm3::SpeedButton28Click() {
    ScrollBar1->setSingleStep(HalfPageView);
    drawHalfPageView();
}

// Two-page view.
void TForm3::SpeedButton27Click() {
    ScrollBar1->setSingleStep(TwoPageView);
    ScrollBar1Change();
}

void TForm3::SpeedButton37Click() {
    Panel5->move(0, StripTopRow);
    SpeedButton38->show();
    SpeedButton37->hide();
}

void TForm3::SpeedButton38Click() {
    Panel5->move(0, screenHeight() / 2 - BarRowHeight);
    SpeedButton37->show();
    SpeedButton38->hide();
}

// Collapse the bar row; the strip's top edge stays.
void TForm3::SpeedButton29Click() {
    Panel5->resize(Panel5->width(), screenHeight() / 2);
    Image3->move(0, 0);
    Panel6->resize(Panel6->width(), 1);
    Board.setBoardPaintMode(1);
}

// Close, ready for the next opening at the bottom.
void TForm3::SpeedButton30Click() {
    Panel5->hide();
    showBarRow(false);
}

// Scrolling: plain stretches while the position moves; the finer renders come at the end.
void TForm3::ScrollBar1Change() {
    if (Panel5->isHidden())
        return;
    const int p = stripPosition();
    // Hiding the bar row would end a drag of the thumb or a held arrow, which it holds.
    const bool held = ScrollBar1->property(ScrollHeld).toBool();
    if (!held)
        Panel6->hide();
    if (ScrollBar1->singleStep() == HalfPageView) {
        drawHalfPageView();
    } else {
        const TColor sample = Board.pageBackground(p);
        drawTwoPageView(sample, true);
        drawDivider(sample);
    }
    Edit3->setText(QStringLiteral(" ") + QString::number(p));
    if (!held)
        Panel6->show();
}

void TForm3::ScrollBar1Scroll(int scrollCode) {
    if (scrollCode != EndScroll || ScrollBar1->singleStep() != TwoPageView || Panel5->isHidden())
        return;
    const int p = stripPosition();
    for (const bool right : {false, true}) {
        if (right && p >= Board.pageCount())
            break;
        QImage picture = stripPage(right ? p + 1 : p, right);
        renderIntoHalf(picture, right);
        releaseStripPage(picture, right);
    }
    drawDivider(Board.pageBackground(p));
}

// Choose the page under the click: the left one, or the right one when there is one.
void TForm3::Image3MouseUp(Qt::MouseButton, int x, int) {
    Panel5->hide();
    clearReadout();
    const int p = stripPosition();
    const int page = x > screenWidth() / 2 && p < Board.pageCount() ? p + 1 : p;
    Board.choosePage(page);
    applyEditorColour(editorColourFor(Board.pageBackground(page)));
    // Without moving the strip, so that the next opening finds the bar row the other way.
    Panel6->resize(Panel6->width(), Panel6->height() == BarRowHeight ? 1 : BarRowHeight);
}
