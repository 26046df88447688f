#include "board/model/recovery_snapshot.h"
#include "platform/raster/rich_text.h"

#include <QRegularExpression>
#include <algorithm>

bool RecoveredBoard::worthOffering() const {
    return std::any_of(pages.begin(), pages.end(), [](const RecoveredPage& p) {
        return !p.packed.solid ||
               (p.text && !platform::rtfToPlainText(*p.text).trimmed().isEmpty());
    });
}

bool RecoveredBoard::largerThan(QSize screen) const {
    return std::any_of(pages.begin(), pages.end(), [screen](const RecoveredPage& p) {
        return p.packed.size.width() > screen.width() || p.packed.size.height() > screen.height();
    });
}

namespace recovery_files {

QString pageFile(int page, std::uint64_t round) {
    return QStringLiteral("page-%1-%2.zst").arg(page).arg(round);
}

QString textFile(int page, std::uint64_t round) {
    return QStringLiteral("text-%1-%2.rtf").arg(page).arg(round);
}

bool isOwnName(const QString& name) {
    static const QRegularExpression own(
        QStringLiteral("\\A(?:manifest\\.json|page-\\d{1,2}-\\d{1,19}\\.zst|"
                       "text-\\d{1,2}-\\d{1,19}\\.rtf)\\z"));
    return own.match(name).hasMatch();
}

} // namespace recovery_files
