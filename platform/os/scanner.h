// The scanner stack: its library, the devices it knows and an open device that scans. The
// operations are those of the stack itself (start a scan, read its frames, cancel), so that the
// program's own logic decides what makes an image, what a feeder's end is and what a failure is.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace platform {

// A device as the stack lists it.
struct ScannerInfo {
    QByteArray name; // what opens it
    QString vendor;
    QString model;
    QString type;
};

enum class ScanStatus {
    Good,
    EndOfFrame,  // the frame's data is complete
    Cancelled,   // the scan was cancelled
    NoDocuments, // the feeder is empty
    Failed       // anything else: a jam, an open cover, an I/O error, a refused call
};

// How the samples of one frame arrive.
enum class FrameFormat {
    Gray, // one channel
    Rgb,  // the three channels of each pixel one after the other
    Red,  // one channel of a colour image sent as three frames
    Green,
    Blue
};

struct FrameParameters {
    FrameFormat format = FrameFormat::Gray;
    // False while more frames of the same image follow (the channels of a three-pass scan).
    bool lastFrame = true;
    // Bytes in one line, padding included.
    int bytesPerLine = 0;
    int pixelsPerLine = 0;
    // -1 when the device does not know before the end (a hand scanner).
    int lines = 0;
    // Bits per sample: 1 (a set bit is black in grey frames, full intensity in colour frames),
    // 8, or 16 (in the machine's byte order).
    int depth = 8;
};

enum class OptionResult {
    Set,     // the device took the value as given
    Inexact, // the device took the nearest value it has
    Failed   // no such option, not settable now, or a value of the wrong kind
};

// An open device. It is closed when the object goes. The scanning calls (start, parameters,
// read, cancel) may be made from one thread other than the one that opened the device, as
// long as nothing else uses the device meanwhile.
class ScannerHandle {
public:
    virtual ~ScannerHandle() = default;

    // Sets an option by its name from a text read as the option's own type: a number for
    // whole and fixed-point options (brought to the option's allowed values), "true" or
    // "false" for switches, the text itself for texts.
    virtual OptionResult setOption(const QByteArray& name, const QString& value) = 0;
    // Whether the device takes its pages from a feeder, so that one scan may bring several.
    virtual bool feederSelected() = 0;

    // Starts a scan, or the next frame of a multi-frame image, or the next page of a feeder.
    virtual ScanStatus start() = 0;
    // The parameters of the frame that start() began.
    virtual ScanStatus parameters(FrameParameters& out) = 0;
    // Reads up to `maxLength` bytes of the frame; `length` says how many came.
    virtual ScanStatus read(unsigned char* buffer, int maxLength, int& length) = 0;
    // Ends the scan cycle: stops a scan that is running and readies the device for the next.
    virtual void cancel() = 0;
};

class Scanner {
public:
    virtual ~Scanner() = default;

    // Loads the stack's library and starts the stack; false when the library is missing,
    // lacks an entry point or does not start. Loading again when loaded does nothing.
    virtual bool load() = 0;
    // Stops the stack and unloads its library. Devices still open keep it alive until they
    // are closed, so that no call goes into a library that is gone.
    virtual void unload() = 0;
    virtual bool loaded() const = 0;

    // The devices in the stack's order; empty when none is found or the stack is not loaded.
    virtual std::vector<ScannerInfo> devices() = 0;
    // Opens a device; empty when it cannot be opened.
    virtual std::unique_ptr<ScannerHandle> open(const QByteArray& name) = 0;
};

} // namespace platform
