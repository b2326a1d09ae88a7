#include "richtext/rtfwriter.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

// The character properties the notebook keeps, resolved against the document's default font.
struct RunStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString family;
    int halfPoints = 24;
    std::optional<QRgb> color;
    bool operator==(const RunStyle&) const = default;
};

bool isCjkFamily(const QString& family) {
    // Chinese face names (宋体, 黑体) are themselves CJK; the Latin names of the common Chinese
    // faces carry one of these words.
    for (const QChar c : family) {
        if (c.unicode() >= 0x2E80) return true;
    }
    static constexpr const char* CjkWords[] = {"CJK",    "Sim",   "YaHei",     "Song",
                                               "Hei",    "Kai",   "Fang",      "Ming",
                                               "STXing", "AR PL", "WenQuanYi", "Source Han"};
    for (const char* word : CjkWords) {
        if (family.contains(QLatin1String(word), Qt::CaseInsensitive)) return true;
    }
    return false;
}

// Font names end at ';' and braces would unbalance the table, so they cannot appear in a name;
// nor can what the reader leaves out of a face name (line breaks, controls, object marks).
QString cleanFamily(const QString& family) {
    QString out;
    out.reserve(family.size());
    for (const QChar c : family) {
        const char16_t u = c.unicode();
        if (u == u';' || u == u'{' || u == u'}' || u == u'\\' || u < 0x20 || c.isSurrogate() ||
            u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1 || u == 0x2028 || u == 0x2029) {
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

void controlWord(QByteArray& out, const char* word, int parameter) {
    out += word;
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, parameter).ptr;
    out.append(digits, end - digits);
}

void hexByte(QByteArray& out, char byte) {
    static constexpr char Hex[] = "0123456789abcdef";
    const char escaped[] = {'\\', '\'', Hex[uchar(byte) >> 4], Hex[uchar(byte) & 15]};
    out.append(escaped, 4);
}

class RtfWriter {
  public:
    explicit RtfWriter(const QTextDocument& document) : document_(document) {
        const QFont font = document.defaultFont();
        defaultFamily_ = cleanFamily(font.family());
        const qreal points = font.pointSizeF();
        defaultHalfPoints_ = points > 0 ? halfPointsOf(points) : 24;
        fontIndex(defaultFamily_);
    }

    // The characters [from, to) of the document; a paragraph whose mark lies in the range ends
    // with \par.
    QByteArray write(int from, int to) {
        for (QTextBlock block = document_.findBlock(from); block.isValid() && block.position() < to;
             block = block.next()) {
            writeParagraph(block, from, to);
        }
        return header() + body_ + "}\n";
    }

  private:
    static int halfPointsOf(qreal points) {
        const long long half = std::llround(points * 2);
        // 1 to 1638 points, the range word processors offer.
        return static_cast<int>(std::clamp<long long>(half, 2, 3276));
    }

    RunStyle styleOf(const QTextCharFormat& format) const {
        RunStyle style;
        style.bold = format.fontWeight() >= QFont::DemiBold;
        style.italic = format.fontItalic();
        style.underline = format.fontUnderline();
        const QStringList families = format.fontFamilies().toStringList();
        style.family = families.isEmpty() ? defaultFamily_ : cleanFamily(families.first());
        if (style.family.isEmpty()) style.family = defaultFamily_;
        style.halfPoints =
            format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0
                ? halfPointsOf(format.fontPointSize())
                : defaultHalfPoints_;
        if (format.hasProperty(QTextFormat::ForegroundBrush) &&
            format.foreground().style() != Qt::NoBrush) {
            style.color = format.foreground().color().rgb() & 0xFFFFFFu;
        }
        return style;
    }

    int fontIndex(const QString& family) {
        const auto found = fontIndex_.constFind(family);
        if (found != fontIndex_.cend()) return *found;
        const int index = int(fonts_.size());
        fonts_.append(family);
        fontIndex_.insert(family, index);
        return index;
    }

    // Colour 0 is the "auto" entry of the table, so the document's own colours start at 1.
    int colorIndex(const std::optional<QRgb>& color) {
        if (!color) return 0;
        const auto found = colorIndex_.constFind(*color);
        if (found != colorIndex_.cend()) return *found;
        colors_.append(*color);
        const int index = int(colors_.size());
        colorIndex_.insert(*color, index);
        return index;
    }

    void writeStyle(const RunStyle& style) {
        controlWord(body_, "\\f", fontIndex(style.family));
        controlWord(body_, "\\fs", style.halfPoints);
        body_ += style.bold ? "\\b" : "\\b0";
        body_ += style.italic ? "\\i" : "\\i0";
        body_ += style.underline ? "\\ul" : "\\ulnone";
        controlWord(body_, "\\cf", colorIndex(style.color));
    }

    void writeParagraph(const QTextBlock& block, int from, int to) {
        body_ += "\\pard\\plain";
        const Qt::Alignment alignment = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (alignment & Qt::AlignHCenter) {
            body_ += "\\qc";
        } else if (alignment & Qt::AlignJustify) {
            body_ += "\\qj";
        } else if ((alignment & Qt::AlignRight) ||
                   ((alignment & Qt::AlignTrailing) && !(alignment & Qt::AlignAbsolute))) {
            body_ += "\\qr";
        } else {
            body_ += "\\ql";
        }
        // The paragraph mark's own style sizes an empty line.
        writeStyle(styleOf(block.charFormat()));
        body_ += ' ';
        // Fragments whose formats differ only in what RTF does not keep share one group.
        std::optional<RunStyle> open;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end) continue;
            const RunStyle style = styleOf(fragment.charFormat());
            if (open != style) {
                if (open) body_ += '}';
                body_ += '{';
                writeStyle(style);
                body_ += ' ';
                uc_ = 1;
                open = style;
            }
            writeText(QStringView(fragment.text()).mid(start - fragment.position(), end - start));
        }
        if (open) body_ += '}';
        const int mark = block.position() + block.length() - 1;
        if (mark < to) body_ += "\\par\n";
    }

    void writeText(QStringView text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c == u'\\' || c == u'{' || c == u'}') {
                body_ += '\\';
                body_ += char(c);
            } else if (c >= 0x20 && c < 0x7F) {
                body_ += char(c);
            } else if (c == u'\t') {
                body_ += "\\tab ";
            } else if (c == 0x2028) {
                body_ += "\\line ";
            } else if (c == 0x00A0) {
                body_ += "\\~";
            } else if (c < 0x20 || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1 || c == 0x2029) {
                // Control characters, images and frame marks have no place in the notebook's text.
            } else {
                writeUnicode(c);
            }
        }
    }

    // \uN takes a signed 16-bit N; the GBK bytes behind it are what older readers show.
    void writeUnicode(char16_t c) {
        const QByteArray fallback = gbkFallback(c);
        if (fallback.size() != uc_) {
            uc_ = int(fallback.size());
            controlWord(body_, "\\uc", uc_);
        }
        controlWord(body_, "\\u", int16_t(c));
        // Escaped even when it is '?': pandoc and unrtf drop the character after a literal
        // fallback character, not after an escaped byte.
        for (const char byte : fallback) hexByte(body_, byte);
    }

    QByteArray gbkFallback(char16_t c) {
        const auto found = fallbacks_.constFind(c);
        if (found != fallbacks_.cend()) return *found;
        QByteArray bytes("?");
        if (!QChar::isSurrogate(c)) {
            const QString one(QChar{c});
            // The encoder substitutes '?' for some characters without a word.
            const auto encoded = gbkBytes(one);
            if (encoded && encoded->size() <= 2 && decodesTo(*encoded, one)) bytes = *encoded;
        }
        fallbacks_.insert(c, bytes);
        return bytes;
    }

    // The encoder also takes characters GBK only has a look-alike for (one-way mappings); only
    // bytes that decode back to the same text are faithful.
    bool decodesTo(const QByteArray& bytes, const QString& text) {
        if (!decoder_ || decoder_->hasError()) {
            decoder_.emplace("GBK", QStringConverter::Flag::Stateless);
        }
        return QString(decoder_->decode(bytes)) == text && !decoder_->hasError();
    }

    std::optional<QByteArray> gbkBytes(const QString& text) {
        // An error sticks to a converter even after resetState(), so a failure costs a new one.
        if (!encoder_ || encoder_->hasError()) {
            encoder_.emplace("GBK", QStringConverter::Flag::Stateless);
        }
        if (!encoder_->isValid()) return std::nullopt;
        QByteArray bytes = encoder_->encode(text);
        if (encoder_->hasError() || bytes.isEmpty()) return std::nullopt;
        return bytes;
    }

    QByteArray fontName(const QString& family, bool cjk) {
        // A Chinese name GBK can spell is written as its bytes, the form older readers expect
        // in a font table of charset 134; anything else as \uN.
        const auto bytes = cjk ? gbkBytes(family) : std::nullopt;
        if (bytes && decodesTo(*bytes, family)) {
            QByteArray out;
            // The second byte of a GBK pair can be '\\', '{' or '}'.
            for (const char byte : *bytes) {
                if (uchar(byte) >= 0x80 || uchar(byte) < 0x20 || byte == '\\' || byte == '{' ||
                    byte == '}') {
                    hexByte(out, byte);
                } else {
                    out += byte;
                }
            }
            return out;
        }
        const QByteArray saved = body_;
        body_.clear();
        uc_ = 1;
        writeText(family);
        const QByteArray out = body_;
        body_ = saved;
        return out;
    }

    QByteArray header() {
        QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\n{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            const bool cjk = isCjkFamily(fonts_[i]);
            out += "{\\f" + QByteArray::number(i) +
                   (cjk ? "\\fnil\\fcharset134 " : "\\fnil\\fcharset0 ");
            out += fontName(fonts_[i], cjk);
            out += ";}";
        }
        out += "}\n{\\colortbl;";
        for (const QRgb rgb : colors_) {
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                   QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) +
                   ';';
        }
        out += "}\n";
        return out;
    }

    const QTextDocument& document_;
    QString defaultFamily_;
    int defaultHalfPoints_ = 24;
    QList<QString> fonts_;
    QHash<QString, int> fontIndex_;
    QList<QRgb> colors_;
    QHash<QRgb, int> colorIndex_;
    QHash<char16_t, QByteArray> fallbacks_;
    std::optional<QStringEncoder> encoder_;
    std::optional<QStringDecoder> decoder_;
    QByteArray body_;
    int uc_ = 1;  // the \uc in force inside the current run's group
};

}  // namespace

QByteArray writeRtf(const QTextDocument& document) {
    // The last paragraph's mark sits at characterCount() - 1, so the range includes every mark.
    return RtfWriter(document).write(0, document.characterCount());
}

QByteArray writeRtf(const QTextCursor& selection) {
    const QTextDocument* document = selection.document();
    if (!document) return RtfWriter(QTextDocument()).write(0, 0);
    return RtfWriter(*document).write(selection.selectionStart(), selection.selectionEnd());
}
