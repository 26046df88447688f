// The text of a profile (INI) file read and changed by the rules of the Windows profile
// functions, so that files written by the Windows program open unchanged and files we write
// read back the same there. Pure text handling: no file is touched here.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace platform {

class IniText {
public:
    // Reads the bytes of a file: UTF-16 after a UTF-16LE byte-order mark; UTF-8 after a UTF-8
    // mark, or without one when the bytes are well-formed UTF-8 and not GBK text as the
    // Windows program writes it (see looksLikeUtf8 in the source); otherwise GBK. A byte that is
    // no character of the encoding is kept as it was, in reading and in writing.
    explicit IniText(const QByteArray& bytes = {});

    // The file's bytes: lines that were not changed come back byte for byte with their own
    // line ends; changed and new lines end in CRLF.
    QByteArray bytes() const;
    bool isUtf16() const { return utf16_; }
    bool isUtf8() const { return utf8_; }

    // The value of a key, trimmed of blanks and of one pair of outer quotes; nothing when the
    // section or the key is missing. Names are matched without regard to case; of duplicated
    // sections and keys the first wins.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // The names of the sections in file order, each once (its first copy, as the reader sees).
    QStringList sections() const;

    // The writes expect names and values that canWrite() accepts. A value with blanks at
    // either end or in one pair of outer quotes is written in one more pair of quotes, so that
    // it reads back as it was given.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Removes the key's lines from the section (the header stays); false when there were none.
    bool removeKey(const QString& section, const QString& key);
    // Removes the section's header and every line up to the next section, in every copy of it,
    // so that no older copy can come to light; false when there was none.
    bool removeSection(const QString& section);

    // Whether a section, key and value can be written so that they read back the same: a line
    // break would inject lines, a bracket ends a section name, an equals sign a key, blanks
    // around names are trimmed by the reader, and in a GBK file a character GBK cannot hold
    // would come back as "?".
    bool canWrite(const QString& section, const QString& key, const QString& value) const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray content; // in the file's encoding, without the line end
        QByteArray end;     // the line end as found, empty for a last line without one
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
        QString value; // a key's value as written, trimmed and unquoted
    };

    QString decode(const QByteArray& content) const;
    QByteArray encode(const QString& text) const;
    QByteArray crlf() const;
    Line makeLine(const QString& text) const;
    void classify(Line& line) const;
    // The first section of that name: its header's index and the end of its lines.
    std::optional<std::pair<std::size_t, std::size_t>> findSection(const QString& section) const;
    void endLastLine();
    // Lines were added or removed: where each section's first header lies is worked out again
    // when next asked.
    void linesMoved() { headersKnown_ = false; }

    // The line of each section's first header, by its name in folded case; worked out in one
    // pass over the lines when a lookup needs it, so that a lookup costs the same in a file of
    // twenty thousand sections as in one of three.
    mutable QHash<QString, std::size_t> firstHeaders_;
    mutable bool headersKnown_ = false;

    bool utf16_ = false;
    bool utf8_ = false;
    QByteArray prefix_; // the byte-order mark
    QByteArray suffix_; // the odd last byte of a UTF-16 file
    std::vector<Line> lines_;
};

// A value read through a buffer of `size` bytes by the ANSI profile functions: at most size-1
// bytes of GBK, cut before a character rather than through it.
QString fitToBuffer(const QString& value, int size);

// An integer as Delphi's StrToIntDef reads it: blanks, a sign, then decimal digits, or
// hexadecimal after "$", "0x", "0X" or "x"; anything else, or a decimal outside the 32-bit
// range, gives the fallback. Hexadecimal up to $FFFFFFFF wraps to a negative value.
int strToIntDef(const QString& text, int fallback);

// Text in the ANSI code page of the Chinese system; characters it cannot hold become "?". A
// byte that is no GBK character is read as a half of a UTF-16 pair standing alone, which
// writes back as that byte, so that bytes go through unchanged.
QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);
// Whether every character of the text has a place in GBK.
bool gbkCanHold(const QString& text);

} // namespace platform
