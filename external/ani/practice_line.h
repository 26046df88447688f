// The line a pupil practises, as the engine takes it from a selection, a drop or the writing box.
#pragma once

#include <QString>
#include <QStringList>

// The text as one line: line breaks and runs of blanks become one space, none at either end,
// and a selection of a whole page is cut to what a lesson can practise.
QString practiceLine(const QString& text);

// The characters to write, one per cell: whole user-perceived characters (a character with its
// combining marks, a surrogate pair), blanks left out.
QStringList practiceCharacters(const QString& line);
