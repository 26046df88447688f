// The personal group: stroke colour, background colour and stroke width, and how they are
// handed to the whiteboard at the program's start and at OK.
#include "board/model/page_states.h"
#include "board/model/pen_rules.h"
#include "lessons/board_link.h"
#include "lessons/settings_at_start.h"
#include "lessons/settings_window.h"
#include "platform/os/services.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace lessons;
using namespace platform;

namespace {

// The width the readout shows, held to 1..9 whatever the configuration gave it.
int widthOf(const QLineEdit* readout) {
    return clampPenWidth(readout->text().toInt());
}

} // namespace

void TForm6::LCPClick() {
    if (const std::optional<TColor> chosen = dialogs().chooseColor(this, LCP->Color()))
        LCP->setColor(*chosen);
}

void TForm6::SpeedButton9Click() {
    LCPClick();
}

void TForm6::RCPClick() {
    if (const std::optional<TColor> chosen = dialogs().chooseColor(this, RCP->Color()))
        RCP->setColor(*chosen);
}

void TForm6::SpeedButton7Click() {
    Edit4->setText(QString::number(clampPenWidth(widthOf(Edit4) + 1)));
}

void TForm6::SpeedButton8Click() {
    Edit4->setText(QString::number(clampPenWidth(widthOf(Edit4) - 1)));
}

// At the program's start, after the default section has been read.
void TForm6::handOverAtStart() {
    lessons::handOverAtStart(board(), shownSettings());
}

// At OK, before the window closes. The pen takes its width when a tool is next chosen.
void TForm6::handOverAtOk() {
    BoardLink& b = board();
    b.setPaintMode(1);
    b.setPenColour(LCP->Color());
    b.setPenWidth(widthOf(Edit4), false);
    b.setSmoothInk(SmoothInkBox->isChecked());
}

// At OK, after the window has closed: a new background repaints a blank current page; a page
// with content keeps its colours, and only the board's swatch shows the new one.
void TForm6::applyBackgroundAtOk() {
    BoardLink& b = board();
    const TColor background = RCP->Color();
    if (background == b.backgroundColour())
        return;
    b.setBackgroundSwatch(background);
    if (b.currentPageState() >= PageWithContent)
        return;
    b.setPaintMode(0);
    b.setWindowColour(background);
    b.fillCurrentPage(background);
    b.setEditorColour(editorColourFor(background));
    b.invalidate();
}
