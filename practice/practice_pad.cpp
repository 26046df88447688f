// The pad's controls, its placing by the toolbar, and what it does when created and shown.
#include "practice/practice_pad.h"

#include "platform/os/program_folder.h"
#include "platform/os/services.h"
#include "practice/writing_engine.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>
#include <QTextBlock>
#include <QTimer>

using namespace platform;

platform::SingleWindow<TForm14> Form14;

namespace {

constexpr int PadWidth = 551;
constexpr int PadHeight = 154;
constexpr int CompactHeight = 103;

enum class PadGlyph { Leave, Load, Save };

// The buttons' pictures, drawn here so that they need no picture files.
QIcon padPicture(PadGlyph glyph) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    p.setPen(QPen(ink, 1.6));
    switch (glyph) {
    case PadGlyph::Leave:
        p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(4, 5, 16, 16), 120 * 16, 300 * 16);
        p.drawLine(QPointF(12, 3), QPointF(12, 12));
        break;
    case PadGlyph::Load: {
        p.setBrush(QColor(250, 210, 120));
        QPainterPath folder;
        folder.moveTo(2.5, 6.5);
        folder.lineTo(9.5, 6.5);
        folder.lineTo(11.5, 8.5);
        folder.lineTo(20.5, 8.5);
        folder.lineTo(20.5, 19.5);
        folder.lineTo(2.5, 19.5);
        folder.closeSubpath();
        p.drawPath(folder);
        p.setBrush(QColor(255, 232, 170));
        p.drawPolygon(QPolygonF({{5.5, 11.5}, {22.5, 11.5}, {20.5, 19.5}, {2.5, 19.5}}));
        break;
    }
    case PadGlyph::Save:
        p.setBrush(QColor(70, 110, 190));
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 3.5, 9, 6));
        p.drawRect(QRectF(6.5, 13.5, 11, 7));
        break;
    }
    return QIcon(pixmap);
}

SpeedButton* padButton(QWidget* parent, int top, const QString& hint, PadGlyph glyph, bool flat) {
    auto* button = new SpeedButton(parent, 517, top, 31, 30, hint);
    button->setIcon(padPicture(glyph));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(flat);
    // The pad may not be the active window, and Qt shows tooltips only in the active one.
    button->setAttribute(Qt::WA_AlwaysShowToolTips);
    return button;
}

QFont songFont(int pixelSize) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

TForm14::TForm14() : Form(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(PracticePadCaption);
    resize(PadWidth, PadHeight);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setFont(songFont(15));
    Memo1->setFocusPolicy(Qt::ClickFocus); // not in the tab order
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLines({QStringLiteral("可以在本栏内输入多行文字"),
              QStringLiteral("拖动下面的放大镜图标选中任意一行可改变待书写框内容"),
              QStringLiteral("也可以直接在待书写框内输入文字")});

    Label1 = new QLabel(
        QStringLiteral("提示：为了保证正常运行，请在点击[停止]按钮前，完成最后一笔笔画。"), this);
    Label1->setFont(songFont(12));
    // The gradient caption's blue, darkened until it reads on the pad's face: as it is, it
    // can hardly be told from it.
    QPalette hintColours = Label1->palette();
    hintColours.setColor(QPalette::WindowText, toQColor(clGradientActiveCaption).darker(300));
    Label1->setPalette(hintColours);

    SpeedButton1 = padButton(this, 7, QStringLiteral("退出"), PadGlyph::Leave, true);
    SpeedButton2 = padButton(this, 42, QStringLiteral("打开"), PadGlyph::Load, false);
    SpeedButton3 = padButton(this, 80, QStringLiteral("保存"), PadGlyph::Save, false);
    placePad(0, 0, false);

    onClick(SpeedButton1, &TForm14::SpeedButton1Click);
    onClick(SpeedButton2, &TForm14::SpeedButton2Click);
    onClick(SpeedButton3, &TForm14::SpeedButton3Click);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
}

void startPracticeScript() {
    processes().startProgram(startupScriptCommandLine(programFolder()), ShowState::Hide);
}

void TForm14::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

void TForm14::FormShow() {
    windows().setScreenSaverRunning(true);
    windows().hideTaskbar();
}

void TForm14::placePad(int left, int top, bool compact) {
    setGeometry(left, top, PadWidth, compact ? CompactHeight : PadHeight);
    Memo1->setGeometry(0, 0, 513, compact ? 86 : 125);
    Label1->setGeometry(8, compact ? 88 : 132, 395, 13);
    SpeedButton3->move(517, compact ? 72 : 80);
}

// A memo's last line counts only when it holds text, as in the classic edit control: lines
// written to a file and read back come out as they went in. A line break typed with Shift
// ends a line as well.
QStringList TForm14::lines() const {
    QStringList result;
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next())
        result << block.text().split(QChar::LineSeparator);
    if (!result.isEmpty() && result.constLast().isEmpty())
        result.removeLast();
    return result;
}

void TForm14::setLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    Memo1->setPlainText(text);
}
