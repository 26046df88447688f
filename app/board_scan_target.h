// The whiteboard as scanning sees it: scanned pages placed through the board's model, and the
// text panel closed by the whiteboard's own close command.
#pragma once

#include "intake/scan_target.h"

class TForm3;

class BoardScanTarget final : public ScanTarget {
public:
    explicit BoardScanTarget(TForm3& board) : board_(board) {}

    QString programFolder() const override;
    int currentPage() const override;
    TColor pageBackground() const override;
    void placeFloatingPicture(const QImage& picture, QPoint topLeft) override;
    void setContinuationPage(int page) override;
    void setPageState(int page, int state) override;
    void closeTextPanel() override;

private:
    TForm3& board_;
};
