// JPEG files of every kind the stamp decoder must handle, made by the IJG encoder itself, so
// that the tests need no picture files and their content is known to the pixel.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace jpegfixtures {

enum class Kind {
    Baseline,
    Progressive,
    Greyscale,
    GreyscaleProgressive,
    CmykAdobe, // inverted, as print programs write it, with the Adobe marker saying so
    CmykPlain, // no Adobe marker: ink amounts as they are
};

QByteArray encode(const QImage& picture, Kind kind, int quality = 95);

// The same file with its frame header claiming another size; the picture data is unchanged.
QByteArray withClaimedSize(QByteArray jpeg, int width, int height);

// The file cut short halfway through the picture data of its first scan, where a file copied
// off a broken stick ends; the headers before it are whole.
QByteArray cutInFirstScan(const QByteArray& jpeg);

// A progressive file with its last scan repeated `times` more times, as a crafted file makes
// the decoder go over the whole picture again and again.
QByteArray withLastScanRepeated(const QByteArray& jpeg, int times);

// Four blocks side by side: red, green, blue, white; 48 x 32 pixels.
QImage blocks();

struct Fixture {
    QString name;
    QByteArray data;
};
// Small files of each kind, cut-short files and headers claiming huge sizes: the tests' cases
// and the fuzzer's seeds.
std::vector<Fixture> all();

} // namespace jpegfixtures
