// Build tool: renders the library drawings (SVG) into the stamp files the program places
// (".jt", JPEG, at the drawing's own size on white) and into a C++ source holding their
// 50 x 50 previews as PNG bytes.
//
// Usage: render_stamps SVG_FOLDER STAMP_FOLDER PREVIEW_SOURCE NAME...
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

constexpr int PreviewSize = 50;
constexpr int PreviewMargin = 2;

QImage render(QSvgRenderer& svg, QSize size, QRectF into) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, into);
    return image;
}

bool fail(const QString& what) {
    std::fprintf(stderr, "render_stamps: %s\n", qPrintable(what));
    return false;
}

bool renderOne(const QString& svgFolder, const QString& stampFolder, const QString& name,
               QString& source) {
    QSvgRenderer svg(svgFolder + QLatin1Char('/') + name + QStringLiteral(".svg"));
    if (!svg.isValid())
        return fail(QStringLiteral("cannot read %1.svg").arg(name));
    const QSize size = svg.defaultSize();
    if (size.isEmpty())
        return fail(QStringLiteral("%1.svg has no size").arg(name));

    QImageWriter stamp(stampFolder + QLatin1Char('/') + name + QStringLiteral(".jt"), "jpeg");
    stamp.setQuality(92);
    if (!stamp.write(render(svg, size, QRectF(QPointF(0, 0), size))))
        return fail(QStringLiteral("cannot write %1.jt").arg(name));

    // The preview: the whole drawing fitted and centred.
    const double room = PreviewSize - 2 * PreviewMargin;
    const double s = room / std::max(size.width(), size.height());
    const QSizeF fitted(size.width() * s, size.height() * s);
    const QRectF into(
        QPointF((PreviewSize - fitted.width()) / 2, (PreviewSize - fitted.height()) / 2), fitted);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!render(svg, QSize(PreviewSize, PreviewSize), into).save(&buffer, "png"))
        return fail(QStringLiteral("cannot encode the preview of %1").arg(name));

    source += QStringLiteral("    {\"%1.jt\", {").arg(name);
    for (qsizetype i = 0; i < png.size(); ++i) {
        if (i % 20 == 0)
            source += QStringLiteral("\n        ");
        source += QString::number(static_cast<unsigned char>(png[i])) + QLatin1Char(',');
    }
    source += QStringLiteral("}},\n");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr,
                     "usage: render_stamps SVG_FOLDER STAMP_FOLDER PREVIEW_SOURCE NAME...\n");
        return 2;
    }
    const QString svgFolder = args[1];
    const QString stampFolder = args[2];
    QDir().mkpath(stampFolder);

    QString source = QStringLiteral(
        "// Made by assets/render_stamps.cpp from the drawings in assets/stamps; do not edit.\n"
        "#include \"assets/stamp_previews.h\"\n\n"
        "#include <vector>\n\n"
        "namespace {\n\n"
        "struct Preview {\n    const char* file;\n    std::vector<unsigned char> png;\n};\n\n"
        "const std::vector<Preview>& previews() {\n"
        "    static const std::vector<Preview> all{\n");
    for (qsizetype i = 4; i < args.size(); ++i) {
        if (!renderOne(svgFolder, stampFolder, args[i], source))
            return 1;
    }
    source += QStringLiteral("    };\n    return all;\n}\n\n} // namespace\n\n"
                             "QImage stampPreview(const QString& stampFile) {\n"
                             "    for (const Preview& p : previews()) {\n"
                             "        if (stampFile == QLatin1String(p.file))\n"
                             "            return QImage::fromData(p.png.data(), "
                             "static_cast<int>(p.png.size()), \"png\");\n"
                             "    }\n"
                             "    return {};\n}\n");

    QFile out(args[3]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(source.toUtf8()) < 0) {
        fail(QStringLiteral("cannot write %1").arg(args[3]));
        return 1;
    }
    return 0;
}
