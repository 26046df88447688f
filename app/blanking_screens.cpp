#include "app/blanking_screens.h"

#include "platform/os/profiles.h"
#include "platform/os/services.h"
#include "platform/os/state_folder.h"

namespace blanking {

namespace {

const QString Section = QStringLiteral("Blanking");
const QString ScreensKey = QStringLiteral("Screens");
constexpr QChar Separator = u';';

} // namespace

QString screenKey(const platform::ScreenInfo& screen) {
    const QRect& g = screen.geometry;
    QString name = screen.name;
    name.replace(Separator, u'_');
    return QStringLiteral("%1 %2x%3+%4+%5")
        .arg(name)
        .arg(g.width())
        .arg(g.height())
        .arg(g.x())
        .arg(g.y());
}

QString screenCaption(const platform::ScreenInfo& screen, bool ownScreen) {
    const QString name = screen.name.isEmpty() ? QStringLiteral("屏幕") : screen.name;
    QString caption = QStringLiteral("%1  %2 × %3")
                          .arg(name)
                          .arg(screen.geometry.width())
                          .arg(screen.geometry.height());
    if (ownScreen)
        caption += QStringLiteral("（本机屏幕）");
    return caption;
}

QString choiceFile() {
    const QString folder = platform::stateFolder().path();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/blanking.ini");
}

QStringList rememberedChoice() {
    const QString file = choiceFile();
    if (file.isEmpty())
        return {};
    platform::IniFile ini(platform::profiles(), file);
    return ini.ReadString(Section, ScreensKey, QString()).split(Separator, Qt::SkipEmptyParts);
}

bool rememberChoice(const QStringList& keys) {
    const QString file = choiceFile();
    if (file.isEmpty())
        return false;
    try {
        platform::IniFile ini(platform::profiles(), file);
        ini.WriteString(Section, ScreensKey, keys.join(Separator));
        ini.UpdateFile();
        return true;
    } catch (const platform::ProfileWriteError&) {
        return false;
    }
}

std::vector<platform::ScreenInfo> chosenScreens(const std::vector<platform::ScreenInfo>& present,
                                                const QStringList& keys) {
    std::vector<platform::ScreenInfo> chosen;
    for (const platform::ScreenInfo& screen : present)
        if (keys.contains(screenKey(screen)))
            chosen.push_back(screen);
    return chosen;
}

} // namespace blanking
