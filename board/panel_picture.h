// What the window shows where a panel floats over the board: the panel is a widget of its own,
// not part of the board's surface, so its pixels are the surface's with the panel drawn over
// them. Baking and pinning the text panel take them; so can anything that prints a page as the
// teacher sees it.
#pragma once

#include <QImage>
#include <QRect>

class QWidget;

// The surface's pixels inside `panel` with `panelPicture` drawn over them from the panel's top
// left: a picture of the panel's size. What lies outside the surface stays black.
QImage composePanelOverSurface(const QImage& surface, const QRect& panel,
                               const QImage& panelPicture);

// What `panel` shows, its children included. A child that draws with an engine of its own (the
// browser) does not show in that rendering: `document` is that child and `documentPixels` what
// it shows, drawn in at its place when it is visible.
QImage renderPanel(QWidget* panel, QWidget* document = nullptr, const QImage& documentPixels = {});
