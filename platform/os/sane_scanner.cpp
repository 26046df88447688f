// SANE loaded at run time. The library stays mapped once loaded (backends may leave code behind
// that a later call reaches); "unloading" stops the stack, and loading again starts it anew.
#include "platform/os/sane_scanner.h"

#include <sane/sane.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace platform {

namespace {

// The calls of the stack that the program makes, resolved by name from the library.
struct SaneApi {
    decltype(&::sane_init) init = nullptr;
    decltype(&::sane_exit) exit = nullptr;
    decltype(&::sane_get_devices) getDevices = nullptr;
    decltype(&::sane_open) open = nullptr;
    decltype(&::sane_close) close = nullptr;
    decltype(&::sane_get_option_descriptor) optionDescriptor = nullptr;
    decltype(&::sane_control_option) controlOption = nullptr;
    decltype(&::sane_get_parameters) getParameters = nullptr;
    decltype(&::sane_start) start = nullptr;
    decltype(&::sane_read) read = nullptr;
    decltype(&::sane_cancel) cancel = nullptr;
};

template <typename F> bool resolve(void* module, const char* name, F& out) {
    void* symbol = dlsym(module, name);
    if (symbol == nullptr)
        return false;
    static_assert(sizeof(out) == sizeof(symbol));
    std::memcpy(&out, &symbol, sizeof(out));
    return true;
}

bool resolveAll(void* module, SaneApi& api) {
    return resolve(module, "sane_init", api.init) && resolve(module, "sane_exit", api.exit) &&
           resolve(module, "sane_get_devices", api.getDevices) &&
           resolve(module, "sane_open", api.open) && resolve(module, "sane_close", api.close) &&
           resolve(module, "sane_get_option_descriptor", api.optionDescriptor) &&
           resolve(module, "sane_control_option", api.controlOption) &&
           resolve(module, "sane_get_parameters", api.getParameters) &&
           resolve(module, "sane_start", api.start) && resolve(module, "sane_read", api.read) &&
           resolve(module, "sane_cancel", api.cancel);
}

ScanStatus statusOf(SANE_Status status) {
    switch (status) {
    case SANE_STATUS_GOOD:
        return ScanStatus::Good;
    case SANE_STATUS_EOF:
        return ScanStatus::EndOfFrame;
    case SANE_STATUS_CANCELLED:
        return ScanStatus::Cancelled;
    case SANE_STATUS_NO_DOCS:
        return ScanStatus::NoDocuments;
    default:
        return ScanStatus::Failed;
    }
}

QString text(SANE_String_Const s) {
    return s != nullptr ? QString::fromUtf8(s) : QString();
}

constexpr double FixedScale = 65536.0; // SANE_Fixed carries 16 fraction bits

double numberOf(SANE_Value_Type type, SANE_Word word) {
    return type == SANE_TYPE_FIXED ? word / FixedScale : static_cast<double>(word);
}

// The option's nearest allowed value to `wanted`, as the option's type holds it; nothing when
// the value cannot be held at all.
std::optional<SANE_Word> allowedWord(const SANE_Option_Descriptor& d, double wanted) {
    double v = wanted;
    if (d.constraint_type == SANE_CONSTRAINT_WORD_LIST && d.constraint.word_list != nullptr &&
        d.constraint.word_list[0] > 0) {
        const SANE_Word* list = d.constraint.word_list;
        double best = numberOf(d.type, list[1]);
        for (SANE_Word i = 2; i <= list[0]; ++i) {
            const double candidate = numberOf(d.type, list[i]);
            if (std::fabs(candidate - wanted) < std::fabs(best - wanted))
                best = candidate;
        }
        v = best;
    } else if (d.constraint_type == SANE_CONSTRAINT_RANGE && d.constraint.range != nullptr) {
        const SANE_Range& r = *d.constraint.range;
        const double lo = numberOf(d.type, r.min);
        const double hi = numberOf(d.type, r.max);
        const double quant = numberOf(d.type, r.quant);
        v = std::clamp(v, lo, std::max(lo, hi));
        if (quant > 0)
            v = std::min(lo + std::round((v - lo) / quant) * quant, std::max(lo, hi));
    }
    const double word = d.type == SANE_TYPE_FIXED ? std::round(v * FixedScale) : std::round(v);
    if (!std::isfinite(word) || word < std::numeric_limits<SANE_Word>::min() ||
        word > std::numeric_limits<SANE_Word>::max())
        return std::nullopt;
    return static_cast<SANE_Word>(word);
}

std::optional<SANE_Word> switchValue(const QString& value) {
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("1"))
        return SANE_TRUE;
    if (v == QLatin1String("false") || v == QLatin1String("no") || v == QLatin1String("0"))
        return SANE_FALSE;
    return std::nullopt;
}

} // namespace

class SaneLibrary {
public:
    SaneApi api;

    static std::shared_ptr<SaneLibrary> load(const QByteArray& name) {
        // A name with a folder in it would bypass the loader's own search.
        if (name.isEmpty() || name.contains('/'))
            return nullptr;
        void* module = dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (module == nullptr)
            return nullptr;
        auto library = std::shared_ptr<SaneLibrary>(new SaneLibrary(module));
        if (!resolveAll(module, library->api))
            return nullptr; // the destructor frees the module
        SANE_Int version = 0;
        if (library->api.init(&version, nullptr) != SANE_STATUS_GOOD)
            return nullptr;
        library->started_ = true;
        return library;
    }

    ~SaneLibrary() {
        if (started_)
            api.exit();
        dlclose(module_);
    }
    SaneLibrary(const SaneLibrary&) = delete;
    SaneLibrary& operator=(const SaneLibrary&) = delete;

private:
    explicit SaneLibrary(void* module) : module_(module) {}
    void* module_;
    bool started_ = false;
};

namespace {

class SaneHandle final : public ScannerHandle {
public:
    SaneHandle(std::shared_ptr<SaneLibrary> library, SANE_Handle handle)
        : library_(std::move(library)), api_(library_->api), handle_(handle) {}
    ~SaneHandle() override { api_.close(handle_); }
    SaneHandle(const SaneHandle&) = delete;
    SaneHandle& operator=(const SaneHandle&) = delete;

    OptionResult setOption(const QByteArray& name, const QString& value) override {
        const std::optional<SANE_Int> index = find(name);
        if (!index)
            return OptionResult::Failed;
        const SANE_Option_Descriptor& d = *api_.optionDescriptor(handle_, *index);
        if (!SANE_OPTION_IS_SETTABLE(d.cap) || !SANE_OPTION_IS_ACTIVE(d.cap))
            return OptionResult::Failed;

        bool inexact = false;
        std::vector<unsigned char> buffer(static_cast<std::size_t>(std::max(d.size, 0)));
        switch (d.type) {
        case SANE_TYPE_BOOL:
        case SANE_TYPE_INT:
        case SANE_TYPE_FIXED: {
            if (d.size != static_cast<SANE_Int>(sizeof(SANE_Word)))
                return OptionResult::Failed; // an array of values: not what we set
            std::optional<SANE_Word> word;
            if (d.type == SANE_TYPE_BOOL) {
                word = switchValue(value);
            } else {
                bool ok = false;
                const double wanted = value.trimmed().toDouble(&ok);
                if (ok) {
                    word = allowedWord(d, wanted);
                    inexact = word && numberOf(d.type, *word) != wanted;
                }
            }
            if (!word)
                return OptionResult::Failed;
            std::memcpy(buffer.data(), &*word, sizeof(SANE_Word));
            break;
        }
        case SANE_TYPE_STRING: {
            const QByteArray bytes = value.toUtf8();
            if (bytes.size() >= d.size)
                return OptionResult::Failed; // no room for the text and its terminator
            std::memcpy(buffer.data(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
            break;
        }
        default:
            return OptionResult::Failed;
        }
        SANE_Int info = 0;
        if (api_.controlOption(handle_, *index, SANE_ACTION_SET_VALUE, buffer.data(), &info) !=
            SANE_STATUS_GOOD)
            return OptionResult::Failed;
        return inexact || (info & SANE_INFO_INEXACT) != 0 ? OptionResult::Inexact
                                                          : OptionResult::Set;
    }

    bool feederSelected() override {
        const std::optional<SANE_Int> index = find(QByteArrayLiteral("source"));
        if (!index)
            return false;
        const SANE_Option_Descriptor& d = *api_.optionDescriptor(handle_, *index);
        if (d.type != SANE_TYPE_STRING || d.size <= 0 || !SANE_OPTION_IS_ACTIVE(d.cap))
            return false;
        std::vector<char> value(static_cast<std::size_t>(d.size) + 1, '\0');
        if (api_.controlOption(handle_, *index, SANE_ACTION_GET_VALUE, value.data(), nullptr) !=
            SANE_STATUS_GOOD)
            return false;
        // Backends name their feeders freely: "Automatic Document Feeder", "ADF Front",
        // "ADF Duplex", "Document Feeder".
        const QString source = QString::fromUtf8(value.data()).toLower();
        return source.contains(QLatin1String("feeder")) || source.contains(QLatin1String("adf")) ||
               source.contains(QLatin1String("duplex"));
    }

    ScanStatus start() override { return statusOf(api_.start(handle_)); }

    ScanStatus parameters(FrameParameters& out) override {
        SANE_Parameters p{};
        const SANE_Status status = api_.getParameters(handle_, &p);
        if (status != SANE_STATUS_GOOD)
            return statusOf(status);
        switch (p.format) {
        case SANE_FRAME_GRAY:
            out.format = FrameFormat::Gray;
            break;
        case SANE_FRAME_RGB:
            out.format = FrameFormat::Rgb;
            break;
        case SANE_FRAME_RED:
            out.format = FrameFormat::Red;
            break;
        case SANE_FRAME_GREEN:
            out.format = FrameFormat::Green;
            break;
        case SANE_FRAME_BLUE:
            out.format = FrameFormat::Blue;
            break;
        default:
            return ScanStatus::Failed; // a frame kind this program cannot show
        }
        out.lastFrame = p.last_frame != SANE_FALSE;
        out.bytesPerLine = p.bytes_per_line;
        out.pixelsPerLine = p.pixels_per_line;
        out.lines = p.lines;
        out.depth = p.depth;
        return ScanStatus::Good;
    }

    ScanStatus read(unsigned char* buffer, int maxLength, int& length) override {
        SANE_Int n = 0;
        const SANE_Status status = api_.read(handle_, buffer, maxLength, &n);
        length = std::clamp(n, 0, maxLength);
        return statusOf(status);
    }

    void cancel() override { api_.cancel(handle_); }

private:
    // Options are found by name through their descriptors; their numbers differ by device.
    std::optional<SANE_Int> find(const QByteArray& name) {
        SANE_Word count = 0;
        if (api_.controlOption(handle_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) !=
            SANE_STATUS_GOOD)
            return std::nullopt;
        for (SANE_Int i = 1; i < count; ++i) {
            const SANE_Option_Descriptor* d = api_.optionDescriptor(handle_, i);
            if (d != nullptr && d->name != nullptr && name == d->name)
                return i;
        }
        return std::nullopt;
    }

    std::shared_ptr<SaneLibrary> library_;
    const SaneApi& api_;
    SANE_Handle handle_;
};

} // namespace

SaneScanner::SaneScanner(QByteArray libraryName) : libraryName_(std::move(libraryName)) {}

SaneScanner::~SaneScanner() = default;

bool SaneScanner::load() {
    if (!library_)
        library_ = SaneLibrary::load(libraryName_);
    return library_ != nullptr;
}

void SaneScanner::unload() {
    library_.reset();
}

std::vector<ScannerInfo> SaneScanner::devices() {
    std::vector<ScannerInfo> list;
    if (!library_)
        return list;
    const SANE_Device** devices = nullptr;
    if (library_->api.getDevices(&devices, SANE_FALSE) != SANE_STATUS_GOOD || devices == nullptr)
        return list;
    for (const SANE_Device** d = devices; *d != nullptr; ++d) {
        if ((*d)->name == nullptr)
            continue;
        list.push_back(
            {QByteArray((*d)->name), text((*d)->vendor), text((*d)->model), text((*d)->type)});
    }
    return list;
}

std::unique_ptr<ScannerHandle> SaneScanner::open(const QByteArray& name) {
    if (!library_)
        return nullptr;
    SANE_Handle handle = nullptr;
    if (library_->api.open(name.constData(), &handle) != SANE_STATUS_GOOD || handle == nullptr)
        return nullptr;
    return std::make_unique<SaneHandle>(library_, handle);
}

} // namespace platform
