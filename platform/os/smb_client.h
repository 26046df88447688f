// A connection to an SMB file server through Samba's client library, loaded the first time a
// connection is made, so that the program starts and runs without it. Paths are URLs,
// "smb://server/share/folder/file"; every call answers as its POSIX namesake would (false or
// nothing, with errno set). The library serves one call at a time in the whole program: calls
// from several threads, on one connection or several, wait for each other.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

#include <sys/stat.h>

namespace platform {

class SmbClient {
public:
    struct Login {
        QString account; // "user" or "DOMAIN\user"
        QString password;
        int port = 0;          // 0: the standard one
        int timeoutMs = 15000; // a server that does not answer a request within this has failed
    };

    // A connection with the login; nothing, with the reason in `problem`, when the library
    // cannot be loaded or set up. No request reaches the server before the first call.
    static std::unique_ptr<SmbClient> create(const Login& login, QString* problem);
    ~SmbClient();
    SmbClient(const SmbClient&) = delete;
    SmbClient& operator=(const SmbClient&) = delete;

    // The whole file; nothing when it cannot be read or is larger than `limit`.
    std::optional<QByteArray> read(const QString& url, qint64 limit);
    // Creates the file anew (`exclusive`: only when nothing has that name) and writes it whole.
    bool write(const QString& url, const QByteArray& bytes, bool exclusive);
    std::optional<struct stat> stat(const QString& url);
    bool rename(const QString& from, const QString& to);
    bool unlink(const QString& url);
    bool mkdir(const QString& url);
    // Writes the bytes over the start of an existing file; its time becomes the server's
    // present time, by the clock every machine that looks at it agrees on.
    bool overwrite(const QString& url, const QByteArray& bytes);
    // Called on the caller's thread after each request the server answered: a sign of life
    // for whoever waits on the connection.
    void setHeartbeat(std::function<void()> heartbeat);

    // The names of the plain files (`folders`: of the folders) in a folder; nothing when it
    // cannot be listed.
    std::optional<QStringList> list(const QString& url, bool folders = false);

    // The library's calls, resolved when it is first loaded.
    struct Api;

private:
    SmbClient(const Api& api, void* context);

    const Api& api_;
    void* context_;
    // After a request: answered or not.
    template <typename T> T answered(T result) {
        if (result && heartbeat_)
            heartbeat_();
        return result;
    }

    std::function<void()> heartbeat_;
};

} // namespace platform
