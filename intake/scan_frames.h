// A scanned image put together from the frames the scanner sends: grey or colour lines of 1, 8
// or 16 bits a sample, colour sent as one frame or as three (a three-pass scanner), lines
// padded at their ends, and a line count the scanner may not know until the end (a hand
// scanner). The bytes are taken as they come, so a line may arrive in pieces.
#pragma once

#include "platform/os/scanner.h"

#include <QImage>
#include <QtGlobal>
#include <vector>

class ScanImageBuilder {
public:
    // `maxPixels`: the largest picture taken; the picture conversion's limit unless a test
    // says otherwise.
    explicit ScanImageBuilder(qint64 maxPixels);
    ScanImageBuilder();

    // Starts a frame. False when its parameters make no sense, do not fit the frames before it,
    // or would make a picture larger than the picture conversion takes.
    bool beginFrame(const platform::FrameParameters& frame);
    // Takes the next bytes of the frame. False when the picture grows past that size.
    bool append(const unsigned char* data, int length);
    // Ends the frame at the end of its data. False when the frame is not whole: fewer lines
    // than it announced, or no line at all.
    bool endFrame();
    // True once a frame that ended was the picture's last.
    bool complete() const { return complete_; }
    // The picture, opaque; a channel that no frame brought stays 0.
    QImage take();

    // The bytes the whole picture brings, to show progress; 0 while that is not known.
    qint64 expectedBytes() const { return expectedBytes_; }
    qint64 receivedBytes() const { return receivedBytes_; }

private:
    void storeLine();
    bool addRow();

    qint64 maxPixels_;
    platform::FrameParameters frame_;
    bool framed_ = false;
    int width_ = 0;
    int height_ = 0; // rows of the picture; while the first frame has no known count, those so far
    bool heightKnown_ = false;
    int channelsSeen_ = 0;
    bool complete_ = false;
    std::vector<QRgb> pixels_;
    std::vector<unsigned char> line_;
    std::size_t lineFill_ = 0;
    int row_ = 0; // the row of the current frame that the next whole line fills
    qint64 expectedBytes_ = 0;
    qint64 receivedBytes_ = 0;
};
