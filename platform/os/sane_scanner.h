// The scanner stack of a Linux desktop: SANE, whose library is loaded when the teacher asks for
// a scanner, so that the program starts and runs on machines without it.
#pragma once

#include "platform/os/scanner.h"

#include <memory>

namespace platform {

class SaneLibrary;

class SaneScanner final : public Scanner {
public:
    // The library is looked up by the system's loader alone (its cache and the system's
    // library folders), never by a path: a name with a folder in it is refused, so that
    // nobody can plant a library in the current or the temporary folder and have it run.
    // Tests name a library that does not exist to see the failure.
    explicit SaneScanner(QByteArray libraryName = QByteArrayLiteral("libsane.so.1"));
    ~SaneScanner() override;
    SaneScanner(const SaneScanner&) = delete;
    SaneScanner& operator=(const SaneScanner&) = delete;

    bool load() override;
    void unload() override;
    bool loaded() const override { return library_ != nullptr; }
    std::vector<ScannerInfo> devices() override;
    std::unique_ptr<ScannerHandle> open(const QByteArray& name) override;

private:
    QByteArray libraryName_;
    std::shared_ptr<SaneLibrary> library_;
};

} // namespace platform
