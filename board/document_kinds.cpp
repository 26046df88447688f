#include "board/document_kinds.h"

#include <QFileInfo>
#include <QStringList>

namespace {

const QStringList ShownExtensions = {
    QStringLiteral("htm"),   QStringLiteral("html"), QStringLiteral("xhtml"), QStringLiteral("mht"),
    QStringLiteral("mhtml"), QStringLiteral("pdf"),  QStringLiteral("txt"),   QStringLiteral("png"),
    QStringLiteral("jpg"),   QStringLiteral("jpeg"), QStringLiteral("gif"),   QStringLiteral("bmp"),
    QStringLiteral("svg"),   QStringLiteral("webp")};

const QStringList SlideShowExtensions = {
    QStringLiteral("pps"),  QStringLiteral("ppt"),  QStringLiteral("ppsx"), QStringLiteral("pptx"),
    QStringLiteral("ppsm"), QStringLiteral("pptm"), QStringLiteral("odp")};

QString fileName(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

DocumentKind documentKind(const QString& path) {
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return DocumentKind::NotShown;
    const QString extension = name.mid(dot + 1).toLower();
    if (ShownExtensions.contains(extension))
        return DocumentKind::Shown;
    if (SlideShowExtensions.contains(extension))
        return DocumentKind::SlideShow;
    return DocumentKind::NotShown;
}

QString documentNotShownMessage(const QString& path) {
    return QStringLiteral("白板不能显示“%1”这类文件。\n"
                          "能在白板上显示的有：PDF、网页（htm、html、mht）、图片和文本文件；"
                          "幻灯片（ppt、pps、pptx）由电脑上的放映程序打开。")
        .arg(fileName(path));
}

QString slideShowNotOpenedMessage(const QString& path) {
    return QStringLiteral("无法打开幻灯片“%1”：电脑上没有能放映它的程序。").arg(fileName(path));
}
