// What of the local file system a document's pages may load: its own folder and below, seen
// where files really lie.
#include "platform/widgets/webview/document_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace platform;

TEST(DocumentFolder, AdmitsWhatLiesInTheDocumentsFolderAndNothingElse) {
    QTemporaryDir top;
    const QString root = top.path() + QLatin1Char('/');
    for (const char* folder : {"stick/page_files", "stick/.hidden", "stick2"})
        ASSERT_TRUE(QDir().mkpath(root + QLatin1String(folder)));
    for (const char* file : {"stick/page.htm", "stick/picture.png", "stick/page_files/style.css",
                             "stick/.hidden/key", "stick2/other.htm", "secret.txt"}) {
        QFile f(root + QLatin1String(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link(root + QStringLiteral("secret.txt"),
                            root + QStringLiteral("stick/inside.txt")));
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("stick/up")));

    DocumentFolder folder;
    folder.setDocument(root + QStringLiteral("stick/page.htm"));
    const struct {
        QString address;
        bool admitted;
    } cases[] = {
        {QStringLiteral("stick/page.htm"), true},
        {QStringLiteral("stick/picture.png"), true},
        {QStringLiteral("stick/page_files/style.css"), true},
        {QStringLiteral("stick/missing.png"), true}, // nothing to read
        {QStringLiteral("secret.txt"), false},
        {QStringLiteral("stick/../secret.txt"), false},
        {QStringLiteral("stick2/other.htm"), false}, // a folder whose name only begins alike
        {QStringLiteral("stick/.hidden/key"), false},
        {QStringLiteral("stick/inside.txt"), false}, // a link out of the folder
        {QStringLiteral("stick/up/secret.txt"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folder.admits(QUrl::fromLocalFile(root + c.address)), c.admitted)
            << c.address.toStdString();
    EXPECT_FALSE(folder.admits(QUrl(QStringLiteral("http://example.org/stick/page.htm"))));

    folder.setDocument({});
    EXPECT_FALSE(folder.admits(QUrl::fromLocalFile(root + QStringLiteral("stick/page.htm"))));
}
