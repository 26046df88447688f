// The choice of the scanner to scan from, and the scans that put book pages on the board.
#pragma once

#include "intake/picture_conversion.h"
#include "intake/scan_target.h"
#include "intake/twain_session.h"
#include "platform/widgets/form.h"
#include "platform/widgets/single_window.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class ScanProgressWindow;

// The texts the teacher reads.
inline const QString ScannerDriverError = QStringLiteral("扫描驱动程序出错！");
inline const QString NoScannerFound = QStringLiteral("未检测到扫描仪和其它视频设备！");
inline const QString ScanNotCompleted = QStringLiteral("扫描未能完成，请检查扫描仪后重试！");
inline const QString ScanMessageTitle = QStringLiteral("提示信息");

class TForm11 : public platform::Form {
    Q_OBJECT
public:
    TForm11();
    ~TForm11() override;

    QLabel* Label1;
    QListWidget* ListBox1;      // the sources' names
    QRadioButton* RadioButton1; // "单页"
    QRadioButton* RadioButton2; // "双页"
    QPushButton* BitBtn1;       // "确定"
    QPushButton* BitBtn2;       // "取消"
    // The scanner component, owned by this window.
    TTwainSession* Twain;
    ScanProgressWindow* Progress;

    void FormCreate() {}

    // The scanner button of the text panel: stops a scan that runs, loads the scanner stack
    // afresh, lists its sources and shows this window modally. Scanned images go to `board`,
    // which must outlive the scans (it is kept until the next call).
    void Execute(ScanTarget& board);
    void BitBtn1Click(); // confirm: the scan starts
    void BitBtn2Click(); // cancel
    // An image arrived.
    void TwainTwainAcquire(TTwainSession* sender, int index, const QImage& image, bool& cancel);

    ScanPageMode pageMode() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void scanEnded(TScanEnd end);

    ScanTarget* board_ = nullptr;
    bool placementFailed_ = false;
};

extern platform::SingleWindow<TForm11> Form11;
