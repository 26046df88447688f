// The source window, and what happens from the scanner button to the picture on the board.
#include "intake/scanner_source.h"

#include "intake/scan_placement.h"
#include "intake/scan_progress.h"
#include "platform/os/services.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace platform;

platform::SingleWindow<TForm11> Form11;

namespace {

constexpr int ScanResolution = 150;
const QString SourceCaption = QStringLiteral("选择来源：");

} // namespace

TForm11::TForm11()
    : Form(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("选择扫描仪"));
    setFixedSize(335, 208);

    Label1 = new QLabel(SourceCaption, this);
    Label1->setGeometry(16, 10, 303, 20);
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(16, 32, 303, 106);
    RadioButton1 = new QRadioButton(QStringLiteral("单页"), this);
    RadioButton1->setGeometry(48, 144, 80, 22);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("双页"), this);
    RadioButton2->setGeometry(200, 144, 80, 22);
    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setGeometry(64, 172, 81, 27);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setGeometry(190, 172, 81, 27);
    // Both buttons close the window once their handler has run.
    onClick(BitBtn1, &TForm11::BitBtn1Click);
    onClick(BitBtn2, &TForm11::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    connect(BitBtn2, &QPushButton::clicked, this, &QWidget::close);

    Twain = new TTwainSession(this);
    Twain->OnTwainAcquire = [this](TTwainSession* sender, int index, const QImage& image,
                                   bool& cancel) {
        guarded([&] { TwainTwainAcquire(sender, index, image, cancel); });
    };
    Progress = new ScanProgressWindow();
    Progress->OnCancel = [this] { Twain->Cancel(); };
    Twain->OnProgress = [this](const TScanProgress& p) { Progress->showProgress(p); };
    Twain->OnScanEnd = [this](TScanEnd end) { guarded([&] { scanEnded(end); }); };
}

TForm11::~TForm11() {
    // The scan stops and the scanner library is unloaded before any window goes.
    delete Twain;
    Twain = nullptr;
    delete Progress;
}

void TForm11::paintEvent(QPaintEvent* event) {
    Form::paintEvent(event);
    // A window without a border still shows where it ends.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TForm11::Execute(ScanTarget& board) {
    board_ = &board;
    Twain->UnloadLibrary(); // a scan that still runs is cancelled and joined first
    if (!Twain->LoadLibrary()) {
        dialogs().inform(this, ScannerDriverError, ScanMessageTitle);
        return;
    }
    Twain->OpenSourceManager();
    ListBox1->clear();
    for (int i = 0; i < Twain->SourceCount(); ++i)
        ListBox1->addItem(Twain->Source(i)->ProductName);
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    // An empty list is explained as the window opens, not only after 确定.
    Label1->setText(ListBox1->count() > 0 ? SourceCaption : NoScannerFound);
    move((screenWidth() - width()) / 2, (screenHeight() - height()) / 2);
    ShowModal();
}

void TForm11::BitBtn1Click() {
    if (Twain->SourceCount() == 0) {
        dialogs().inform(this, NoScannerFound, ScanMessageTitle);
        return;
    }
    if (board_ == nullptr)
        return;
    board_->closeTextPanel();
    const int index = std::max(ListBox1->currentRow(), 0);
    TTwainSource* source = Twain->Source(index);
    source->Modal = true;
    source->ShowUserInterface = false;
    if (!Twain->LoadSource(index)) {
        dialogs().inform(this, ScanNotCompleted, ScanMessageTitle);
        return;
    }
    // A device without the resolution, or one that refuses it, scans at its own.
    Twain->SetResolution(index, ScanResolution);
    placementFailed_ = false;
    if (!Twain->EnableSource(index)) {
        dialogs().inform(this, ScanNotCompleted, ScanMessageTitle);
        return;
    }
    Progress->start();
}

void TForm11::BitBtn2Click() {
    Twain->UnloadLibrary();
}

ScanPageMode TForm11::pageMode() const {
    return RadioButton1->isChecked() ? ScanPageMode::Single : ScanPageMode::Double;
}

void TForm11::TwainTwainAcquire(TTwainSession*, int, const QImage& image, bool&) {
    if (board_ == nullptr || !PlaceScannedImage(*board_, image, pageMode()))
        placementFailed_ = true;
}

void TForm11::scanEnded(TScanEnd end) {
    Progress->hide();
    if (end == TScanEnd::Failed || placementFailed_) {
        placementFailed_ = false;
        dialogs().inform(this, ScanNotCompleted, ScanMessageTitle);
    }
}
