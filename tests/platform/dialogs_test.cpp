// The file dialogs' filters as written on Windows, read as Qt's name filters.
#include "platform/widgets/qt_dialogs.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace platform;

TEST(Dialogs, WindowsFiltersMatchNamesWhateverTheirCase) {
    const QStringList filters = nameFiltersFromWindows(
        QStringLiteral("htm files(*.htm)|*.HTM;*.html|*.pps|*.pps|dangling"));
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0], QStringLiteral("htm files(*.htm) (*.[hH][tT][mM] *.[hH][tT][mM][lL])"));
    EXPECT_EQ(filters[1], QStringLiteral("*.pps (*.[pP][pP][sS])"));
    const auto matches = [](const QString& pattern, const QString& name) {
        return QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
            .match(name)
            .hasMatch();
    };
    for (const QString& name :
         {QStringLiteral("a.pps"), QStringLiteral("B.PPS"), QStringLiteral("c.Pps")})
        EXPECT_TRUE(matches(QStringLiteral("*.[pP][pP][sS]"), name)) << name.toStdString();
    EXPECT_FALSE(matches(QStringLiteral("*.[pP][pP][sS]"), QStringLiteral("a.ppt")));
}
