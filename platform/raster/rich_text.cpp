#include "platform/raster/rich_text.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextDocument>
#include <cctype>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

const char* const Header =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fprq2"
    "\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs24 ";

void appendHex(QByteArray& out, unsigned char byte) {
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

// Destinations whose text is not part of the document.
bool skippedDestination(const QByteArray& word) {
    static const char* const names[] = {
        "fonttbl", "colortbl",  "stylesheet",        "info",     "pict", "object", "header",
        "footer",  "listtable", "listoverridetable", "generator"};
    for (const char* n : names) {
        if (word == n)
            return true;
    }
    return false;
}

} // namespace

QByteArray plainTextToRtf(const QString& text) {
    QByteArray out(Header);
    QStringEncoder gbk("GBK");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c == QLatin1Char('\n') || u == 0x2029) {
            out += "\\par\r\n";
        } else if (c == QLatin1Char('\t')) {
            out += "\\tab ";
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u >= 0x20 && u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x20) {
            continue; // other control characters have no place in the text
        } else {
            const qsizetype len = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString one = text.mid(i, len);
            const QByteArray bytes = gbk.encode(one);
            if (!gbk.hasError() && !bytes.isEmpty() && !bytes.contains('?')) {
                for (char b : bytes)
                    appendHex(out, static_cast<unsigned char>(b));
            } else {
                for (QChar unit : one)
                    out += "\\u" + QByteArray::number(static_cast<short>(unit.unicode())) + '?';
            }
            gbk.resetState();
            i += len - 1;
        }
    }
    out += "\\par\r\n}\r\n";
    return out;
}

QString rtfToPlainText(const QByteArray& rtf) {
    struct Group {
        bool skip = false;
        int unicodeSkip = 1;
    };
    std::vector<Group> groups{Group{}};
    QString text;
    QByteArray pending; // code-page bytes waiting to be decoded together
    QStringDecoder gbk("GBK");
    auto flush = [&] {
        if (!pending.isEmpty()) {
            text += gbk.decode(pending);
            pending.clear();
        }
    };
    int fallbackToSkip = 0;
    const qsizetype n = rtf.size();
    qsizetype i = 0;
    bool destinationNext = false;
    while (i < n) {
        const char c = rtf.at(i);
        Group& g = groups.back();
        if (c == '{') {
            flush();
            groups.push_back(g);
            ++i;
            continue;
        }
        if (c == '}') {
            flush();
            if (groups.size() > 1)
                groups.pop_back();
            else
                break; // the document's end; anything after it is ignored
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n' || c == '\0') {
            ++i;
            continue;
        }
        if (c != '\\') {
            if (fallbackToSkip > 0) {
                --fallbackToSkip;
            } else if (!g.skip) {
                pending += c;
            }
            ++i;
            continue;
        }
        // A control word or symbol.
        ++i;
        if (i >= n)
            break;
        const char s = rtf.at(i);
        if (s == '\'') {
            if (i + 2 < n) {
                const int byte = QByteArray(rtf.constData() + i + 1, 2).toInt(nullptr, 16);
                if (fallbackToSkip > 0)
                    --fallbackToSkip;
                else if (!g.skip)
                    pending += static_cast<char>(byte);
            }
            i += 3;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(s))) {
            ++i;
            if (s == '*') {
                destinationNext = true;
                continue;
            }
            if (g.skip)
                continue;
            if (s == '\\' || s == '{' || s == '}') {
                pending += s;
            } else if (s == '~') {
                flush();
                text += QChar(0x00A0);
            } else if (s == '_') {
                flush();
                text += QChar(0x2011);
            }
            continue;
        }
        qsizetype start = i;
        while (i < n && std::isalpha(static_cast<unsigned char>(rtf.at(i))))
            ++i;
        const QByteArray word = rtf.mid(start, i - start);
        bool hasParam = false;
        long param = 0;
        start = i;
        if (i < n && (rtf.at(i) == '-' || std::isdigit(static_cast<unsigned char>(rtf.at(i))))) {
            ++i;
            while (i < n && std::isdigit(static_cast<unsigned char>(rtf.at(i))))
                ++i;
            param = rtf.mid(start, i - start).toLong(&hasParam);
        }
        if (i < n && rtf.at(i) == ' ')
            ++i;
        if (destinationNext || skippedDestination(word)) {
            destinationNext = false;
            if (skippedDestination(word) || word != "ud")
                g.skip = true;
            continue;
        }
        if (g.skip)
            continue;
        if (word == "uc" && hasParam) {
            g.unicodeSkip = static_cast<int>(param);
        } else if (word == "u" && hasParam) {
            flush();
            long unit = param < 0 ? param + 65536 : param;
            text += QChar(static_cast<char16_t>(unit & 0xFFFF));
            fallbackToSkip = g.unicodeSkip;
            continue;
        } else if (word == "par" || word == "line") {
            flush();
            text += QLatin1Char('\n');
        } else if (word == "tab") {
            flush();
            text += QLatin1Char('\t');
        }
        fallbackToSkip = 0;
    }
    flush();
    // The writer ends the last paragraph with \par; the editor shows no empty line for it.
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

void saveRichText(const QTextDocument& document, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(plainTextToRtf(document.toPlainText())) < 0 || !file.commit()) {
        throw std::runtime_error(
            QStringLiteral("无法写入文件“%1”：%2").arg(path, file.errorString()).toStdString());
    }
}

bool loadRichText(QTextDocument& document, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    document.setPlainText(rtfToPlainText(file.readAll()));
    return true;
}

} // namespace platform
