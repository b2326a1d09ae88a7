#include "tablefiles/sheetcells.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace tablefiles {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The shape of a text that passed the number rule, as positions in it.
struct NumberShape {
    std::size_t mantissaBegin;  // after the sign
    std::size_t integerDigits;
    std::size_t fractionDigits;
    std::size_t exponentBegin;  // past the 'e', at its sign or first digit; npos without one
};

bool readNumberShape(std::string_view t, NumberShape& shape) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    shape.mantissaBegin = i;
    while (i < t.size() && isDigit(t[i])) ++i;
    shape.integerDigits = i - shape.mantissaBegin;
    shape.fractionDigits = 0;
    if (i < t.size() && t[i] == '.') {
        const std::size_t begin = ++i;
        while (i < t.size() && isDigit(t[i])) ++i;
        shape.fractionDigits = i - begin;
    }
    if (shape.integerDigits + shape.fractionDigits == 0) return false;
    shape.exponentBegin = std::string_view::npos;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        shape.exponentBegin = ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        const std::size_t digits = i;
        while (i < t.size() && isDigit(t[i])) ++i;
        if (i == digits) return false;
    }
    return i == t.size();
}

// from_chars reports both overflow and underflow as out of range; the decimal exponent of
// the first significant digit tells which. Exponents are clamped far beyond any double.
bool exceedsDouble(std::string_view t, const NumberShape& shape) {
    long long exponent = 0;
    if (shape.exponentBegin != std::string_view::npos) {
        std::size_t i = shape.exponentBegin;
        const bool negative = t[i] == '-';
        if (t[i] == '+' || t[i] == '-') ++i;
        for (; i < t.size(); ++i) exponent = std::min(exponent * 10 + (t[i] - '0'), 1000000LL);
        if (negative) exponent = -exponent;
    }
    const std::string_view integer = t.substr(shape.mantissaBegin, shape.integerDigits);
    const std::size_t firstSignificant = integer.find_first_not_of('0');
    if (firstSignificant != std::string_view::npos)
        return static_cast<long long>(integer.size() - firstSignificant) - 1 + exponent >= 0;
    const std::string_view fraction =
        t.substr(shape.mantissaBegin + shape.integerDigits + 1, shape.fractionDigits);
    return -static_cast<long long>(fraction.find_first_not_of('0')) - 1 + exponent >= 0;
}

}  // namespace

CellValue cellValue(std::string_view text, NumberStyle style) {
    NumberShape shape;
    if (!readNumberShape(text, shape)) return {};
    CellValue value;
    value.isNumber = true;
    // from_chars takes no '+'.
    const std::size_t begin = text[0] == '+' ? 1 : 0;
    const auto [end, error] =
        std::from_chars(text.data() + begin, text.data() + text.size(), value.number);
    if (error == std::errc::result_out_of_range) {
        if (exceedsDouble(text, shape)) return {};
        value.number = text[0] == '-' ? -0.0 : 0.0;
    } else if (error != std::errc{} || end != text.data() + text.size()) {
        return {};
    }
    const auto k = static_cast<int>(std::min<std::size_t>(shape.fractionDigits, 1000));
    const bool plainDecimals = k >= 1 && shape.exponentBegin == std::string_view::npos;
    const bool keepsTrailingZero = plainDecimals && text.back() == '0';
    if (k <= MaxFixedDecimals && (style == NumberStyle::Fixed ? plainDecimals : keepsTrailingZero))
        value.decimals = k;
    return value;
}

std::string fixedFormatCode(int decimals) { return "0." + std::string(decimals, '0'); }

std::vector<SheetCell> sheetCells(const std::vector<Cell>& cells) {
    std::vector<SheetCell> out;
    out.reserve(cells.size());
    for (const Cell& cell : cells) out.push_back({cell.row, cell.column, {}, &cell});
    const auto place = [](const SheetCell& c) { return std::uint64_t{c.row} << 16 | c.column; };
    std::stable_sort(out.begin(), out.end(),
                     [&](const SheetCell& a, const SheetCell& b) { return place(a) < place(b); });
    // Of a run at one place keep the last, which came last in `cells`; an empty text there
    // leaves the place empty.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i + 1 < out.size() && place(out[i + 1]) == place(out[i])) continue;
        if (out[i].source->text.empty()) continue;
        out[kept] = out[i];
        out[kept].value = cellValue(out[i].source->text, out[i].source->style);
        ++kept;
    }
    out.resize(kept);
    return out;
}

}  // namespace tablefiles
