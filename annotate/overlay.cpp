// The annotation overlay's window: its bars, the screen captured at each showing, painting,
// and the strokes, rubber bands and floating picture made with the mouse.
#include "annotate/overlay.h"

#include "annotate/overlay_instruments.h"
#include "platform/os/services.h"
#include "platform/widgets/button_pictures.h"
#include "platform/widgets/shell.h"
#include "presenting/presenting_tools.h"

#include <QMouseEvent>
#include <algorithm>

using namespace platform;

platform::SingleWindow<TForm2> Form2;

namespace {

constexpr TColor WidthBoxColour = 14850132;

// A screen-sized bitmap of the display's format holding the captured screen; a capture of
// another size or format is brought to it, and a failed one leaves it black.
QImage screenPicture(QImage grabbed, int sw, int sh) {
    if (grabbed.size() == QSize(sw, sh) && grabbed.format() == QImage::Format_RGB32)
        return grabbed;
    QImage picture = makeBitmap(sw, sh);
    Canvas(picture).drawImage(0, 0, grabbed);
    return picture;
}

} // namespace

TForm2::TForm2(BoardModel& board)
    : DrawingWindow(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), Board(board) {
    setWindowTitle(QStringLiteral("标注"));

    // Made before the bars so that it stays beneath them, as a picture drawn on the window does.
    Image1 = new FloatingPictureBox(this);

    buildSmallBar();
    buildFullBar();
    connectCommands();

    Presenting = new presenting::PresentingTools(
        this, [this]() -> const QImage& { return Surface; }, 0, Panel2);
    Presenting->attachBesideBar(Panel2);
    Presenting->attachBesideBar(Panel1);
    Instruments = new OverlayInstruments(*this);
}

void TForm2::buildSmallBar() {
    Panel2 = new Panel(this, 0, 0, 343, 41, clSkyBlue);
    SpeedButton20 = pictureButton(Panel2, 2, 1, 38, 38, QStringLiteral("清除"), Glyph::Clear);
    SpeedButton17 = pictureButton(Panel2, 40, 1, 38, 38, QStringLiteral("撤销"), Glyph::Undo);
    SpeedButton21 = toolButton(Panel2, 79, 1, 38, QStringLiteral("擦除"), Glyph::AreaErase);
    SpeedButton25 = toolButton(Panel2, 114, 1, 38, QStringLiteral("书写"), Glyph::Pen);
    SpeedButton27 = toolButton(Panel2, 153, 1, 36, QStringLiteral("画直线"), Glyph::Line);
    SpeedButton23 = pictureButton(Panel2, 189, 1, 38, 38, QStringLiteral("展开"), Glyph::Restore);
    SpeedButton22 = pictureButton(Panel2, 227, 1, 38, 38, QStringLiteral("消隐投影"), Glyph::Blank);
    SpeedButton19 = pictureButton(Panel2, 265, 1, 38, 38, QStringLiteral("帮助"), Glyph::Help);
    SpeedButton16 =
        pictureButton(Panel2, 303, 1, 38, 38, QStringLiteral("操作演示"), Glyph::Return);
    SpeedButton25->setChecked(true);
}

void TForm2::buildFullBar() {
    Panel1 = new Panel(this, 0, 0, 591, 40, clSkyBlue);
    SpeedButton9 = new SpeedButton(Panel1, 0, 1, 38, 38, QStringLiteral("笔画颜色"));
    LCP = new Swatch(Panel1, 1, 16, 36, 9, Annotation.penColour(), QString());
    Edit1 = new NumberBox(Panel1, 36, 1, 27, 38, 35, QString::number(Annotation.penWidth()),
                          QStringLiteral("笔画粗细"));
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { color: red; background: %1; }")
                             .arg(toQColor(WidthBoxColour).name()));
    SpeedButton7 =
        pictureButton(Panel1, 63, 0, 38, 19, QStringLiteral("笔画增粗"), Glyph::WiderPen);
    SpeedButton8 =
        pictureButton(Panel1, 63, 20, 38, 19, QStringLiteral("笔画变细"), Glyph::NarrowerPen);
    SpeedButton5 = pictureButton(Panel1, 101, 1, 38, 38, QStringLiteral("清除"), Glyph::Clear);
    SpeedButton24 = pictureButton(Panel1, 139, 1, 38, 38, QStringLiteral("撤销"), Glyph::Undo);
    SpeedButton2 = toolButton(Panel1, 177, 1, 38, QStringLiteral("擦除"), Glyph::AreaErase);
    SpeedButton4 = toolButton(Panel1, 214, 1, 38, QStringLiteral("书写"), Glyph::Pen);
    SpeedButton26 = toolButton(Panel1, 252, 1, 36, QStringLiteral("画直线"), Glyph::Line);
    SpeedButton15 = toolButton(Panel1, 288, 1, 38, QStringLiteral("选择范围"), Glyph::Select);
    SpeedButton13 = pictureButton(Panel1, 326, 1, 38, 19, QStringLiteral("截取画面到书写板当前页"),
                                  Glyph::Import);
    SpeedButton14 = pictureButton(Panel1, 326, 21, 38, 19,
                                  QStringLiteral("截取画面添加到书写板下一页"), Glyph::PageRight);
    SpeedButton11 =
        pictureButton(Panel1, 364, 1, 38, 19, QStringLiteral("对选取画面放大"), Glyph::ZoomIn);
    SpeedButton12 =
        pictureButton(Panel1, 364, 21, 38, 19, QStringLiteral("恢复原始大小"), Glyph::ZoomOut);
    SpeedButton6 =
        pictureButton(Panel1, 400, 1, 38, 38, QStringLiteral("书写板"), Glyph::Whiteboard);
    SpeedButton10 = pictureButton(Panel1, 438, 1, 38, 38, QStringLiteral("消隐投影"), Glyph::Blank);
    SpeedButton1 = pictureButton(Panel1, 476, 1, 38, 38, QStringLiteral("帮助"), Glyph::Help);
    SpeedButton18 = pictureButton(Panel1, 514, 1, 38, 38, QStringLiteral("缩减"), Glyph::Shrink);
    SpeedButton3 = pictureButton(Panel1, 552, 1, 38, 38, QStringLiteral("操作演示"), Glyph::Return);
    SpeedButton4->setChecked(true);
    Panel1->hide();
}

void TForm2::connectCommands() {
    // Buttons on both bars run one handler.
    onClick(SpeedButton20, &TForm2::SpeedButton20Click);
    onClick(SpeedButton17, &TForm2::SpeedButton17Click);
    onClick(SpeedButton24, &TForm2::SpeedButton17Click);
    onClick(SpeedButton21, &TForm2::SpeedButton2Click);
    onClick(SpeedButton2, &TForm2::SpeedButton2Click);
    onClick(SpeedButton25, &TForm2::SpeedButton4Click);
    onClick(SpeedButton4, &TForm2::SpeedButton4Click);
    onClick(SpeedButton27, &TForm2::SpeedButton26Click);
    onClick(SpeedButton26, &TForm2::SpeedButton26Click);
    onClick(SpeedButton22, &TForm2::SpeedButton10Click);
    onClick(SpeedButton10, &TForm2::SpeedButton10Click);
    onClick(SpeedButton23, &TForm2::SpeedButton23Click);
    onClick(SpeedButton19, &TForm2::SpeedButton19Click);
    onClick(SpeedButton16, &TForm2::SpeedButton16Click);
    onClick(SpeedButton9, &TForm2::SpeedButton9Click);
    connect(LCP, &Swatch::clicked, this, [this] { guarded([this] { LCPClick(); }); });
    onClick(SpeedButton7, &TForm2::SpeedButton7Click);
    onClick(SpeedButton8, &TForm2::SpeedButton8Click);
    onClick(SpeedButton5, &TForm2::SpeedButton5Click);
    onClick(SpeedButton15, &TForm2::SpeedButton15Click);
    onClick(SpeedButton13, &TForm2::SpeedButton13Click);
    onClick(SpeedButton14, &TForm2::SpeedButton14Click);
    onClick(SpeedButton11, &TForm2::SpeedButton11Click);
    onClick(SpeedButton12, &TForm2::SpeedButton12Click);
    onClick(SpeedButton6, &TForm2::SpeedButton6Click);
    onClick(SpeedButton1, &TForm2::SpeedButton1Click);
    onClick(SpeedButton18, &TForm2::SpeedButton18Click);
    onClick(SpeedButton3, &TForm2::SpeedButton3Click);

    connect(Image1, &ImageBox::mouseDown, this, [this](Qt::MouseButton b, int x, int y) {
        guarded([&] { Image1MouseDown(b, x, y); });
    });
    connect(Image1, &ImageBox::mouseMove, this, [this](Qt::MouseButtons b, int x, int y) {
        guarded([&] { Image1MouseMove(b, x, y); });
    });
    // Where the floating picture no longer lies, the window shows the annotated picture, as a
    // repaint of the window there would.
    connect(Image1, &FloatingPictureBox::uncovered, this,
            [this](const QRect& area) { repaintFromScratch(TRect::fromQRect(area)); });

    connect(&Annotation, &AnnotationModel::toolChanged, this, [this] { showTool(); });
    connect(&Annotation, &AnnotationModel::penWidthChanged, this, [this](int width) {
        Edit1->setText(QString::number(width));
        canvas().pen.width = width;
    });
    connect(&Annotation, &AnnotationModel::penColourChanged, this, [this](TColor colour) {
        LCP->setColor(colour);
        canvas().pen.color = colour;
    });
    connect(&Annotation, &AnnotationModel::floatingChanged, this,
            [this] { showFloatingPicture(); });
}

void TForm2::FormCreate() {
    const int sw = screenWidth();
    Panel2->move(sw - ToolbarDockOffset, 0);
    Panel1->move(sw - Panel1->width(), 0);
    placeInstrumentsBar();
    loadOverlayCursor(ToolCursor::Pen);
    OverlayReady = 0;
    canvas().brush.clear = true;
    canvas().pen = Pen{Annotation.penWidth(), Annotation.penColour(), PenStyle::Solid};
}

void TForm2::loadOverlayCursor(ToolCursor cursor) {
    loadToolCursor(OverlayCursor, cursor);
}

void TForm2::repaintFromScratch(const TRect& area) {
    canvas().copyRect(Board.scratchBitmap(), area);
    showSurface(area);
}

// Image1 shows the model's floating selection; when it goes, the window shows the annotated
// picture over its box and the margin beside it.
void TForm2::showFloatingPicture() {
    const FloatingPicture& f = Annotation.floating();
    if (f.shown) {
        Image1->showPicture(f.picture, f.bounds);
        return;
    }
    if (Image1->isHidden())
        return;
    const TRect region =
        TRect::fromQRect(Image1->geometry()).inflated(AnnotationModel::RepaintMargin);
    Image1->hide();
    repaintFromScratch(region);
}

// The overlay is shown by the toolbar alone, and every showing is an opening: the screen is
// captured before the window maps, so that the capture cannot hold the overlay itself.
void TForm2::setVisible(bool visible) {
    if (visible && isHidden())
        guarded([this] { FormShow(); });
    SurfaceWindow::setVisible(visible);
}

void TForm2::openAnnotation() {
    // The capture in FormShow waits until the toolbar's unmap has reached the X server.
    shell().hideToolbar();
    ShowModal();
}

void TForm2::placeInstrumentsBar() {
    Instruments->placeButton(Panel1->x() - presenting::PresentingTools::PieceWidth);
}

void TForm2::FormShow() {
    const int sw = screenWidth();
    const int sh = screenHeight();
    setGeometry(0, 0, sw, sh);
    Panel1->move(sw - Panel1->width(), 0);
    placeInstrumentsBar();
    Panel1->hide();
    Panel2->show();
    // Every showing makes the three pictures anew from the capture; they share its pixels
    // until a change to one of them copies them.
    QImage& scratch = Board.editScratchBitmap();
    scratch = screenPicture(display().grabScreen(), sw, sh);
    OverlayReady = 1;
    Annotation.keepUndo(scratch);
    ScreenCapture = scratch;
    // The whiteboard's undo restores from the same picture: it must not bring any of the
    // overlay into a page.
    Board.forgetUndo();
    FormPaint();
}

void TForm2::FormPaint() {
    drawOnSurface(Board.scratchBitmap());
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseDown(event->button(), p.x(), p.y()); });
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseMove(event->buttons(), p.x(), p.y()); });
}

void TForm2::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    guarded([&] { FormMouseUp(event->button(), p.x(), p.y()); });
}

// The floating picture goes into the annotated picture without its outermost pixels, which
// hold the dotted selection frame.
void TForm2::dropIntoScratch() {
    QImage& scratch = Board.editScratchBitmap();
    Annotation.keepUndo(scratch);
    const FloatingPicture& f = Annotation.floating();
    const QRect r = f.bounds;
    Canvas(scratch).copyRect(f.picture, {1, 1, r.width() - 1, r.height() - 1},
                             QPoint(r.left() + 1, r.top() + 1));
    Annotation.hideFloating();
}

void TForm2::FormMouseDown(Qt::MouseButton, int x, int y) {
    if (Annotation.overlayTool() == OverlayRange) {
        canvas().pen.width = 1;
        canvas().pen.style = PenStyle::Dot;
        if (Annotation.floating().shown)
            dropIntoScratch();
    }
    Annotation.beginStroke({x, y});
    canvas().moveTo(x, y);
}

void TForm2::FormMouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    Annotation.extendStroke({x, y});
    Canvas& c = canvas();
    const int tool = Annotation.overlayTool();
    if (tool == OverlayPen) {
        showSurface(penSegmentTo(c, {x, y}));
        return;
    }
    // The rubber band of the last move is wiped with the whole box before the new one.
    const TRect region = Annotation.strokeRegion();
    drawRubberBand(c, Board.scratchBitmap(), region,
                   tool == OverlayLine ? RubberBand::Line : RubberBand::Rectangle,
                   Annotation.anchor(), {x, y});
    showSurface(region);
}

void TForm2::FormMouseUp(Qt::MouseButton, int x, int y) {
    QImage& scratch = Board.editScratchBitmap();
    if (Annotation.overlayTool() == OverlayRange) {
        const int ax = Annotation.anchor().x();
        const int ay = Annotation.anchor().y();
        const int w = std::max(0, x - ax);
        const int h = std::max(0, y - ay);
        if (w == 0 || h == 0)
            FormPaint();
        // A copy of the range as the window shows it, dotted frame and all; the pixels under
        // it stay where they are.
        QImage selection = makeBitmap(w, h);
        Canvas(selection).copyRect(Surface, {ax, ay, ax + w, ay + h}, QPoint(0, 0));
        Annotation.select(selection, QRect(ax, ay, w, h));
        Annotation.keepUndo(scratch);
    } else {
        const TRect region = Annotation.strokeRegion();
        // The eraser gives back the captured screen wherever the pointer went, not only
        // inside the rectangle it ended with.
        if (Annotation.overlayTool() == OverlayEraser)
            canvas().copyRect(ScreenCapture, region);
        Annotation.keepUndo(scratch);
        Canvas(scratch).copyRect(Surface, region);
        showSurface(region);
    }
    Annotation.endStroke({x, y});
}

void TForm2::Image1MouseDown(Qt::MouseButton, int x, int y) {
    Annotation.grabFloating({x, y});
}

void TForm2::Image1MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    Annotation.moveFloating(Annotation.floating().bounds.topLeft() + QPoint(x, y) -
                            Annotation.anchor());
    Board.setBoardPaintMode(1);
}
