// The lesson as a PDF, rendered back into pixels the way a PDF reader shows it.
#include "lessons/lesson_names.h"
#include "lessons/lesson_pdf.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lessons;

namespace {

const QRgb Grey = qRgb(128, 128, 128);
const QRgb Red = qRgb(255, 0, 0);

// Page 1 of `key` in `folder`: grey with red strokes 3 pixels wide, as a pen leaves them.
QImage writeInkedLesson(const QString& folder, const QString& key) {
    QImage page(1024, 768, QImage::Format_RGB32);
    page.fill(Grey);
    QPainter painter(&page);
    painter.setPen(QPen(QColor(Red), 3));
    for (int i = 0; i < 20; ++i)
        painter.drawLine(60 + 45 * i, 80, 160 + 40 * i, 700);
    painter.drawLine(100, 400, 900, 400);
    painter.end();
    page.save(folder + pageFileName(key, 1, PictureExtension), "PNG");
    QFile index(folder + LessonIndexFile);
    if (index.open(QIODevice::WriteOnly))
        index.write(QStringLiteral("[%1]\r\npag=1\r\n").arg(key).toLatin1());
    return page;
}

// The PDF's first page as a reader shows it, one pixel per picture pixel.
QImage renderFirstPage(const QString& pdf, const QString& stem) {
    const QString renderer = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (renderer.isEmpty()) {
        ADD_FAILURE() << "pdftoppm (poppler-utils, see scripts/install-deps.sh) is needed";
        return {};
    }
    QProcess process;
    process.start(renderer, {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                             QStringLiteral("-singlefile"), pdf, stem});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << process.readAllStandardError().toStdString();
        return {};
    }
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Red ink on grey comes out as the same red and the same grey, not as JPEG's darker,
// ringing approximation, and the page packs no larger than its own PNG file does, give or
// take the PDF's own structure.
TEST(LessonPdf, PagesAreExportedWithoutLoss) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    const QString key = QStringLiteral("T111");
    const QImage page = writeInkedLesson(folder, key);
    const QString pdf = folder + QStringLiteral("lesson.pdf");
    ASSERT_TRUE(writeLessonPdf(DiskArchiveFiles::instance(), folder, key, pdf).ok());

    const QImage shown = renderFirstPage(pdf, folder + QStringLiteral("shown"));
    ASSERT_EQ(shown.size(), page.size());
    // The middle of the level stroke and of a slanting one, and the grey between strokes.
    const std::pair<QPoint, QRgb> pixels[] = {
        {{500, 400}, Red}, {{535, 390}, Red}, {{80, 300}, Grey}, {{900, 600}, Grey}};
    for (const auto& [p, colour] : pixels) {
        SCOPED_TRACE(testing::Message() << p.x() << "," << p.y());
        ASSERT_EQ(page.pixel(p), colour);
        EXPECT_EQ(QColor(shown.pixel(p)).name().toStdString(), QColor(colour).name().toStdString());
    }
    EXPECT_LT(QFileInfo(pdf).size(),
              2 * QFileInfo(folder + pageFileName(key, 1, PictureExtension)).size() + 4096);
}

} // namespace
