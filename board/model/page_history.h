// The board's undo history: for every page, the steps that changed it, each the rectangle it
// changed as it was before, packed with the pages' codec. Undo and redo swap a step's pixels
// with the page's, so one step holds one copy of its rectangle whichever way it was last
// taken. All pages together keep at most a bound of memory; past it the oldest steps go.
#pragma once

#include "board/model/page_codec.h"
#include "board/model/page_store.h"
#include "platform/raster/rect.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

class PageHistory {
public:
    // 64 MB: fifty large steps on each of a few pages of a 4K screen, thousands of strokes.
    static constexpr std::size_t DefaultBound = std::size_t{64} << 20;

    explicit PageHistory(std::size_t bound = DefaultBound) : bound_(bound) {}

    // Before `area` of `page` changes: its pixels in `picture` (the page as it is now) and the
    // page's state are kept as the step undo takes back. What could be redone on that page
    // is gone. An area outside the picture keeps nothing.
    void record(int page, const QImage& picture, const TRect& area, int pageState);

    // One step back or forward on `page`: the step's pixels go into `picture` and the
    // picture's pixels there into the step, and so with the page's state. The rectangle that
    // changed, or nothing when there is no step.
    std::optional<TRect> undo(int page, QImage& picture, int& pageState);
    std::optional<TRect> redo(int page, QImage& picture, int& pageState);

    bool canUndo(int page) const { return !pages_[page].undo.empty(); }
    bool canRedo(int page) const { return !pages_[page].redo.empty(); }
    std::size_t undoSteps(int page) const { return pages_[page].undo.size(); }
    // The newest step undo would take back on `page`, as a number that grows with every step
    // recorded and stays with the step through undo and redo; 0 when there is none.
    std::uint64_t lastStep(int page) const {
        return pages_[page].undo.empty() ? 0 : pages_[page].undo.back().order;
    }

    // Every page starts without history.
    void clear();
    std::size_t heldBytes() const { return held_; }
    std::size_t bound() const { return bound_; }

private:
    struct Step {
        TRect area;
        PackedPage pixels;
        int pageState = 0;
        // When the step was recorded: the smallest goes first when memory runs short.
        std::uint64_t order = 0;
        std::size_t bytes() const;
    };
    struct Steps {
        std::deque<Step> undo; // the last change at the back
        std::deque<Step> redo; // the next to redo at the back
    };

    std::optional<TRect> swap(std::deque<Step>& from, std::deque<Step>& to, QImage& picture,
                              int& pageState);
    void dropRedo(Steps& steps);
    // Drops the oldest steps until the history fits its bound again.
    void trim();

    std::size_t bound_;
    std::size_t held_ = 0;
    std::uint64_t lastOrder_ = 0;
    PerPage<Steps> pages_;
};
