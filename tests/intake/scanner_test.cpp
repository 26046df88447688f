// Scanning against the fake scanner: where and how large each scan lands on a 1024 x 768 board,
// the continuation on the next page, the feeder's pages, the failures the teacher is told of,
// and every way a running scan is stopped.
#include "pictures.h"
#include "scan_fixture.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using namespace platform;

namespace {

constexpr QRgb White = 0xFFFFFFFF;

class ScannerTest : public ScanFixture {
protected:
    FakeScanner::Device& addDevice(const char* name, const QString& vendor = "Acme",
                                   const QString& model = "Flatbed 150") {
        FakeScanner::Device device;
        device.info = {QByteArray(name), vendor, model, QStringLiteral("flatbed scanner")};
        fakes.scanner.attached.push_back(device);
        return fakes.scanner.attached.back();
    }
    FakeScanner::Device& flatbedWith(const QImage& page) {
        FakeScanner::Device& device = addDevice("acme:0");
        device.pages.push_back(FakeScanPage::fromImage(page));
        return device;
    }

    // A scan that stops in its first page until the session is asked to cancel, as a slow
    // scanner does; `reached` says the scan is under way.
    std::atomic<bool> reached{false};
    // A device that hangs in its read until it is cancelled, whatever the scan asks for.
    std::atomic<bool> hangs{false};
    // Set when a read waited for its stop in vain.
    std::atomic<bool> gaveUp{false};
    void slowFlatbed() {
        flatbedWith(filledPicture({1074, 600}, clWhite));
        fakes.scanner.chunk = 1024;
        TTwainSession* twain = form->Twain;
        fakes.scanner.beforeRead = [this, twain](int, int offset) {
            if (offset < 4096)
                return;
            reached = true;
            const auto stopped = [&] {
                return hangs ? fakes.scanner.calls().contains(QStringLiteral("cancel"))
                             : twain->CancelRequested();
            };
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!stopped()) {
                if (std::chrono::steady_clock::now() > until) {
                    gaveUp = true;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        };
    }
    void startSlowScan() {
        slowFlatbed();
        pressScannerButton();
        ASSERT_TRUE(QTest::qWaitFor([this] { return reached.load(); }, 10000));
        ASSERT_TRUE(form->Twain->Scanning());
        ASSERT_TRUE(form->Progress->isVisible());
    }

    // Whether the scan was cancelled and its device closed, in that order, before the library
    // was first unloaded after the scan started.
    bool stoppedBeforeUnload() const {
        const QStringList calls = fakes.scanner.calls();
        const qsizetype start = calls.indexOf(QStringLiteral("start"));
        const qsizetype cancel = calls.indexOf(QStringLiteral("cancel"), start);
        const qsizetype close = calls.indexOf(QStringLiteral("close"), cancel);
        const qsizetype unload = calls.indexOf(QStringLiteral("unload"), start);
        return start >= 0 && cancel > start && close > cancel && unload > close;
    }
};

} // namespace

TEST_F(ScannerTest, EachScanLandsAtItsSizeWithTheContinuationItNeeds) {
    struct Case {
        const char* name;
        QSize scan;
        ScanPageMode mode;
        int page;
        QSize picture;
        int continuation; // also the page whose state is set to 2; 0: no state written
    };
    const Case cases[] = {
        {"scan as wide as the screen plus 50: scale 1",
         {1074, 500},
         ScanPageMode::Single,
         1,
         {1074, 768},
         0},
        {"single page, tall: cut to the screen's height",
         {1074, 2000},
         ScanPageMode::Single,
         5,
         {1074, 768},
         0},
        {"double page, short", {1074, 700}, ScanPageMode::Double, 1, {1074, 700}, 0},
        {"double page, exactly screen-high at scale 2",
         {537, 384},
         ScanPageMode::Double,
         1,
         {1074, 768},
         0},
        {"double page, one row taller", {1074, 769}, ScanPageMode::Double, 3, {1074, 769}, 4},
        {"double page, tall, on the last page: kept, no continuation",
         {1074, 1500},
         ScanPageMode::Double,
         99,
         {1074, 1500},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.scanner.attached.clear();
        flatbedWith(filledPicture(c.scan, clWhite));
        board = FakeBoard{};
        board.folder = folder.path() + QLatin1Char('/');
        board.page = c.page;
        board.continuation = 7; // a continuation left from an earlier scan

        scan(c.mode);

        ASSERT_EQ(board.placed.size(), 1u);
        EXPECT_EQ(board.picture().size(), c.picture);
        EXPECT_EQ(board.placed.back().second, QPoint(-5, 35));
        EXPECT_EQ(board.continuation, c.continuation);
        if (c.continuation != 0)
            EXPECT_EQ(board.pageStates, (std::map<int, int>{{c.continuation, 2}}));
        else
            EXPECT_TRUE(board.pageStates.empty());
        EXPECT_EQ(board.panelCloses, 1);
        EXPECT_TRUE(messages().isEmpty()) << messages().join(", ").toStdString();
        EXPECT_FALSE(form->Progress->isVisible());
    }
    // The resolution was asked for each time, in the option's own words.
    EXPECT_TRUE(fakes.scanner.calls().contains(QStringLiteral("set resolution=150")));
}

TEST_F(ScannerTest, ASinglePageScanShorterThanTheScreenEndsInTheBackgroundNotInBlack) {
    // 700 x 333 at scale 1074/700 ends inside a row: no row of black is left below it.
    for (const QSize size : {QSize(1074, 500), QSize(700, 333)}) {
        fakes.scanner.attached.clear();
        board.placed.clear();
        flatbedWith(filledPicture(size, clWhite));
        scan(ScanPageMode::Single);
        ASSERT_EQ(board.placed.size(), 1u);
        const QImage& picture = board.picture();
        const QRgb background = toQColor(board.background).rgb();
        // A row the scan covers in part shows the scan.
        const int scanBottom = static_cast<int>(std::ceil(size.height() * (1074.0 / size.width())));
        for (int y = 0; y < picture.height(); ++y) {
            const QRgb expected = y < scanBottom ? White : background;
            ASSERT_EQ(picture.pixel(537, y), expected) << size.width() << " row " << y;
            ASSERT_EQ(picture.pixel(0, y), expected) << size.width() << " row " << y;
        }
    }
}

TEST_F(ScannerTest, ATallScanLeavesNoContinuationForTheNextScan) {
    FakeScanner::Device& device = addDevice("acme:0");
    device.pages.push_back(FakeScanPage::fromImage(filledPicture({1074, 1500}, clWhite)));
    device.pages.push_back(FakeScanPage::fromImage(filledPicture({1074, 600}, clWhite)));
    board.page = 2;
    scan(ScanPageMode::Double);
    EXPECT_EQ(board.continuation, 3);
    scan(ScanPageMode::Double);
    EXPECT_EQ(board.placed.size(), 2u);
    EXPECT_EQ(board.continuation, 0);
}

TEST_F(ScannerTest, AFeederBringsEveryPageAndTheLastRemains) {
    FakeScanner::Device& device = addDevice("acme:adf");
    device.feeder = true;
    const QRgb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (QRgb c : colours)
        device.pages.push_back(FakeScanPage::fromImage(filledPicture({1074, 400}, fromRgb(c))));
    scan(ScanPageMode::Double);
    ASSERT_EQ(board.placed.size(), 3u);
    EXPECT_EQ(board.picture().pixel(500, 200), colours[2]);
    EXPECT_TRUE(messages().isEmpty()); // running dry after the pages is the feeder's end
}

TEST_F(ScannerTest, FailuresAreToldAndNoPartOfAFailedImageIsShown) {
    struct Case {
        const char* name;
        std::function<void(FakeScanner::Device&)> arrange;
        int placed;
    };
    const QImage page = filledPicture({1074, 400}, clWhite);
    const Case cases[] = {
        {"a jam while reading",
         [&](FakeScanner::Device& d) {
             d.pages.push_back(FakeScanPage::fromImage(page));
             d.pages.back().readFailure = ScanStatus::Failed;
             d.pages.back().failAt = 10000;
         },
         0},
        {"a start that fails",
         [&](FakeScanner::Device& d) {
             d.pages.push_back(FakeScanPage::fromImage(page));
             d.pages.back().startStatus = ScanStatus::Failed;
         },
         0},
        {"a device that does not open", [](FakeScanner::Device& d) { d.opens = false; }, 0},
        {"an empty feeder", [](FakeScanner::Device& d) { d.feeder = true; }, 0},
        {"a feeder whose second page jams: the others come",
         [&](FakeScanner::Device& d) {
             d.feeder = true;
             for (int i = 0; i < 3; ++i)
                 d.pages.push_back(FakeScanPage::fromImage(page));
             d.pages[1].readFailure = ScanStatus::Failed;
             d.pages[1].failAt = 5000;
         },
         2},
        {"a frame larger than a picture can be",
         [](FakeScanner::Device& d) {
             FakeScanPage huge;
             huge.frames.push_back({{FrameFormat::Gray, true, 10000, 10000, 10000, 8}, {}});
             d.pages.push_back(huge);
         },
         0},
        {"a frame that ends early",
         [&](FakeScanner::Device& d) {
             d.pages.push_back(FakeScanPage::fromImage(page));
             d.pages.back().frames[0].data.chop(1074 * 3);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.scanner.attached.clear();
        fakes.dialogs.shown.clear();
        board.placed.clear();
        c.arrange(addDevice("acme:0"));
        scan(ScanPageMode::Double);
        EXPECT_EQ(static_cast<int>(board.placed.size()), c.placed);
        EXPECT_EQ(messages(), QStringList{ScanNotCompleted});
        EXPECT_FALSE(form->Progress->isVisible());
    }
}

TEST_F(ScannerTest, NoLibraryAndNoDeviceAreToldInTheirOwnWords) {
    fakes.scanner.libraryPresent = false;
    pressScannerButton();
    EXPECT_EQ(messages(), QStringList{ScannerDriverError});
    EXPECT_FALSE(form->isVisible());

    fakes.dialogs.shown.clear();
    fakes.scanner.libraryPresent = true;
    pressScannerButton();
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_EQ(form->Label1->text(), NoScannerFound) << "said in the window as it opens";
    EXPECT_EQ(messages(), QStringList{NoScannerFound});
    EXPECT_EQ(board.panelCloses, 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ScannerTest, SourcesAreListedInOrderAndToldApartWhenTheyReadTheSame) {
    addDevice("test:0", "Noname", "frontend-tester");
    addDevice("test:1", "Noname", "frontend-tester");
    addDevice("acme:usb", "Acme", "Flatbed 150");
    pressScannerButton(&TForm11::BitBtn2);
    ASSERT_EQ(form->ListBox1->count(), 3);
    EXPECT_EQ(form->ListBox1->item(0)->text(), "Noname frontend-tester (test:0)");
    EXPECT_EQ(form->ListBox1->item(1)->text(), "Noname frontend-tester (test:1)");
    EXPECT_EQ(form->ListBox1->item(2)->text(), "Acme Flatbed 150");
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_EQ(form->Label1->text(), "选择来源：");
    // Cancel unloads the library and scans nothing.
    EXPECT_FALSE(form->Twain->LibraryLoaded());
    EXPECT_FALSE(fakes.scanner.calls().contains(QStringLiteral("start")));
}

TEST_F(ScannerTest, TheSourceWindowIsAsDesigned) {
    EXPECT_EQ(form->size(), QSize(335, 208));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->Label1->text(), "选择来源：");
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_EQ(form->RadioButton1->text(), "单页");
    EXPECT_EQ(form->RadioButton2->text(), "双页");
    EXPECT_EQ(form->BitBtn1->text(), "确定");
    EXPECT_EQ(form->BitBtn2->text(), "取消");
    addDevice("acme:0");
    QTimer::singleShot(0, form.get(), [this] {
        EXPECT_TRUE(form->isModalShowing());
        EXPECT_EQ(form->pos(), QPoint((1024 - 335) / 2, (768 - 208) / 2));
        form->BitBtn2->click();
    });
    form->Execute(board);
}

TEST_F(ScannerTest, TheTeacherCancelsInTheMiddleAndNothingIsPlaced) {
    startSlowScan();
    form->Progress->Button1->click();
    waitForScanEnd();
    EXPECT_TRUE(board.placed.empty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(form->Progress->isVisible());
    EXPECT_TRUE(fakes.scanner.calls().contains(QStringLiteral("cancel")));
}

TEST_F(ScannerTest, AScanIsStoppedAndJoinedBeforeTheLibraryIsUnloaded) {
    struct Way {
        const char* name;
        std::function<void()> stop;
    };
    const Way ways[] = {
        {"the scanner button again", [this] { pressScannerButton(&TForm11::BitBtn2); }},
        {"the program ends", [this] { form.reset(); }},
        {"the program ends while the device hangs in a read", [this] { form.reset(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        fakes.scanner.attached.clear();
        fakes.scanner.clearCalls();
        board.placed.clear();
        reached = false;
        if (!form)
            form = std::make_unique<TForm11>();
        startSlowScan();
        hangs = &way == &ways[2];
        way.stop();
        EXPECT_FALSE(gaveUp);
        if (form) {
            EXPECT_FALSE(form->Twain->Scanning());
            EXPECT_FALSE(form->Progress->isVisible());
        }
        EXPECT_TRUE(stoppedBeforeUnload()) << fakes.scanner.calls().join(", ").toStdString();
        EXPECT_FALSE(fakes.scanner.calls().join(QLatin1Char('|')).contains("after unload"));
        QTest::qWait(20); // anything the stopped scan left queued is dropped
        EXPECT_TRUE(board.placed.empty());
        EXPECT_TRUE(messages().isEmpty());
    }
}
