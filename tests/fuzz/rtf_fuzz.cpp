// The text panel's RTF reader on any bytes at all: no crash, no hang, memory bounded by what is
// kept; and what it read, written out, reads back to the same text and writes the same bytes.
#include "platform/raster/rich_text.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace platform;

namespace {

// A broken rule shows what was written and read back before the fuzzer stops.
void require(bool condition, const QByteArray& written, const QTextDocument& read) {
    if (condition)
        return;
    std::fprintf(stderr, "written:\n%s\nread back:\n%s\n", written.constData(),
                 richTextToRtf(read).constData());
    std::abort();
}

// Documents measure their fonts through the application.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "rtf_fuzz";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument first;
    first.setDefaultFont(richTextDefaultFont());
    rtfToRichText(bytes, first);

    const QByteArray written = richTextToRtf(first);
    QTextDocument second;
    second.setDefaultFont(richTextDefaultFont());
    rtfToRichText(written, second);
    require(second.toRawText() == first.toRawText(), written, second);
    require(richTextToRtf(second) == written, written, second);
    return 0;
}
