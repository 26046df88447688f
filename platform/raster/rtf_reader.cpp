// Reading RTF into the text panel's document. The input may be any file at all, so every count
// in it is clamped, nesting past a depth shares its parent's state, and the tables and the
// text kept are capped: memory grows with what is kept, never with what a number claims.
#include "platform/raster/rich_text.h"
#include "platform/raster/rtf_words.h"

#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t MaxDepth = 256; // deeper groups share the state of this one
constexpr long MaxParameter = 1'000'000'000;
constexpr int MaxHalfPoints = 3276; // 1638 points, the rich-edit control's largest size
constexpr int MaxUnicodeSkip = 255;
constexpr std::size_t MaxTableEntries = 1024;
constexpr qsizetype MaxFontName = 256;
constexpr qsizetype MaxCharacters = 1 << 20; // far beyond anything a panel shows
constexpr int DocumentCodePage = 936;        // the classroom's Windows, when \ansicpg says nothing

// The code pages the reader decodes; a font's charset or \cpg outside them falls back to the
// document's code page.
const char* codePageName(long codePage) {
    static const std::pair<long, const char*> names[] = {
        {874, "windows-874"},   {932, "Shift_JIS"},     {936, "GBK"},
        {949, "windows-949"},   {950, "Big5"},          {1250, "windows-1250"},
        {1251, "windows-1251"}, {1252, "windows-1252"}, {1253, "windows-1253"},
        {1254, "windows-1254"}, {1255, "windows-1255"}, {1256, "windows-1256"},
        {1257, "windows-1257"}, {1258, "windows-1258"}};
    for (const auto& [page, name] : names) {
        if (page == codePage)
            return name;
    }
    return nullptr;
}

// \fcharsetN to a code page; 0 for "the document's". Symbol fonts (2) have their glyphs on the
// Latin bytes.
int charsetCodePage(long charset) {
    static const std::pair<long, int> pages[] = {{0, 1252},   {2, 1252},   {128, 932},  {129, 949},
                                                 {134, 936},  {136, 950},  {161, 1253}, {162, 1254},
                                                 {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
                                                 {204, 1251}, {222, 874},  {238, 1250}};
    for (const auto& [set, page] : pages) {
        if (set == charset)
            return page;
    }
    return 0;
}

// Destinations whose content is not the document's text.
bool skippedDestination(const QByteArray& word) {
    static const char* const names[] = {"info",
                                        "stylesheet",
                                        "pict",
                                        "object",
                                        "nonshppict",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf",
                                        "footnote",
                                        "annotation",
                                        "listtable",
                                        "listoverridetable",
                                        "generator",
                                        "themedata",
                                        "colorschememapping",
                                        "latentstyles",
                                        "datastore",
                                        "xmlnstbl",
                                        "rsidtbl",
                                        "revtbl",
                                        "filetbl",
                                        "pn",
                                        "fldinst",
                                        "bkmkstart",
                                        "bkmkend"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* name) { return word == name; });
}

// ASCII alone, whatever the locale says of other bytes.
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char16_t specialCharacter(const QByteArray& word) {
    for (const auto& [name, character] : rtf::SpecialCharacters) {
        if (word == name)
            return character;
    }
    return 0;
}

bool underlineWord(const QByteArray& word) {
    static const char* const names[] = {"ul",   "uld",     "uldash", "uldashd", "uldashdd",
                                        "uldb", "ulhwave", "ulth",   "ulw",     "ulwave"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* name) { return word == name; });
}

// Text as the document may hold it: line breaks come from paragraphs alone, and the
// document's own markers (objects, frames) and control codes are no text.
QString documentText(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x2029 || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1 ||
            u == 0xFFFE || u == 0xFFFF)
            continue;
        kept += c;
    }
    return kept;
}

enum class Destination { Text, Skip, FontTable, ColourTable };

struct CharState {
    long font = -1;     // -1: the document's default font (\deff)
    int halfPoints = 0; // 0: the editor's own size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    long colour = 0;    // 0: automatic
    long highlight = 0; // 0: none
    bool operator==(const CharState&) const = default;
};

struct State {
    Destination destination = Destination::Text;
    CharState chars;
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicodeSkip = 1;
};

struct Font {
    QString name;
    int codePage = 0;
};

struct Run {
    CharState state;
    QTextCharFormat format;
    QString text;
};

struct Paragraph {
    Qt::Alignment alignment = Qt::AlignLeft;
    QTextCharFormat mark; // the paragraph mark's format, what typing in an empty one takes
    std::vector<Run> runs;
};

class Reader {
public:
    explicit Reader(const QByteArray& rtf) : in_(rtf) {}

    std::vector<Paragraph> read() {
        const qsizetype n = in_.size();
        while (pos_ < n) {
            const char c = in_.at(pos_++);
            if (c == '{') {
                openGroup();
            } else if (c == '}') {
                if (!closeGroup())
                    break; // the document's last brace; anything after it is ignored
            } else if (c == '\\') {
                control();
            } else if (c != '\r' && c != '\n') {
                plainByte(c);
            }
        }
        flushBytes(true);
        closeParagraph();
        // The writer ends its last paragraph with \par; the editor shows no empty line for it.
        if (paragraphs_.size() > 1 && paragraphs_.back().runs.empty())
            paragraphs_.pop_back();
        return std::move(paragraphs_);
    }

private:
    State& state() { return stack_.back(); }

    void openGroup() {
        flushBytes(false);
        fallback_ = 0;
        if (stack_.size() < MaxDepth)
            stack_.push_back(stack_.back());
        else
            ++overflow_;
    }

    // False when the outermost group closes.
    bool closeGroup() {
        flushBytes(false);
        fallback_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return true;
        }
        if (state().destination == Destination::FontTable && entryDepth_ == stack_.size())
            endFontEntry();
        if (stack_.size() <= 2) // the base state and the document's own group
            return false;
        stack_.pop_back();
        return true;
    }

    void control() {
        if (pos_ >= in_.size())
            return;
        const char s = in_.at(pos_);
        if (!isLetter(s)) {
            ++pos_;
            symbol(s);
            return;
        }
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isLetter(in_.at(pos_)))
            ++pos_;
        // Longer words are none the reader knows; they are read past all the same.
        const QByteArray word = pos_ - start <= 32 ? in_.mid(start, pos_ - start) : QByteArray();
        bool hasParameter = false;
        long parameter = 0;
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_.at(pos_) == '-' && isDigit(in_.at(pos_ + 1))) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && isDigit(in_.at(pos_))) {
            hasParameter = true;
            parameter = std::min(MaxParameter, parameter * 10 + (in_.at(pos_) - '0'));
            ++pos_;
        }
        if (negative)
            parameter = -parameter;
        if (pos_ < in_.size() && in_.at(pos_) == ' ')
            ++pos_;
        flushBytes(false);
        if (word == "bin") {
            // Binary data is skipped whole, also as a \u fallback.
            pos_ += std::min<qsizetype>(std::max(0L, parameter), in_.size() - pos_);
        }
        if (fallback_ > 0) {
            --fallback_;
            return;
        }
        controlWord(word, hasParameter, parameter);
    }

    void symbol(char s) {
        if (s == '\'') {
            int value = 0;
            for (int k = 0; k < 2; ++k) {
                const int digit = pos_ < in_.size() ? hexDigit(in_.at(pos_)) : -1;
                if (digit < 0)
                    return; // a truncated escape stands for nothing
                value = value * 16 + digit;
                ++pos_;
            }
            if (fallback_ > 0)
                --fallback_;
            else
                addByte(static_cast<char>(value));
            return;
        }
        if (s == '\\' || s == '{' || s == '}') {
            if (fallback_ > 0)
                --fallback_;
            else
                addByte(s);
            return;
        }
        flushBytes(false);
        if (fallback_ > 0) {
            --fallback_;
            return;
        }
        switch (s) {
        case '*': // an ignorable destination: none of them is text the panel shows
            state().destination = Destination::Skip;
            break;
        case '~':
            addCharacter(u'\u00A0');
            break;
        case '-':
            addCharacter(u'\u00AD');
            break;
        case '_':
            addCharacter(u'\u2011');
            break;
        case '\r':
        case '\n':
            if (state().destination == Destination::Text)
                endParagraph();
            break;
        default:
            break;
        }
    }

    static int hexDigit(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    void controlWord(const QByteArray& word, bool hasParameter, long parameter) {
        State& s = state();
        if (word == "uc") {
            s.unicodeSkip = static_cast<int>(std::clamp(parameter, 0L, long{MaxUnicodeSkip}));
            return;
        }
        if (s.destination == Destination::Skip)
            return;
        if (skippedDestination(word)) {
            s.destination = Destination::Skip;
            return;
        }
        if (word == "fonttbl") {
            s.destination = Destination::FontTable;
            return;
        }
        if (word == "colortbl") {
            s.destination = Destination::ColourTable;
            return;
        }
        if (word == "ansicpg") {
            if (codePageName(parameter))
                codePage_ = static_cast<int>(parameter);
            return;
        }
        if (word == "deff") {
            defaultFont_ = parameter;
            formatValid_ = false;
            return;
        }
        if (word == "u") {
            // A signed 16-bit number; larger ones stand for nothing but skip their fallback.
            if (hasParameter && parameter >= -32768 && parameter <= 65535)
                addCharacter(static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter));
            fallback_ = s.unicodeSkip;
            return;
        }
        if (const char16_t special = specialCharacter(word)) {
            addCharacter(special); // also in a font's name
            return;
        }
        switch (s.destination) {
        case Destination::FontTable:
            fontTableWord(word, parameter);
            return;
        case Destination::ColourTable:
            if (word == "red")
                colour_.setRed(static_cast<int>(std::clamp(parameter, 0L, 255L)));
            else if (word == "green")
                colour_.setGreen(static_cast<int>(std::clamp(parameter, 0L, 255L)));
            else if (word == "blue")
                colour_.setBlue(static_cast<int>(std::clamp(parameter, 0L, 255L)));
            return;
        default:
            break;
        }
        const bool on = !hasParameter || parameter != 0;
        CharState& c = s.chars;
        if (word == "par" || word == "sect" || word == "page" || word == "row") {
            endParagraph();
        } else if (word == "pard") {
            s.alignment = Qt::AlignLeft;
        } else if (word == "ql") {
            s.alignment = Qt::AlignLeft;
        } else if (word == "qc") {
            s.alignment = Qt::AlignHCenter;
        } else if (word == "qr") {
            s.alignment = Qt::AlignRight;
        } else if (word == "qj") {
            s.alignment = Qt::AlignJustify;
        } else if (word == "plain") {
            c = CharState{};
        } else if (word == "f") {
            c.font = parameter;
        } else if (word == "fs") {
            c.halfPoints =
                parameter > 0 ? static_cast<int>(std::min<long>(parameter, MaxHalfPoints)) : 0;
        } else if (word == "b") {
            c.bold = on;
        } else if (word == "i") {
            c.italic = on;
        } else if (underlineWord(word)) {
            c.underline = on;
        } else if (word == "ulnone") {
            c.underline = false;
        } else if (word == "strike") {
            c.strikeOut = on;
        } else if (word == "cf") {
            c.colour = parameter;
        } else if (word == "highlight" || word == "cb") {
            c.highlight = parameter;
        }
    }

    void fontTableWord(const QByteArray& word, long parameter) {
        if (word == "f") {
            endFontEntry();
            entry_ = parameter;
            entryDepth_ = stack_.size();
            entryFont_ = Font{};
        } else if (entry_ && word == "fcharset") {
            entryFont_.codePage = charsetCodePage(parameter);
        } else if (entry_ && word == "cpg" && codePageName(parameter)) {
            entryFont_.codePage = static_cast<int>(parameter);
        }
    }

    void endFontEntry() {
        if (!entry_)
            return;
        flushBytes(true);
        entryFont_.name = documentText(entryFont_.name).trimmed();
        if (fonts_.size() < MaxTableEntries || fonts_.count(*entry_))
            fonts_[*entry_] = entryFont_;
        entry_.reset();
        entryDepth_ = 0;
        formatValid_ = false;
    }

    void plainByte(char c) {
        if (fallback_ > 0) {
            --fallback_;
            return;
        }
        const Destination d = state().destination;
        if (d == Destination::FontTable && c == ';') {
            endFontEntry();
        } else if (d == Destination::ColourTable && c == ';') {
            if (colours_.size() < MaxTableEntries)
                colours_.push_back(colour_);
            colour_ = QColor();
            formatValid_ = false;
        } else {
            addByte(c);
        }
    }

    // The code page of the bytes read now: the font entry's in the font table, else the
    // current font's, else the document's.
    int currentCodePage() {
        int page = 0;
        if (state().destination == Destination::FontTable) {
            page = entryFont_.codePage;
        } else {
            const long f = state().chars.font < 0 ? defaultFont_ : state().chars.font;
            if (const auto it = fonts_.find(f); it != fonts_.end())
                page = it->second.codePage;
        }
        return page ? page : codePage_;
    }

    bool takesText() {
        const Destination d = state().destination;
        return d == Destination::Text || (d == Destination::FontTable && entry_);
    }

    void addByte(char byte) {
        if (!takesText())
            return;
        const int page = currentCodePage();
        if (page != bytesPage_) {
            flushBytes(true);
            bytesPage_ = page;
        }
        bytes_ += byte;
    }

    // Decodes the bytes collected so far. A double-byte character may be split by a change of
    // format: the decoder keeps its lead byte for the next bytes unless `finish` says that
    // other text comes between.
    void flushBytes(bool finish) {
        if (bytesPage_ == 0)
            return;
        auto it = decoders_.find(bytesPage_);
        if (it == decoders_.end())
            it = decoders_.emplace(bytesPage_, QStringDecoder(codePageName(bytesPage_))).first;
        if (!bytes_.isEmpty()) {
            addText(it->second.decode(bytes_));
            bytes_.clear();
        }
        if (finish)
            it->second.resetState();
    }

    void addCharacter(char16_t character) {
        if (!takesText())
            return;
        flushBytes(true);
        addText(QString(QChar(character)));
    }

    void addText(const QString& text) {
        if (text.isEmpty())
            return;
        if (state().destination == Destination::FontTable) {
            if (entryFont_.name.size() < MaxFontName)
                entryFont_.name += text.left(MaxFontName - entryFont_.name.size());
            return;
        }
        QString kept = documentText(text);
        kept.truncate(std::max<qsizetype>(0, MaxCharacters - characters_));
        if (kept.isEmpty())
            return;
        characters_ += kept.size();
        const CharState& chars = state().chars;
        std::vector<Run>& runs = paragraphs_.back().runs;
        if (!runs.empty() && runs.back().state == chars)
            runs.back().text += kept;
        else
            runs.push_back(Run{chars, format(), kept});
    }

    // A paragraph takes the alignment and mark format in force at its end.
    void closeParagraph() {
        Paragraph& p = paragraphs_.back();
        p.alignment = state().alignment;
        p.mark = format();
    }

    void endParagraph() {
        flushBytes(true);
        closeParagraph();
        if (characters_ < MaxCharacters) {
            ++characters_;
            paragraphs_.emplace_back();
        }
    }

    QTextCharFormat format() {
        const CharState& c = state().chars;
        if (formatValid_ && formatState_ == c)
            return format_;
        QTextCharFormat f;
        const auto font = fonts_.find(c.font < 0 ? defaultFont_ : c.font);
        if (font != fonts_.end() && !font->second.name.isEmpty())
            f.setFontFamilies(QStringList{font->second.name});
        // Sizes are in half-points at 96 pixels to the inch: 48 pixels are \fs72.
        if (c.halfPoints > 0 && c.halfPoints * 2 % 3 == 0)
            f.setProperty(QTextFormat::FontPixelSize, c.halfPoints * 2 / 3);
        else if (c.halfPoints > 0)
            f.setFontPointSize(c.halfPoints / 2.0);
        if (c.bold)
            f.setFontWeight(QFont::Bold);
        if (c.italic)
            f.setFontItalic(true);
        if (c.underline)
            f.setFontUnderline(true);
        if (c.strikeOut)
            f.setFontStrikeOut(true);
        if (c.colour > 0 && c.colour < static_cast<long>(colours_.size()) &&
            colours_[static_cast<std::size_t>(c.colour)].isValid())
            f.setForeground(colours_[static_cast<std::size_t>(c.colour)]);
        if (c.highlight > 0 && c.highlight < static_cast<long>(colours_.size()) &&
            colours_[static_cast<std::size_t>(c.highlight)].isValid())
            f.setBackground(colours_[static_cast<std::size_t>(c.highlight)]);
        formatValid_ = true;
        formatState_ = c;
        format_ = f;
        return f;
    }

    const QByteArray& in_;
    qsizetype pos_ = 0;
    // The base state, under the document's own group.
    std::vector<State> stack_{State{}};
    std::size_t overflow_ = 0;
    int fallback_ = 0; // \uN fallback units still to skip

    int codePage_ = DocumentCodePage;
    long defaultFont_ = 0;
    std::map<long, Font> fonts_;
    std::optional<long> entry_; // the font table entry being read
    std::size_t entryDepth_ = 0;
    Font entryFont_;
    std::vector<QColor> colours_;
    QColor colour_;

    QByteArray bytes_;
    int bytesPage_ = 0;
    std::map<int, QStringDecoder> decoders_;

    std::vector<Paragraph> paragraphs_{Paragraph{}};
    qsizetype characters_ = 0;
    bool formatValid_ = false;
    CharState formatState_;
    QTextCharFormat format_;
};

std::vector<Paragraph> plainParagraphs(const QByteArray& bytes) {
    std::vector<Paragraph> paragraphs;
    const QString text = QStringDecoder("GBK").decode(bytes.left(MaxCharacters));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        Paragraph p;
        const QString kept = documentText(line);
        if (!kept.isEmpty())
            p.runs.push_back(Run{CharState{}, QTextCharFormat(), kept.left(MaxCharacters)});
        paragraphs.push_back(std::move(p));
    }
    return paragraphs;
}

} // namespace

void rtfToRichText(const QByteArray& rtf, QTextDocument& document) {
    const std::vector<Paragraph> paragraphs =
        rtf.startsWith("{\\rtf") ? Reader(rtf).read() : plainParagraphs(rtf);
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    bool first = true;
    for (const Paragraph& p : paragraphs) {
        QTextBlockFormat block;
        if (p.alignment != Qt::AlignLeft)
            block.setAlignment(p.alignment);
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(p.mark);
            first = false;
        } else {
            cursor.insertBlock(block, p.mark);
        }
        for (const Run& run : p.runs)
            cursor.insertText(run.text, run.format);
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

} // namespace platform
