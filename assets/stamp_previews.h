// The library pictures' 50 x 50 previews, drawn from the same drawings as the stamps and built
// into the program.
#pragma once

#include <QImage>
#include <QString>

// The preview of a stamp file ("w0.jt"); an empty picture for a name that has none.
QImage stampPreview(const QString& stampFile);
