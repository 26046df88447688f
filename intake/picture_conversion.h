// The one routine that changes the size of a picture, and each caller's rule for the target
// size, the two rectangles and the interpolation mode.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// An image encoder the save code can hand to QImageWriter.
struct EncoderId {
    QByteArray format;   // Qt's format name: "bmp", "png", ...
    QByteArray mimeType; // "image/bmp", ...
    bool operator==(const EncoderId&) const = default;
};

// The encoders in their fixed order (bmp, jpeg, gif, tiff, png), those this machine can write.
const std::vector<EncoderId>& ImageEncoders();

// The index of the encoder whose MIME type equals `mimeType` exactly (case counts), its id in
// `out`; the last match wins. -1 when none matches, and `out` is left as it was.
int FindEncoderByMimeType(const QString& mimeType, EncoderId& out);

// A rectangle in 32-bit floats: fractional edges are part of the callers' rules.
struct FloatRect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
    bool operator==(const FloatRect&) const = default;
};

// Unset leaves the drawing's default (fast); 2 and 7 draw smoothly.
enum class InterpolationMode { Unset = 0, LowQuality = 1, HighQuality = 2, HighQualityBicubic = 7 };

struct ConversionRequest {
    int targetWidth = 0;
    int targetHeight = 0;
    FloatRect destination;
    FloatRect source;
    InterpolationMode interpolation = InterpolationMode::Unset;
    // False: nothing is drawn; the result is the source itself at its own size.
    bool drawn = true;
    // The name the picture's temporary BMP would carry in the program folder. The conversion
    // works in memory and writes no temporary file; the name is kept for the callers' records.
    QString temporaryFile = QStringLiteral("tmp.bmt");
    // With a trailing separator.
    QString programFolder;
    // The scanner's row: "tmp.bmp" in the program folder is deleted before converting.
    bool deleteTmpBmpFirst = false;
    // What the drawing leaves uncovered stays transparent instead of black, so that the bands
    // beside a fitted picture show whatever it is drawn on; the picture itself is opaque.
    bool clearBands = false;
};

// A source opened and decoded once. Zoom steps keep one and scale from it each time, so the
// steps never compound; it holds its own copy, unaffected by later changes to the bitmap it
// was taken from.
class CapturedPicture {
public:
    // Empty when the file cannot be read as a picture or the picture has no pixels.
    static std::optional<CapturedPicture> open(const QString& path);
    // The picture of a file decoded smaller when it is large, for a target whose longer side
    // is `least`: the decoded picture's longer side is at least twice that (a JPEG file is
    // decoded at a fraction of its size, not decoded whole and shrunk), and it never has more
    // than MaxTargetPixels pixels. `fullSize` is the picture's own size, which the caller's
    // rule is worked out from.
    static std::optional<CapturedPicture> openReduced(const QString& path, int least,
                                                      QSize& fullSize);
    // A bitmap is taken as opaque, as its BMP form is; empty for a bitmap without pixels.
    static std::optional<CapturedPicture> fromBitmap(const QImage& bitmap);

    QSize size() const { return image_.size(); }
    const QImage& image() const { return image_; }

private:
    explicit CapturedPicture(QImage image) : image_(std::move(image)) {}
    QImage image_;
};

// The largest target the conversion makes, in pixels (256 MiB at 32 bits a pixel): zooming a
// picture step after step must end in "no result", not in an allocation the machine cannot
// give.
constexpr long long MaxTargetPixels = 1LL << 26;

// Qt refuses to decode a picture whose pixels take more than 128 MB, which turns a phone's
// 48-megapixel photo into "cannot be opened". The program calls this at start to let Qt read
// any picture up to the size of the largest target the conversion makes (MaxTargetPixels at
// 32 bits a pixel): a picture the conversion could produce can also be opened.
void RaisePictureReadLimit();
constexpr int PictureReadLimitMegabytes = static_cast<int>(MaxTargetPixels * 4 / (1024 * 1024));

// Draws `request.source` of the picture into `request.destination` of a transparent black
// target and returns the target read back as an opaque Format_RGB32 bitmap: uncovered pixels
// are black. Empty, with nothing changed, when the target is empty or larger than
// MaxTargetPixels. A caller that converts often may hand in its previous result as `reuse`:
// when no one else holds it and it fits, the target is drawn in its memory.
std::optional<QImage> ConvertPicture(const CapturedPicture& picture,
                                     const ConversionRequest& request, QImage reuse = {});

// Rounding to the nearest whole number, ties to even; saturates outside the int range and
// gives 0 for NaN.
int roundHalfEven(double value);

// The zoom factor's steps: it is a 32-bit float, multiplied or divided by exactly 1.5.
inline float zoomedIn(float factor) {
    return factor * 1.5f;
}
inline float zoomedOut(float factor) {
    return factor / 1.5f;
}

// The callers' rules. Each takes the opened source's size; a source size with a zero side
// gives an empty target (and so no result), never a division by zero.

// A 100 x 100 thumbnail of an imported picture file: fitted, centred, black bands.
ConversionRequest importThumbnailRequest(QSize source, const QString& programFolder);

// A picture from the side panel placed on the page: at least as wide as the screen, it is
// brought to the screen's width; narrower, it is taken unchanged.
ConversionRequest sidePanelRequest(QSize source, int screenWidth, const QString& programFolder);

// A picture file from the side panel as it is placed, by sidePanelRequest's rule; a picture that
// would be placed with more than MaxTargetPixels pixels comes brought down, in its own shape,
// to the largest size that has no more. The file is decoded no larger than that needs.
// `atScreenWidth`: the rule brought it to the screen's width. Empty when the file cannot be
// read as a picture.
std::optional<QImage> sidePanelPicture(const QString& path, int screenWidth,
                                       const QString& programFolder, bool& atScreenWidth);

// One page of the two-page thumbnail strip at half size.
ConversionRequest thumbnailStripRequest(QSize page, const QString& programFolder);

enum class FloatingKind {
    Placed,   // a picture placed on the page: all of it
    Selection // a rectangle cut from the page: its dotted frame is left out
};

// A zoom step of the whiteboard's floating picture, from its captured size, at factor `zoom`.
ConversionRequest boardZoomRequest(QSize captured, float zoom, FloatingKind kind,
                                   const QString& programFolder);

enum class ScanPageMode { Single, Double };

// A scanned image brought to the screen's width plus 50; single-page mode keeps the screen's
// height and cuts the rest of the scan off.
ConversionRequest scannerRequest(QSize scan, QSize screen, ScanPageMode mode,
                                 const QString& programFolder);

enum class ZoomDirection { Enlarge, Reduce };

// Where a floating picture of `size` at `topLeft` goes after a zoom step so that it stays on
// the screen: enlarging pulls it back from the right and bottom edges and leaves half of any
// overhang at the left and top; reducing brings it back from beyond the left and top.
QPoint keptOnScreen(QPoint topLeft, QSize size, QSize screen, ZoomDirection step);

// A zoom step of the annotation overlay's floating picture, whose 2-pixel border is left out.
ConversionRequest overlayZoomRequest(QSize captured, float zoom, ZoomDirection step,
                                     const QString& programFolder);
