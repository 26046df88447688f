// The whiteboard's state as a model that windows show and change: the pages, the scratch
// pictures, the drawing state, the floating picture, the pen and the background colour, and
// the operations every window needs on them. It says what changed through its signals; it
// knows no window.
#pragma once

#include "board/model/drawing_state.h"
#include "board/model/floating_picture.h"
#include "board/model/own_pictures.h"
#include "board/model/page_history.h"
#include "board/model/page_store.h"
#include "board/model/pen_rules.h"
#include "platform/raster/tcolor.h"

#include <QImage>
#include <QString>
#include <optional>
#include <vector>

class BoardModel : public PageStore, public DrawingState {
    Q_OBJECT
public:
    BoardModel() = default;

    // The board's one-level undo snapshot, and the annotation's frozen desktop picture.
    QImage ScratchBitmap;
    int BackdropActive = 0;
    QImage BackdropBitmap;
    QImage FloatBitmap;
    int FloatPlaced = 0;
    int PendingPlacement = 0;
    QImage StampImage;
    QString StampFolder;
    int PanelDragWidth = 0;
    int PanelDragHeight = 0;
    // The folder of the running program, with a trailing separator.
    QString ProgramFolder;
    // Below 2 the board paints its current page; 2 paints LessonPicture once into page
    // LessonLoadPage.
    int BoardPaintMode = 0;
    QImage LessonPicture;
    int LessonLoadPage = 1;
    // The page on which a picture taller than the screen continues; 0 for none.
    int ContinuationPage = 0;

    // The picture library's own pictures, which the picture import fills.
    OwnPictureList OwnPictures;

    // The floating picture as shown, and the picture its zoom steps scale from.
    FloatingPicture Floating;
    std::optional<CapturedPicture> ZoomSource;

    // The pen and the background as values; the board's controls show them.
    TColor PenColour = 0x000080FF;
    TColor BackgroundColour = 0x00400000;
    int PenWidth = 2;

    // Starts the store for a screen: page 1 made but not filled, the undo snapshot empty.
    void create(QSize screen, const QString& programFolder);
    // The file that keeps the text panel's document of a page while the program runs: the
    // page number in the program folder, without an extension.
    QString pageTextFile(int page) const;
    // Every change of PageCount goes through here, so that what shows the count follows it.
    void setPageCount(int count);
    // Pages 1..count were replaced from outside (a lesson was opened): they are the pages now,
    // nothing of the old pages' undo, backdrop or baked panels stays, and the board shows its
    // current page again, page 1 when the current one lies beyond them.
    void pagesReplaced(int count);
    // What pages 1..count had of their panels in this run (baked pictures, document paths,
    // the pixels kept from under a baked panel) is forgotten.
    void forgetPagePanels(int count);
    int screenWidth() const { return pageSize().width(); }
    int screenHeight() const { return pageSize().height(); }

    void setPenColour(TColor colour);
    // Held to 1..9 (clampPenWidth); says so only when the width changes.
    void setPenWidth(int width);
    void setBackgroundColour(TColor colour);
    // Smooth ink: the pen draws anti-aliased curves through the pointer's samples and the
    // shapes are anti-aliased; off, every tool draws the exact aliased pixels.
    void setSmoothInk(bool on);
    bool smoothInk() const { return smoothInk_; }

    // The background colour of a page as its picture holds it.
    TColor pageBackground(int page);
    // Fills a page with a colour and says so; nothing kept from under a baked panel of the page
    // comes back after that.
    void fill(int page, TColor colour);
    // Before the board is shown: a page never shown is filled with the background colour,
    // any other is painted as it is.
    void prepareCurrentPage();

    // Strokes and undo. The stroke box and its margin, empty after forgetUndo: without the
    // place the stroke is kept off (strokeParts), the region undo restores and a release
    // commits.
    TRect strokeRegion() const;
    // The stroke box itself: without the same place, what area erase clears.
    TRect strokeBox() const;
    // The parts of `area` outside the place the stroke is kept off: at most four rectangles.
    std::vector<TRect> strokeParts(const TRect& area) const;
    void forgetUndo();
    // A press starts a stroke: the box is the point, with the margin its pen needs, kept off
    // nothing.
    void beginStroke(int x, int y, int margin);
    // Keeps the stroke's commit and undo region off `covered`, a control's place whose page
    // pixels are out of sight while it is drawn. The box keeps the whole stroke.
    void keepStrokeOff(const TRect& covered);
    bool undoForgotten() const { return undoForgotten_; }
    // The region of the drawn surface into the page, a step of the page's history.
    void commitStroke(const QImage& surface);
    // The current page one step back or forward in its history (page_history.h); a floating
    // picture is discarded first. Every change of a page's pixels through the model is a
    // step, but for the first filling of a page and the pictures the thumbnails need.
    void undo();
    void redo();
    bool canUndo() const { return history_.canUndo(CurrentPage); }
    bool canRedo() const { return history_.canRedo(CurrentPage); }
    const PageHistory& history() const { return history_; }

    // Tools: a shown floating picture is committed first.
    void armTool(int mode);

    // The floating picture.
    void showFloatingPicture(const QImage& picture, QPoint topLeft);
    void moveFloatingPicture(QPoint topLeft);
    void hideFloatingPicture();
    bool floatingShown() const { return Floating.shown; }
    // Commits a shown floating picture into the page before another command (the plain form:
    // its outermost pixels stay out).
    void dropFloatingPicture();
    // The same copy into the page, the picture staying where it floats.
    void copyFloatingPictureIntoPage();
    // Commits it on a press on the board: a placed picture whole, a selection without its
    // frame; it is then no longer a picture of its own.
    void commitFloatingPictureOnPress();
    // The clear command's part: a floating selection is deleted with the page under it.
    bool deleteFloatingSelection();
    // The selection from the anchor to (x, y) of the surface, frame and all, becomes the
    // floating picture; its place in the page takes the background.
    void cutSelection(const QImage& surface, int x, int y, TColor background);
    // The picture waiting for this release is placed.
    void placePendingPicture();
    // `picture` becomes the floating picture at `topLeft`, of the placed kind, with a fresh
    // zoom state; one still shown is committed into the page first. No continuation and no
    // armed placement outlive it.
    void placeFloatingPicture(const QImage& picture, QPoint topLeft);
    // One zoom step, always scaled from the picture as it was before the first step.
    void zoomStep(bool enlarge);
    void releaseZoomSource();
    // A selection made elsewhere becomes the board's floating selection, in range selection.
    void adoptSelection(const QImage& picture, const QRect& bounds);

    // The picture library. A stamp (a ".jt" file in StampFolder) is armed for the next
    // release; false, with whatever was armed before kept, when it cannot be read.
    bool armStamp(const QString& fileName);
    // The own picture under height y of the list is armed: a picture at least as wide as the
    // screen brought to the screen's width for (0, 35), a narrower one at its own size for the
    // press point; either brought down to the largest picture the conversion makes when it
    // would be larger. False, with nothing changed, below the last thumbnail or when the file
    // can no longer be read.
    bool armOwnPicture(int y);
    // The import's changes to the own pictures: the list emptied at a height, one picture
    // appended in the next slot, the list's height.
    void clearOwnPictures(int height);
    void appendOwnPicture(const QImage& thumbnail, const QString& path);
    void setOwnPicturesHeight(int height);

    // Turning pages. The turns do what is not about controls; the signals tell windows the rest.
    bool canTurnRight() const;
    void turnLeft();
    void turnRight();

    // Another page chosen from the thumbnail strip: left and entered as a turn does.
    void choosePage(int page);

    // The text panel and the page under it. `panel` is the panel's place; `picture` what the
    // window shows there (board/panel_picture.h).
    // The picture goes into the current page at the panel's place for good.
    void bakePanel(const QImage& picture, const TRect& panel);
    // The picture goes into the current page at the panel's place for the thumbnails to show
    // (PanelBaked := 1), the page's own pixels there kept to be put back when the panel leaves
    // that place. A picture baked so before on the page (or pinned) is taken out first.
    void bakePanelOver(const QImage& picture, const TRect& panel);
    // Takes a picture baked over the current page out again: the page's own pixels go back
    // where it was baked, or, where they are not known (a page brought back after a crash),
    // `panel` takes the page's background colour. PanelBaked := 0. clearBakedPanel does it
    // only for a page that carries a picture for the thumbnails (PanelBaked).
    void putBackUnderPanel(const TRect& panel);
    void clearBakedPanel(const TRect& panel);
    // The panel's picture goes into the current page as bakePanelOver does, and becomes the
    // backdrop that erasing and cutting restore, on a backdrop of `background` elsewhere. The
    // page's own pixels under it are kept while the pin lasts (closing the panel puts them
    // back); a turn leaves the picture in the page.
    void pinPanel(const QImage& picture, const TRect& panel, TColor background);

    // The annotated picture sent to the board: `whole` into the current page, or, without it,
    // only the selection, which becomes the board's floating selection at `at`. A page with
    // content is turned first for the next page; at the last page that is refused (false),
    // after the board's own floating picture has been dropped.
    void sendToCurrentPage(const QImage* whole, const QImage& selection, const QRect& at);
    bool sendToNextPage(const QImage* whole, const QImage& selection, const QRect& at);

signals:
    void pageCountChanged(int count);
    // Pixels of a page changed by the model; an empty region means the whole page.
    void pageChanged(int page, TRect region);
    void floatingChanged();
    void toolChanged();
    void penChanged();
    void backgroundChanged();
    // A turn is about to leave the current page, has entered a page (made new or not), and
    // has ended, turned or refused.
    void pageLeaving(int page);
    void pageEntered(int page, bool made);
    void turnEnded();
    // The own pictures' thumbnails, paths or height changed.
    void ownPicturesChanged();
    // What undo and redo can do on the current page may have changed.
    void historyChanged();

private:
    // Before `area` of the current page changes: the step that undo takes back.
    void recordChange(const TRect& area);
    void fillUnrecorded(int page, TColor colour);
    void bakeUnrecorded(const QImage& picture, const TRect& panel);
    void commitFloating(const TRect& from, QPoint to);
    void enter(int page);
    void continueOnThisPage();
    void receive(const QImage* whole, const QImage& selection, const QRect& at);
    // A page's own pixels under a picture of its panel baked over them: where, and the
    // pixels. `pinned` for a pinned panel's, which lives as long as the pin.
    struct Underlay {
        TRect place;
        PackedPage pixels;
        bool pinned = false;
    };
    bool underlayLive(int page) const;
    void keepUnderPanel(const TRect& panel, bool pinned);

    bool undoForgotten_ = true;
    TRect strokeKeptOff_;
    PerPage<Underlay> underlays_;
    PageHistory history_;
    bool smoothInk_ = false;
};
