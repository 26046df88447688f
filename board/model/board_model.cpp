#include "board/model/board_model.h"

#include "platform/raster/canvas.h"
#include "platform/raster/rich_text.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace platform;

BoardModel::BoardModel() {
    connect(&PanelText, &QTextDocument::contentsChanged, this, [this] {
        ++PanelTextRevision;
        emit panelTextChanged();
    });
}

void BoardModel::setPanelShown(bool shown) {
    if (PanelShown == shown)
        return;
    PanelShown = shown;
    emit panelChanged(currentPage());
}

void BoardModel::storePanelText() {
    saveRichText(PanelText, pageTextFile(currentPage()));
}

bool BoardModel::loadPanelText(int page) {
    return loadRichText(PanelText, pageTextFile(page));
}

void BoardModel::create(QSize screen, const QString& programFolder) {
    reset(screen);
    ProgramFolder = programFolder;
    ToolMode = PenTool;
    Zoom.releaseSource();
    BackdropActive = 0;
    FloatBitmap = QImage();
    BackdropBitmap = QImage();
    StampImage = QImage();
    // Page 1 is filled before it is first shown, and the undo snapshot is written before it
    // is read; neither takes memory until then.
    makePage(1);
    ScratchBitmap = makeUnfilledBitmap(screen.width(), screen.height());
    underlays_ = {};
    history_.clear();
    forgetUndo();
}

QString BoardModel::pageTextFile(int page) const {
    return ProgramFolder + QString::number(page);
}

void BoardModel::forgetPagePanels(int count) {
    for (int page = 1; page <= count; ++page) {
        setPanelBaked(page, 0);
        setPanelDocument(page, {});
        underlays_[page] = {};
    }
}

void BoardModel::restorePageAttributes(int page, int state, int kind, const QRect& panel,
                                       int baked) {
    setPageState(page, state);
    setPanelKind(page, kind);
    if (!panel.isNull())
        setPanelBounds(page, panel);
    setPanelBaked(page, baked);
}

void BoardModel::pagesReplaced(int count) {
    forgetUndo();
    history_.clear();
    emit historyChanged();
    BackdropActive = 0;
    forgetPagePanels(count);
    instruments_.closeAll();
    setPageCount(count);
    if (currentPage() > count)
        setCurrentPage(1);
    emit pageEntered(currentPage(), false);
    emit turnEnded();
}

void BoardModel::setPenColour(TColor colour) {
    PenColour = colour;
    emit penChanged();
}

void BoardModel::setPenWidth(int width) {
    width = clampPenWidth(width);
    if (width == PenWidth)
        return;
    PenWidth = width;
    emit penChanged();
}

void BoardModel::setSmoothInk(bool on) {
    if (on == smoothInk_)
        return;
    smoothInk_ = on;
    emit penChanged();
}

void BoardModel::setBackgroundColour(TColor colour) {
    BackgroundColour = colour;
    emit backgroundChanged();
}

TColor BoardModel::pageBackground(int page) {
    return pagePixel(page, backgroundSamplePoint(screenWidth())).value_or(clBlack);
}

void BoardModel::recordChange(const TRect& area) {
    pinUndone_ = false;
    history_.record(currentPage(), current(), area, pageState(currentPage()));
    emit historyChanged();
}

void BoardModel::fill(int page, TColor colour) {
    // A page cleared or with content is filled as a step; a page filled for the first time
    // has nothing to go back to.
    if (page == currentPage() && exists(page) && pageState(page) >= PageCleared)
        recordChange({0, 0, screenWidth(), screenHeight()});
    fillUnrecorded(page, colour);
}

void BoardModel::fillUnrecorded(int page, TColor colour) {
    fillPage(page, colour);
    underlays_[page] = {};
    emit pageChanged(page, {});
}

void BoardModel::clearCurrentPage() {
    // The step keeps the page's state from before the clear.
    if (exists(currentPage()) && pageState(currentPage()) >= PageCleared)
        recordChange({0, 0, screenWidth(), screenHeight()});
    setPageState(currentPage(), PageCleared);
    BackdropActive = 0;
    fillUnrecorded(currentPage(), BackgroundColour);
}

void BoardModel::prepareCurrentPage() {
    if (pageState(currentPage()) < PageCleared)
        fillUnrecorded(currentPage(), BackgroundColour);
    else
        BoardPaintMode = 1;
}

TRect BoardModel::strokeRegion() const {
    if (undoForgotten_)
        return {};
    // The box's right and bottom are pointer positions, so the region reaches the margin past
    // them as far as before the left and top: a click keeps a square of 2 x margin + 1.
    return Stroke.region(StrokeMarginOfBox);
}

std::vector<TRect> BoardModel::strokeParts(const TRect& area) const {
    if (area.isEmpty())
        return {};
    const TRect hole = area.intersected(strokeKeptOff_);
    if (hole.isEmpty())
        return {area};
    std::vector<TRect> parts{{area.left, area.top, area.right, hole.top},
                             {area.left, hole.bottom, area.right, area.bottom},
                             {area.left, hole.top, hole.left, hole.bottom},
                             {hole.right, hole.top, area.right, hole.bottom}};
    std::erase_if(parts, [](const TRect& part) { return part.isEmpty(); });
    return parts;
}

void BoardModel::keepStrokeOff(const TRect& covered) {
    strokeKeptOff_ = covered;
}

void BoardModel::forgetUndo() {
    Stroke.box = {10, 10, -10, -10};
    StrokeMarginOfBox = StrokeMargin;
    strokeKeptOff_ = {};
    undoForgotten_ = true;
    strokeHeld_ = false;
}

void BoardModel::beginStroke(int x, int y, int margin) {
    AnchorX = x;
    AnchorY = y;
    Stroke.begin({x, y});
    StrokeMarginOfBox = margin;
    strokeKeptOff_ = {};
    undoForgotten_ = false;
    strokeHeld_ = true;
}

void BoardModel::eraseStrokeBox(TColor background) {
    const TRect box = strokeBox();
    Canvas page(editCurrent());
    for (const TRect& part : strokeParts(box)) {
        if (BackdropActive == 1)
            page.copyRect(BackdropBitmap, part);
        else
            page.fillRect(part, background);
    }
    emit pageChanged(currentPage(), box);
}

void BoardModel::setAnchor(int x, int y) {
    AnchorX = x;
    AnchorY = y;
}

void BoardModel::beginPanelDrag(int x, int y, QSize panel) {
    setAnchor(x, y);
    PanelDragWidth = panel.width();
    PanelDragHeight = panel.height();
}

namespace {

// Whether two pictures of 32-bit pixels differ in a rectangle; pictures of another kind are
// taken to differ.
bool differ(const QImage& a, const QImage& b, const TRect& rect) {
    if (a.depth() != 32 || b.depth() != 32)
        return true;
    const TRect r =
        rect.intersected({0, 0, std::min(a.width(), b.width()), std::min(a.height(), b.height())});
    const std::size_t offset = static_cast<std::size_t>(std::max(0, r.left)) * 4;
    const std::size_t bytes = static_cast<std::size_t>(std::max(0, r.width())) * 4;
    for (int y = r.top; y < r.bottom; ++y) {
        if (std::memcmp(a.constScanLine(y) + offset, b.constScanLine(y) + offset, bytes) != 0)
            return true;
    }
    return false;
}

} // namespace

void BoardModel::commitStroke(const QImage& surface) {
    strokeHeld_ = false;
    const std::vector<TRect> parts = strokeParts(strokeRegion());
    if (parts.empty())
        return;
    // A release that changes nothing (a click, a press on a floating picture) is no step.
    const QImage& page = current();
    if (std::none_of(parts.begin(), parts.end(),
                     [&](const TRect& part) { return differ(surface, page, part); }))
        return;
    // The whole region is one step: what the release changes besides (an area erased, a
    // selection cut) lies inside it.
    recordChange(strokeRegion());
    Canvas into(editCurrent());
    for (const TRect& part : parts)
        into.copyRect(surface, part);
}

void BoardModel::undo() {
    // The held stroke's surface was drawn over the page as it is: changed under it, the
    // release would put the old pixels back with the stroke.
    if (strokeHeld_)
        return;
    // A picture placed and still floating is not in the page yet: taking it away is the step.
    const bool placedFloating = Floating.shown && FloatPlaced == 1;
    hideFloatingPicture();
    if (placedFloating) {
        FloatPlaced = 0;
        releaseZoomSource();
        return;
    }
    if (!canUndo())
        return;
    int state = pageState(currentPage());
    const std::optional<TRect> area = history_.undo(currentPage(), editCurrent(), state);
    setPageState(currentPage(), state);
    // A pin taken back is no pin: erasing would bring back the picture undo took away.
    if (BackdropActive == 1 && history_.lastStep(currentPage()) < pinStep_) {
        BackdropActive = 0;
        pinUndone_ = true;
    }
    emit pageChanged(currentPage(), area.value_or(TRect{}));
    emit historyChanged();
}

void BoardModel::redo() {
    if (strokeHeld_)
        return;
    hideFloatingPicture();
    if (!canRedo())
        return;
    int state = pageState(currentPage());
    const std::optional<TRect> area = history_.redo(currentPage(), editCurrent(), state);
    setPageState(currentPage(), state);
    if (pinUndone_ && history_.lastStep(currentPage()) == pinStep_) {
        BackdropActive = 1;
        pinUndone_ = false;
    }
    emit pageChanged(currentPage(), area.value_or(TRect{}));
    emit historyChanged();
}

void BoardModel::armTool(int mode) {
    dropFloatingPicture();
    if (mode == RangeSelection) {
        FloatPlaced = 0;
        releaseZoomSource();
    }
    ToolMode = mode;
    emit toolChanged();
}

void BoardModel::showFloatingPicture(const QImage& picture, QPoint topLeft) {
    Floating.picture = picture;
    Floating.bounds = QRect(topLeft, picture.size());
    Floating.shown = true;
    Floating.zoomFrame = false;
    emit floatingChanged();
}

void BoardModel::moveFloatingPicture(QPoint topLeft) {
    Floating.bounds.moveTopLeft(topLeft);
    emit floatingChanged();
}

void BoardModel::hideFloatingPicture() {
    if (!Floating.shown)
        return;
    Floating.shown = false;
    emit floatingChanged();
}

void BoardModel::releaseZoomSource() {
    Zoom.releaseSource();
}

// The part `from` of the floating picture goes to `to` in the current page. A picture placed
// on the page is content of the page from then on.
void BoardModel::commitFloating(const TRect& from, QPoint to) {
    recordChange({to.x(), to.y(), to.x() + from.width(), to.y() + from.height()});
    Canvas(editCurrent()).copyRect(Floating.picture, from, to);
    if (FloatPlaced == 1)
        setPageState(currentPage(), PageWithContent);
    emit pageChanged(currentPage(), TRect::fromQRect(Floating.bounds));
}

void BoardModel::copyFloatingPictureIntoPage() {
    if (!Floating.shown)
        return;
    const QRect r = Floating.bounds;
    // The outermost pixels stay out, and a zoom step's frame with them.
    const int inset = Floating.zoomFrame ? 2 : 1;
    commitFloating({1, 1, r.width() - inset, r.height() - inset},
                   QPoint(r.left() + 1, r.top() + 1));
}

void BoardModel::dropFloatingPicture() {
    if (!Floating.shown)
        return;
    copyFloatingPictureIntoPage();
    hideFloatingPicture();
    BoardPaintMode = 1;
}

void BoardModel::commitFloatingPictureOnPress() {
    if (!Floating.shown)
        return;
    const QRect r = Floating.bounds;
    const int w = r.width();
    const int h = r.height();
    if (FloatPlaced == 1) {
        commitFloating({0, 0, w, h}, r.topLeft());
    } else {
        // A selection's outermost pixels are its dotted frame; below 1 the frame is 2 wide.
        const int a = Zoom.factor() >= 1.0f ? 1 : 2;
        commitFloating({a, a, w - 2, h - 2}, QPoint(r.left() + a, r.top() + a));
    }
    FloatPlaced = 0;
    BoardPaintMode = 1;
    hideFloatingPicture();
    releaseZoomSource();
}

bool BoardModel::deleteFloatingSelection() {
    if (!Floating.shown || SelectionRight <= AnchorX)
        return false;
    const QRect r = Floating.bounds;
    Canvas(Floating.picture).fillRect({0, 0, r.width(), r.height()}, BackgroundColour);
    recordChange(TRect::fromQRect(r));
    Canvas(editCurrent()).fillRect(TRect::fromQRect(r), BackgroundColour);
    emit pageChanged(currentPage(), TRect::fromQRect(r));
    FloatPlaced = 0;
    SelectionRight = AnchorX;
    hideFloatingPicture();
    releaseZoomSource();
    return true;
}

void BoardModel::cutSelection(const QImage& surface, int x, int y, TColor background) {
    Zoom.restart();
    SelectionRight = x;
    SelectionBottom = y;
    const int w = std::max(0, x - AnchorX);
    const int h = std::max(0, y - AnchorY);
    FloatBitmap = makeBitmap(w, h);
    Canvas(FloatBitmap)
        .copyRect(surface, {AnchorX, AnchorY, AnchorX + w, AnchorY + h}, QPoint(0, 0));
    Canvas page(editCurrent());
    if (BackdropActive == 1) {
        for (const TRect& part : strokeParts(strokeBox()))
            page.copyRect(BackdropBitmap, part);
        emit pageChanged(currentPage(), strokeBox());
    } else {
        page.fillRect({AnchorX, AnchorY, AnchorX + w, AnchorY + h}, background);
    }
    showFloatingPicture(FloatBitmap, {AnchorX, AnchorY});
    BoardPaintMode = 1;
}

// A picture waiting for this release: a stamp or a picture at the press point, or a picture
// at the top left below the title bar.
void BoardModel::placePendingPicture() {
    QPoint at(AnchorX, AnchorY);
    if (PendingPlacement == StampPending) {
        FloatBitmap = StampImage;
        BoardPaintMode = 1;
    } else if (PendingPlacement == PictureBelowTitlePending) {
        at = QPoint(0, 35);
    }
    PendingPlacement = NothingPending;
    placeFloatingPicture(FloatBitmap, at);
}

void BoardModel::armPicture(int placement, const QImage& picture) {
    (placement == StampPending ? StampImage : FloatBitmap) = picture;
    PendingPlacement = placement;
}

void BoardModel::cancelPendingPlacement() {
    PendingPlacement = NothingPending;
    FloatBitmap = QImage();
}

void BoardModel::placeFloatingPicture(const QImage& picture, QPoint topLeft) {
    // A picture still floating (a selection cut from the page, an earlier scan) goes into the
    // page first: replaced, it would be lost and leave its hole behind.
    dropFloatingPicture();
    // A continuation belongs to the tall picture it was set for, and an armed own picture
    // (which waits in FloatBitmap) is given up to the picture placed now rather than placed
    // as this one at the next release.
    ContinuationPage = 0;
    PendingPlacement = NothingPending;
    Zoom.restart();
    FloatBitmap = picture;
    FloatPlaced = 1;
    showFloatingPicture(FloatBitmap, topLeft);
}

void BoardModel::zoomStep(bool enlarge) {
    if (!Floating.shown)
        return;
    const FloatingKind kind = FloatPlaced == 1 ? FloatingKind::Placed : FloatingKind::Selection;
    const ZoomDirection direction = enlarge ? ZoomDirection::Enlarge : ZoomDirection::Reduce;
    std::optional<QImage> result =
        Zoom.step(Floating.picture, direction, [&](QSize source, float factor) {
            return boardZoomRequest(source, factor, kind, ProgramFolder);
        });
    if (!result)
        return; // nothing to scale, or too large or too small to make: the picture stays
    QImage& picture = *result;
    const QPoint at =
        keptOnScreen(Floating.bounds.topLeft(), picture.size(), pageSize(), direction);
    const bool framed = Zoom.factor() >= 1.0f && kind == FloatingKind::Selection;
    if (framed) {
        Canvas frame(picture);
        frame.pen = Pen{1, PenColour, PenStyle::Dot};
        frame.brush.clear = true;
        frame.rectangle(0, 0, picture.width() - 1, picture.height() - 1);
    }
    showFloatingPicture(picture, at);
    Floating.zoomFrame = framed;
}

void BoardModel::adoptSelection(const QImage& picture, const QRect& bounds) {
    armTool(RangeSelection);
    FloatBitmap = picture.copy();
    Zoom.restart();
    Floating = {FloatBitmap, bounds, true};
    emit floatingChanged();
}

bool BoardModel::canTurnRight() const {
    const int page = currentPage();
    return page < MaxPages && (pageState(page) == PageWithContent || page < pageCount());
}

void BoardModel::enter(int page) {
    forgetUndo();
    pinUndone_ = false;
    emit pageLeaving(currentPage());
    const bool made = page > pageCount();
    setCurrentPage(page);
    emit historyChanged();
    if (made) {
        fillPage(page, BackgroundColour);
        setPageCount(page);
        setPanelBounds(page, panelBounds(page - 1));
    }
    emit pageEntered(page, made);
}

void BoardModel::choosePage(int page) {
    BackdropActive = 0;
    dropFloatingPicture();
    enter(page);
}

void BoardModel::bakePanel(const QImage& picture, const TRect& panel) {
    recordChange(panel);
    bakeUnrecorded(picture, panel);
}

void BoardModel::bakeUnrecorded(const QImage& picture, const TRect& panel) {
    Canvas(editCurrent())
        .copyRect(picture, {0, 0, panel.width(), panel.height()}, QPoint(panel.left, panel.top));
    emit pageChanged(currentPage(), panel);
}

// A pinned panel's pixels are the page's while the pin lasts (a turn ends it and leaves them
// in the page); a picture for the thumbnails while the page says it carries one.
bool BoardModel::underlayLive(int page) const {
    const Underlay& under = underlays_[page];
    if (under.place.isEmpty())
        return false;
    return under.pinned ? BackdropActive == 1 && page == currentPage() : panelBaked(page) == 1;
}

// The picture baked over the page before is taken out, and the page's own pixels under the
// panel are kept for when this one is.
void BoardModel::keepUnderPanel(const TRect& panel, bool pinned) {
    const int page = currentPage();
    if (underlayLive(page))
        putBackUnderPanel(panel);
    const TRect place = panel.intersected({0, 0, screenWidth(), screenHeight()});
    underlays_[page] = {};
    if (!place.isEmpty())
        underlays_[page] = {place, packPage(current().copy(place.toQRect())), pinned};
}

void BoardModel::bakePanelOver(const QImage& picture, const TRect& panel) {
    keepUnderPanel(panel, false);
    bakeUnrecorded(picture, panel);
    setPanelBaked(currentPage(), 1);
}

void BoardModel::putBackUnderPanel(const TRect& panel) {
    const int page = currentPage();
    const bool live = underlayLive(page);
    const Underlay under = std::exchange(underlays_[page], {});
    setPanelBaked(page, 0);
    if (live) {
        Canvas(editCurrent())
            .copyRect(unpackPage(under.pixels), {0, 0, under.place.width(), under.place.height()},
                      QPoint(under.place.left, under.place.top));
        emit pageChanged(page, under.place);
        return;
    }
    Canvas(editCurrent()).fillRect(panel, pageBackground(page));
    emit pageChanged(page, panel);
}

void BoardModel::clearBakedPanel(const TRect& panel) {
    if (panelBaked(currentPage()) == 1)
        putBackUnderPanel(panel);
}

void BoardModel::unpinPanel(const TRect& panel) {
    pinUndone_ = false;
    if (BackdropActive != 1)
        return;
    putBackUnderPanel(panel);
    BackdropActive = 0;
}

void BoardModel::pinPanel(const QImage& picture, const TRect& panel, TColor background) {
    // One step, with the place of a picture baked before that the pin takes out.
    TRect changed = panel;
    if (underlayLive(currentPage())) {
        const TRect before = underlays_[currentPage()].place;
        changed = {std::min(panel.left, before.left), std::min(panel.top, before.top),
                   std::max(panel.right, before.right), std::max(panel.bottom, before.bottom)};
    }
    recordChange(changed);
    pinStep_ = history_.lastStep(currentPage());
    keepUnderPanel(panel, true);
    bakeUnrecorded(picture, panel);
    if (BackdropBitmap.size() != pageSize())
        BackdropBitmap = makeBitmap(screenWidth(), screenHeight());
    Canvas backdrop(BackdropBitmap);
    backdrop.fillRect({0, 0, screenWidth(), screenHeight()}, background);
    backdrop.copyRect(picture, {0, 0, panel.width(), panel.height()},
                      QPoint(panel.left, panel.top));
    BackdropActive = 1;
}

void BoardModel::setBackdrop(const QImage& picture) {
    BackdropBitmap = picture;
    BackdropActive = 1;
    pinStep_ = 0; // no step of the history
    pinUndone_ = false;
}

void BoardModel::turnLeft() {
    BackdropActive = 0;
    dropFloatingPicture();
    if (currentPage() > 1)
        enter(currentPage() - 1);
    emit turnEnded();
}

void BoardModel::turnRight() {
    BackdropActive = 0;
    dropFloatingPicture();
    if (canTurnRight())
        enter(currentPage() + 1);
    continueOnThisPage();
    emit turnEnded();
}

// A picture taller than the screen shows its rest at the top of the page it continues on.
void BoardModel::continueOnThisPage() {
    if (ContinuationPage != currentPage())
        return;
    Floating.bounds.moveTop(90 - screenHeight());
    Floating.shown = true;
    ContinuationPage = 0;
    emit floatingChanged();
}

// The whole picture goes into the current page; without it, the selection floats.
void BoardModel::receive(const QImage* whole, const QImage& selection, const QRect& at) {
    if (whole == nullptr) {
        adoptSelection(selection, at);
        return;
    }
    recordChange({0, 0, screenWidth(), screenHeight()});
    Canvas(editCurrent()).copyRect(*whole, {0, 0, screenWidth(), screenHeight()});
}

void BoardModel::sendToCurrentPage(const QImage* whole, const QImage& selection, const QRect& at) {
    const int page = currentPage();
    if (pageState(page) == PageNeverPrepared)
        fillPage(page, BackgroundColour);
    receive(whole, selection, at);
    setPageState(page, PageWithContent);
    emit pageChanged(page, {});
}

bool BoardModel::sendToNextPage(const QImage* whole, const QImage& selection, const QRect& at) {
    dropFloatingPicture();
    const int page = currentPage();
    if (pageState(page) >= PageWithContent) {
        // The last page the store holds cannot turn: the page keeps its content.
        if (page >= MaxPages)
            return false;
        setPageState(page + 1, PageWithContent);
        turnRight();
    } else {
        fillPage(page, BackgroundColour);
        setPageState(page, PageWithContent);
    }
    receive(whole, selection, at);
    emit pageChanged(currentPage(), {});
    return true;
}
