#include "richtext/rtfreader.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

constexpr const char* TooDeep = "文件的分组嵌套超过 %1 层，无法读取。";
constexpr const char* Truncated = "文件不完整（可能已被截断），已读出其中能读的部分。";
constexpr const char* Unbalanced = "文件的括号不成对，已读出其中能读的部分。";
constexpr const char* NotRtf = "文件不是以 RTF 文件头开始的，已按 RTF 读出其中能读的部分。";

// Half points: 1 to 1638 points, the range word processors offer.
constexpr int MinHalfPoints = 2;
constexpr int MaxHalfPoints = 3276;
constexpr int DefaultHalfPoints = 24;

enum class Dest : uint8_t { Text, Skip, FontTable, ColorTable };

enum class Action : uint8_t {
    Paragraph,  // \par and the other marks that end a paragraph
    Row,
    Cell,
    Char,  // a fixed character such as \emdash
    Unicode,
    UnicodeSkip,
    Binary,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Font,
    FontSize,
    Color,
    Plain,
    Pard,
    Align,
    AnsiCodePage,
    CodePage,  // \ansi, \mac, \pc, \pca: a fixed code page
    DefaultFont,
    FontTable,
    ColorTable,
    FontCharset,
    Red,
    Green,
    Blue,
    SkipDestination,
};

struct Keyword {
    std::string_view name;
    Action action;
    int value = 0;
};

// Sorted by name for the binary search.
constexpr std::array Keywords = std::to_array<Keyword>({
    {"aftncn", Action::SkipDestination},
    {"aftnsep", Action::SkipDestination},
    {"aftnsepc", Action::SkipDestination},
    {"annotation", Action::SkipDestination},
    {"ansi", Action::CodePage, 1252},
    {"ansicpg", Action::AnsiCodePage},
    {"atnauthor", Action::SkipDestination},
    {"atndate", Action::SkipDestination},
    {"atnid", Action::SkipDestination},
    {"atnparent", Action::SkipDestination},
    {"atnref", Action::SkipDestination},
    {"atrfend", Action::SkipDestination},
    {"atrfstart", Action::SkipDestination},
    {"author", Action::SkipDestination},
    {"b", Action::Bold},
    {"bin", Action::Binary},
    {"bkmkend", Action::SkipDestination},
    {"bkmkstart", Action::SkipDestination},
    {"blipuid", Action::SkipDestination},
    {"blue", Action::Blue},
    {"bullet", Action::Char, 0x2022},
    {"buptim", Action::SkipDestination},
    {"category", Action::SkipDestination},
    {"cell", Action::Cell},
    {"cf", Action::Color},
    {"colortbl", Action::ColorTable},
    {"comment", Action::SkipDestination},
    {"company", Action::SkipDestination},
    {"creatim", Action::SkipDestination},
    {"datafield", Action::SkipDestination},
    {"datastore", Action::SkipDestination},
    {"deff", Action::DefaultFont},
    {"do", Action::SkipDestination},
    {"doccomm", Action::SkipDestination},
    {"docvar", Action::SkipDestination},
    {"emdash", Action::Char, 0x2014},
    {"emspace", Action::Char, 0x2003},
    {"endash", Action::Char, 0x2013},
    {"enspace", Action::Char, 0x2002},
    {"f", Action::Font},
    {"falt", Action::SkipDestination},
    {"fchars", Action::SkipDestination},
    {"fcharset", Action::FontCharset},
    {"ffdeftext", Action::SkipDestination},
    {"ffentrymcr", Action::SkipDestination},
    {"ffexitmcr", Action::SkipDestination},
    {"ffformat", Action::SkipDestination},
    {"ffhelptext", Action::SkipDestination},
    {"ffl", Action::SkipDestination},
    {"ffname", Action::SkipDestination},
    {"ffstattext", Action::SkipDestination},
    {"file", Action::SkipDestination},
    {"filetbl", Action::SkipDestination},
    {"fldinst", Action::SkipDestination},
    {"fname", Action::SkipDestination},
    {"fontemb", Action::SkipDestination},
    {"fontfile", Action::SkipDestination},
    {"fonttbl", Action::FontTable},
    {"footer", Action::SkipDestination},
    {"footerf", Action::SkipDestination},
    {"footerl", Action::SkipDestination},
    {"footerr", Action::SkipDestination},
    {"footnote", Action::SkipDestination},
    {"formfield", Action::SkipDestination},
    {"fs", Action::FontSize},
    {"ftncn", Action::SkipDestination},
    {"ftnsep", Action::SkipDestination},
    {"ftnsepc", Action::SkipDestination},
    {"generator", Action::SkipDestination},
    {"green", Action::Green},
    {"header", Action::SkipDestination},
    {"headerf", Action::SkipDestination},
    {"headerl", Action::SkipDestination},
    {"headerr", Action::SkipDestination},
    {"hlinkbase", Action::SkipDestination},
    {"i", Action::Italic},
    {"info", Action::SkipDestination},
    {"keywords", Action::SkipDestination},
    {"latentstyles", Action::SkipDestination},
    {"ldblquote", Action::Char, 0x201C},
    {"line", Action::Char, 0x2028},
    {"listoverridetable", Action::SkipDestination},
    {"listtable", Action::SkipDestination},
    {"lquote", Action::Char, 0x2018},
    {"ltrmark", Action::Char, 0x200E},
    {"mac", Action::CodePage, 10000},
    {"manager", Action::SkipDestination},
    {"nestcell", Action::Cell},
    {"nestrow", Action::Row},
    {"nesttableprops", Action::SkipDestination},
    {"nextfile", Action::SkipDestination},
    {"nonesttables", Action::SkipDestination},
    {"nonshppict", Action::SkipDestination},
    {"objalias", Action::SkipDestination},
    {"objclass", Action::SkipDestination},
    {"objdata", Action::SkipDestination},
    {"object", Action::SkipDestination},
    {"objname", Action::SkipDestination},
    {"objsect", Action::SkipDestination},
    {"objtime", Action::SkipDestination},
    {"operator", Action::SkipDestination},
    {"page", Action::Paragraph},
    {"par", Action::Paragraph},
    {"pard", Action::Pard},
    {"pc", Action::CodePage, 437},
    {"pca", Action::CodePage, 850},
    {"pict", Action::SkipDestination},
    {"plain", Action::Plain},
    {"pn", Action::SkipDestination},
    {"pnseclvl", Action::SkipDestination},
    {"pntxta", Action::SkipDestination},
    {"pntxtb", Action::SkipDestination},
    {"printim", Action::SkipDestination},
    {"private", Action::SkipDestination},
    {"qc", Action::Align, Qt::AlignHCenter},
    {"qd", Action::Align, Qt::AlignJustify},
    {"qj", Action::Align, Qt::AlignJustify},
    {"ql", Action::Align, Qt::AlignLeft},
    {"qmspace", Action::Char, 0x2005},
    {"qr", Action::Align, Qt::AlignRight},
    {"rdblquote", Action::Char, 0x201D},
    {"red", Action::Red},
    {"revtbl", Action::SkipDestination},
    {"revtim", Action::SkipDestination},
    {"row", Action::Row},
    {"rquote", Action::Char, 0x2019},
    {"rsidtbl", Action::SkipDestination},
    {"rtlmark", Action::Char, 0x200F},
    {"rxe", Action::SkipDestination},
    {"sect", Action::Paragraph},
    {"shp", Action::SkipDestination},
    {"shpinst", Action::SkipDestination},
    {"shppict", Action::SkipDestination},
    {"shprslt", Action::SkipDestination},
    {"stylesheet", Action::SkipDestination},
    {"subject", Action::SkipDestination},
    {"tab", Action::Char, '\t'},
    {"tc", Action::SkipDestination},
    {"template", Action::SkipDestination},
    {"themedata", Action::SkipDestination},
    {"title", Action::SkipDestination},
    {"txe", Action::SkipDestination},
    {"u", Action::Unicode},
    {"uc", Action::UnicodeSkip},
    {"ul", Action::Underline},
    {"uld", Action::Underline},
    {"uldash", Action::Underline},
    {"uldashd", Action::Underline},
    {"uldashdd", Action::Underline},
    {"uldb", Action::Underline},
    {"ulhwave", Action::Underline},
    {"ulldash", Action::Underline},
    {"ulnone", Action::UnderlineNone},
    {"ulth", Action::Underline},
    {"ulthd", Action::Underline},
    {"ulthdash", Action::Underline},
    {"ulthdashd", Action::Underline},
    {"ulthdashdd", Action::Underline},
    {"ulthldash", Action::Underline},
    {"ululdbwave", Action::Underline},
    {"ulw", Action::Underline},
    {"ulwave", Action::Underline},
    {"userprops", Action::SkipDestination},
    {"xe", Action::SkipDestination},
    {"xmlnstbl", Action::SkipDestination},
    {"zwj", Action::Char, 0x200D},
    {"zwnj", Action::Char, 0x200C},
});
static_assert(std::is_sorted(Keywords.begin(), Keywords.end(),
                             [](const Keyword& a, const Keyword& b) { return a.name < b.name; }));

const Keyword* findKeyword(std::string_view name) {
    const auto it = std::lower_bound(
        Keywords.begin(), Keywords.end(), name,
        [](const Keyword& keyword, std::string_view key) { return keyword.name < key; });
    return it != Keywords.end() && it->name == name ? &*it : nullptr;
}

// The Windows code page of a font's \fcharset; 0 when the document's own code page applies.
int codePageOfCharset(int charset) {
    switch (charset) {
        case 0:
            return 1252;
        case 2:
            return 1252;  // symbol fonts: their bytes are glyph numbers, not letters
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

QByteArray codecNameOf(int codePage) {
    switch (codePage) {
        case 936:
            return "GBK";
        case 950:
            return "Big5";
        case 932:
            return "Shift_JIS";
        case 949:
            return "windows-949";
        case 10000:
            return "macintosh";
        case 437:
            return "IBM437";
        case 850:
            return "IBM850";
        default:
            return "windows-" + QByteArray::number(codePage);
    }
}

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int font = -1;  // -1: the document's default font (\deff)
    int halfPoints = DefaultHalfPoints;
    int color = 0;
    bool operator==(const CharProps&) const = default;
};

struct GroupState {
    CharProps chars;
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicodeSkip = 1;  // \uc: the fallback characters that follow each \uN
    Dest dest = Dest::Text;
};

struct Run {
    qsizetype start;
    CharProps chars;
};

struct Paragraph {
    qsizetype start;
    qsizetype end;
    qsizetype firstRun;
    qsizetype endRun;
    Qt::Alignment alignment;
    CharProps mark;
    bool terminated;  // ended by \par, so pasting it breaks the line
};

struct FontEntry {
    QString name;
    int charset = -1;
};

// The whole file as text, runs and paragraphs, before anything touches a document, so that a
// refused file leaves the document as it was.
struct ParsedRtf {
    QString text;
    std::vector<Run> runs;
    std::vector<Paragraph> paragraphs;
    QHash<int, FontEntry> fonts;
    std::vector<std::optional<QRgb>> colors;
    int defaultFont = 0;
    bool tooDeep = false;
    bool truncated = false;
    bool unbalanced = false;
    bool notRtf = false;
};

class RtfParser {
  public:
    explicit RtfParser(const QByteArray& rtf)
        : p_(rtf.constData()), end_(rtf.constData() + rtf.size()) {}

    ParsedRtf parse() {
        const char* q = p_;
        while (q < end_ && (*q == ' ' || *q == '\t' || *q == '\r' || *q == '\n')) ++q;
        out_.notRtf = std::string_view(q, end_ - q).substr(0, 5) != "{\\rtf";
        stack_.reserve(32);
        run();
        if (!out_.tooDeep && !finished_) finish();
        return std::move(out_);
    }

  private:
    void run() {
        bool rootOpened = false;
        while (p_ < end_) {
            const char c = *p_++;
            switch (c) {
                case '{':
                    flushBytes();
                    skip_ = 0;
                    if (int(stack_.size()) >= RtfMaxGroupDepth) {
                        out_.tooDeep = true;
                        return;
                    }
                    stack_.push_back(state_);
                    rootOpened = true;
                    break;
                case '}':
                    flushBytes();
                    skip_ = 0;
                    if (state_.dest == Dest::FontTable) endFontEntry();
                    if (stack_.empty()) {
                        out_.unbalanced = true;
                        break;
                    }
                    // The last paragraph takes the formatting in force inside the document.
                    if (stack_.size() == 1) finish();
                    state_ = stack_.back();
                    stack_.pop_back();
                    if (stack_.empty() && rootOpened) {
                        checkTrailer();
                        return;
                    }
                    break;
                case '\\':
                    control();
                    break;
                case '\r':
                case '\n':
                    break;
                default:
                    character(uchar(c));
                    break;
            }
        }
        if (!stack_.empty()) out_.truncated = true;
    }

    void finish() {
        flushBytes();
        endPendingSurrogate();
        // Text after the last \par is a last, unterminated paragraph; nothing after it is none.
        if (out_.text.size() > paragraphStart_ || out_.paragraphs.empty()) endParagraph(false);
        finished_ = true;
    }

    // Whitespace and NUL padding after the document's closing brace are common; anything else
    // means a brace closed the document early.
    void checkTrailer() {
        for (; p_ < end_; ++p_) {
            if (*p_ != ' ' && *p_ != '\r' && *p_ != '\n' && *p_ != '\t' && *p_ != '\0') {
                out_.unbalanced = true;
                return;
            }
        }
    }

    void character(uchar c) {
        if (skip_ > 0) {
            --skip_;
            return;
        }
        switch (state_.dest) {
            case Dest::Skip:
                return;
            case Dest::ColorTable:
                if (c == ';') endColor();
                return;
            case Dest::FontTable:
                if (c == ';') {
                    flushBytes();
                    endFontEntry();
                } else if (c >= 0x20) {
                    bytes_ += char(c);
                }
                return;
            case Dest::Text:
                if (c == '\t') {
                    emitChar(u'\t');
                } else if (c >= 0x20) {
                    bytes_ += char(c);
                }
                return;
        }
    }

    void control() {
        if (p_ >= end_) return;
        const char c = *p_;
        if (isLetter(c)) {
            keyword();
            return;
        }
        ++p_;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && p_ < end_ && hexValue(*p_) >= 0) {
                value = value * 16 + hexValue(*p_++);
                ++digits;
            }
            if (skip_ > 0) {
                --skip_;
                return;
            }
            if (digits > 0 && (state_.dest == Dest::Text || state_.dest == Dest::FontTable)) {
                bytes_ += char(value);
            }
            return;
        }
        if (skip_ > 0) {
            --skip_;
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                if (state_.dest == Dest::Text || state_.dest == Dest::FontTable) bytes_ += c;
                break;
            case '~':
                emitChar(0x00A0);
                break;
            case '-':
                emitChar(0x00AD);
                break;
            case '_':
                emitChar(0x2011);
                break;
            case '*':
                flushBytes();
                state_.dest = Dest::Skip;
                break;
            case '\r':
            case '\n':
                flushBytes();
                if (state_.dest == Dest::Text) endParagraph(true);
                break;
            default:
                break;
        }
    }

    void keyword() {
        const char* start = p_;
        while (p_ < end_ && isLetter(*p_)) ++p_;
        // Names are at most 32 letters; a longer one matches nothing and is ignored.
        const std::string_view name(start, std::min<std::ptrdiff_t>(p_ - start, 33));
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
            negative = true;
            ++p_;
        }
        while (p_ < end_ && isDigit(*p_)) {
            hasParam = true;
            // Saturates: absurd numbers stay absurd without overflowing.
            param = std::min<long long>(param * 10 + (*p_ - '0'), std::numeric_limits<int>::max());
            ++p_;
        }
        if (negative) param = -param;
        if (p_ < end_ && *p_ == ' ') ++p_;
        const Keyword* keyword = findKeyword(name);
        if (skip_ > 0) {
            --skip_;
            if (keyword && keyword->action == Action::Binary) skipBinary(hasParam, param);
            return;
        }
        if (!keyword) return;
        if (state_.dest == Dest::Skip) {
            if (keyword->action == Action::Binary) skipBinary(hasParam, param);
            return;
        }
        flushBytes();
        apply(*keyword, hasParam, int(param));
    }

    void skipBinary(bool hasParam, long long count) {
        if (!hasParam || count <= 0) return;
        p_ += std::min<long long>(count, end_ - p_);
    }

    void apply(const Keyword& keyword, bool hasParam, int param) {
        const bool on = !hasParam || param != 0;
        CharProps& chars = state_.chars;
        switch (keyword.action) {
            case Action::Paragraph:
                if (state_.dest == Dest::Text) endParagraph(true);
                break;
            case Action::Row:
                if (state_.dest != Dest::Text) break;
                // The tab of a row's last \cell would end the line with a stray tab.
                if (cellTabAt_ == out_.text.size() && cellTabAt_ > paragraphStart_) {
                    out_.text.chop(1);
                }
                endParagraph(true);
                break;
            case Action::Cell:
                emitChar(u'\t');
                cellTabAt_ = out_.text.size();
                break;
            case Action::Char:
                emitChar(char16_t(keyword.value));
                break;
            case Action::Unicode:
                if (!hasParam) break;
                // N is a signed 16-bit number: negative N stands for N + 65536.
                if (param < 0) param += 65536;
                if (param >= 0 && param <= 0xFFFF) {
                    emitChar(char16_t(param));
                } else if (param > 0xFFFF && param <= 0x10FFFF) {
                    // Some writers put a whole code point beyond the 16 bits.
                    const char32_t code = char32_t(param);
                    emitChar(QChar::highSurrogate(code));
                    emitChar(QChar::lowSurrogate(code));
                }
                skip_ = state_.unicodeSkip;
                break;
            case Action::UnicodeSkip:
                if (hasParam) state_.unicodeSkip = std::clamp(param, 0, 65535);
                break;
            case Action::Binary:
                skipBinary(hasParam, param);
                break;
            case Action::Bold:
                chars.bold = on;
                break;
            case Action::Italic:
                chars.italic = on;
                break;
            case Action::Underline:
                chars.underline = on;
                break;
            case Action::UnderlineNone:
                chars.underline = false;
                break;
            case Action::Font:
                if (!hasParam) break;
                if (state_.dest == Dest::FontTable) {
                    endFontEntry();
                    fontNumber_ = param;
                    fontEntry_ = FontEntry();
                } else {
                    chars.font = param;
                }
                break;
            case Action::FontSize:
                chars.halfPoints =
                    hasParam ? std::clamp(param, MinHalfPoints, MaxHalfPoints) : DefaultHalfPoints;
                break;
            case Action::Color:
                chars.color = std::max(param, 0);
                break;
            case Action::Plain:
                chars = CharProps();
                break;
            case Action::Pard:
                state_.alignment = Qt::AlignLeft;
                break;
            case Action::Align:
                state_.alignment = Qt::Alignment(keyword.value);
                break;
            case Action::AnsiCodePage:
                if (hasParam) ansiCodePage_ = param;
                break;
            case Action::CodePage:
                ansiCodePage_ = keyword.value;
                break;
            case Action::DefaultFont:
                if (hasParam) out_.defaultFont = param;
                break;
            case Action::FontTable:
                state_.dest = Dest::FontTable;
                fontNumber_ = -1;
                break;
            case Action::ColorTable:
                state_.dest = Dest::ColorTable;
                break;
            case Action::FontCharset:
                if (state_.dest == Dest::FontTable && hasParam) fontEntry_.charset = param;
                break;
            case Action::Red:
            case Action::Green:
            case Action::Blue:
                if (state_.dest == Dest::ColorTable) {
                    const int shift = keyword.action == Action::Red     ? 16
                                      : keyword.action == Action::Green ? 8
                                                                        : 0;
                    color_ = (color_.value_or(0) & ~(0xFFu << shift)) |
                             (QRgb(std::clamp(param, 0, 255)) << shift);
                }
                break;
            case Action::SkipDestination:
                state_.dest = Dest::Skip;
                break;
        }
    }

    void endColor() {
        out_.colors.push_back(color_);
        color_.reset();
    }

    void endFontEntry() {
        flushBytes();
        if (fontNumber_ >= 0 && !fontEntry_.name.trimmed().isEmpty()) {
            fontEntry_.name = fontEntry_.name.trimmed();
            out_.fonts.insert(fontNumber_, fontEntry_);
        }
        fontEntry_ = FontEntry();
        fontNumber_ = -1;
    }

    int currentCodePage() const {
        int charset = -1;
        if (state_.dest == Dest::FontTable) {
            charset = fontEntry_.charset;
        } else {
            const int font = state_.chars.font < 0 ? out_.defaultFont : state_.chars.font;
            const auto found = out_.fonts.constFind(font);
            if (found != out_.fonts.cend()) charset = found->charset;
        }
        const int codePage = codePageOfCharset(charset);
        return codePage ? codePage : ansiCodePage_;
    }

    QStringDecoder& decoderFor(int codePage) {
        auto found = decoders_.find(codePage);
        if (found == decoders_.end()) {
            QStringDecoder decoder(codecNameOf(codePage).constData(),
                                   QStringConverter::Flag::Stateless);
            if (!decoder.isValid()) {
                decoder = QStringDecoder("windows-1252", QStringConverter::Flag::Stateless);
            }
            found = decoders_.emplace(codePage, std::move(decoder)).first;
        }
        return found->second;
    }

    // Bytes wait here until the next control word or brace so that a double-byte character
    // written as two \'hh decodes as one.
    void flushBytes() {
        if (bytes_.isEmpty()) return;
        const bool ascii =
            std::all_of(bytes_.cbegin(), bytes_.cend(), [](char c) { return uchar(c) < 0x80; });
        QString decoded;
        if (ascii) {
            decoded = QString::fromLatin1(bytes_);
        } else {
            QStringDecoder& decoder = decoderFor(currentCodePage());
            decoder.resetState();
            decoded =
                decoder.isValid() ? QString(decoder.decode(bytes_)) : QString::fromLatin1(bytes_);
        }
        bytes_.clear();
        for (const QChar c : decoded) appendChar(c.unicode());
    }

    void emitChar(char16_t c) {
        flushBytes();
        appendChar(c);
    }

    void appendChar(char16_t c) {
        if (state_.dest == Dest::FontTable) {
            // A face name is one line of plain characters.
            if (c >= 0x20 && !QChar::isSurrogate(c) && c != 0xFFFC && c != 0xFDD0 && c != 0xFDD1 &&
                c != 0x2028 && c != 0x2029) {
                fontEntry_.name += QChar(c);
            }
            return;
        }
        if (state_.dest != Dest::Text) return;
        if (QChar::isHighSurrogate(c)) {
            endPendingSurrogate();
            highSurrogate_ = c;
            return;
        }
        if (QChar::isLowSurrogate(c)) {
            if (highSurrogate_) {
                appendToText(highSurrogate_);
                highSurrogate_ = 0;
                appendToText(c);
            } else {
                appendToText(QChar::ReplacementCharacter);
            }
            return;
        }
        endPendingSurrogate();
        if (c == 0x2029) c = 0x2028;
        // Tab stays; other controls, object and frame marks would mean something else to
        // QTextDocument.
        if ((c < 0x20 && c != u'\t') || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1) return;
        appendToText(c);
    }

    void endPendingSurrogate() {
        if (!highSurrogate_) return;
        highSurrogate_ = 0;
        appendToText(QChar::ReplacementCharacter);
    }

    void appendToText(char16_t c) {
        if (qsizetype(out_.runs.size()) == paragraphFirstRun_ ||
            !(out_.runs.back().chars == state_.chars)) {
            out_.runs.push_back(Run{out_.text.size(), state_.chars});
        }
        out_.text += QChar(c);
    }

    void endParagraph(bool terminated) {
        endPendingSurrogate();
        out_.paragraphs.push_back(Paragraph{paragraphStart_, out_.text.size(), paragraphFirstRun_,
                                            qsizetype(out_.runs.size()), state_.alignment,
                                            state_.chars, terminated});
        paragraphStart_ = out_.text.size();
        paragraphFirstRun_ = qsizetype(out_.runs.size());
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static int hexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    const char* p_;
    const char* end_;
    ParsedRtf out_;
    std::vector<GroupState> stack_;
    GroupState state_;
    int skip_ = 0;  // fallback characters of the last \uN still to skip
    int ansiCodePage_ = 1252;
    QByteArray bytes_;
    std::map<int, QStringDecoder> decoders_;
    char16_t highSurrogate_ = 0;
    int fontNumber_ = -1;
    FontEntry fontEntry_;
    std::optional<QRgb> color_;
    qsizetype paragraphStart_ = 0;
    qsizetype paragraphFirstRun_ = 0;
    qsizetype cellTabAt_ = -1;
    bool finished_ = false;
};

QTextCharFormat charFormatOf(const ParsedRtf& parsed, const CharProps& props) {
    QTextCharFormat format;
    format.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(props.italic);
    format.setFontUnderline(props.underline);
    const auto font = parsed.fonts.constFind(props.font < 0 ? parsed.defaultFont : props.font);
    if (font != parsed.fonts.cend()) format.setFontFamilies({font->name});
    format.setFontPointSize(props.halfPoints / 2.0);
    if (props.color >= 0 && size_t(props.color) < parsed.colors.size() &&
        parsed.colors[size_t(props.color)]) {
        format.setForeground(QColor::fromRgb(*parsed.colors[size_t(props.color)]));
    }
    return format;
}

// A document has a handful of distinct formats over thousands of runs.
class FormatCache {
  public:
    explicit FormatCache(const ParsedRtf& parsed) : parsed_(parsed) {}
    const QTextCharFormat& operator()(const CharProps& props) {
        const auto key = std::tie(props.bold, props.italic, props.underline, props.font,
                                  props.halfPoints, props.color);
        auto found = formats_.find(key);
        if (found == formats_.end())
            found = formats_.emplace(key, charFormatOf(parsed_, props)).first;
        return found->second;
    }

  private:
    using Key = std::tuple<bool, bool, bool, int, int, int>;
    const ParsedRtf& parsed_;
    std::map<Key, QTextCharFormat> formats_;
};

void insertRuns(const ParsedRtf& parsed, const Paragraph& paragraph, FormatCache& formats,
                QTextCursor& cursor) {
    for (qsizetype r = paragraph.firstRun; r < paragraph.endRun; ++r) {
        const Run& run = parsed.runs[size_t(r)];
        const qsizetype end =
            r + 1 < paragraph.endRun ? parsed.runs[size_t(r + 1)].start : paragraph.end;
        if (end <= run.start) continue;
        cursor.insertText(parsed.text.mid(run.start, end - run.start), formats(run.chars));
    }
}

QTextBlockFormat blockFormatOf(const Paragraph& paragraph) {
    QTextBlockFormat format;
    format.setAlignment(paragraph.alignment);
    return format;
}

Outcome resultOf(const ParsedRtf& parsed) {
    if (parsed.tooDeep) return Outcome::failed(QString::fromUtf8(TooDeep).arg(RtfMaxGroupDepth));
    if (parsed.notRtf) return Outcome::done(QString::fromUtf8(NotRtf));
    if (parsed.truncated) return Outcome::done(QString::fromUtf8(Truncated));
    if (parsed.unbalanced) return Outcome::done(QString::fromUtf8(Unbalanced));
    return Outcome::done();
}

}  // namespace

Outcome readRtf(const QByteArray& rtf, QTextDocument& document) {
    const ParsedRtf parsed = RtfParser(rtf).parse();
    const Outcome result = resultOf(parsed);
    if (!result.ok()) return result;

    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    // One edit block: a layout attached to the document (an editor's) lays the text out once
    // at the end instead of after every insertion.
    cursor.beginEditBlock();
    FormatCache formats(parsed);
    for (size_t i = 0; i < parsed.paragraphs.size(); ++i) {
        const Paragraph& paragraph = parsed.paragraphs[i];
        if (i == 0) {
            cursor.setBlockFormat(blockFormatOf(paragraph));
            cursor.setBlockCharFormat(formats(paragraph.mark));
        } else {
            cursor.insertBlock(blockFormatOf(paragraph), formats(paragraph.mark));
        }
        insertRuns(parsed, paragraph, formats, cursor);
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
    return result;
}

Outcome insertRtf(const QByteArray& rtf, QTextCursor& cursor) {
    const ParsedRtf parsed = RtfParser(rtf).parse();
    const Outcome result = resultOf(parsed);
    if (!result.ok() || cursor.isNull()) return result;

    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlockFormat ownBlock = cursor.blockFormat();
    const QTextCharFormat ownMark = cursor.blockCharFormat();
    FormatCache formats(parsed);
    for (const Paragraph& paragraph : parsed.paragraphs) {
        insertRuns(parsed, paragraph, formats, cursor);
        if (!paragraph.terminated) continue;
        QTextBlockFormat pasted = cursor.blockFormat();
        pasted.setAlignment(paragraph.alignment);
        cursor.setBlockFormat(pasted);
        cursor.insertBlock(ownBlock, ownMark);
    }
    cursor.endEditBlock();
    return result;
}
