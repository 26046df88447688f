// What scanning needs of the whiteboard: the few board operations that putting a scanned page
// on the board takes. The board implements it over its model; tests implement it with a
// record of the calls.
#pragma once

#include "platform/raster/tcolor.h"

#include <QImage>
#include <QPoint>
#include <QString>

class ScanTarget {
public:
    // The board's pages are numbered 1 to this; there is no page after it.
    static constexpr int LastPage = 99;

    virtual ~ScanTarget() = default;

    // The program folder, with a trailing separator (the picture conversion's temporary files
    // are named in it).
    virtual QString programFolder() const = 0;
    // The page shown now, 1..LastPage: a scan lands on whatever page is current when it arrives.
    virtual int currentPage() const = 0;
    // The background colour of the current page, as its bitmap holds it.
    virtual TColor pageBackground() const = 0;

    // Makes `picture` the floating picture: FloatBitmap := picture; shown at `topLeft` with the
    // picture's size, visible, of the placed kind (FloatPlaced := 1), with a fresh zoom state
    // (a held zoom source released, ZoomFactor := 1). A floating picture that is still shown is
    // committed into the page first, as a turn commits it.
    virtual void placeFloatingPicture(const QImage& picture, QPoint topLeft) = 0;
    // ContinuationPage := page; 0 for none. Page turning shows the rest of a tall picture on
    // that page.
    virtual void setContinuationPage(int page) = 0;
    // PageState[page] := state, for a page 1..LastPage.
    virtual void setPageState(int page, int state) = 0;

    // Closes the text panel of the current page as its close button does.
    virtual void closeTextPanel() = 0;
};
