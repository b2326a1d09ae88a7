#include "hydraulics/sectioninput.h"

#include <charconv>
#include <cmath>

#include "core/numbertext.h"

namespace hydraulics {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> parseNumberField(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    // The grammar is checked here: from_chars alone would take "inf" and "nan".
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        negativeExponent = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double: the nearest value is zero. Too large: no number.
        if (!negativeExponent) return std::nullopt;
        value = 0;
    } else if (ec != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::string> fittingsZetaText(const std::vector<FittingCount>& fittings) {
    double sum = 0;
    for (const FittingCount& fitting : fittings) {
        const std::optional<double> zeta = parseNumberField(fitting.zetaEach);
        if (!zeta || fitting.count < 0) return std::nullopt;
        sum += fitting.count * *zeta;
    }
    if (!std::isfinite(sum)) return std::nullopt;
    return numbertext::generalTextDigits(sum, 7);
}

}  // namespace hydraulics
