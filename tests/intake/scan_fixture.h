// A board that records what scanning asks of it, and the scanner button and source window driven
// as the teacher drives them.
#pragma once

#include "intake/scan_progress.h"
#include "intake/scanner_source.h"
#include "platform/os/fakes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

class FakeBoard final : public ScanTarget {
public:
    QString folder;
    int page = 1;
    TColor background = 0x00400000;
    std::vector<std::pair<QImage, QPoint>> placed;
    int continuation = 0;
    std::map<int, int> pageStates; // what was written
    int panelCloses = 0;

    QString programFolder() const override { return folder; }
    int currentPage() const override { return page; }
    TColor pageBackground() const override { return background; }
    void placeFloatingPicture(const QImage& picture, QPoint topLeft) override {
        placed.emplace_back(picture, topLeft);
    }
    void setContinuationPage(int p) override { continuation = p; }
    void setPageState(int p, int state) override { pageStates[p] = state; }
    void closeTextPanel() override { ++panelCloses; }

    const QImage& picture() const { return placed.back().first; }
};

class ScanFixture : public ::testing::Test {
protected:
    platform::FakeServices fakes; // a 1024 x 768 screen
    QTemporaryDir folder;
    FakeBoard board;
    std::unique_ptr<TForm11> form;

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        board.folder = folder.path() + QLatin1Char('/');
        form = std::make_unique<TForm11>();
    }

    // The scanner button; in the source window the teacher then presses `button` (confirm
    // or cancel) when the window shows.
    void pressScannerButton(QPushButton* TForm11::*button = &TForm11::BitBtn1) {
        QTimer press;
        press.setSingleShot(true);
        QObject::connect(&press, &QTimer::timeout, form.get(), [this, button] {
            if (form->isModalShowing())
                (form.get()->*button)->click();
        });
        press.start(0);
        form->Execute(board);
    }

    // Scans with the window's first source and waits until the scan has ended.
    void scan(ScanPageMode mode = ScanPageMode::Single) {
        (mode == ScanPageMode::Single ? form->RadioButton1 : form->RadioButton2)->setChecked(true);
        pressScannerButton();
        waitForScanEnd();
    }

    void waitForScanEnd() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form->Twain->Scanning(); }, 20000))
            << "the scan did not end";
    }

    QStringList messages() const {
        QStringList texts;
        for (const auto& shown : fakes.dialogs.shown)
            texts << shown.text;
        return texts;
    }
};
