#include "core/numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace numbertext {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a decimal number as written: sign, mantissa digits (point removed), how many of
// them stand before the point, and the exponent.
struct DecimalParts {
    bool negative = false;
    std::string digits;
    long long integerDigits = 0;
    long long exponent = 0;
    std::string_view exponentText;  // digits only, as written
    bool exponentNegative = false;
    std::size_t length = 0;  // characters consumed, blanks before the number included
};

// Reads sign, digits with at most one point (at least one digit), and an exponent when one
// follows, from the start of `text` after blanks. The exponent is taken only when digits follow
// its letter and sign.
std::optional<DecimalParts> readDecimal(std::string_view text) {
    DecimalParts p;
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        p.negative = text[i] == '-';
        ++i;
    }
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            p.digits.push_back(c);
            if (!point) ++p.integerDigits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (p.digits.empty()) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negative = text[j] == '-';
            ++j;
        }
        const std::size_t start = j;
        long long value = 0;
        while (j < text.size() && isDigit(text[j])) {
            // Saturate: anything this large is out of every range anyway.
            if (value < 1000000000LL) value = value * 10 + (text[j] - '0');
            ++j;
        }
        if (j > start) {
            p.exponent = negative ? -value : value;
            p.exponentText = text.substr(start, j - start);
            p.exponentNegative = negative;
            i = j;
        }
    }
    p.length = i;
    return p;
}

// A whole text that is one decimal number, blanks around allowed.
std::optional<DecimalParts> readWholeDecimal(std::string_view text) {
    std::optional<DecimalParts> p = readDecimal(text);
    if (!p) return std::nullopt;
    std::size_t i = p->length;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i != text.size()) return std::nullopt;
    return p;
}

// Decimal exponent of the first non-zero digit (0 for 1.x, -1 for 0.x); nothing when all
// digits are zero.
std::optional<long long> leadingExponent(const DecimalParts& p) {
    const std::size_t first = p.digits.find_first_not_of('0');
    if (first == std::string::npos) return std::nullopt;
    return p.integerDigits - 1 - static_cast<long long>(first) + p.exponent;
}

// A text from_chars reads: no '+', digits on both sides of the point.
std::string normalised(const DecimalParts& p) {
    std::string s;
    s.reserve(p.digits.size() + p.exponentText.size() + 6);
    if (p.negative) s.push_back('-');
    if (p.integerDigits == 0) s.push_back('0');
    s.append(p.digits, 0, static_cast<std::size_t>(p.integerDigits));
    s.push_back('.');
    if (static_cast<std::size_t>(p.integerDigits) == p.digits.size()) s.push_back('0');
    s.append(p.digits, static_cast<std::size_t>(p.integerDigits));
    if (!p.exponentText.empty()) {
        s.push_back('e');
        if (p.exponentNegative) s.push_back('-');
        s.append(p.exponentText);
    }
    return s;
}

// Shared by both widths: `value` rounded to `digits` significant digits, in plain decimal form
// when its decimal exponent lies in [-4, fixedLimit), in exponent form otherwise.
std::string formatGeneral(double value, int digits, int fixedLimit) {
    if (value == 0.0) return "0";  // also -0
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";

    char buf[64];
    const std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));  // "-d.ddde+XX"

    const bool negative = sci.front() == '-';
    if (negative) sci.remove_prefix(1);
    const std::size_t e = sci.find('e');
    std::string mantissa;
    for (char c : sci.substr(0, e))
        if (c != '.') mantissa.push_back(c);
    int exponent = 0;
    std::string_view expText = sci.substr(e + 1);
    if (expText.front() == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

    std::string out;
    if (negative) out.push_back('-');
    if (exponent < -4 || exponent >= fixedLimit) {
        out.push_back(mantissa[0]);
        if (mantissa.size() > 1) {
            out.push_back('.');
            out.append(mantissa, 1);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) out.push_back('0');
        out.append(std::to_string(magnitude));
    } else if (exponent < 0) {
        out.append("0.");
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(mantissa);
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (mantissa.size() <= integerDigits) {
            out.append(mantissa);
            out.append(integerDigits - mantissa.size(), '0');
        } else {
            out.append(mantissa, 0, integerDigits);
            out.push_back('.');
            out.append(mantissa, integerDigits);
        }
    }
    return out;
}

}  // namespace

std::string generalText(float value) { return formatGeneral(value, 7, 7); }

std::string generalText(double value) { return formatGeneral(value, 15, 15); }

std::string generalTextDigits(double value, int digits) {
    if (digits < 1) digits = 1;
    if (digits > 17) digits = 17;
    return formatGeneral(value, digits, digits);
}

std::string fixedText(std::string_view text, int decimals) {
    const std::optional<DecimalParts> p = readWholeDecimal(text);
    if (!p) return std::string(text);

    // Work on the significant digits alone: value = 0.<digits> × 10^pointPos.
    std::string digits = p->digits;
    long long pointPos = p->integerDigits + p->exponent;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        digits.clear();
    } else {
        digits.erase(0, first);
        pointPos -= static_cast<long long>(first);
        // Beyond the 64-bit range: such a text is not a value the program deals in; leave it.
        // Zero is in range whatever its exponent says.
        if (pointPos > 309) return std::string(text);
    }

    // Keep the digits down to the last decimal, rounding half away from zero on the next one.
    const long long keep = pointPos + decimals;
    std::string kept;
    if (!digits.empty() && keep >= 0) {
        if (static_cast<long long>(digits.size()) <= keep) {
            kept = digits;
            kept.append(static_cast<std::size_t>(keep) - digits.size(), '0');
        } else {
            kept = digits.substr(0, static_cast<std::size_t>(keep));
            if (digits[static_cast<std::size_t>(keep)] >= '5') {
                std::size_t i = kept.size();
                while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
                if (i == 0) {
                    kept.insert(kept.begin(), '1');
                    ++pointPos;
                } else {
                    ++kept[i - 1];
                }
            }
        }
    }
    // `kept` holds the digits from 10^(pointPos-1) down to 10^-decimals.
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    std::string all = zero ? std::string() : kept;
    // Pad on the left so that there are at least decimals + 1 digits.
    const std::size_t width = static_cast<std::size_t>(decimals) + 1;
    if (all.size() < width) all.insert(0, width - all.size(), '0');
    std::string out;
    if (p->negative && !zero) out.push_back('-');
    out.append(all, 0, all.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
        out.push_back('.');
        out.append(all, all.size() - static_cast<std::size_t>(decimals));
    }
    return out;
}

double leadingNumber(std::string_view text) {
    const std::optional<DecimalParts> p = readDecimal(text);
    if (!p) return 0.0;
    const std::string s = normalised(*p);
    double value = 0.0;
    const std::from_chars_result r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        const std::optional<long long> e = leadingExponent(*p);
        const double magnitude = (e && *e >= 0) ? std::numeric_limits<double>::infinity() : 0.0;
        return p->negative ? -magnitude : magnitude;
    }
    return value;
}

ParsedSingle parseSingle(std::string_view text) {
    ParsedSingle result;
    const std::optional<DecimalParts> p = readWholeDecimal(text);
    if (!p) {
        result.error = ParseError::NotANumber;
        return result;
    }
    const std::string s = normalised(*p);
    float value = 0.0f;
    const std::from_chars_result r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        const std::optional<long long> e = leadingExponent(*p);
        if (e && *e >= 0) {
            result.error = ParseError::OutOfRange;
            return result;
        }
        // Too small for 32 bits: the nearest value is zero.
        value = p->negative ? -0.0f : 0.0f;
    } else if (r.ec != std::errc() || !std::isfinite(value)) {
        result.error = ParseError::OutOfRange;
        return result;
    }
    result.value = value;
    return result;
}

}  // namespace numbertext
