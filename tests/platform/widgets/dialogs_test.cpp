// The file dialogs' filters as written on Windows, read as Qt's name filters.
#include "platform/widgets/qt_dialogs.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>
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

// The font dialog opens with the text's own face and size, a face that stands for another and
// a size in pixels included, and OK without a change gives the text's font back as it was.
TEST(Dialogs, TheFontDialogShowsTheTextsFontAndOkLeavesIt) {
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("AR PL SungtiL GB"));
    if (!QFontDatabase::families().contains(QStringLiteral("AR PL SungtiL GB")))
        GTEST_SKIP() << "needs the Song face the program stands in for 宋体";
    QFont text(QStringLiteral("宋体"));
    text.setPixelSize(48);
    QString shownFamily;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownFamily = dialog->currentFont().family();
        dialog->accept();
    });
    QtDialogs dialogs;
    const std::optional<QFont> chosen = dialogs.chooseFont(nullptr, text, [](const QFont&) {});
    EXPECT_EQ(shownFamily, QStringLiteral("AR PL SungtiL GB"));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->family(), QStringLiteral("宋体"));
    EXPECT_EQ(chosen->pixelSize(), 48);
}

// Qt's dialogs speak Chinese whatever the system's language, in traditional characters where
// the system uses them.
TEST(Dialogs, QtsOwnTextsAreChinese) {
    const struct {
        const char* system;
        const char* cancel;
    } cases[] = {{"en_US", "取消"}, {"zh_CN", "取消"}, {"de_DE", "取消"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(installQtTranslations(QLocale(QString::fromLatin1(c.system)))) << c.system;
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                  QString::fromUtf8(c.cancel))
            << c.system;
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>())
            QCoreApplication::removeTranslator(t);
    }
    ASSERT_TRUE(installQtTranslations(QLocale(QStringLiteral("zh_TW"))));
    EXPECT_NE(QCoreApplication::translate("QColorDialog", "&Basic colors"),
              QStringLiteral("&Basic colors"));
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(t);
}
