#include "app/help_window.h"

#include "app/forms.h"
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "platform/os/services.h"

#include <QLabel>
#include <QPushButton>

using namespace platform;

platform::SingleWindow<TForm4> Form4;

namespace {

const QString ProductTitle = QStringLiteral("K_Vorne 交互式电子白板 0.1");
const QString MakerNotice = QStringLiteral("K_Vorne 开发组  保留所有权利");
// The product has no web site: the address is the help document itself, opened in the
// desktop's own browser where it can be read at full size and printed.
const QString AddressText = QStringLiteral("在浏览器中打开帮助文档");

QLabel* label(QWidget* parent, const QString& text, int left, int top, int width, int height,
              const QColor& color, int pixelSize) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(left, top, width, height);
    QFont f = l->font();
    f.setPixelSize(pixelSize);
    f.setBold(true);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    return l;
}

} // namespace

TForm4::TForm4() : Form(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("帮助"));
    setFixedSize(792, 516);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(4227327));
    setPalette(pal);
    QFont f = font();
    f.setFamily(QStringLiteral("宋体"));
    f.setPixelSize(12);
    setFont(f);

    const QColor highlight = toQColor(clMenuHighlight);
    Label9 = label(this, ProductTitle, 208, 16, 385, 23, Qt::white, 16);
    Label10 = label(this, ProductTitle, 209, 14, 392, 23, highlight, 16);
    Label7 = label(this, MakerNotice, 212, 448, 378, 21, Qt::white, 12);
    Label8 = label(this, MakerNotice, 211, 446, 375, 23, highlight, 12);
    Label13 =
        label(this, QStringLiteral("<a href=\"#\" style=\"color:blue\">%1</a>").arg(AddressText),
              318, 465, 201, 18, Qt::blue, 12);
    Label13->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label13->setCursor(Qt::PointingHandCursor);
    Label13->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(Label13, &QLabel::linkActivated, this, [this] { guarded([this] { Label13Click(); }); });

    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setGeometry(353, 484, 81, 29);
    onClick(BitBtn1, &TForm4::BitBtn1Click);
}

QString TForm4::HelpDocument() const {
    return boardModel().programFolder() + QStringLiteral("kvrhelp.mht");
}

void TForm4::setVisible(bool visible) {
    if (visible && !isVisible())
        guarded([this] { FormShow(); });
    Form::setVisible(visible);
}

// A missing document shows what the browser shows for a missing file, and no link to it.
void TForm4::FormShow() {
    move((screenWidth() - width()) / 2, (screenHeight() - height()) / 2);
    Label13->setVisible(files().exists(HelpDocument()));
    if (!WebBrowser1) {
        WebBrowser1 = createWebView(this);
        if (!WebBrowser1)
            return; // without the browser module the place stays empty
        // Our own document needs no script, and so runs none.
        WebBrowser1->setScriptsEnabled(false);
        WebBrowser1->widget()->setGeometry(0, 46, 791, 389);
        WebBrowser1->widget()->show();
    }
    WebBrowser1->loadFile(HelpDocument());
}

void TForm4::BitBtn1Click() {
    boardModel().setBoardPaintMode(1);
    close();
}

void TForm4::Label13Click() {
    if (files().exists(HelpDocument()))
        processes().openDocument(HelpDocument());
}
