// Which documents the text panel shows, which it hands to the desktop, and what the teacher is
// told about the rest.
#pragma once

#include <QString>

enum class DocumentKind {
    Shown,     // web pages and web archives, PDF, pictures and text: the panel's browser shows them
    SlideShow, // the desktop's own program shows them, full screen
    NotShown   // nothing on the board can show them (Flash films among them)
};

// Told by the name's extension, whatever its case.
DocumentKind documentKind(const QString& path);

// What the teacher is told when a chosen document cannot be shown on the board.
QString documentNotShownMessage(const QString& path);
// What the teacher is told when the desktop has no program that starts for a slide show.
QString slideShowNotOpenedMessage(const QString& path);
