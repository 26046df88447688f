#include "board/model/page_history.h"

#include <cstring>
#include <utility>

namespace {

// What a step costs besides its packed bytes, so that steps of one colour count too.
constexpr std::size_t StepOverhead = 64;

PackedPage packArea(const QImage& picture, const TRect& area) {
    return packPage(picture.copy(area.toQRect()));
}

// The packed pixels go back into their rectangle of the picture, row by row.
void unpackInto(QImage& picture, const TRect& area, const PackedPage& packed) {
    const QImage pixels = unpackPage(packed);
    const std::size_t rowBytes = static_cast<std::size_t>(area.width()) * sizeof(QRgb);
    for (int y = 0; y < area.height(); ++y) {
        std::memcpy(picture.scanLine(area.top + y) + static_cast<std::size_t>(area.left) * 4,
                    pixels.constScanLine(y), rowBytes);
    }
}

} // namespace

std::size_t PageHistory::Step::bytes() const {
    return StepOverhead + pixels.heldBytes();
}

void PageHistory::record(int page, const QImage& picture, const TRect& area, int pageState) {
    const TRect inside = area.intersected({0, 0, picture.width(), picture.height()});
    if (inside.isEmpty())
        return;
    Steps& steps = pages_[page];
    dropRedo(steps);
    Step step{inside, packArea(picture, inside), pageState, ++lastOrder_};
    held_ += step.bytes();
    steps.undo.push_back(std::move(step));
    trim();
}

std::optional<TRect> PageHistory::swap(std::deque<Step>& from, std::deque<Step>& to,
                                       QImage& picture, int& pageState) {
    if (from.empty())
        return std::nullopt;
    Step step = std::move(from.back());
    from.pop_back();
    held_ -= step.bytes();
    PackedPage shown = packArea(picture, step.area);
    unpackInto(picture, step.area, step.pixels);
    step.pixels = std::move(shown);
    std::swap(step.pageState, pageState);
    const TRect area = step.area;
    held_ += step.bytes();
    to.push_back(std::move(step));
    trim();
    return area;
}

std::optional<TRect> PageHistory::undo(int page, QImage& picture, int& pageState) {
    Steps& steps = pages_[page];
    return swap(steps.undo, steps.redo, picture, pageState);
}

std::optional<TRect> PageHistory::redo(int page, QImage& picture, int& pageState) {
    Steps& steps = pages_[page];
    return swap(steps.redo, steps.undo, picture, pageState);
}

void PageHistory::dropRedo(Steps& steps) {
    for (const Step& step : steps.redo)
        held_ -= step.bytes();
    steps.redo.clear();
}

void PageHistory::clear() {
    pages_ = {};
    held_ = 0;
}

void PageHistory::trim() {
    while (held_ > bound_) {
        // The step recorded first of all pages: an undo step's front, else a redo step's
        // front (the one farthest from the page as it is).
        std::deque<Step>* oldest = nullptr;
        for (int page = 1; page <= MaxPages; ++page) {
            for (std::deque<Step>* list : {&pages_[page].undo, &pages_[page].redo}) {
                if (!list->empty() &&
                    (oldest == nullptr || list->front().order < oldest->front().order))
                    oldest = list;
            }
        }
        if (oldest == nullptr)
            return;
        held_ -= oldest->front().bytes();
        oldest->pop_front();
    }
}
