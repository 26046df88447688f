// The whiteboard window: its layout, creation, painting and the commands that leave it.
#include "board/whiteboard.h"
#include "board/board_keys.h"

#include "board/board_instruments.h"
#include "platform/os/program_folder.h"
#include "platform/os/services.h"
#include "platform/widgets/button_pictures.h"
#include "presenting/presenting_tools.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>

using namespace platform;

platform::SingleWindow<TForm3> Form3;

namespace {

constexpr int TitleBarHeight = 40;
constexpr int CommandBarWidth = 722;
constexpr TColor TitleBarGrey = 0xC0C0C0;
constexpr TColor ReadoutColour = 0x296794;

// The last release of a mouse button anywhere in the program, followed from the start: the
// click that opens the board may also be the one that makes it.
class ReleaseWatch final : public QObject {
public:
    static ReleaseWatch& get() {
        static ReleaseWatch* watch = nullptr;
        if (watch == nullptr)
            watch = new ReleaseWatch;
        return *watch;
    }

    QElapsedTimer last;
    QPoint at;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            last.start();
            at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        }
        return false;
    }

private:
    ReleaseWatch() : QObject(qApp) { qApp->installEventFilter(this); }
};

// The click that opened the board may be the first of a double click on the toolbar's button,
// whose second press then lands on the board at the same place (on a tool button). A press on
// the board there within the double-click interval of the click that opened it is not the
// board's, nor is the release that ends it. A board opened otherwise (a key, a start-up) takes
// every press.
class OpeningClickGuard final : public QObject {
public:
    explicit OpeningClickGuard(QWidget* board)
        : QObject(board), board_(board), releases_(ReleaseWatch::get()) {
        setObjectName(QStringLiteral("openingClickGuard"));
        qApp->installEventFilter(this);
    }

    // The board has just been opened: by the last click, when it has only just ended.
    void boardOpened() {
        const int interval = QApplication::doubleClickInterval();
        const QElapsedTimer& lastRelease = releases_.last;
        guarding_ = lastRelease.isValid() && lastRelease.elapsed() < interval;
        if (!guarding_)
            return;
        origin_ = releases_.at;
        QTimer::singleShot(interval - static_cast<int>(lastRelease.elapsed()), this,
                           [this] { guarding_ = false; });
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
            type != QEvent::MouseButtonRelease)
            return false;
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        const bool onBoard =
            object->isWidgetType() && static_cast<QWidget*>(object)->window() == board_;
        if (type == QEvent::MouseButtonRelease) {
            if (onBoard && held_) {
                held_ = false;
                return true;
            }
            return false;
        }
        if (!onBoard || !guarding_ ||
            (at - origin_).manhattanLength() >
                QGuiApplication::styleHints()->mouseDoubleClickDistance())
            return false;
        held_ = true;
        return true;
    }

private:
    QWidget* board_;
    const ReleaseWatch& releases_;
    QPoint origin_;
    bool guarding_ = false;
    bool held_ = false;
};

} // namespace

TForm3::TForm3(BoardModel& board)
    : DrawingWindow(Qt::Window | Qt::FramelessWindowHint), Board(board) {
    setWindowTitle(QStringLiteral("白板"));
    new OpeningClickGuard(this);

    Panel2 = new Panel(this, 0, 0, 800, TitleBarHeight, TitleBarGrey);
    Panel2->setBevel(true);
    Panel3 = new Panel(Panel2, 3, 6, 82, 28, ReadoutColour);
    Panel3->setCaptionColor(clWhite);
    QFont readout = Panel3->font();
    readout.setPixelSize(13);
    readout.setBold(true);
    Panel3->setFont(readout);

    Panel1 = new Panel(Panel2, 0, 1, CommandBarWidth, 38, clSkyBlue);
    SpeedButton9 = pictureButton(Panel1, 1, 0, 36, 19, QStringLiteral("笔画颜色"), Glyph::Pen);
    LCP = new Swatch(Panel1, 2, 10, 35, 9, 0x000080FF, QStringLiteral("笔画颜色"));
    RCP = new Swatch(Panel1, 0, 20, 38, 20, 0x00400000, QStringLiteral("背景颜色"));
    Edit1 =
        new NumberBox(Panel1, 39, 0, 26, 39, 31, QStringLiteral("2"), QStringLiteral("笔画粗细"));
    SpeedButton7 =
        pictureButton(Panel1, 65, 0, 38, 19, QStringLiteral("笔画增粗"), Glyph::WiderPen);
    SpeedButton8 =
        pictureButton(Panel1, 65, 20, 38, 19, QStringLiteral("笔画变细"), Glyph::NarrowerPen);
    SpeedButton5 = pictureButton(Panel1, 103, 0, 38, 38, QStringLiteral("清屏"), Glyph::Clear);
    SpeedButton4 = pictureButton(Panel1, 141, 0, 38, 38, QStringLiteral("撤销"), Glyph::Undo);
    SpeedButton10 = toolButton(Panel1, 179, 0, 38, QStringLiteral("板擦"), Glyph::BoardEraser);
    SpeedButton13 = toolButton(Panel1, 218, 0, 38, QStringLiteral("擦除"), Glyph::AreaErase);
    SpeedButton3 = toolButton(Panel1, 255, 0, 38, QStringLiteral("书写"), Glyph::Pen);
    SpeedButton14 = toolButton(Panel1, 293, 0, 36, QStringLiteral("画直线"), Glyph::Line);
    SpeedButton15 = toolButton(Panel1, 329, 0, 36, QStringLiteral("画矩形"), Glyph::Rectangle);
    SpeedButton17 = toolButton(Panel1, 365, 0, 36, QStringLiteral("画圆或椭圆"), Glyph::Ellipse);
    SpeedButton25 = toolButton(Panel1, 401, 0, 38, QStringLiteral("范围选择"), Glyph::Select);
    SpeedButton35 =
        pictureButton(Panel1, 439, 0, 38, 19, QStringLiteral("对选取画面放大"), Glyph::ZoomIn);
    SpeedButton36 =
        pictureButton(Panel1, 439, 19, 38, 19, QStringLiteral("恢复原始大小"), Glyph::ZoomOut);
    SpeedButton1 =
        pictureButton(Panel1, 477, 0, 38, 19, QStringLiteral("缩略图查看"), Glyph::Thumbnails);
    SpeedButton18 = pictureButton(Panel1, 477, 19, 38, 19, QStringLiteral("导入"), Glyph::Import);
    SpeedButton11 =
        pictureButton(Panel1, 516, 0, 31, 38, QStringLiteral("左翻页"), Glyph::PageLeft);
    Edit2 = new NumberBox(Panel1, 546, 0, 32, 38, 24, QStringLiteral("1"), QStringLiteral("页号"));
    SpeedButton12 =
        pictureButton(Panel1, 578, 0, 29, 38, QStringLiteral("右翻页"), Glyph::PageRight);
    SpeedButton6 = pictureButton(Panel1, 608, 0, 38, 38, QStringLiteral("设置"), Glyph::Settings);
    SpeedButton2 = pictureButton(Panel1, 646, 0, 38, 38, QStringLiteral("消隐投影"), Glyph::Blank);
    SpeedButton40 =
        pictureButton(Panel1, 684, 0, 38, 38, QStringLiteral("操作演示"), Glyph::Return);
    SpeedButton3->setChecked(true);
    // In the title bar's free part, next to the command bar (FormResize keeps it there).
    RedoButton = pictureButton(Panel2, 0, 1, 38, 38, QStringLiteral("重做"), Glyph::Redo);
    new BoardKeys(this);

    createTextPanel();
    createThumbnailStrip();
    Panel9 = new Panel(this, 0, 41, 200, 400, clSkyBlue);
    Panel9->hide();

    Instruments = new BoardInstruments(*this);

    Image2 = new FloatingPictureBox(this);
    connect(Image2, &FloatingPictureBox::uncovered, this,
            [this](const QRect& area) { revealPageUnder(area); });
    connect(Image2, &ImageBox::mouseDown, this, [this](Qt::MouseButton b, int x, int y) {
        guarded([&] { Image2MouseDown(b, x, y); });
    });
    connect(Image2, &ImageBox::mouseMove, this, [this](Qt::MouseButtons b, int x, int y) {
        guarded([&] { Image2MouseMove(b, x, y); });
    });

    onClick(SpeedButton3, &TForm3::SpeedButton3Click);
    onClick(SpeedButton14, &TForm3::SpeedButton14Click);
    onClick(SpeedButton15, &TForm3::SpeedButton15Click);
    onClick(SpeedButton17, &TForm3::SpeedButton17Click);
    onClick(SpeedButton10, &TForm3::SpeedButton10Click);
    onClick(SpeedButton13, &TForm3::SpeedButton13Click);
    onClick(SpeedButton25, &TForm3::SpeedButton25Click);
    onClick(SpeedButton7, &TForm3::SpeedButton7Click);
    onClick(SpeedButton8, &TForm3::SpeedButton8Click);
    onClick(SpeedButton9, &TForm3::SpeedButton9Click);
    connect(LCP, &Swatch::clicked, this, [this] { guarded([this] { LCPClick(); }); });
    connect(RCP, &Swatch::clicked, this, [this] { guarded([this] { RCPClick(); }); });
    onClick(SpeedButton4, &TForm3::SpeedButton4Click);
    onClick(RedoButton, &TForm3::RedoButtonClick);
    onClick(SpeedButton5, &TForm3::SpeedButton5Click);
    onClick(SpeedButton6, &TForm3::SpeedButton6Click);
    onClick(SpeedButton2, &TForm3::SpeedButton2Click);
    onClick(SpeedButton40, &TForm3::SpeedButton40Click);
    onClick(SpeedButton35, &TForm3::SpeedButton35Click);
    onClick(SpeedButton36, &TForm3::SpeedButton36Click);
    onClick(SpeedButton11, &TForm3::SpeedButton11Click);
    onClick(SpeedButton12, &TForm3::SpeedButton12Click);
    onClick(SpeedButton1, &TForm3::SpeedButton1Click);
    onClick(SpeedButton18, &TForm3::SpeedButton18Click);

    connect(&Board, &BoardModel::pageChanged, this,
            [this](int page, TRect region) { showPageChange(page, region); });
    connect(&Board, &BoardModel::floatingChanged, this, [this] { showFloatingPicture(); });
    connect(&Board, &BoardModel::toolChanged, this, [this] { showTool(); });
    connect(&Board, &BoardModel::penChanged, this, [this] { showPen(); });
    connect(&Board, &BoardModel::backgroundChanged, this,
            [this] { RCP->setColor(Board.backgroundColour()); });
    connect(&Board, &BoardModel::pageLeaving, this, [this](int page) { pageLeaving(page); });
    connect(&Board, &BoardModel::pageEntered, this,
            [this](int page, bool made) { pageEntered(page, made); });
    connect(&Board, &BoardModel::turnEnded, this, [this] { turnEnded(); });
    connect(&Board, &BoardModel::pageCountChanged, ScrollBar1, &QScrollBar::setMaximum);

    // Made last, so that the tools lie over every other child below the title bar.
    Presenting = new presenting::PresentingTools(
        this, [this]() -> const QImage& { return Surface; }, TitleBarHeight);
    PresentingButton = Presenting->makeButton(Panel2, 0, 1);
}

// The panel hides with the window as the window goes; the model keeps the panel as the teacher
// left it, and the hook, which reads this window's controls, must not see that.
TForm3::~TForm3() {
    delete panelHook_;
}

void followClicksBeforeTheBoard() {
    // A program that starts has seen no click yet.
    ReleaseWatch::get().last.invalidate();
}

void prepareBoardModel(BoardModel& board, QSize screen) {
    board.create(screen, programFolder());
    board.setPanelBounds(1, QRect(0, 41, PanelDesignWidth, screen.height() - 45));
}

void TForm3::FormCreate() {
    const int sw = screenWidth();
    const int sh = screenHeight();
    loadBoardCursor(ToolCursor::Pen);
    Panel4->resize(Panel4->width(), sh - 45);
    setGeometry(0, 0, sw, sh);
    showPen();
    RCP->setColor(Board.backgroundColour());
    // The pen tool is armed at start: its pen is the one the title bar shows.
    canvas().pen = Pen{penWidth(), Board.penColour(), PenStyle::Solid};
    FormResize();

    // Picture library (picture_library.cpp).
    setupPictureLibrary();

    // The window is made when first needed, maybe after the model has changed (pages brought
    // back at start, a picture sent from the annotation): it shows the model as it is.
    Edit2->setText(QString::number(Board.currentPage()));
    ScrollBar1->setMaximum(Board.pageCount());
    restorePagePanel();
    showFloatingPicture();
}

void TForm3::FormResize() {
    // The title bar stops one pixel short of the right edge, so that the column under it shows
    // the page's background colour.
    Panel2->resize(screenWidth() - 1, TitleBarHeight);
    Panel1->move(Panel2->width() - 1 - CommandBarWidth, 1);
    RedoButton->move(Panel1->x() - 40, 1);
    PresentingButton->move(Panel1->x() - 120, 1);
    if (Instruments)
        Instruments->placeButton(Panel1->x());
}

void TForm3::resizeEvent(QResizeEvent* event) {
    SurfaceWindow::resizeEvent(event);
    guarded([this] { FormResize(); });
}

void TForm3::FormPaint() {
    fitSurfaceToScreen();
    canvas().drawImage(0, 0, Board.current());
}

void TForm3::Invalidate() {
    FormPaint();
    showSurface();
}

void TForm3::showEvent(QShowEvent* event) {
    SurfaceWindow::showEvent(event);
    guarded([this] {
        Invalidate();
        pictureLibraryShown(true);
    });
}

// The picture library's settings box leaves with the board. (A board being destroyed is
// hidden by the widget's own destructor, which no longer reaches this.)
void TForm3::hideEvent(QHideEvent* event) {
    SurfaceWindow::hideEvent(event);
    guarded([this] { pictureLibraryShown(false); });
}

void TForm3::showBoard() {
    if (auto* guard = findChild<QObject*>(QStringLiteral("openingClickGuard")))
        static_cast<OpeningClickGuard*>(guard)->boardOpened();
    setGeometry(0, 0, screenWidth(), screenHeight());
    showFullScreen();
    raise();
    activateWindow();
}

QString TForm3::pageTextFile(int page) const {
    return Board.pageTextFile(page);
}

void TForm3::loadBoardCursor(ToolCursor cursor) {
    loadToolCursor(BoardCursor, cursor);
}

// Pixels of the page shown changed: the surface shows them.
void TForm3::showPageChange(int page, TRect region) {
    if (page != Board.currentPage())
        return;
    fitSurfaceToScreen();
    if (region.isEmpty())
        region = {0, 0, screenWidth(), screenHeight()};
    canvas().copyRect(Board.current(), region);
    showSurface(region);
}
