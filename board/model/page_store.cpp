#include "board/model/page_store.h"

#include "platform/os/handoff.h"
#include "platform/raster/tcolor.h"

#include <QMetaObject>
#include <malloc.h>
#include <utility>

namespace {

// Pages left faster than the worker packs them wait for it beyond this many, so that memory
// stays bounded however fast the pages are turned.
constexpr int MaxPacking = 2;

} // namespace

PageStore::PageStore() {
    // One worker: packing never takes both cores of a small classroom machine.
    packer_.setMaxThreadCount(1);
    // glibc raises its threshold for mapping large blocks each time one is freed, after which
    // freed pages stay in the heap and the program's memory only grows as pages are turned.
    // A fixed threshold keeps every page-sized picture mapped, and freeing it gives it back.
    static const bool fixed = mallopt(M_MMAP_THRESHOLD, 1024 * 1024) == 1;
    (void)fixed;
}

PageStore::~PageStore() {
    packer_.waitForDone();
}

PageStore::Slot& PageStore::slot(int page) {
    return slots_.at(static_cast<std::size_t>(page));
}

const PageStore::Slot& PageStore::slot(int page) const {
    return slots_.at(static_cast<std::size_t>(page));
}

void PageStore::reset(QSize pageSize) {
    settle();
    pageSize_ = pageSize;
    for (Slot& s : slots_)
        s = Slot{};
    spare_ = QImage();
    PageCount = 1;
    CurrentPage = 1;
}

bool PageStore::exists(int page) const {
    return slot(page).exists;
}

void PageStore::changed(Slot& s) {
    s.version = ++lastVersion_;
    emit pageWritten(static_cast<int>(&s - slots_.data()));
}

void PageStore::setPageCount(int count) {
    PageCount = count;
    emit pageCountChanged(count);
}

void PageStore::setPageState(int page, int state) {
    if (PageState[page] == state)
        return;
    PageState[page] = state;
    emit pageStateChanged(page);
}

QRect PageStore::panelBounds(int page) const {
    return {PanelLeft[page], PanelTop[page], PanelWidth[page], PanelHeight[page]};
}

void PageStore::setPanelBounds(int page, const QRect& bounds) {
    if (panelBounds(page) == bounds)
        return;
    PanelLeft[page] = bounds.x();
    PanelTop[page] = bounds.y();
    PanelWidth[page] = bounds.width();
    PanelHeight[page] = bounds.height();
    emit panelChanged(page);
}

void PageStore::setPanelDocument(int page, const QString& path) {
    if (PanelDocument[page] == path)
        return;
    PanelDocument[page] = path;
    emit panelChanged(page);
}

void PageStore::setPanelBaked(int page, int baked) {
    if (PanelBaked[page] == baked)
        return;
    PanelBaked[page] = baked;
    emit panelChanged(page);
}

void PageStore::makePage(int page) {
    Slot& s = slot(page);
    s.exists = true;
    s.panelKind = NoPanel;
    s.expanded = QImage();
    changed(s);
    s.packed = solidPage(pageSize_, 0);
    s.packedVersion = s.version;
}

void PageStore::fillPage(int page, TColor colour) {
    Slot& s = slot(page);
    if (!s.exists)
        makePage(page);
    changed(s);
    if (page == CurrentPage) {
        if (s.expanded.isNull() || !s.expanded.isDetached())
            s.expanded = blankPicture();
        s.expanded.fill(platform::toQColor(colour));
        return;
    }
    s.expanded = QImage();
    s.packed = solidPage(pageSize_, colour);
    s.packedVersion = s.version;
}

QImage PageStore::blankPicture() {
    if (spare_.size() == pageSize_ && spare_.isDetached())
        return std::exchange(spare_, QImage());
    QImage picture(pageSize_, QImage::Format_RGB32);
    if (picture.isNull())
        throw std::bad_alloc();
    return picture;
}

int PageStore::panelKind(int page) const {
    return slot(page).panelKind;
}

void PageStore::setPanelKind(int page, int kind) {
    if (slot(page).panelKind == kind)
        return;
    slot(page).panelKind = kind;
    emit panelChanged(page);
}

void PageStore::expand(Slot& s) {
    if (!s.expanded.isNull())
        return;
    s.expanded = unpackPage(s.packed, std::exchange(spare_, QImage()));
}

const QImage& PageStore::current() {
    static const QImage none;
    Slot& s = slot(CurrentPage);
    if (!s.exists)
        return none;
    expand(s);
    return s.expanded;
}

QImage& PageStore::editCurrent() {
    Slot& s = slot(CurrentPage);
    if (!s.exists)
        makePage(CurrentPage);
    expand(s);
    changed(s);
    return s.expanded;
}

QImage PageStore::pagePicture(int page) {
    return pagePicture(page, QImage());
}

QImage PageStore::pagePicture(int page, QImage reuse) {
    collect();
    Slot& s = slot(page);
    if (!s.exists)
        return {};
    if (!s.expanded.isNull())
        return s.expanded;
    return unpackPage(s.packed, std::move(reuse));
}

std::optional<TColor> PageStore::pagePixel(int page, QPoint at) {
    collect();
    const Slot& s = slot(page);
    if (!s.exists)
        return std::nullopt;
    if (!s.expanded.isNull()) {
        if (!s.expanded.valid(at))
            return std::nullopt;
        return platform::fromRgb(s.expanded.pixel(at));
    }
    return packedPixel(s.packed, at);
}

void PageStore::writePage(int page, const QImage& picture) {
    Slot& s = slot(page);
    if (!s.exists)
        makePage(page);
    QImage page32 = picture.convertToFormat(QImage::Format_RGB32);
    if (page32.size() != pageSize_)
        page32 = page32.copy(0, 0, pageSize_.width(), pageSize_.height());
    s.expanded = std::move(page32);
    changed(s);
    if (page != CurrentPage)
        packInBackground(page);
}

PageStore::PageCopy PageStore::pageCopy(int page) {
    collect();
    const Slot& s = slot(page);
    if (!s.exists)
        return {};
    if (s.packedVersion == s.version)
        return {s.version, s.packed, {}};
    return {s.version, std::nullopt, s.expanded};
}

void PageStore::writePacked(int page, PackedPage packed) {
    Slot& s = slot(page);
    if (!s.exists)
        makePage(page);
    changed(s);
    s.expanded = QImage();
    s.packed = std::move(packed);
    s.packedVersion = s.version;
    if (page == CurrentPage)
        expand(s);
}

void PageStore::setCurrentPage(int page) {
    collect();
    const int left = CurrentPage;
    CurrentPage = page;
    if (left != page && slot(left).exists)
        packInBackground(left);
    if (left != page)
        emit currentPageChanged(page);
}

void PageStore::packInBackground(int page) {
    // Waiting for the worker first: what it hands back may be this very page, packed and its
    // pixels dropped, and must be seen before the page is packed again.
    if (packing_ >= MaxPacking)
        settle();
    Slot& s = slot(page);
    if (s.packedVersion == s.version || s.expanded.isNull()) {
        // Nothing changed since it was packed: only the expanded pixels go.
        dropExpanded(s);
        return;
    }
    ++packing_;
    platform::startOnPool(packer_, [this, page, version = s.version, picture = s.expanded] {
        Result r{page, version, packPage(picture)};
        {
            const std::lock_guard lock(resultsMutex_);
            results_.push_back(std::move(r));
        }
        // By name: the results pass under resultsMutex_, Qt's event only wakes the GUI thread.
        QMetaObject::invokeMethod(this, "collect", Qt::QueuedConnection);
    });
}

void PageStore::collect() {
    std::vector<Result> done;
    {
        const std::lock_guard lock(resultsMutex_);
        done.swap(results_);
    }
    for (Result& r : done) {
        --packing_;
        Slot& s = slot(r.page);
        if (!s.exists || s.version != r.version)
            continue; // written again since: a newer packing follows, or it is shown
        s.packed = std::move(r.packed);
        s.packedVersion = r.version;
        if (r.page != CurrentPage)
            dropExpanded(s);
    }
}

// A page's expanded pixels go; the first such picture is kept as the spare.
void PageStore::dropExpanded(Slot& s) {
    if (spare_.isNull())
        spare_ = std::exchange(s.expanded, QImage());
    s.expanded = QImage();
}

void PageStore::settle() {
    packer_.waitForDone();
    collect();
}

std::uint64_t PageStore::version(int page) const {
    return slot(page).version;
}

std::size_t PageStore::pageBytes(int page) const {
    const Slot& s = slot(page);
    std::size_t total = static_cast<std::size_t>(s.expanded.sizeInBytes());
    if (s.packedVersion == s.version)
        total += s.packed.heldBytes();
    return total;
}

std::size_t PageStore::heldBytes() const {
    std::size_t total = static_cast<std::size_t>(spare_.sizeInBytes());
    for (int page = 1; page <= MaxPages; ++page)
        total += pageBytes(page);
    return total;
}
