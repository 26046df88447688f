#include "intake/scan_placement.h"

#include "board/model/page_states.h"
#include "platform/os/services.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// In single-page mode the picture is always screen-high; below a scan shorter than that the
// conversion leaves black, which a commit would write into the page. Those rows take the page's
// background instead, so the page below the scan looks as before.
void fillBelowScan(QImage& picture, double scanBottom, TColor background) {
    const int first = std::max(0, static_cast<int>(std::ceil(scanBottom - 1e-6)));
    const QRgb fill = platform::toQColor(background).rgb();
    for (int y = first; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        std::fill(row, row + picture.width(), fill);
    }
}

} // namespace

bool PlaceScannedImage(ScanTarget& board, const QImage& scan, ScanPageMode mode) {
    const std::optional<CapturedPicture> source = CapturedPicture::fromBitmap(scan);
    if (!source)
        return false;
    const QSize screen(platform::screenWidth(), platform::screenHeight());
    std::optional<QImage> picture = ConvertPicture(
        *source, scannerRequest(source->size(), screen, mode, board.programFolder()));
    if (!picture)
        return false;
    if (mode == ScanPageMode::Single) {
        const double scale = (screen.width() + 50.0) / source->size().width();
        fillBelowScan(*picture, source->size().height() * scale, board.pageBackground());
    }

    board.placeFloatingPicture(*picture, ScanPlacement);
    // A continuation belongs to the picture it was set for: the next scan starts afresh.
    board.setContinuationPage(0);
    if (picture->height() > screen.height()) {
        const int next = board.currentPage() + 1;
        // On the last page there is no next page: the picture stays, cut off at the bottom.
        if (next <= ScanTarget::LastPage) {
            board.setContinuationPage(next);
            board.setPageState(next, PageWithContent);
        }
    }
    return true;
}
