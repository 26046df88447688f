// Cursor files: the program's own cursors load with their hotspots, and a damaged or foreign
// file gives no cursor rather than a crash or a read past its end.
#include "platform/raster/cursors.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace platform;

namespace {

// Restores the current folder when a test ends, since cursors load from it.
class InFolder {
public:
    explicit InFolder(const QString& folder) : previous_(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~InFolder() { QDir::setCurrent(previous_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    QString previous_;
};

TEST(ProgramCursors, EachLoadsFromTheCurrentFolderWithItsHotspot) {
    struct Case {
        const char* name;
        QPoint hotspot;
    };
    const Case cases[] = {
        {"Text_Hnd.cut", {1, 30}},   {"Sonic cross2.cut", {15, 15}}, {"Sonic cross3.cut", {10, 10}},
        {"prcs_mox1.cut", {10, 10}}, {"Altr_Fsh.cut", {0, 0}},       {"prcs_mox2.cut", {15, 15}},
    };
    const InFolder here(QStringLiteral(KV_PROGRAM_FOLDER));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto cursor = loadCursorFile(QString::fromUtf8(c.name));
        ASSERT_TRUE(cursor.has_value());
        EXPECT_EQ(cursor->hotSpot(), c.hotspot);
        const QImage picture = cursor->pixmap().toImage();
        ASSERT_EQ(picture.size(), QSize(32, 32));
        // The hotspot sits on a drawn pixel and the mask makes the free corner see-through.
        EXPECT_EQ(qAlpha(picture.pixel(c.hotspot)), 255);
        EXPECT_EQ(qAlpha(picture.pixel(31, 31)), 0);
    }
}

struct Image {
    int size;
    QPoint hotspot;
    QRgb colour;
};

void put16(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}
void put32(QByteArray& out, int v) {
    put16(out, v & 0xFFFF);
    put16(out, (v >> 16) & 0xFFFF);
}

// A cursor file with one opaque 32-bit square picture per entry.
QByteArray cursorFile(const std::vector<Image>& images) {
    std::vector<QByteArray> pictures;
    for (const Image& image : images) {
        QByteArray p;
        put32(p, 40);
        put32(p, image.size);
        put32(p, image.size * 2);
        put16(p, 1);
        put16(p, 32);
        for (int i = 0; i < 6; ++i)
            put32(p, 0);
        for (int i = 0; i < image.size * image.size; ++i)
            put32(p, static_cast<int>(image.colour));
        p.append(QByteArray((image.size + 31) / 32 * 4 * image.size, '\0'));
        pictures.push_back(p);
    }
    QByteArray file;
    put16(file, 0);
    put16(file, 2);
    put16(file, static_cast<int>(images.size()));
    int offset = 6 + 16 * static_cast<int>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.append(static_cast<char>(images[i].size));
        file.append(static_cast<char>(images[i].size));
        file.append('\0');
        file.append('\0');
        put16(file, images[i].hotspot.x());
        put16(file, images[i].hotspot.y());
        put32(file, static_cast<int>(pictures[i].size()));
        put32(file, offset);
        offset += static_cast<int>(pictures[i].size());
    }
    for (const QByteArray& p : pictures)
        file.append(p);
    return file;
}

struct CursorFileTest : ::testing::Test {
    QTemporaryDir dir;
    std::optional<QCursor> load(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("test.cut"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        return loadCursorFile(path);
    }
};

TEST_F(CursorFileTest, TakesThePictureNearestThirtyTwoPixels) {
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const auto cursor =
        load(cursorFile({{16, {3, 4}, red}, {32, {20, 21}, blue}, {48, {1, 1}, red}}));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotSpot(), QPoint(20, 21));
    const QImage picture = cursor->pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(picture.pixel(5, 5), blue);
}

TEST_F(CursorFileTest, RefusesMissingDamagedAndForeignFiles) {
    const QByteArray good = cursorFile({{32, {5, 6}, qRgb(0, 0, 0)}});
    ASSERT_TRUE(load(good).has_value());

    auto setWord = [](QByteArray& b, int at, int v) {
        b[at] = static_cast<char>(v & 0xFF);
        b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    struct Case {
        const char* what;
        std::function<void(QByteArray&)> damage;
    };
    const Case cases[] = {
        {"empty", [](QByteArray& b) { b.clear(); }},
        {"header only", [](QByteArray& b) { b.truncate(6); }},
        {"truncated picture", [](QByteArray& b) { b.truncate(100); }},
        {"last byte missing", [](QByteArray& b) { b.chop(1); }},
        {"reserved word set", [&](QByteArray& b) { setWord(b, 0, 1); }},
        {"an icon (type 1)", [&](QByteArray& b) { setWord(b, 2, 1); }},
        {"unknown type", [&](QByteArray& b) { setWord(b, 2, 3); }},
        {"no pictures", [&](QByteArray& b) { setWord(b, 4, 0); }},
        {"more entries than the file holds", [&](QByteArray& b) { setWord(b, 4, 0xFFFF); }},
        {"offset past the end", [&](QByteArray& b) { setWord(b, 20, 0x7FFF); }},
        {"offset inside the directory", [&](QByteArray& b) { setWord(b, 18, 2); }},
        {"size past the end", [&](QByteArray& b) { setWord(b, 16, 0xFFFF); }},
        {"size near 4 GB",
         [&](QByteArray& b) {
             setWord(b, 14, 0xFFFF);
             setWord(b, 16, 0xFFFF);
         }},
        {"bitmap larger than its entry", [&](QByteArray& b) { setWord(b, 22 + 4, 200); }},
        {"bitmap with a bad depth", [&](QByteArray& b) { setWord(b, 22 + 14, 7); }},
        {"garbage", [](QByteArray& b) { b.fill('\xA5'); }},
    };
    for (const Case& c : cases) {
        QByteArray bytes = good;
        c.damage(bytes);
        EXPECT_FALSE(load(bytes).has_value()) << c.what;
    }
    EXPECT_FALSE(loadCursorFile(dir.filePath(QStringLiteral("no such file.cut"))).has_value());
}

} // namespace
