#include "lessons/passwords.h"

#include "platform/os/services.h"

namespace lessons {

QString PasswordCode(const QString& digits) {
    if (digits.isEmpty())
        return QStringLiteral("0");
    QString code;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        const int d = c.unicode() - u'0';
        code += QString::number(d >= 5 ? d * 156 : d >= 2 ? d * 139 : d * 12);
    }
    return code;
}

QByteArray AdminRecord(const QString& typed) {
    const QByteArray entry = typed.isEmpty() ? QByteArray(" ") : typed.toLatin1();
    return (entry + QByteArray(AdminRecordSize - 1, ' ')).left(AdminRecordSize);
}

QByteArray ReadAdminRecord(const QString& path) {
    const QByteArray bytes = platform::files().readAt(path, AdminRecordOffset, AdminRecordSize);
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

bool AdminRecordAccepts(const QByteArray& stored, const QString& typed) {
    return AdminRecord(typed) == stored || stored.startsWith(' ');
}

bool WriteAdminRecord(const QString& path, const QString& typed) {
    return platform::files().writeAt(path, AdminRecordOffset, AdminRecord(typed));
}

} // namespace lessons
