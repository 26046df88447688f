#include "platform/os/ini_text.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\v');
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

// The profile functions trim only spaces from the names a caller passes.
QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString unquote(const QString& text) {
    if (text.size() >= 2 &&
        (text.front() == QLatin1Char('"') || text.front() == QLatin1Char('\'')) &&
        text.back() == text.front())
        return text.mid(1, text.size() - 2);
    return text;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A name in the folded case sameName() compares in, code point by code point: two names are
// the same name exactly when their folded forms are equal.
QString foldedName(const QString& name) {
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        folded.append(QChar::fromUcs4(QChar::toCaseFolded(c)));
    }
    return folded;
}

// A value the reader would trim or unquote goes out in one more pair of quotes, which the
// reader takes away again.
QString protectedValue(const QString& value) {
    if (value.isEmpty())
        return value;
    const bool quoted = value.size() >= 2 &&
                        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                        value.back() == value.front();
    if (!quoted && !isBlank(value.front()) && !isBlank(value.back()))
        return value;
    return QLatin1Char('"') + value + QLatin1Char('"');
}

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(0));
}

bool isAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int digitValue(QChar c, bool hex) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (hex && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (hex && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

unsigned utf16Unit(const QByteArray& bytes, qsizetype at) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
           (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

} // namespace

namespace {

// Opening a converter is costly next to a line of text; each thread keeps one of each.
QStringEncoder& gbkEncoder() {
    thread_local QStringEncoder encoder("GBK");
    encoder.resetState();
    return encoder;
}

QStringDecoder& gbkDecoder() {
    thread_local QStringDecoder decoder("GBK");
    decoder.resetState();
    return decoder;
}

// A byte that is no character of the file's encoding is kept in the text as one of these, a
// half of a UTF-16 pair that no decoder gives alone, and written back as the byte it was.
constexpr char16_t FirstKeptByte = 0xDC80;

QChar keptByte(unsigned char byte) {
    return QChar(static_cast<char16_t>(FirstKeptByte + (byte - 0x80)));
}

std::optional<char> asKeptByte(const QString& text, qsizetype i) {
    const char16_t u = text[i].unicode();
    if (u < FirstKeptByte || u > FirstKeptByte + 0x7F)
        return std::nullopt;
    if (i > 0 && text[i - 1].isHighSurrogate())
        return std::nullopt;
    return static_cast<char>(0x80 + (u - FirstKeptByte));
}

// Text with its kept bytes put back: runs between them go through `encode`.
template <typename Encode> QByteArray encodeKeepingBytes(const QString& text, Encode encode) {
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const std::optional<char> byte = asKeptByte(text, i)) {
            bytes += encode(QStringView(text).mid(run, i - run));
            bytes += *byte;
            run = i + 1;
        }
    }
    return bytes + encode(QStringView(text).mid(run));
}

// The length of the well-formed UTF-8 character at `at`, or 0.
qsizetype utf8Length(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0U;
    };
    const unsigned lead = byte(at);
    const auto follows = [&](qsizetype count, unsigned low, unsigned high) {
        const unsigned second = byte(at + 1);
        if (second < low || second > high)
            return qsizetype(0);
        for (qsizetype i = 2; i <= count; ++i) {
            if ((byte(at + i) & 0xC0U) != 0x80U)
                return qsizetype(0);
        }
        return count + 1;
    };
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return follows(1, 0x80, 0xBF);
    if (lead == 0xE0)
        return follows(2, 0xA0, 0xBF);
    if (lead == 0xED) // no halves of UTF-16 pairs
        return follows(2, 0x80, 0x9F);
    if (lead >= 0xE1 && lead <= 0xEF)
        return follows(2, 0x80, 0xBF);
    if (lead == 0xF0)
        return follows(3, 0x90, 0xBF);
    if (lead >= 0xF1 && lead <= 0xF3)
        return follows(3, 0x80, 0xBF);
    if (lead == 0xF4)
        return follows(3, 0x80, 0x8F);
    return 0;
}

QString fromUtf8KeepingBytes(const QByteArray& bytes) {
    QString text;
    qsizetype run = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = utf8Length(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + run, i - run);
        text += keptByte(static_cast<unsigned char>(bytes[i]));
        run = ++i;
    }
    return text + QString::fromUtf8(bytes.constData() + run, i - run);
}

bool isUtf8(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = utf8Length(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// Whether every byte above ASCII pairs into a character of GB2312's rows, which is what the
// Windows program writes of the names teachers type. Text in UTF-8 rarely does: its middle
// bytes (0x80..0xBF) fall outside them.
bool isGb2312Text(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80)
            continue;
        if (lead < 0xA1 || lead > 0xF7 || i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0xA1 || trail > 0xFE)
            return false;
    }
    return true;
}

// A file without a byte-order mark is taken for UTF-8 when it holds characters beyond ASCII,
// is well-formed UTF-8 throughout, and is not GBK text as the Windows program writes it.
bool looksLikeUtf8(const QByteArray& bytes) {
    return !isAscii(bytes) && isUtf8(bytes) && !isGb2312Text(bytes);
}

const QByteArray Utf8Mark("\xEF\xBB\xBF");

} // namespace

QByteArray toGbk(const QString& text) {
    return encodeKeepingBytes(text, [](QStringView run) {
        return run.isEmpty() ? QByteArray() : QByteArray(gbkEncoder().encode(run));
    });
}

QString fromGbk(const QByteArray& bytes) {
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    const QString text = gbkDecoder().decode(bytes);
    if (!text.contains(QChar::ReplacementCharacter) && gbkEncoder().encode(text) == bytes)
        return text;
    // Character by character, each byte that is none kept as it was.
    QString kept;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            kept += QLatin1Char(static_cast<char>(lead));
            ++i;
            continue;
        }
        if (i + 1 < bytes.size()) {
            const QByteArray pair = bytes.mid(i, 2);
            const QString c = gbkDecoder().decode(pair);
            if (c.size() == 1 && c[0] != QChar::ReplacementCharacter &&
                gbkEncoder().encode(c) == pair) {
                kept += c;
                i += 2;
                continue;
            }
        }
        kept += keptByte(lead);
        ++i;
    }
    return kept;
}

bool gbkCanHold(const QString& text) {
    // A fresh one: a converter's error flag outlives its state.
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && fromGbk(bytes) == text;
}

IniText::IniText(const QByteArray& bytes) {
    QByteArray body = bytes;
    if (bytes.startsWith("\xFF\xFE")) {
        utf16_ = true;
        prefix_ = bytes.left(2);
        body = bytes.mid(2);
    } else if (bytes.startsWith(Utf8Mark)) {
        utf8_ = true;
        prefix_ = Utf8Mark;
        body = bytes.mid(Utf8Mark.size());
    } else {
        utf8_ = looksLikeUtf8(bytes);
    }
    const qsizetype unit = utf16_ ? 2 : 1;
    const qsizetype size = utf16_ ? body.size() & ~qsizetype(1) : body.size();
    auto at = [&](qsizetype i) {
        return utf16_ ? utf16Unit(body, i) : static_cast<unsigned char>(body[i]);
    };
    qsizetype start = 0;
    while (start < size) {
        qsizetype i = start;
        while (i < size && at(i) != '\r' && at(i) != '\n')
            i += unit;
        Line line;
        line.content = body.mid(start, i - start);
        if (i < size) {
            const qsizetype endLength =
                at(i) == '\r' && i + unit < size && at(i + unit) == '\n' ? 2 * unit : unit;
            line.end = body.mid(i, endLength);
            i += endLength;
        }
        classify(line);
        lines_.push_back(std::move(line));
        start = i;
    }
    // A UTF-16 file cut in the middle of a character keeps its odd byte at the very end.
    suffix_ = body.mid(size);
}

QString IniText::decode(const QByteArray& content) const {
    if (utf8_)
        return isAscii(content) ? QString::fromLatin1(content) : fromUtf8KeepingBytes(content);
    if (!utf16_)
        return fromGbk(content);
    QString text;
    text.reserve(content.size() / 2);
    for (qsizetype i = 0; i + 1 < content.size(); i += 2)
        text.append(QChar(static_cast<char16_t>(utf16Unit(content, i))));
    return text;
}

QByteArray IniText::encode(const QString& text) const {
    if (utf8_)
        return encodeKeepingBytes(text, [](QStringView run) { return run.toUtf8(); });
    if (!utf16_)
        return toGbk(text);
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray IniText::crlf() const {
    return utf16_ ? QByteArray("\r\0\n\0", 4) : QByteArray("\r\n");
}

void IniText::classify(Line& line) const {
    const QString text = decode(line.content);
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    line.kind = Kind::Other;
    line.name.clear();
    line.value.clear();
    if (i < text.size() && text[i] == QLatin1Char('[')) {
        // Text after the closing bracket is ignored, and a missing bracket is tolerated.
        const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
        line.kind = Kind::Section;
        line.name = trimBlanks(text.mid(i + 1, close < 0 ? -1 : close - i - 1));
        return;
    }
    if (i < text.size() && text[i] == QLatin1Char(';'))
        return;
    const qsizetype equals = text.indexOf(QLatin1Char('='), i);
    if (equals < 0)
        return;
    line.kind = Kind::Key;
    line.name = trimBlanks(text.mid(i, equals - i));
    line.value = unquote(trimBlanks(text.mid(equals + 1)));
}

IniText::Line IniText::makeLine(const QString& text) const {
    Line line;
    line.content = encode(text);
    line.end = crlf();
    classify(line);
    return line;
}

QByteArray IniText::bytes() const {
    QByteArray result;
    for (const Line& line : lines_) {
        result += line.content;
        result += line.end;
    }
    result += suffix_;
    // A file in UTF-8 without a mark that would no longer read as UTF-8 (what set it apart
    // from GBK is gone) takes the mark, so that it stays in its encoding.
    if (utf8_ && prefix_.isEmpty() && !looksLikeUtf8(result) && !isAscii(result))
        return Utf8Mark + result;
    return prefix_ + result;
}

std::optional<std::pair<std::size_t, std::size_t>>
IniText::findSection(const QString& section) const {
    if (!headersKnown_) {
        firstHeaders_.clear();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].kind != Kind::Section)
                continue;
            const QString name = foldedName(lines_[i].name);
            if (!firstHeaders_.contains(name))
                firstHeaders_.insert(name, i);
        }
        headersKnown_ = true;
    }
    const auto found = firstHeaders_.constFind(foldedName(trimSpaces(section)));
    if (found == firstHeaders_.constEnd())
        return std::nullopt;
    const std::size_t header = *found;
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::Section)
        ++end;
    return std::make_pair(header, end);
}

std::optional<QString> IniText::value(const QString& section, const QString& key) const {
    const auto found = findSection(section);
    if (!found)
        return std::nullopt;
    const QString name = trimSpaces(key);
    for (std::size_t i = found->first + 1; i < found->second; ++i) {
        if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, name))
            return lines_[i].value;
    }
    return std::nullopt;
}

QStringList IniText::sections() const {
    QStringList names;
    QSet<QString> seen;
    for (const Line& line : lines_) {
        if (line.kind != Kind::Section)
            continue;
        const QString folded = foldedName(line.name);
        if (!seen.contains(folded)) {
            seen.insert(folded);
            names << line.name;
        }
    }
    return names;
}

void IniText::endLastLine() {
    if (!lines_.empty() && lines_.back().end.isEmpty())
        lines_.back().end = crlf();
}

void IniText::setValue(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = trimSpaces(section);
    const QString keyName = trimSpaces(key);
    const auto found = findSection(sectionName);
    if (!found) {
        endLastLine();
        lines_.push_back(makeLine(QLatin1Char('[') + sectionName + QLatin1Char(']')));
        // A new section goes last: lines before it stay where they were.
        const QString name = foldedName(lines_.back().name);
        if (headersKnown_ && !firstHeaders_.contains(name))
            firstHeaders_.insert(name, lines_.size() - 1);
        lines_.push_back(makeLine(keyName + QLatin1Char('=') + protectedValue(value)));
        return;
    }
    const auto [header, end] = *found;
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind != Kind::Key)
            continue;
        if (sameName(line.name, keyName)) {
            // The key keeps its own spelling and its line its own line end.
            line.content = encode(line.name + QLatin1Char('=') + protectedValue(value));
            classify(line);
            return;
        }
        insertAt = i + 1;
    }
    if (lines_[insertAt - 1].end.isEmpty())
        lines_[insertAt - 1].end = crlf();
    linesMoved();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  makeLine(keyName + QLatin1Char('=') + protectedValue(value)));
}

bool IniText::removeKey(const QString& section, const QString& key) {
    const auto found = findSection(section);
    if (!found)
        return false;
    const QString name = trimSpaces(key);
    bool removed = false;
    for (std::size_t i = found->second; i-- > found->first + 1;) {
        if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, name)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            linesMoved();
            removed = true;
        }
    }
    return removed;
}

bool IniText::removeSection(const QString& section) {
    bool removed = false;
    while (const auto found = findSection(section)) {
        linesMoved();
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(found->first),
                     lines_.begin() + static_cast<std::ptrdiff_t>(found->second));
        removed = true;
    }
    return removed;
}

bool IniText::canWrite(const QString& section, const QString& key, const QString& value) const {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return false;
    const QString sectionName = trimSpaces(section);
    const QString keyName = trimSpaces(key);
    if (sectionName.isEmpty() || sectionName.contains(QLatin1Char(']')) ||
        trimBlanks(sectionName) != sectionName)
        return false;
    if (keyName.isEmpty() || keyName.contains(QLatin1Char('=')) ||
        keyName.startsWith(QLatin1Char('[')) || keyName.startsWith(QLatin1Char(';')) ||
        trimBlanks(keyName) != keyName)
        return false;
    // A half of a UTF-16 pair alone is no character, unless it stands for a byte kept as it was.
    const QString all = sectionName + keyName + value;
    QString characters;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QChar c = all[i];
        if (asKeptByte(all, i))
            continue;
        const bool paired = c.isHighSurrogate()  ? i + 1 < all.size() && all[i + 1].isLowSurrogate()
                            : c.isLowSurrogate() ? i > 0 && all[i - 1].isHighSurrogate()
                                                 : true;
        if (!paired && !utf16_)
            return false;
        characters += c;
    }
    // In a GBK file a character GBK cannot hold would come back as "?".
    return utf16_ || utf8_ || gbkCanHold(characters);
}

QString fitToBuffer(const QString& value, int size) {
    if (size <= 0)
        return {};
    const QByteArray bytes = toGbk(value);
    const qsizetype limit = size - 1;
    if (bytes.size() <= limit)
        return value;
    qsizetype kept = 0;
    while (kept < bytes.size()) {
        const qsizetype length =
            static_cast<unsigned char>(bytes[kept]) >= 0x81 && kept + 1 < bytes.size() ? 2 : 1;
        if (kept + length > limit)
            break;
        kept += length;
    }
    return fromGbk(bytes.left(kept));
}

int strToIntDef(const QString& text, int fallback) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == QLatin1Char('$')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    } else if (i < n && (text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    }
    if (i == n)
        return fallback;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = digitValue(text[i], hex);
        if (digit < 0)
            return fallback;
        magnitude = magnitude * (hex ? 16U : 10U) + static_cast<unsigned>(digit);
        if (magnitude > 0xFFFFFFFFULL)
            return fallback;
    }
    if (hex) {
        const auto bits = static_cast<std::uint32_t>(magnitude);
        const auto value = static_cast<std::int32_t>(negative ? 0U - bits : bits);
        return value;
    }
    const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    if (magnitude > limit)
        return fallback;
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<int>(negative ? -value : value);
}

} // namespace platform
