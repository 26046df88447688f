// The profile reader and writer on any bytes at all: no crash, unchanged text comes back byte
// for byte, and what is written reads back, also after the bytes are read again.
#include "platform/os/ini_text.h"

#include <cstdint>
#include <cstdlib>

using namespace platform;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniText text(bytes);
    require(text.bytes() == bytes);

    const QString sections[] = {QStringLiteral("tec"), QStringLiteral("教师0"),
                                QStringLiteral("Wang")};
    for (const QString& section : sections) {
        (void)text.value(section, QStringLiteral("mum"));
        if (const std::optional<QString> name = text.value(section, QStringLiteral("te1"))) {
            (void)fitToBuffer(*name, 16);
            (void)strToIntDef(*name, 0);
            if (text.canWrite(*name, QStringLiteral("ce"), QStringLiteral("1")))
                text.setValue(*name, QStringLiteral("ce"), QStringLiteral("1"));
        }
    }

    text.setValue(QStringLiteral("tec"), QStringLiteral("mum"), QStringLiteral("7"));
    text.setValue(QStringLiteral("教师0"), QStringLiteral("bh"), QStringLiteral("3"));
    require(text.value(QStringLiteral("TEC"), QStringLiteral("MUM")) == QStringLiteral("7"));
    const IniText again(text.bytes());
    require(again.value(QStringLiteral("tec"), QStringLiteral("mum")) == QStringLiteral("7"));
    require(again.value(QStringLiteral("教师0"), QStringLiteral("bh")) == QStringLiteral("3"));

    text.removeKey(QStringLiteral("教师0"), QStringLiteral("bh"));
    text.removeSection(QStringLiteral("tec"));
    const IniText third(text.bytes());
    require(!third.value(QStringLiteral("tec"), QStringLiteral("mum")));
    require(!third.value(QStringLiteral("教师0"), QStringLiteral("bh")));
    return 0;
}
