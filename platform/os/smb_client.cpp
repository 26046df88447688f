// Samba's client library loaded at run time. The library stays mapped once loaded; each
// SmbClient is one of its contexts, with the login handed to the library when it asks.
#include "platform/os/smb_client.h"

#include <libsmbclient.h>

#include <dlfcn.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace platform {

namespace {

template <typename F> bool resolve(void* module, const char* name, F& out) {
    void* symbol = dlsym(module, name);
    if (symbol == nullptr)
        return false;
    static_assert(sizeof(out) == sizeof(symbol));
    std::memcpy(&out, &symbol, sizeof(out));
    return true;
}

// Copies a text into one of the library's buffers, cut to fit.
void fill(char* buffer, int size, const QByteArray& text) {
    if (size <= 0)
        return;
    const int n = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.constData(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
}

} // namespace

// The calls the program makes, resolved by name from the library.
struct SmbClient::Api {
    decltype(&::smbc_new_context) newContext = nullptr;
    decltype(&::smbc_init_context) initContext = nullptr;
    decltype(&::smbc_free_context) freeContext = nullptr;
    decltype(&::smbc_setTimeout) setTimeout = nullptr;
    decltype(&::smbc_setPort) setPort = nullptr;
    decltype(&::smbc_setOptionUserData) setUserData = nullptr;
    decltype(&::smbc_getOptionUserData) getUserData = nullptr;
    decltype(&::smbc_setFunctionAuthDataWithContext) setAuth = nullptr;
    decltype(&::smbc_setOptionNoAutoAnonymousLogin) setNoAnonymous = nullptr;
    decltype(&::smbc_getFunctionOpen) open = nullptr;
    decltype(&::smbc_getFunctionRead) read = nullptr;
    decltype(&::smbc_getFunctionWrite) write = nullptr;
    decltype(&::smbc_getFunctionClose) close = nullptr;
    decltype(&::smbc_getFunctionFstat) fstat = nullptr;
    decltype(&::smbc_getFunctionStat) stat = nullptr;
    decltype(&::smbc_getFunctionUnlink) unlink = nullptr;
    decltype(&::smbc_getFunctionRename) rename = nullptr;
    decltype(&::smbc_getFunctionMkdir) mkdir = nullptr;
    decltype(&::smbc_getFunctionOpendir) opendir = nullptr;
    decltype(&::smbc_getFunctionReaddir) readdir = nullptr;
    decltype(&::smbc_getFunctionClosedir) closedir = nullptr;

    // The library, loaded once; nothing when it is not installed.
    static const Api* load(QString* problem) {
        static const std::optional<Api> api = []() -> std::optional<Api> {
            void* module = dlopen("libsmbclient.so.0", RTLD_NOW | RTLD_LOCAL);
            if (module == nullptr)
                return std::nullopt;
            Api a;
            if (!resolve(module, "smbc_new_context", a.newContext) ||
                !resolve(module, "smbc_init_context", a.initContext) ||
                !resolve(module, "smbc_free_context", a.freeContext) ||
                !resolve(module, "smbc_setTimeout", a.setTimeout) ||
                !resolve(module, "smbc_setPort", a.setPort) ||
                !resolve(module, "smbc_setOptionUserData", a.setUserData) ||
                !resolve(module, "smbc_getOptionUserData", a.getUserData) ||
                !resolve(module, "smbc_setFunctionAuthDataWithContext", a.setAuth) ||
                !resolve(module, "smbc_setOptionNoAutoAnonymousLogin", a.setNoAnonymous) ||
                !resolve(module, "smbc_getFunctionOpen", a.open) ||
                !resolve(module, "smbc_getFunctionRead", a.read) ||
                !resolve(module, "smbc_getFunctionWrite", a.write) ||
                !resolve(module, "smbc_getFunctionClose", a.close) ||
                !resolve(module, "smbc_getFunctionFstat", a.fstat) ||
                !resolve(module, "smbc_getFunctionStat", a.stat) ||
                !resolve(module, "smbc_getFunctionUnlink", a.unlink) ||
                !resolve(module, "smbc_getFunctionRename", a.rename) ||
                !resolve(module, "smbc_getFunctionMkdir", a.mkdir) ||
                !resolve(module, "smbc_getFunctionOpendir", a.opendir) ||
                !resolve(module, "smbc_getFunctionReaddir", a.readdir) ||
                !resolve(module, "smbc_getFunctionClosedir", a.closedir))
                return std::nullopt;
            return a;
        }();
        if (!api && problem != nullptr)
            *problem = QStringLiteral("本机没有安装 Samba 的客户端库（libsmbclient.so.0）。");
        return api ? &*api : nullptr;
    }
};

namespace {

// The login the library asks for, split as it wants it.
struct Credentials {
    QByteArray workgroup;
    QByteArray user;
    QByteArray password;
};

const SmbClient::Api* gApi = nullptr;

// The library keeps state of its own for the call under way, shared by all its connections
// and threads: one call at a time in the whole program.
std::mutex& libraryMutex() {
    static std::mutex mutex;
    return mutex;
}

void authenticate(SMBCCTX* context, const char*, const char*, char* wg, int wglen, char* un,
                  int unlen, char* pw, int pwlen) {
    const auto* login = static_cast<const Credentials*>(gApi->getUserData(context));
    if (login == nullptr)
        return;
    if (!login->workgroup.isEmpty())
        fill(wg, wglen, login->workgroup);
    fill(un, unlen, login->user);
    fill(pw, pwlen, login->password);
}

QByteArray url8(const QString& url) {
    return url.toUtf8();
}

} // namespace

std::unique_ptr<SmbClient> SmbClient::create(const Login& login, QString* problem) {
    const std::lock_guard lock(libraryMutex());
    const Api* api = Api::load(problem);
    if (api == nullptr)
        return nullptr;
    gApi = api;
    SMBCCTX* context = api->newContext();
    if (context == nullptr) {
        if (problem != nullptr)
            *problem = QStringLiteral("Samba 的客户端库无法启动。");
        return nullptr;
    }
    auto* credentials = new Credentials;
    const qsizetype slash = login.account.indexOf(QLatin1Char('\\'));
    credentials->workgroup = slash < 0 ? QByteArray() : login.account.left(slash).toUtf8();
    credentials->user = login.account.mid(slash + 1).toUtf8();
    credentials->password = login.password.toUtf8();
    api->setUserData(context, credentials);
    api->setAuth(context, authenticate);
    api->setNoAnonymous(context, 1);
    api->setTimeout(context, login.timeoutMs);
    if (login.port > 0)
        api->setPort(context, static_cast<uint16_t>(login.port));
    if (api->initContext(context) == nullptr) {
        api->freeContext(context, 1);
        delete credentials;
        if (problem != nullptr)
            *problem = QStringLiteral("Samba 的客户端库无法启动。");
        return nullptr;
    }
    return std::unique_ptr<SmbClient>(new SmbClient(*api, context));
}

SmbClient::SmbClient(const Api& api, void* context) : api_(api), context_(context) {}

SmbClient::~SmbClient() {
    const std::lock_guard lock(libraryMutex());
    auto* context = static_cast<SMBCCTX*>(context_);
    auto* credentials = static_cast<Credentials*>(api_.getUserData(context));
    api_.freeContext(context, 1);
    delete credentials;
}

void SmbClient::setHeartbeat(std::function<void()> heartbeat) {
    const std::lock_guard lock(libraryMutex());
    heartbeat_ = std::move(heartbeat);
}

std::optional<QByteArray> SmbClient::read(const QString& url, qint64 limit) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    // A folder opens too, and fails at its first read.
    SMBCFILE* file = api_.open(c)(c, url8(url).constData(), O_RDONLY, 0);
    if (file == nullptr)
        return std::nullopt;
    // Each request costs a round trip to the server: no asking for the size first, and a read
    // that comes back short is the end of the file.
    constexpr qint64 FirstRead = 512 * 1024;
    std::optional<QByteArray> bytes;
    QByteArray data;
    qint64 got = 0;
    while (true) {
        const qint64 room = std::min(limit + 1, std::max(FirstRead, got * 2));
        data.resize(room);
        const qint64 wanted = room - got;
        const ssize_t n =
            api_.read(c)(c, file, data.data() + got, static_cast<std::size_t>(wanted));
        if (n < 0 || got + n > limit)
            break;
        got += n;
        if (n < wanted) {
            data.truncate(got);
            bytes = std::move(data);
            break;
        }
    }
    const int error = errno;
    api_.close(c)(c, file);
    errno = error;
    return answered(std::move(bytes));
}

bool SmbClient::write(const QString& url, const QByteArray& bytes, bool exclusive) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | (exclusive ? O_EXCL : O_TRUNC);
    SMBCFILE* file = api_.open(c)(c, url8(url).constData(), flags, 0600);
    if (file == nullptr)
        return false;
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = api_.write(c)(c, file, data, static_cast<std::size_t>(left));
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        left -= n;
    }
    // The server reports a failed write at the latest when the file is closed.
    return answered(api_.close(c)(c, file) == 0 && ok);
}

std::optional<struct stat> SmbClient::stat(const QString& url) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    struct stat info {};
    if (api_.stat(c)(c, url8(url).constData(), &info) != 0)
        return std::nullopt;
    return answered(std::optional(info));
}

bool SmbClient::rename(const QString& from, const QString& to) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    return answered(api_.rename(c)(c, url8(from).constData(), c, url8(to).constData()) == 0);
}

bool SmbClient::unlink(const QString& url) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    return answered(api_.unlink(c)(c, url8(url).constData()) == 0);
}

bool SmbClient::mkdir(const QString& url) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    return answered(api_.mkdir(c)(c, url8(url).constData(), 0700) == 0);
}

bool SmbClient::overwrite(const QString& url, const QByteArray& bytes) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    SMBCFILE* file = api_.open(c)(c, url8(url).constData(), O_WRONLY, 0);
    if (file == nullptr)
        return false;
    const bool written = api_.write(c)(c, file, bytes.constData(),
                                       static_cast<std::size_t>(bytes.size())) == bytes.size();
    return answered(api_.close(c)(c, file) == 0 && written);
}

std::optional<QStringList> SmbClient::list(const QString& url, bool folders) {
    const std::lock_guard lock(libraryMutex());
    auto* c = static_cast<SMBCCTX*>(context_);
    SMBCFILE* dir = api_.opendir(c)(c, url8(url).constData());
    if (dir == nullptr)
        return std::nullopt;
    QStringList names;
    const unsigned wanted = folders ? SMBC_DIR : SMBC_FILE;
    while (const smbc_dirent* entry = api_.readdir(c)(c, dir)) {
        // The name runs past the one character its declaration gives it.
        const QString name = QString::fromUtf8(static_cast<const char*>(entry->name));
        if (entry->smbc_type == wanted && name != QLatin1String(".") && name != QLatin1String(".."))
            names << name;
    }
    api_.closedir(c)(c, dir);
    return answered(std::optional(names));
}

} // namespace platform
