#include "lessons/lesson_pdf.h"

#include "board/model/drawing_state.h"
#include "board/model/page_states.h"
#include "board/model/pen_rules.h"
#include "platform/raster/rich_text.h"
#include "platform/raster/tcolor.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

namespace lessons {

namespace {

// Pictures of the screens lessons are made on; a missing one takes its neighbour's size.
constexpr QSize MaxPicture(8192, 8192);
constexpr QSize FallbackPage(1024, 768);
constexpr int PdfResolution = 96; // one picture pixel to one PDF pixel

// The text panel as the board shows it: the document over the editor's colour.
void drawPanel(QPainter& painter, const QString& textPath, const QRect& panel, TColor editor) {
    QTextDocument document;
    if (!platform::loadRichText(document, textPath))
        return;
    painter.save();
    painter.setClipRect(panel);
    painter.fillRect(panel, platform::toQColor(editor));
    painter.translate(panel.topLeft());
    document.setTextWidth(panel.width());
    document.drawContents(&painter, QRectF(0, 0, panel.width(), panel.height()));
    painter.restore();
}

} // namespace

ArchiveResult writeLessonPdf(ArchiveFiles& files, const QString& lessonFolder, const QString& key,
                             const QString& target) {
    const QString folder =
        lessonFolder.endsWith(QLatin1Char('/')) ? lessonFolder : lessonFolder + QLatin1Char('/');
    if (key.isEmpty() || key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\')) ||
        key.startsWith(QLatin1Char('.')))
        return ArchiveResult::refused(LessonNotFound);
    if (ArchiveResult r = LessonArchive(files).finishInterruptedSave(folder, key); !r.ok())
        return r;
    const std::optional<int> count = lessonPageCount(files, folder, key);
    if (!count)
        return ArchiveResult::refused(LessonNotFound);

    QPdfWriter writer(target);
    writer.setResolution(PdfResolution);
    writer.setCreator(QStringLiteral("K_Vorne"));
    writer.setTitle(key);
    QPainter painter;
    QSize size = FallbackPage;
    for (int page = 1; page <= *count; ++page) {
        const LessonPage lesson = readLessonPage(files, folder, key, page, size, MaxPicture);
        if (!lesson.picture.isNull())
            size = lesson.picture.size();
        writer.setPageSize(QPageSize(QSizeF(size) * 72.0 / PdfResolution, QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        if (page == 1 ? !painter.begin(&writer) : !writer.newPage()) {
            return ArchiveResult::failed(QStringLiteral("无法写入文件 %1。").arg(target));
        }
        // Pages go in as they are, Flate-compressed: a page of ink on one colour packs small,
        // where JPEG would blur thin strokes and tint every line's edges.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.fillRect(QRect(QPoint(), size), Qt::white);
        TColor editor = 0x00FFFFFF;
        if (!lesson.picture.isNull()) {
            painter.drawImage(0, 0, lesson.picture);
            const QPoint sample = backgroundSamplePoint(size.width());
            if (lesson.picture.valid(sample))
                editor = editorColourFor(platform::fromRgb(lesson.picture.pixel(sample)));
        }
        if (lesson.panelKind == TextPanel && lesson.text)
            drawPanel(painter, folder + pageFileName(key, page, TextExtension), lesson.panel,
                      editor);
    }
    if (!painter.end())
        return ArchiveResult::failed(QStringLiteral("无法写入文件 %1。").arg(target));
    return ArchiveResult::done();
}

int exportLessonPdf(const QString& folder, const QString& key, const QString& target) {
    const ArchiveResult result = writeLessonPdf(DiskArchiveFiles::instance(), folder, key, target);
    if (result.ok())
        return 0;
    std::fprintf(stderr, "%s\n", result.message.toLocal8Bit().constData());
    return 1;
}

} // namespace lessons
