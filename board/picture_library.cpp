// The picture library column at the board's left edge: the physics and chemistry pictures,
// the teacher's own pictures, and the arming of a picture for the next release on the page.
#include "board/picture_library.h"

#include "assets/stamp_previews.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"
#include "platform/widgets/shell.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <stdexcept>

using namespace platform;

namespace {

constexpr int ColumnLeft = 1;
constexpr int ColumnTop = 40;
constexpr int ColumnWidth = 138;
constexpr int TabTop = 0;
constexpr int ScrollTop = 22;
constexpr int ScrollBelow = 65; // the column's height less the scroll area's
constexpr int PhysicsWidth = 116;
constexpr int PhysicsHeight = 700;
constexpr int ChemistryHeight = 650;
constexpr int OwnListLeft = 10;
constexpr TColor ColumnColour = 0xC0C0C0;

struct Placed {
    const char* file;
    int left;
    int top;
};

// Two to a row, left then right.
constexpr Placed PhysicsPictures[] = {
    {"w0.jt", 5, 1},    {"w1.jt", 62, 1},    {"w2.jt", 5, 63},   {"w3.jt", 62, 63},
    {"w4.jt", 5, 125},  {"w5.jt", 62, 125},  {"w6.jt", 5, 187},  {"w7.jt", 62, 187},
    {"w8.jt", 5, 249},  {"w9.jt", 62, 249},  {"w10.jt", 5, 311}, {"w11.jt", 62, 311},
    {"w12.jt", 5, 373}, {"w13.jt", 62, 373}, {"w14.jt", 5, 436}, {"w15.jt", 62, 436},
    {"w16.jt", 5, 493}, {"w17.jt", 62, 493}, {"w18.jt", 5, 553}, {"w19.jt", 62, 553},
    {"w20.jt", 5, 603},
};
constexpr Placed ChemistryPictures[] = {
    {"h1.jt", 3, 1},    {"h2.jt", 60, 1},    {"h3.jt", 3, 63},   {"h4.jt", 60, 63},
    {"h5.jt", 3, 125},  {"h6.jt", 60, 125},  {"h7.jt", 3, 187},  {"h8.jt", 60, 187},
    {"h9.jt", 3, 250},  {"h10.jt", 60, 250}, {"h13.jt", 3, 309}, {"h14.jt", 60, 309},
    {"h15.jt", 3, 368}, {"h18.jt", 60, 368},
};

} // namespace

StampPicture::StampPicture(QWidget* parent, int left, int top, QString fileName, bool onClick)
    : QWidget(parent), FileName(std::move(fileName)), preview_(stampPreview(FileName)),
      onClick_(onClick) {
    setGeometry(left, top, Size, Size);
}

void StampPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage((width() - preview_.width()) / 2, (height() - preview_.height()) / 2, preview_);
}

void StampPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !onClick_)
        emit chosen(FileName);
}

void StampPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onClick_ &&
        rect().contains(event->position().toPoint()))
        emit chosen(FileName);
}

OwnPictureView::OwnPictureView(QWidget* parent, const OwnPictureList& list)
    : QWidget(parent), list_(list) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OwnPictureView::refresh() {
    resize(OwnPictureList::ThumbnailSize, list_.Height);
    update();
}

void OwnPictureView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect area = event->rect();
    p.fillRect(area, palette().color(QPalette::Base));
    const int first = std::max(0, area.top() / OwnPictureList::SlotPitch);
    const int last = std::min(static_cast<int>(list_.Thumbnails.size()) - 1,
                              area.bottom() / OwnPictureList::SlotPitch);
    for (int i = first; i <= last; ++i)
        p.drawImage(0, i * OwnPictureList::SlotPitch,
                    list_.Thumbnails[static_cast<std::size_t>(i)]);
}

void OwnPictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit released(event->position().toPoint().y());
}

// Picture library (whiteboard.h): the column is built once; opening it lays it out for the
// screen.
void TForm3::setupPictureLibrary() {
    Panel9->setColor(ColumnColour);
    Panel9->setGeometry(ColumnLeft, ColumnTop, ColumnWidth, 400);
    const auto tab = [this](const QString& caption, int left) {
        auto* b = new QPushButton(caption, Panel9);
        b->setGeometry(left, TabTop, 37, 21);
        return b;
    };
    BitBtn1 = tab(QStringLiteral("物理"), 0);
    BitBtn2 = tab(QStringLiteral("化学"), 38);
    BitBtn3 = tab(QStringLiteral("其它"), 76);
    SpeedButton33 = textButton(Panel9, ColumnWidth - 23, TabTop, 23, 21, QStringLiteral("×"),
                               QStringLiteral("关闭"));
    SpeedButton33->setToolButtonStyle(Qt::ToolButtonTextOnly);

    ScrollBox1 = new QScrollArea(Panel9);
    ScrollBox1->setGeometry(0, ScrollTop, ColumnWidth, 400 - ScrollBelow);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->verticalScrollBar()->setTracking(true);
    ScrollBox1->setWidgetResizable(false);
    auto* pages = new QWidget;
    ScrollBox1->setWidget(pages);
    Panel8 = new Panel(pages, 0, 0, PhysicsWidth, PhysicsHeight, clWhite);
    Panel10 = new Panel(pages, 0, 0, PhysicsWidth, ChemistryHeight, clWhite);
    Image26 = new OwnPictureView(pages, Board.ownPictures());
    Image26->move(OwnListLeft, 0);
    Image26->hide();
    Panel10->hide();

    const auto choose = [this](const QString& file) { guarded([&] { StampPictureChosen(file); }); };
    for (const Placed& p : PhysicsPictures) {
        auto* picture = new StampPicture(Panel8, p.left, p.top, QString::fromLatin1(p.file), false);
        connect(picture, &StampPicture::chosen, this, choose);
    }
    for (const Placed& p : ChemistryPictures) {
        // The first chemistry picture arms on a click, the others on a press.
        const bool onClick = &p == &ChemistryPictures[0];
        auto* picture =
            new StampPicture(Panel10, p.left, p.top, QString::fromLatin1(p.file), onClick);
        connect(picture, &StampPicture::chosen, this, choose);
    }

    onClick(SpeedButton32, &TForm3::SpeedButton32Click);
    onClick(BitBtn1, &TForm3::BitBtn1Click);
    onClick(BitBtn2, &TForm3::BitBtn2Click);
    onClick(BitBtn3, &TForm3::BitBtn3Click);
    onClick(SpeedButton33, &TForm3::SpeedButton33Click);
    connect(Image26, &OwnPictureView::released, this,
            [this](int y) { guarded([&] { Image26MouseUp(y); }); });
    connect(&Board, &BoardModel::ownPicturesChanged, Image26, [this] {
        Image26->refresh();
        showLibraryPage(Image26->isVisible() ? Image26 : nullptr);
    });
}

// Shows one page of the scroll area (the own-pictures list when `page` is Image26) and
// makes the scroll area as high as it is.
void TForm3::showLibraryPage(QWidget* page) {
    QWidget* pages = ScrollBox1->widget();
    for (QWidget* p : {static_cast<QWidget*>(Panel8), static_cast<QWidget*>(Panel10),
                       static_cast<QWidget*>(Image26)})
        p->setVisible(p == page);
    if (page != nullptr)
        pages->resize(PhysicsWidth, page->y() + page->height());
}

void TForm3::SpeedButton32Click() {
    Board.setBoardPaintMode(0);
    Board.forgetLastImport();
    const int height = screenHeight() - ColumnTop;
    Panel9->setGeometry(ColumnLeft, ColumnTop, ColumnWidth, height);
    ScrollBox1->setGeometry(0, ScrollTop, ColumnWidth, height - ScrollBelow);
    SpeedButton33->move(Panel9->width() - 23, TabTop);
    showLibraryPage(Panel8);
    Panel9->show();
    Panel9->raise();
    SpeedButton19Click(); // the text panel closes for the column
    Board.setStampFolder(Board.programFolder() + QStringLiteral("db/pic/"));
    libraryBoxTop_ = ScrollBox1->height() + 62;
}

void TForm3::BitBtn1Click() {
    shell().hidePictureSettingsBox();
    SpeedButton33->move(Panel9->width() - 23, TabTop);
    showLibraryPage(Panel8);
}

void TForm3::BitBtn2Click() {
    shell().hidePictureSettingsBox();
    SpeedButton33->move(Panel9->width() - 23, TabTop);
    showLibraryPage(Panel10);
}

// The own pictures: the list is made once, and read from the teacher's folder the first
// time and again after the settings window has confirmed a teacher.
void TForm3::BitBtn3Click() {
    const OwnPictureList& own = Board.ownPictures();
    showLibraryPage(Image26);
    shell().showPictureSettingsBox(3, libraryBoxTop_);
    if (own.LoadState == 0) {
        Board.setOwnPicturesHeight(OwnPictureList::UnloadedHeight);
        Board.setOwnPicturesHeight(ScrollBox1->height() - 5);
    }
    if (own.LoadState == 1)
        return;
    shell().loadOwnPictures();
    Board.setOwnPicturesLoadState(1);
}

void TForm3::SpeedButton33Click() {
    Panel9->hide();
    shell().hidePictureSettingsBox();
}

void TForm3::StampPictureChosen(const QString& fileName) {
    if (!Board.armStamp(fileName))
        throw std::runtime_error(QStringLiteral("无法读取图片文件“%1”。")
                                     .arg(Board.stampFolder() + fileName)
                                     .toStdString());
}

void TForm3::Image26MouseUp(int y) {
    const int slot = Board.ownPictures().slotAt(y);
    if (slot >= 0 && !Board.armOwnPicture(y))
        throw std::runtime_error(QStringLiteral("无法读取图片文件“%1”。")
                                     .arg(Board.ownPictures().Paths[slot])
                                     .toStdString());
}

void TForm3::pictureLibraryShown(bool shown) {
    if (!shown)
        shell().hidePictureSettingsBox();
    else if (Panel9->isVisible() && Image26->isVisible())
        shell().showPictureSettingsBox(3, libraryBoxTop_);
}
