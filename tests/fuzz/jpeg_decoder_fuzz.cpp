// The stamp decoder as a fuzz target: any bytes at all must give a picture or nothing, within
// bounded memory, without a crash or a sanitizer report. The entry point is libFuzzer's, so the
// same file builds with clang's -fsanitize=fuzzer for a long run; the test suite runs it through
// fuzz_main.cpp.
#include "platform/raster/jpeg_decoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<QImage> picture = platform::decodeJpeg(bytes)) {
        // Every row the decoder hands out must be there to read.
        volatile QRgb sink = 0;
        for (int y = 0; y < picture->height(); y += 7)
            sink = sink ^ picture->pixel(picture->width() - 1, y);
    }
    return 0;
}
