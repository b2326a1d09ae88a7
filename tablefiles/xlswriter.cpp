#include "tablefiles/xlswriter.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <map>
#include <string_view>
#include <unordered_map>

#include "tablefiles/utf16text.h"

namespace tablefiles {
namespace {

// Record identifiers.
enum : std::uint16_t {
    BofRecord = 0x0809,
    EofRecord = 0x000A,
    CodepageRecord = 0x0042,
    DatemodeRecord = 0x0022,
    Window1Record = 0x003D,
    FontRecord = 0x0031,
    FormatRecord = 0x041E,
    XfRecord = 0x00E0,
    StyleRecord = 0x0293,
    BoundsheetRecord = 0x0085,
    SstRecord = 0x00FC,
    ExtsstRecord = 0x00FF,
    ContinueRecord = 0x003C,
    IndexRecord = 0x020B,
    DefcolwidthRecord = 0x0055,
    DimensionsRecord = 0x0200,
    RowRecord = 0x0208,
    DbcellRecord = 0x00D7,
    Window2Record = 0x023E,
    NumberRecord = 0x0203,
    LabelsstRecord = 0x00FD,
};

// Largest record body; longer data goes on in CONTINUE records.
constexpr std::size_t MaxRecordData = 8224;
constexpr std::size_t RowRecordSize = 4 + 16;
// Cells are indexed in blocks of this many rows (one DBCELL each).
constexpr std::uint32_t RowsPerBlock = 32;

// XF 0-14 are the style XFs every workbook has, 15 the default cell XF, 16-20 the style XFs
// of the built-in number styles; cell XFs of our number formats follow.
constexpr std::uint16_t DefaultCellXf = 15;
constexpr std::uint16_t FirstOwnXf = 21;
// Number formats below 164 are built in and have no FORMAT record.
constexpr std::uint16_t FirstOwnFormat = 164;

// 宋体 12 pt, the default font of Chinese spreadsheets, and the row height that goes with it.
constexpr char16_t FontName[] = u"\u5B8B\u4F53";
constexpr std::uint16_t FontHeightTwips = 240;
constexpr std::uint16_t RowHeightTwips = 285;
constexpr std::uint8_t GB2312Charset = 134;

class Biff {
  public:
    std::vector<std::uint8_t> bytes;

    std::size_t size() const { return bytes.size(); }
    std::size_t open(std::uint16_t type) {
        const std::size_t at = bytes.size();
        u16(type);
        u16(0);
        return at;
    }
    void close(std::size_t at) {
        const std::size_t length = bytes.size() - at - 4;
        assert(length <= MaxRecordData);
        patch16(at + 2, static_cast<std::uint16_t>(length));
    }
    std::size_t room(std::size_t at) const { return MaxRecordData - (bytes.size() - at - 4); }

    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void f64(double v) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        u32(static_cast<std::uint32_t>(bits));
        u32(static_cast<std::uint32_t>(bits >> 32));
    }
    void patch16(std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void patch32(std::size_t at, std::uint32_t v) {
        patch16(at, static_cast<std::uint16_t>(v));
        patch16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    // Characters only: one byte each when compressed, else UTF-16LE.
    void chars(std::u16string_view s, bool wide) {
        for (const char16_t c : s) wide ? u16(c) : u8(static_cast<std::uint8_t>(c));
    }
    // A string with its count (one or two bytes) and option byte.
    void string(std::u16string_view s, bool twoByteCount) {
        twoByteCount ? u16(static_cast<std::uint16_t>(s.size()))
                     : u8(static_cast<std::uint8_t>(s.size()));
        const bool wide = isWide(s);
        u8(wide ? 1 : 0);
        chars(s, wide);
    }
    static bool isWide(std::u16string_view s) {
        return std::any_of(s.begin(), s.end(), [](char16_t c) { return c > 0xFF; });
    }
};

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

void bof(Biff& out, std::uint16_t substream) {
    const std::size_t at = out.open(BofRecord);
    out.u16(0x0600);  // BIFF8
    out.u16(substream);
    out.u16(0x0DBB);  // build and year of the first BIFF8 release
    out.u16(0x07CC);
    out.u32(0);       // file history
    out.u32(0x0006);  // lowest version that reads the file: BIFF8
    out.close(at);
}

void simple(Biff& out, std::uint16_t type, std::uint16_t value) {
    const std::size_t at = out.open(type);
    out.u16(value);
    out.close(at);
}

void window1(Biff& out) {
    const std::size_t at = out.open(Window1Record);
    out.u16(0);  // position and size of the window, twips
    out.u16(0);
    out.u16(0x4000);
    out.u16(0x2000);
    out.u16(0x0038);  // horizontal and vertical scroll bars, sheet tabs
    out.u16(0);       // active sheet
    out.u16(0);       // first visible tab
    out.u16(1);       // selected sheets
    out.u16(600);     // tab bar width, ‰ of the window
    out.close(at);
}

void font(Biff& out) {
    const std::size_t at = out.open(FontRecord);
    out.u16(FontHeightTwips);
    out.u16(0);       // no italic, strike-out or outline
    out.u16(0x7FFF);  // automatic colour
    out.u16(400);     // normal weight
    out.u16(0);       // no super- or subscript
    out.u8(0);        // no underline
    out.u8(0);        // font family unknown
    out.u8(GB2312Charset);
    out.u8(0);
    out.string(FontName, false);
    out.close(at);
}

void format(Biff& out, std::uint16_t index, const std::string& code) {
    const std::size_t at = out.open(FormatRecord);
    out.u16(index);
    out.string(std::u16string(code.begin(), code.end()), true);
    out.close(at);
}

// typeAndParent: locked/hidden/style bits and the parent style XF; unused: the attribute
// groups a style leaves alone, or that a cell XF sets itself (number format = 0x04).
void xf(Biff& out, std::uint16_t font, std::uint16_t numberFormat, std::uint16_t typeAndParent,
        std::uint8_t attributes) {
    const std::size_t at = out.open(XfRecord);
    out.u16(font);
    out.u16(numberFormat);
    out.u16(typeAndParent);
    out.u8(0x20);  // general horizontal alignment, bottom vertical alignment
    out.u8(0);     // no rotation
    out.u8(0);     // no indent, shrink or merge
    out.u8(attributes);
    out.u32(0);  // no borders
    out.u32(0);
    out.u16(0x20C0);  // no pattern; system window colours
    out.close(at);
}

void xfTable(Biff& out, std::size_t ownFormats) {
    constexpr std::uint16_t StyleXf = 0xFFF5;  // locked, style, no parent
    constexpr std::uint16_t CellXf = 0x0001;   // locked, parent style XF 0
    xf(out, 0, 0, StyleXf, 0x00);
    for (std::uint16_t i = 1; i <= 14; ++i) xf(out, i <= 2 ? 1 : i <= 4 ? 2 : 0, 0, StyleXf, 0xF4);
    xf(out, 0, 0, CellXf, 0x00);
    // Comma, Comma [0], Currency, Currency [0], Percent.
    for (const std::uint16_t builtIn : {0x2B, 0x29, 0x2C, 0x2A, 0x09})
        xf(out, 1, builtIn, StyleXf, 0xF8);
    for (std::size_t i = 0; i < ownFormats; ++i)
        xf(out, 0, static_cast<std::uint16_t>(FirstOwnFormat + i), CellXf, 0x04);
}

void styles(Biff& out) {
    // (style XF, built-in style): Normal, then the number styles of XF 16-20.
    constexpr std::uint16_t BuiltIn[][2] = {{0, 0}, {16, 3}, {17, 6}, {18, 4}, {19, 7}, {20, 5}};
    for (const auto& style : BuiltIn) {
        const std::size_t at = out.open(StyleRecord);
        out.u16(0x8000 | style[0]);
        out.u8(static_cast<std::uint8_t>(style[1]));
        out.u8(0xFF);  // no outline level
        out.close(at);
    }
}

// The shared strings, split over CONTINUE records where a record is full. A string's count
// and option byte stay in one record with its first character; where its characters go on
// in the next record, that record starts with the option byte again, and a UTF-16 surrogate
// pair is never parted.
void sharedStrings(Biff& out, const std::vector<std::u16string>& strings, std::uint32_t uses) {
    const auto unique = static_cast<std::uint32_t>(strings.size());
    // Strings per EXTSST bucket, as the readers expect it.
    const std::uint32_t perBucket = std::max<std::uint32_t>(unique / 128 + 1, 8);
    std::vector<std::pair<std::uint32_t, std::uint16_t>> buckets;

    std::size_t record = out.open(SstRecord);
    out.u32(uses);
    out.u32(unique);
    for (std::uint32_t i = 0; i < unique; ++i) {
        const std::u16string& s = strings[i];
        const bool wide = Biff::isWide(s);
        const std::size_t unit = wide ? 2 : 1;
        const std::size_t first = s.size() >= 2 && isHighSurrogate(s[0]) ? 2 * unit : unit;
        if (out.room(record) < 3 + first) {
            out.close(record);
            record = out.open(ContinueRecord);
        }
        if (i % perBucket == 0)
            buckets.emplace_back(out.size(), static_cast<std::uint16_t>(out.size() - record));
        out.u16(static_cast<std::uint16_t>(s.size()));
        out.u8(wide ? 1 : 0);
        std::size_t done = 0;
        for (;;) {
            std::size_t n = std::min(out.room(record) / unit, s.size() - done);
            if (done + n < s.size() && n > 0 && isHighSurrogate(s[done + n - 1])) --n;
            out.chars(std::u16string_view(s).substr(done, n), wide);
            done += n;
            if (done == s.size()) break;
            out.close(record);
            record = out.open(ContinueRecord);
            out.u8(wide ? 1 : 0);
        }
    }
    out.close(record);

    const std::size_t at = out.open(ExtsstRecord);
    out.u16(static_cast<std::uint16_t>(perBucket));
    for (const auto& [position, offset] : buckets) {
        out.u32(position);
        out.u16(offset);
        out.u16(0);
    }
    out.close(at);
}

void dimensions(Biff& out, const std::vector<SheetCell>& cells) {
    std::uint32_t firstRow = 0, lastRow = 0;
    std::uint16_t firstColumn = 0, lastColumn = 0;
    if (!cells.empty()) {
        firstRow = cells.front().row;
        lastRow = cells.back().row + 1;
        const auto [least, most] = std::minmax_element(
            cells.begin(), cells.end(),
            [](const SheetCell& a, const SheetCell& b) { return a.column < b.column; });
        firstColumn = least->column;
        lastColumn = static_cast<std::uint16_t>(most->column + 1);
    }
    const std::size_t at = out.open(DimensionsRecord);
    out.u32(firstRow);
    out.u32(lastRow);
    out.u16(firstColumn);
    out.u16(lastColumn);
    out.u16(0);
    out.close(at);
}

void window2(Biff& out) {
    const std::size_t at = out.open(Window2Record);
    // Grid lines, headers, zeros, automatic grid colour, outline symbols; selected, shown.
    out.u16(0x06B6);
    out.u16(0);     // top row
    out.u16(0);     // left column
    out.u16(0x40);  // grid colour: system window text
    out.u16(0);
    out.u16(0);  // zoom: default
    out.u16(0);
    out.u32(0);
    out.close(at);
}

}  // namespace

std::vector<std::uint8_t> xlsWorkbookStream(const std::string& sheetName,
                                            const std::vector<SheetCell>& cells) {
    // Shared strings in order of first use; number formats by their count of decimals.
    std::vector<std::u16string> strings;
    std::unordered_map<std::string_view, std::uint32_t> stringIndex;
    std::vector<std::uint32_t> cellString(cells.size());
    std::map<int, std::uint16_t> formatXf;
    std::uint32_t stringUses = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const SheetCell& cell = cells[i];
        if (cell.value.isNumber) {
            if (cell.value.decimals > 0) formatXf.emplace(cell.value.decimals, 0);
            continue;
        }
        ++stringUses;
        const std::string& text = cell.source->text;
        const auto [it, added] =
            stringIndex.emplace(text, static_cast<std::uint32_t>(strings.size()));
        if (added) strings.push_back(utf16FromUtf8(text));
        cellString[i] = it->second;
    }
    std::uint16_t nextXf = FirstOwnXf;
    for (auto& [decimals, xfIndex] : formatXf) xfIndex = nextXf++;

    Biff out;
    out.bytes.reserve(cells.size() * 24 + 64 * 1024);

    bof(out, 0x0005);                   // workbook globals
    simple(out, CodepageRecord, 1200);  // UTF-16
    window1(out);
    simple(out, DatemodeRecord, 0);  // dates count from 1900
    // Index 4 is never written, so five records make fonts 0-3 and 5.
    for (int i = 0; i < 5; ++i) font(out);
    std::uint16_t nextFormat = FirstOwnFormat;
    for (const auto& [decimals, xfIndex] : formatXf)
        format(out, nextFormat++, fixedFormatCode(decimals));
    xfTable(out, formatXf.size());
    styles(out);

    const std::size_t boundsheet = out.open(BoundsheetRecord);
    out.u32(0);  // position of the sheet's BOF, patched below
    out.u16(0);  // visible worksheet
    out.string(utf16FromUtf8(sheetName), false);
    out.close(boundsheet);

    sharedStrings(out, strings, stringUses);
    out.close(out.open(EofRecord));

    out.patch32(boundsheet + 4, static_cast<std::uint32_t>(out.size()));
    bof(out, 0x0010);  // worksheet

    std::size_t blocks = 0;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (i == 0 || cells[i].row / RowsPerBlock != cells[i - 1].row / RowsPerBlock) ++blocks;
    const std::size_t index = out.open(IndexRecord);
    out.u32(0);
    out.u32(cells.empty() ? 0 : cells.front().row);
    out.u32(cells.empty() ? 0 : cells.back().row + 1);
    out.u32(0);                                           // position of DEFCOLWIDTH, patched below
    for (std::size_t b = 0; b < blocks; ++b) out.u32(0);  // positions of the DBCELLs
    out.close(index);

    out.patch32(index + 16, static_cast<std::uint32_t>(out.size()));
    simple(out, DefcolwidthRecord, 8);  // characters
    dimensions(out, cells);

    std::size_t block = 0;
    for (std::size_t begin = 0; begin < cells.size(); ++block) {
        std::size_t end = begin;
        while (end < cells.size() &&
               cells[end].row / RowsPerBlock == cells[begin].row / RowsPerBlock)
            ++end;
        const std::size_t firstRowRecord = out.size();
        for (std::size_t i = begin; i < end;) {
            std::size_t rowEnd = i;
            while (rowEnd < end && cells[rowEnd].row == cells[i].row) ++rowEnd;
            const std::size_t at = out.open(RowRecord);
            out.u16(static_cast<std::uint16_t>(cells[i].row));
            out.u16(cells[i].column);
            out.u16(static_cast<std::uint16_t>(cells[rowEnd - 1].column + 1));
            out.u16(RowHeightTwips);
            out.u16(0);
            out.u16(0);
            out.u16(0x0100);  // no outline or hidden flags; this bit is always set
            out.u16(DefaultCellXf);
            out.close(at);
            i = rowEnd;
        }
        std::vector<std::size_t> rowStarts;
        for (std::size_t i = begin; i < end; ++i) {
            const SheetCell& cell = cells[i];
            if (i == begin || cell.row != cells[i - 1].row) rowStarts.push_back(out.size());
            if (cell.value.isNumber) {
                const std::size_t at = out.open(NumberRecord);
                out.u16(static_cast<std::uint16_t>(cell.row));
                out.u16(cell.column);
                out.u16(cell.value.decimals > 0 ? formatXf.at(cell.value.decimals) : DefaultCellXf);
                out.f64(cell.value.number);
                out.close(at);
            } else {
                const std::size_t at = out.open(LabelsstRecord);
                out.u16(static_cast<std::uint16_t>(cell.row));
                out.u16(cell.column);
                out.u16(DefaultCellXf);
                out.u32(cellString[i]);
                out.close(at);
            }
        }
        const std::size_t dbcell = out.size();
        out.patch32(index + 4 + 16 + 4 * block, static_cast<std::uint32_t>(dbcell));
        out.open(DbcellRecord);
        out.u32(static_cast<std::uint32_t>(dbcell - firstRowRecord));
        // From the second ROW record to the first row's cells, then from row to row.
        std::size_t from = firstRowRecord + RowRecordSize;
        for (const std::size_t start : rowStarts) {
            out.u16(static_cast<std::uint16_t>(start - from));
            from = start;
        }
        out.close(dbcell);
        begin = end;
    }

    window2(out);
    out.close(out.open(EofRecord));
    return std::move(out.bytes);
}

}  // namespace tablefiles
