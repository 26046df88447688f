#include "external/ani/practice_line.h"

#include <QTextBoundaryFinder>

namespace {

constexpr qsizetype LongestLine = 500;

} // namespace

QString practiceLine(const QString& text) {
    QString line = text.simplified();
    if (line.size() > LongestLine) {
        line.truncate(LongestLine);
        // Never end on half of a surrogate pair.
        if (line.back().isHighSurrogate())
            line.chop(1);
    }
    return line;
}

QStringList practiceCharacters(const QString& line) {
    QStringList characters;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        const QString character = line.mid(start, end - start);
        if (!character.trimmed().isEmpty())
            characters << character;
        start = end;
    }
    return characters;
}
