#include "platform/os/school_share.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const QString ConfigName = QStringLiteral("k-vorne/school-share.ini");
const QString PasswordName = QStringLiteral("school-share.password");

// A file of this size or more is no settings or password file.
constexpr qint64 MaxSettingsSize = 64 * 1024;

} // namespace

std::optional<SchoolShare> parseSchoolShare(const QByteArray& ini, const QString& passwordFile,
                                            QString* problem) {
    const auto fail = [&](const QString& why) -> std::optional<SchoolShare> {
        if (problem != nullptr)
            *problem = why;
        return std::nullopt;
    };
    SchoolShare share;
    share.passwordFile = passwordFile;
    QString letter;
    QString timeout;
    for (QString line : QString::fromUtf8(ini).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')) || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("address"))
            share.address = value;
        else if (key == QLatin1String("account"))
            share.account = value;
        else if (key == QLatin1String("letter"))
            letter = value;
        else if (key == QLatin1String("name"))
            share.name = value;
        else if (key == QLatin1String("timeout"))
            timeout = value;
    }
    const QUrl url(share.address, QUrl::StrictMode);
    const QStringList parts = url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!url.isValid() || url.scheme() != QLatin1String("smb") || url.host().isEmpty() ||
        parts.isEmpty() || !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment() ||
        parts.contains(QStringLiteral(".")) || parts.contains(QStringLiteral("..")))
        return fail(QStringLiteral("学校服务器的地址“%1”不是 smb://服务器/共享/文件夹 的形式。")
                        .arg(share.address));
    if (share.account.isEmpty())
        return fail(QStringLiteral("没有设定登录学校服务器的账户。"));
    share.port = std::max(url.port(), 0);
    share.root = QStringLiteral("smb://") + url.host() + QLatin1Char('/') +
                 parts.join(QLatin1Char('/')) + QLatin1Char('/');
    share.letter = letter.isEmpty() ? QChar(DefaultShareLetter) : letter[0].toUpper();
    if (letter.size() > 1 || share.letter < QLatin1Char('D') || share.letter > QLatin1Char('X'))
        return fail(
            QStringLiteral("学校服务器的盘符“%1”不可用：请用 D 到 X 之间的一个字母。").arg(letter));
    if (share.name.isEmpty())
        share.name = parts.last();
    if (!timeout.isEmpty()) {
        bool number = false;
        share.timeoutSeconds = timeout.toInt(&number);
        if (!number || share.timeoutSeconds < 1 || share.timeoutSeconds > 600)
            return fail(
                QStringLiteral("学校服务器的等待时间“%1”不是 1 到 600 之间的秒数。").arg(timeout));
    }
    return share;
}

std::optional<SchoolShare> schoolShare() {
    const QString path = QStandardPaths::locate(QStandardPaths::GenericConfigLocation, ConfigName);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxSettingsSize)
        return std::nullopt;
    return parseSchoolShare(file.readAll(),
                            QFileInfo(path).absolutePath() + QLatin1Char('/') + PasswordName);
}

std::optional<QString> sharePassword(const SchoolShare& share, QString* problem) {
    const QByteArray path = QFile::encodeName(share.passwordFile);
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        struct stat info {};
        const bool own = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                         info.st_uid == ::geteuid() && (info.st_mode & 077) == 0 &&
                         info.st_size < MaxSettingsSize;
        QByteArray bytes;
        if (own) {
            bytes.resize(static_cast<qsizetype>(info.st_size));
            const ssize_t got = ::read(fd, bytes.data(), static_cast<size_t>(bytes.size()));
            bytes.truncate(got < 0 ? 0 : static_cast<qsizetype>(got));
        }
        ::close(fd);
        if (!own) {
            if (problem != nullptr)
                *problem = QStringLiteral("学校服务器的密码文件 %1 不是只有本账户才能读写的文件，"
                                          "为了安全没有使用。请管理员把它设为本账户所有、"
                                          "只有所有者可读写（chmod 600）。")
                               .arg(share.passwordFile);
            return std::nullopt;
        }
        const qsizetype end = bytes.indexOf('\n');
        QByteArray line = end < 0 ? bytes : bytes.left(end);
        if (line.endsWith('\r'))
            line.chop(1);
        return QString::fromUtf8(line);
    }
    // The desktop's secret store, where one runs.
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("secret-tool"));
    if (!tool.isEmpty() && qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) {
        QProcess lookup;
        lookup.start(tool, {QStringLiteral("lookup"), QStringLiteral("application"),
                            QStringLiteral("k-vorne"), QStringLiteral("address"), share.address});
        if (lookup.waitForFinished(5000) && lookup.exitStatus() == QProcess::NormalExit &&
            lookup.exitCode() == 0)
            return QString::fromUtf8(lookup.readAllStandardOutput());
        lookup.kill();
        lookup.waitForFinished(1000);
    }
    if (problem != nullptr)
        *problem = QStringLiteral("没有找到登录学校服务器的密码：请管理员把它放在 %1 里"
                                  "（只有所有者可读写），或存入桌面的密钥环。")
                       .arg(share.passwordFile);
    return std::nullopt;
}

} // namespace platform
