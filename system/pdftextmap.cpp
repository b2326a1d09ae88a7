#include "system/pdftextmap.h"

#include <QHash>
#include <QRawFont>
#include <QSet>

namespace {

using CodeMap = QHash<char16_t, char16_t>;

// For every character of `text` that a face draws with the glyph of a lower code that `text`
// does not hold, that code and the character: the mapping Qt's output gets wrong.
CodeMap sharedCodes(const QString& text, const QList<QFont>& fonts) {
    QSet<char16_t> present;
    QString characters;
    for (const QChar c : text) {
        if (c.isSurrogate() || present.contains(c.unicode())) continue;
        present.insert(c.unicode());
        characters += c;
    }
    // Every code of the Basic Multilingual Plane but the surrogates, in order.
    QString codes;
    codes.reserve(0x10000);
    for (char32_t code = 1; code < 0x10000; ++code)
        if (!QChar::isSurrogate(code)) codes += QChar(char16_t(code));

    CodeMap map;
    for (const QFont& font : fonts) {
        const QRawFont raw = QRawFont::fromFont(font);
        if (!raw.isValid()) continue;
        const QList<quint32> glyphs = raw.glyphIndexesForString(codes);
        QHash<quint32, char16_t> lowest;
        for (qsizetype i = 0; i < glyphs.size() && i < codes.size(); ++i)
            if (glyphs[i] != 0 && !lowest.contains(glyphs[i]))
                lowest.insert(glyphs[i], codes[i].unicode());
        const QList<quint32> drawn = raw.glyphIndexesForString(characters);
        for (qsizetype i = 0; i < drawn.size() && i < characters.size(); ++i) {
            const auto found = lowest.constFind(drawn[i]);
            if (found == lowest.constEnd() || *found == characters[i].unicode()) continue;
            if (!present.contains(*found)) map.insert(*found, characters[i].unicode());
        }
    }
    return map;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The four-digit hex code at `at` ("<2F54>" with `at` on '<'), or -1.
int codeAt(const QByteArray& bytes, qsizetype at) {
    if (at + 5 >= bytes.size() || bytes[at] != '<' || bytes[at + 5] != '>') return -1;
    int value = 0;
    for (int i = 1; i <= 4; ++i) {
        const int digit = hexValue(bytes[at + i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

void writeCode(QByteArray& bytes, qsizetype at, char16_t code) {
    static const char Digits[] = "0123456789ABCDEF";
    for (int i = 4; i >= 1; --i) {
        bytes[at + i] = Digits[code & 0xF];
        code >>= 4;
    }
}

// The codes of one map line from `at` to `end`: the first `skip` tokens are glyph numbers; a
// destination that is not a list stands for a range, and is rewritten only when the range is
// one glyph long.
void restoreLine(QByteArray& bytes, qsizetype at, qsizetype end, int skip, const CodeMap& map) {
    QList<qsizetype> tokens;
    bool list = false;
    for (qsizetype i = at; i < end; ++i) {
        if (bytes[i] == '[') list = true;
        if (bytes[i] == '<') tokens.append(i);
    }
    if (tokens.size() <= skip) return;
    if (skip == 2 && !list && codeAt(bytes, tokens[0]) != codeAt(bytes, tokens[1])) return;
    for (qsizetype t = skip; t < tokens.size(); ++t) {
        const int code = codeAt(bytes, tokens[t]);
        if (code < 0) continue;
        const auto found = map.constFind(char16_t(code));
        if (found != map.constEnd()) writeCode(bytes, tokens[t], *found);
    }
}

void restoreSections(QByteArray& bytes, const QByteArray& begin, const QByteArray& end, int skip,
                     const CodeMap& map) {
    qsizetype from = 0;
    while ((from = bytes.indexOf(begin, from)) >= 0) {
        const qsizetype stop = bytes.indexOf(end, from);
        if (stop < 0) return;
        qsizetype line = from + begin.size();
        while (line < stop) {
            qsizetype next = bytes.indexOf('\n', line);
            if (next < 0 || next > stop) next = stop;
            restoreLine(bytes, line, next, skip, map);
            line = next + 1;
        }
        from = stop;
    }
}

}  // namespace

QByteArray withIdeographsRestored(const QByteArray& pdf, const QString& text,
                                  const QList<QFont>& fonts) {
    const CodeMap map = sharedCodes(text, fonts);
    if (map.isEmpty()) return pdf;
    QByteArray bytes = pdf;
    restoreSections(bytes, "beginbfrange", "endbfrange", 2, map);
    restoreSections(bytes, "beginbfchar", "endbfchar", 1, map);
    return bytes;
}
