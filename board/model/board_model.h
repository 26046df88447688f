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
#include "board/model/picture_zoom.h"
#include "board/model/stroke.h"
#include "instruments/model/instrument_model.h"
#include "platform/raster/tcolor.h"

#include <QImage>
#include <QString>
#include <QTextDocument>
#include <optional>
#include <vector>

// What waits in PendingPlacement for the next release on the board.
enum PendingPlacements {
    NothingPending = 0,
    StampPending,            // StampImage at the press point
    PicturePending,          // FloatBitmap at the press point
    PictureBelowTitlePending // FloatBitmap at (0, 35), below the title bar
};

class BoardModel : public PageStore, private DrawingState {
    Q_OBJECT
public:
    BoardModel();

    // The board's one-level undo snapshot, which is also the annotation's picture: the overlay
    // draws into it while it is open (editScratchBitmap), which nothing else follows.
    const QImage& scratchBitmap() const { return ScratchBitmap; }
    QImage& editScratchBitmap() { return ScratchBitmap; }
    void setScratchBitmap(const QImage& picture) { ScratchBitmap = picture; }
    // While a pinned panel lasts (BackdropActive 1), what erasing and cutting restore.
    int backdropActive() const { return BackdropActive; }
    const QImage& backdropBitmap() const { return BackdropBitmap; }
    // `picture` becomes what erasing and cutting restore, as a pinned panel makes it.
    void setBackdrop(const QImage& picture);
    const QImage& floatBitmap() const { return FloatBitmap; }
    int floatPlaced() const { return FloatPlaced; }
    int pendingPlacement() const { return PendingPlacement; }
    const QImage& stampImage() const { return StampImage; }
    // The folder the stamps are read from; the picture library sets it when it opens.
    const QString& stampFolder() const { return StampFolder; }
    void setStampFolder(const QString& folder) { StampFolder = folder; }
    // The folder of the running program, with a trailing separator.
    const QString& programFolder() const { return ProgramFolder; }
    void setProgramFolder(const QString& folder) { ProgramFolder = folder; }
    // What the board's next paint draws: below 2 (the only values it takes) the current page.
    // Commands that changed a page or closed a window over the board set it to 1.
    int boardPaintMode() const { return BoardPaintMode; }
    void setBoardPaintMode(int mode) { BoardPaintMode = mode; }
    // The page on which a picture taller than the screen continues; 0 for none.
    int continuationPage() const { return ContinuationPage; }
    void setContinuationPage(int page) { ContinuationPage = page; }

    // The picture library's own pictures, which the picture import fills.
    const OwnPictureList& ownPictures() const { return OwnPictures; }
    void setOwnPicturesLoadState(int state) { OwnPictures.LoadState = state; }
    void forgetLastImport() { OwnPictures.LastImportIndex = -1; }

    // The floating picture as shown.
    const FloatingPicture& floating() const { return Floating; }

    // The pen and the background as values; the board's controls show them.
    TColor penColour() const { return PenColour; }
    TColor backgroundColour() const { return BackgroundColour; }
    int penWidth() const { return PenWidth; }

    // The drawing state.
    int toolMode() const { return ToolMode; }
    int anchorX() const { return AnchorX; }
    int anchorY() const { return AnchorY; }
    // Where a press on the floating picture or the panel's drag bar began.
    void setAnchor(int x, int y);
    int selectionRight() const { return SelectionRight; }
    int selectionBottom() const { return SelectionBottom; }
    // The floating picture's zoom: 1 while it holds the picture its steps scale from, and its
    // factor, which is 0 until a picture is first cut or placed.
    int zoomImageHeld() const { return Zoom.holdsSource() ? 1 : 0; }
    float zoomFactor() const { return Zoom.factor(); }
    int strokeMarginOfBox() const { return StrokeMarginOfBox; }
    // A press on the text panel's drag bar or its editor's border: the press point and the
    // panel's size then, which a resize adds the pointer's way to.
    void beginPanelDrag(int x, int y, QSize panel);
    int panelDragWidth() const { return PanelDragWidth; }
    int panelDragHeight() const { return PanelDragHeight; }

    // Starts the store for a screen: page 1 made but not filled, the undo snapshot empty.
    void create(QSize screen, const QString& programFolder);
    // The file that keeps the text panel's document of a page while the program runs: the
    // page number in the program folder, without an extension.
    QString pageTextFile(int page) const;
    // Pages 1..count were replaced from outside (a lesson was opened): they are the pages now,
    // nothing of the old pages' undo, backdrop, baked panels or instruments stays, and the
    // board shows its current page again, page 1 when the current one lies beyond them.
    void pagesReplaced(int count);
    // A page brought back from elsewhere (the recovery folder) takes its state and its panel's
    // kind, place (unless `panel` is null) and baked mark as they were kept.
    void restorePageAttributes(int page, int state, int kind, const QRect& panel, int baked);
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
    // The clear command: the current page takes the background colour, is cleared and blank,
    // and a pin ends.
    void clearCurrentPage();
    // Before the board is shown: a page never shown is filled with the background colour,
    // any other is painted as it is.
    void prepareCurrentPage();

    // The geometry instruments lying over the pages.
    InstrumentModel& instruments() { return instruments_; }

    // Strokes and undo. The stroke box and its margin, empty after forgetUndo: without the
    // place the stroke is kept off (strokeParts), the region undo restores and a release
    // commits.
    TRect strokeRegion() const;
    // The stroke box itself: without the same place, what area erase clears.
    TRect strokeBox() const { return Stroke.box; }
    // The parts of `area` outside the place the stroke is kept off: at most four rectangles.
    std::vector<TRect> strokeParts(const TRect& area) const;
    void forgetUndo();
    // A press starts a stroke: the box is the point, with the margin its pen needs, kept off
    // nothing.
    void beginStroke(int x, int y, int margin);
    // A move of the stroke reaches (x, y): the box grows to hold it.
    void extendStroke(int x, int y) { Stroke.extend({x, y}); }
    // The area erase's release: the stroke box, without the place the stroke is kept off,
    // takes the backdrop while a pinned panel lasts, else `background`.
    void eraseStrokeBox(TColor background);
    // Keeps the stroke's commit and undo region off `covered`, a control's place whose page
    // pixels are out of sight while it is drawn. The box keeps the whole stroke.
    void keepStrokeOff(const TRect& covered);
    bool undoForgotten() const { return undoForgotten_; }
    // The region of the drawn surface into the page, a step of the page's history.
    void commitStroke(const QImage& surface);
    // The current page one step back or forward in its history (page_history.h); a floating
    // picture is discarded first. Every change of a page's pixels through the model is a
    // step, but for the first filling of a page and the pictures the thumbnails need. While a
    // stroke is held (from beginStroke to its commitStroke or a forgetUndo) both do nothing.
    void undo();
    void redo();
    bool canUndo() const { return history_.canUndo(currentPage()); }
    bool canRedo() const { return history_.canRedo(currentPage()); }
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
    bool placementPending() const { return PendingPlacement != NothingPending; }
    // `picture` waits for the next release, to be placed as `placement` says: into
    // StampImage for StampPending, else into FloatBitmap.
    void armPicture(int placement, const QImage& picture);
    // Nothing waits for the next release any more; an own picture armed is let go.
    void cancelPendingPlacement();
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

    // The text panel of the current page: whether it is shown, and its text, the document
    // its editor shows, with a number that changes with every change of it. The texts of the
    // other pages are in their files (pageTextFile); a turn and closing the panel put the
    // text there.
    bool panelShown() const { return PanelShown; }
    void setPanelShown(bool shown);
    QTextDocument& panelText() { return PanelText; }
    const QTextDocument& panelText() const { return PanelText; }
    qint64 panelTextRevision() const { return PanelTextRevision; }
    // The text into the current page's file, and a page's file into the text: false, with the
    // text as it was, when the page has no file.
    void storePanelText();
    bool loadPanelText(int page);

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
    // A pinned panel closed: the page's own pixels go back under it, and the pin ends.
    void unpinPanel(const TRect& panel);
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
    // The text of the current page's panel changed.
    void panelTextChanged();

private:
    QImage ScratchBitmap;
    int BackdropActive = 0;
    QImage BackdropBitmap;
    QImage FloatBitmap;
    int FloatPlaced = 0;
    int PendingPlacement = NothingPending;
    QImage StampImage;
    QString StampFolder;
    int PanelDragWidth = 0;
    int PanelDragHeight = 0;
    QString ProgramFolder;
    int BoardPaintMode = 0;
    int ContinuationPage = 0;
    OwnPictureList OwnPictures;
    FloatingPicture Floating;
    PictureZoom Zoom{0.0f};
    // The box of the last stroke; its anchor is the press that began it.
    StrokeBox Stroke;
    TColor PenColour = 0x000080FF;
    TColor BackgroundColour = 0x00400000;
    int PenWidth = 2;
    bool PanelShown = false;
    QTextDocument PanelText;
    qint64 PanelTextRevision = 0;

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
    bool strokeHeld_ = false;
    // The pin's step in the history: undone, the pin ends; redone while nothing else changed
    // the page, the backdrop or the page shown (pinUndone_), the pin comes back.
    std::uint64_t pinStep_ = 0;
    bool pinUndone_ = false;
    TRect strokeKeptOff_;
    PerPage<Underlay> underlays_;
    InstrumentModel instruments_;
    PageHistory history_;
    bool smoothInk_ = false;
};
