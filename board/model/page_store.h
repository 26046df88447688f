// The whiteboard's pages: up to 99 screen-sized pictures with their per-page attributes.
// The page shown is kept expanded; every other page is kept packed (page_codec.h), packed on
// a worker thread after it is left, so that a turn never waits for it. Every reader and writer
// of a page's pixels goes through this store.
#pragma once

#include "board/model/page_codec.h"
#include "board/model/page_states.h"
#include "platform/raster/rect.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QThreadPool>
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

constexpr int MaxPages = 99;

// An array indexed by page number 1..99; index 0 is never used. A page number outside 0..99
// is a fault of the caller and throws, which ends the command with an error box.
template <typename T> class PerPage {
public:
    T& operator[](int page) { return items_.at(static_cast<std::size_t>(page)); }
    const T& operator[](int page) const { return items_.at(static_cast<std::size_t>(page)); }

private:
    std::array<T, MaxPages + 1> items_{};
};

class PageStore : public QObject {
    Q_OBJECT
public:
    PageStore();
    ~PageStore() override;

    int pageCount() const { return PageCount; }
    int currentPage() const { return CurrentPage; }
    // Every change of PageCount goes through here, so that what shows the count follows it.
    void setPageCount(int count);

    int pageState(int page) const { return PageState[page]; }
    void setPageState(int page, int state);
    // A stroke, a panel or a picture put on the page: it has content from now on.
    void markContent(int page) {
        if (PageState[page] < PageWithContent)
            setPageState(page, PageWithContent);
    }

    // The text panel of a page: where it stands, whether it carries a picture of itself baked
    // into the page, and the document a panel of kind DocumentPanel shows, by path.
    QRect panelBounds(int page) const;
    void setPanelBounds(int page, const QRect& bounds);
    int panelBaked(int page) const { return PanelBaked[page]; }
    const QString& panelDocument(int page) const { return PanelDocument[page]; }
    void setPanelDocument(int page, const QString& path);

    // Forgets every page; pages are made at this size from now on.
    void reset(QSize pageSize);
    QSize pageSize() const { return pageSize_; }

    bool exists(int page) const;
    // Makes a page that was not there: black, and costing nothing until it is written. Its
    // panel kind starts at 0.
    void makePage(int page);
    // Makes the page if it is not there, and gives every pixel one colour.
    void fillPage(int page, TColor colour);
    // The page's PanelKinds value. It lives and dies with the page's picture.
    int panelKind(int page) const;
    void setPanelKind(int page, int kind);

    // The current page's pixels, to read.
    const QImage& current();
    // Any page's pixels, expanded for the length of a call: the current page's own, any other
    // page's a copy that is dropped again. `write` gives it back as the page's new content.
    QImage pagePicture(int page);
    // The same, a page held packed expanded into `reuse` when that is a page-sized picture no
    // one else holds: a caller that reads pages often keeps one and spares fresh memory.
    QImage pagePicture(int page, QImage reuse);
    void writePage(int page, const QImage& picture);
    // One pixel of a page, read without expanding the whole of a packed page; nothing for a
    // page that is not there or a point outside it.
    std::optional<TColor> pagePixel(int page, QPoint at);

    // Makes another page the current one: the page left is packed in the background.
    void setCurrentPage(int page);

    // Changed by every change of a page's pixels, so that a copy made earlier can tell that it
    // is out of date. A version is never given twice in the store's life, also not across a
    // reset, so that equal versions mean equal pixels.
    std::uint64_t version(int page) const;

    // A page as it stands, for a copy kept outside the store: its packed form when that is
    // up to date, else its pixels (shared with the store, not copied: the first change to the
    // page after this makes the store's own copy).
    struct PageCopy {
        std::uint64_t version = 0;
        std::optional<PackedPage> packed;
        QImage picture;
    };
    PageCopy pageCopy(int page);
    // Gives a page a packed content without expanding it; the current page is expanded.
    void writePacked(int page, PackedPage packed);
    // The memory one page holds, expanded and packed, and all pages with the spare picture.
    std::size_t pageBytes(int page) const;
    std::size_t heldBytes() const;
    // Waits until every page left has been packed.
    void settle();

signals:
    void pageCountChanged(int count);
    void currentPageChanged(int page);
    void pageStateChanged(int page);
    // The panel of a page moved, was resized, changed its kind, document or baked picture.
    void panelChanged(int page);
    // The pixels of a page were written, by whatever operation: what a copy of the board kept
    // outside the store follows. What a window shows follows the model's own pageChanged.
    void pageWritten(int page);

protected:
    // The current page's pixels to write, which counts as a change of them.
    QImage& editCurrent();
    void setPanelBaked(int page, int baked);

private:
    PerPage<int> PageState;
    PerPage<int> PanelLeft;
    PerPage<int> PanelTop;
    PerPage<int> PanelWidth;
    PerPage<int> PanelHeight;
    // 1 while the page carries a picture of its text panel that the panel still covers.
    PerPage<int> PanelBaked;
    PerPage<QString> PanelDocument;
    int PageCount = 1;
    int CurrentPage = 1;

    struct Slot {
        bool exists = false;
        int panelKind = NoPanel;
        QImage expanded; // the current page, or a page left and not yet packed
        PackedPage packed;
        std::uint64_t version = 0;
        // The version `packed` holds; when it is not `version`, only `expanded` is up to date.
        std::uint64_t packedVersion = 0;
    };
    struct Result {
        int page;
        std::uint64_t version;
        PackedPage packed;
    };

    Slot& slot(int page);
    const Slot& slot(int page) const;
    void expand(Slot& s);
    void packInBackground(int page);
    // Takes in what the worker has packed: pages not changed since then drop their pixels.
    Q_INVOKABLE void collect();
    void changed(Slot& s);
    void dropExpanded(Slot& s);
    // Where the current page's pixels go when they are made again from nothing.
    QImage blankPicture();

    QSize pageSize_;
    std::array<Slot, MaxPages + 1> slots_;
    QThreadPool packer_;
    std::mutex resultsMutex_;
    std::vector<Result> results_;
    int packing_ = 0;
    std::uint64_t lastVersion_ = 0;
    // A page-sized picture kept from a page that was packed, so that the next expansion
    // writes into memory that is already mapped.
    QImage spare_;
};
