// The school's file share as the administrator set it up for this PC, in
// "k-vorne/school-share.ini" of the configuration folders (the administrator's is
// /etc/xdg/k-vorne/school-share.ini):
//
//     Address=smb://server/share/folder
//     Account=SCHOOL\teacher
//     Letter=S
//     Name=教研室
//     Timeout=15
//
// The account's password is never in that file: it is in "school-share.password" beside it,
// readable by its owner only, or, where a desktop runs one, in the desktop's secret store.
#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace platform {

struct SchoolShare {
    QString address; // as configured
    QString account;
    QChar letter; // upper case
    QString name; // shown beside the letter
    int timeoutSeconds = 15;
    QString root; // the address without its port, with a trailing separator
    int port = 0; // 0: the standard one
    QString passwordFile;
};

// The default letter, after the sticks' letters.
constexpr char16_t DefaultShareLetter = u'S';

// The share that `ini` describes; nothing, with the reason in `problem`, when it names no
// usable share. `passwordFile` is where its password is kept.
std::optional<SchoolShare> parseSchoolShare(const QByteArray& ini, const QString& passwordFile,
                                            QString* problem = nullptr);
// The share set up for this PC; nothing when there is none (or it is not usable).
std::optional<SchoolShare> schoolShare();
// The account's password: the password file's first line when it is a plain file of this user
// that no one else may read; else the secret store's, looked up by the address. Nothing, with
// the reason in `problem`, when neither has it. May take a moment: not for the GUI thread.
std::optional<QString> sharePassword(const SchoolShare& share, QString* problem);

} // namespace platform
