// Writing the text panel's document as the rich-edit control of the Windows program writes it:
// every font in the table with the GB2312 charset and all text in code page 936, so that the
// Windows program and this one read the same characters back.
#include "platform/raster/rich_text.h"
#include "platform/raster/rtf_words.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace platform {

namespace {

const char* const Header = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052";

struct Attributes {
    int font = -1; // index into the font table
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int colour = 0; // index into the colour table; 0 is automatic
    int highlight = 0;
};

// The Windows face a substitute stands for: a teacher who picks the Linux face still writes a
// file the Windows program shows in its own face.
QString windowsFamily(const QString& family) {
    const QStringList originals = QFont::substitutions();
    for (const QString& original : originals) {
        if (QFont::substitutes(original).contains(family, Qt::CaseInsensitive))
            return original;
    }
    return family;
}

const char* specialWord(char16_t c) {
    for (const auto& [word, character] : rtf::SpecialCharacters) {
        if (character == c)
            return word;
    }
    return nullptr;
}

class Writer {
public:
    explicit Writer(const QTextDocument& document) : document_(document) {}

    QByteArray write() {
        out_ = "\\viewkind4\\uc1\\pard\\lang2052";
        needSpace_ = true;
        writeBody();
        // The tables come first in the file but are known only now.
        const QByteArray body = std::exchange(out_, QByteArray(Header));
        writeTables();
        return out_ + body;
    }

private:
    void writeBody() {
        Qt::Alignment alignment = Qt::AlignLeft;
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
            const Qt::Alignment a = blockAlignment(block);
            if (a != alignment) {
                word("pard");
                if (a == Qt::AlignHCenter)
                    word("qc");
                else if (a == Qt::AlignRight)
                    word("qr");
                else if (a == Qt::AlignJustify)
                    word("qj");
                alignment = a;
            }
            bool empty = true;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.charFormat().isImageFormat())
                    continue; // pictures are not kept
                switchTo(attributes(fragment.charFormat()));
                text(fragment.text());
                empty = false;
            }
            // An empty paragraph keeps its mark's format, what typing there will take.
            if (empty)
                switchTo(attributes(block.charFormat()));
            out_ += "\\par\r\n";
            needSpace_ = false;
        }
        out_ += "}\r\n";
    }

    void writeTables() {
        if (fonts_.isEmpty())
            fonts_ << tableName(document_.defaultFont());
        out_ += "{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            out_ += "{\\f" + QByteArray::number(i) + "\\fnil\\fprq2\\fcharset134 ";
            needSpace_ = false;
            text(fonts_.at(i));
            out_ += ";}";
        }
        out_ += "}\r\n";
        if (colours_.isEmpty())
            return;
        out_ += "{\\colortbl ;";
        for (const QColor& c : colours_) {
            out_ += "\\red" + QByteArray::number(c.red()) + "\\green" +
                    QByteArray::number(c.green()) + "\\blue" + QByteArray::number(c.blue()) + ';';
        }
        out_ += "}\r\n";
    }

    static Qt::Alignment blockAlignment(const QTextBlock& block) {
        const Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            return Qt::AlignHCenter;
        if (a & Qt::AlignJustify)
            return Qt::AlignJustify;
        if (a & Qt::AlignRight)
            return Qt::AlignRight;
        return Qt::AlignLeft;
    }

    Attributes attributes(const QTextCharFormat& format) {
        const QFont font = format.font().resolve(document_.defaultFont());
        Attributes a;
        a.font = static_cast<int>(indexOf(fonts_, tableName(font)));
        // Half-points at 96 pixels to the inch: 48 pixels are \fs72.
        const double halfPoints = font.pixelSize() > 0    ? font.pixelSize() * 1.5
                                  : font.pointSizeF() > 0 ? font.pointSizeF() * 2
                                                          : 24;
        a.halfPoints = std::clamp(static_cast<int>(std::lround(halfPoints)), 1, 3276);
        a.bold = font.bold();
        a.italic = font.italic();
        a.underline = font.underline();
        a.strikeOut = font.strikeOut();
        a.colour = colourIndex(format, QTextFormat::ForegroundBrush);
        a.highlight = colourIndex(format, QTextFormat::BackgroundBrush);
        return a;
    }

    // The font's name as the table holds it: ';' ends a name there and control codes are no
    // part of one; a font without a name is the document's.
    QString tableName(const QFont& font) const {
        const QStringList families = font.families();
        QString name = windowsFamily(families.isEmpty() ? font.family() : families.first());
        name.removeIf([](QChar c) { return c.unicode() < 0x20 || c == QLatin1Char(';'); });
        name = name.trimmed();
        return name.isEmpty() ? windowsFamily(document_.defaultFont().family()) : name;
    }

    int colourIndex(const QTextCharFormat& format, QTextFormat::Property property) {
        if (!format.hasProperty(property) || format.brushProperty(property).style() == Qt::NoBrush)
            return 0;
        QColor c = format.brushProperty(property).color();
        c.setAlpha(255);
        return static_cast<int>(indexOf(colours_, c.toRgb())) + 1;
    }

    template <typename List, typename Value> static qsizetype indexOf(List& list, const Value& v) {
        qsizetype i = list.indexOf(v);
        if (i < 0) {
            i = list.size();
            list.append(v);
        }
        return i;
    }

    // The control words that turn the written attributes into `a`.
    void switchTo(const Attributes& a) {
        const auto toggle = [this](bool now, bool& was, const char* on, const char* off) {
            if (now != was)
                word(now ? on : off);
            was = now;
        };
        if (a.font != written_.font)
            word("f" + QByteArray::number(a.font));
        if (a.halfPoints != written_.halfPoints)
            word("fs" + QByteArray::number(a.halfPoints));
        if (a.colour != written_.colour)
            word("cf" + QByteArray::number(a.colour));
        if (a.highlight != written_.highlight)
            word("highlight" + QByteArray::number(a.highlight));
        toggle(a.bold, written_.bold, "b", "b0");
        toggle(a.italic, written_.italic, "i", "i0");
        toggle(a.underline, written_.underline, "ul", "ulnone");
        toggle(a.strikeOut, written_.strikeOut, "strike", "strike0");
        written_ = a;
    }

    void word(const QByteArray& w) {
        out_ += '\\' + w;
        needSpace_ = true;
    }

    // What follows a control word starts after its delimiting space.
    void beginText() {
        if (needSpace_)
            out_ += ' ';
        needSpace_ = false;
    }

    void text(const QString& s) {
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t u = s.at(i).unicode();
            if (const char* special = specialWord(u)) {
                word(special);
            } else if (u == u'\\' || u == u'{' || u == u'}') {
                beginText();
                out_ += '\\';
                out_ += static_cast<char>(u);
            } else if (u >= 0x20 && u < 0x7F) {
                beginText();
                out_ += static_cast<char>(u);
            } else if (u == 0x00A0) {
                beginText();
                out_ += "\\~";
            } else if (u == 0x00AD) {
                beginText();
                out_ += "\\-";
            } else if (u == 0x2011) {
                beginText();
                out_ += "\\_";
            } else if (u >= 0x7F && u != 0xFFFC) { // the object marker stands for a picture
                const bool pair =
                    QChar::isHighSurrogate(u) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate();
                codePageText(s.mid(i, pair ? 2 : 1));
                i += pair ? 1 : 0;
            }
        }
    }

    // A character in code page 936 when it comes back unchanged from there, else as \uN with
    // a '?' for readers without Unicode.
    void codePageText(const QString& character) {
        beginText();
        const QByteArray bytes = encoder_.encode(character);
        // The converters' error flags outlive resetState(), so the way back decides.
        const bool kept = !bytes.isEmpty() && decoder_.decode(bytes) == character;
        encoder_.resetState();
        decoder_.resetState();
        if (kept) {
            static const char digits[] = "0123456789abcdef";
            for (const char b : bytes) {
                const auto byte = static_cast<unsigned char>(b);
                out_ += "\\'";
                out_ += digits[byte >> 4];
                out_ += digits[byte & 0xF];
            }
            return;
        }
        for (const QChar unit : character)
            out_ += "\\u" + QByteArray::number(static_cast<short>(unit.unicode())) + '?';
    }

    const QTextDocument& document_;
    QStringEncoder encoder_{"GBK"};
    QStringDecoder decoder_{"GBK"};
    QStringList fonts_;
    QList<QColor> colours_;
    Attributes written_;
    QByteArray out_;
    bool needSpace_ = false;
};

} // namespace

QByteArray richTextToRtf(const QTextDocument& document) {
    return Writer(document).write();
}

} // namespace platform
