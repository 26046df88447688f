// Scanning through SANE itself, with its test backend as the scanner: a folder of our own holds
// the stack's configuration (a dll.conf naming the backend, and the backend's own settings), so
// nothing of the machine's scanner setup is used.
#include "scan_fixture.h"

#include "platform/os/sane_scanner.h"

#include <QFile>
#include <QSet>

#include <dlfcn.h>

using namespace platform;

namespace {

class SaneTest : public ScanFixture {
protected:
    // The stack unloads its backends when it stops; the test backend is kept in memory so that
    // what it leaks (its reader's buffer, stopped by a cancel) is told apart from our own.
    static void SetUpTestSuite() {
        dlopen(KV_SANE_BACKEND_DIR "/libsane-test.so.1", RTLD_NOW | RTLD_NODELETE);
    }

    // One folder for the whole program: the stack looks its configuration folder up once.
    static QTemporaryDir& configFolder() {
        static QTemporaryDir folder;
        return folder;
    }
    QTemporaryDir& config = configFolder();
    std::unique_ptr<SaneScanner> sane;

    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        useScanner(std::make_unique<SaneScanner>());
        backends("test\n");
        ScanFixture::SetUp();
    }
    void TearDown() override {
        form.reset(); // the window unloads the library it loaded
        install({});
    }

    void useScanner(std::unique_ptr<SaneScanner> scanner) {
        if (form)
            form->Twain->UnloadLibrary();
        sane = std::move(scanner);
        Services services = installed();
        services.scanner = sane.get();
        install(services);
    }
    // The stack reads its configuration when it starts, so each test writes its own first.
    void backends(const QByteArray& dllConf) {
        write("dll.conf", dllConf);
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(config.path()));
    }
    // The test backend's settings: the backend keeps what an earlier start read, so every
    // setting a test changes is given its default first, and the test's own come after it.
    void testBackend(const QByteArray& settings) {
        write("test.conf", "number_of_devices 2\nmode Gray\ndepth 8\nhand-scanner false\n"
                           "three-pass false\ntest-picture \"Solid black\"\n"
                           "read-status-code \"Default\"\nppl-loss 0\nscan-source \"Flatbed\"\n" +
                               settings);
    }
    void write(const char* name, const QByteArray& text) {
        QFile f(config.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    // Scans once with the component alone, from the first source, and gives the images.
    std::vector<QImage> scanImages(TScanEnd* end = nullptr) {
        TTwainSession twain;
        std::vector<QImage> images;
        bool ended = false;
        twain.OnTwainAcquire = [&](TTwainSession*, int, const QImage& image, bool&) {
            images.push_back(image);
        };
        twain.OnScanEnd = [&](TScanEnd e) {
            ended = true;
            if (end != nullptr)
                *end = e;
        };
        EXPECT_TRUE(twain.LoadLibrary());
        EXPECT_TRUE(twain.OpenSourceManager());
        EXPECT_GE(twain.SourceCount(), 1);
        EXPECT_TRUE(twain.LoadSource(0));
        EXPECT_TRUE(twain.SetResolution(0, 150));
        EXPECT_TRUE(twain.EnableSource(0));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 30000));
        return images;
    }
};

bool uniform(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

TEST_F(SaneTest, AColourPatternAt150DpiArrivesWithItsSize) {
    testBackend("mode Color\ntest-picture \"Color pattern\"\n");
    TScanEnd end = TScanEnd::Failed;
    const std::vector<QImage> images = scanImages(&end);
    EXPECT_EQ(end, TScanEnd::Finished);
    ASSERT_EQ(images.size(), 1u);
    // 80 x 100 mm at 150 dpi.
    EXPECT_EQ(images[0].size(), QSize(472, 590));
    QSet<QRgb> colours;
    for (int y = 0; y < images[0].height(); ++y)
        for (int x = 0; x < images[0].width(); ++x)
            colours.insert(images[0].pixel(x, y));
    EXPECT_GT(colours.size(), 100); // the pattern's colour rows, not a blank page
}

TEST_F(SaneTest, EveryFrameKindOfTheBackendReadsAsItsPicture) {
    constexpr QRgb Black = 0xFF000000;
    constexpr QRgb White = 0xFFFFFFFF;
    struct Case {
        const char* settings;
        QSize size;
        QRgb colour;
    };
    const Case cases[] = {
        {"mode Gray\ndepth 8\ntest-picture \"Solid white\"\n", {472, 590}, White},
        {"mode Gray\ndepth 1\ntest-picture \"Solid black\"\n", {472, 590}, Black},
        {"mode Gray\ndepth 1\ntest-picture \"Solid white\"\n", {472, 590}, White},
        {"mode Gray\ndepth 16\ntest-picture \"Solid white\"\n", {472, 590}, White},
        {"mode Color\ndepth 16\ntest-picture \"Solid white\"\n", {472, 590}, White},
        {"mode Color\ndepth 1\ntest-picture \"Solid white\"\n", {472, 590}, White},
        // Three frames, one channel each: white only when all three arrived.
        {"mode Color\nthree-pass true\ntest-picture \"Solid white\"\n", {472, 590}, White},
        // Lines padded: pixels are lost from each line, the bytes stay.
        {"mode Gray\nppl-loss 3\ntest-picture \"Solid white\"\n", {469, 590}, White},
        // A hand scanner: 110 mm wide, its length known only at the end.
        {"mode Gray\nhand-scanner true\ntest-picture \"Solid white\"\n", {649, 1003}, White},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        testBackend(c.settings);
        const std::vector<QImage> images = scanImages();
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].size(), c.size);
        EXPECT_TRUE(uniform(images[0], c.colour));
    }
}

TEST_F(SaneTest, TheFeederBringsItsTenPagesAndTheLastRemains) {
    testBackend("mode Color\ntest-picture \"Color pattern\"\n"
                "scan-source \"Automatic Document Feeder\"\n");
    scan(ScanPageMode::Double);
    EXPECT_EQ(board.placed.size(), 10u);
    EXPECT_TRUE(messages().isEmpty());
    // The sources read the same but for their device names.
    ASSERT_EQ(form->ListBox1->count(), 2);
    EXPECT_EQ(form->ListBox1->item(0)->text(), "Noname frontend-tester (test:0)");
    EXPECT_EQ(form->ListBox1->item(1)->text(), "Noname frontend-tester (test:1)");
}

TEST_F(SaneTest, AJamOrAnInputErrorIsToldAndPlacesNothing) {
    for (const char* status : {"SANE_STATUS_JAMMED", "SANE_STATUS_IO_ERROR"}) {
        SCOPED_TRACE(status);
        fakes.dialogs.shown.clear();
        testBackend(QByteArray("mode Color\nread-status-code \"") + status + "\"\n");
        scan(ScanPageMode::Double);
        EXPECT_TRUE(board.placed.empty());
        EXPECT_EQ(messages(), QStringList{ScanNotCompleted});
    }
}

TEST_F(SaneTest, WithoutTheLibraryTheDriverErrorIsShown) {
    // A library that is not there, and one named by a path, which is never loaded.
    for (const char* name : {"libsane-not-installed.so.1", "./libsane.so.1"}) {
        SCOPED_TRACE(name);
        fakes.dialogs.shown.clear();
        useScanner(std::make_unique<SaneScanner>(QByteArray(name)));
        pressScannerButton();
        EXPECT_EQ(messages(), QStringList{ScannerDriverError});
        EXPECT_FALSE(form->Twain->LibraryLoaded());
    }
}

TEST_F(SaneTest, WithoutADeviceTheTeacherIsToldSo) {
    backends("# no backend\n");
    pressScannerButton();
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_EQ(messages(), QStringList{NoScannerFound});
}
