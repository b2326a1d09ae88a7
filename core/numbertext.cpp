#include "core/numbertext.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace numbertext {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as it stands in a text: where it is, and what the exponent says. Nothing is
// copied, so that parsing a CSV field costs no allocation.
struct DecimalNumber {
    bool negative = false;
    std::string_view mantissa;    // digits with at most one point
    long long exponent = 0;       // saturated far beyond any range
    const char* first = nullptr;  // what from_chars reads: a '-' when there is one, no '+'
    const char* last = nullptr;
    std::size_t length = 0;  // characters consumed, blanks before the number included
};

// Reads sign, digits with at most one point (at least one digit), and an exponent when one
// follows, from the start of `text` after blanks. The exponent is taken only when digits follow
// its letter and sign. std::from_chars reads exactly [first, last) the same way.
std::optional<DecimalNumber> readDecimal(std::string_view text) {
    DecimalNumber n;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && isBlank(*p)) ++p;
    n.first = p;
    if (p != end && (*p == '+' || *p == '-')) {
        n.negative = *p == '-';
        ++p;
        if (!n.negative) n.first = p;
    }
    const char* const mantissa = p;
    bool point = false;
    bool anyDigit = false;
    for (; p != end; ++p) {
        if (isDigit(*p)) {
            anyDigit = true;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return std::nullopt;
    n.mantissa = std::string_view(mantissa, static_cast<std::size_t>(p - mantissa));
    if (p != end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negative = false;
        if (q != end && (*q == '+' || *q == '-')) {
            negative = *q == '-';
            ++q;
        }
        const char* const digits = q;
        long long value = 0;
        for (; q != end && isDigit(*q); ++q) {
            // Saturate: anything this large is out of every range anyway.
            if (value < 1000000000LL) value = value * 10 + (*q - '0');
        }
        if (q != digits) {
            n.exponent = negative ? -value : value;
            p = q;
        }
    }
    n.last = p;
    n.length = static_cast<std::size_t>(p - text.data());
    return n;
}

// A whole text that is one decimal number, blanks around allowed.
std::optional<DecimalNumber> readWholeDecimal(std::string_view text) {
    std::optional<DecimalNumber> n = readDecimal(text);
    if (!n) return std::nullopt;
    std::size_t i = n->length;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i != text.size()) return std::nullopt;
    return n;
}

// Decimal exponent of the first non-zero digit (0 for 1.x, -1 for 0.x); nothing when all
// digits are zero.
std::optional<long long> leadingExponent(const DecimalNumber& n) {
    long long integerDigits = 0;
    long long index = 0;
    bool point = false;
    std::optional<long long> firstNonZero;
    for (const char c : n.mantissa) {
        if (c == '.') {
            point = true;
            continue;
        }
        if (!point) ++integerDigits;
        if (!firstNonZero && c != '0') firstNonZero = index;
        ++index;
    }
    if (!firstNonZero) return std::nullopt;
    return integerDigits - 1 - *firstNonZero + n.exponent;
}

// The number as the nearest T, or errc::result_out_of_range beyond T's range either way.
template <typename T>
std::errc readNumber(const DecimalNumber& n, T& value) {
    return std::from_chars(n.first, n.last, value).ec;
}

char* writeText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// GCC's and Clang's 128-bit integer: one multiplication instruction on 64-bit machines.
__extension__ using Uint128 = unsigned __int128;

// A positive value rounded to a number of significant digits: `significand` holds exactly that
// many digits, the first of them standing for 10^exponent.
struct RoundedDecimal {
    std::uint64_t significand = 0;
    int exponent = 0;
};

constexpr std::array<std::uint64_t, 28> PowersOfFive = [] {
    std::array<std::uint64_t, 28> powers{};  // 5^27 is the last below 2^64
    std::uint64_t power = 1;
    for (std::uint64_t& p : powers) {
        p = power;
        power *= 5;
    }
    return powers;
}();

constexpr std::array<std::uint64_t, 17> PowersOfTen = [] {
    std::array<std::uint64_t, 17> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// `magnitude` (finite, positive) rounded to `digits` (1 to 15) significant digits, exactly and
// halves to even, as std::to_chars rounds, in integer arithmetic: magnitude = m·2^q, so
// magnitude·10^s = m·5^s·2^(q+s), a 128-bit product and a shift whose lost bits say which way to
// round. False when 5^s does not fit 64 bits (decimal exponents outside about -27 to 15); the
// caller then asks std::to_chars, which is several times slower at this.
bool roundExactly(double magnitude, int digits, RoundedDecimal& rounded) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int q = -1074;
    if (biased != 0) {
        m |= std::uint64_t{1} << 52;
        q = biased - 1075;
    }
    const int log2 = q + 63 - std::countl_zero(m);  // floor(log2(magnitude))
    // floor(log2 · log10(2)) (78913 / 2^18 just below log10(2)): the decimal exponent or one less.
    int exponent = (log2 * 78913) >> 18;
    for (;;) {
        const int scale = digits - 1 - exponent;
        if (scale < 0 || scale >= static_cast<int>(PowersOfFive.size())) return false;
        const Uint128 scaled = static_cast<Uint128>(m) * PowersOfFive[scale];
        const int shift = q + scale;
        std::uint64_t whole;
        bool up = false;
        if (shift >= 0) {
            if (shift > 8) return false;  // cannot happen for a result below 10^16
            whole = static_cast<std::uint64_t>(scaled << shift);
        } else {
            const int lost = -shift;
            if (lost >= 128) return false;
            const Uint128 kept = scaled >> lost;
            const Uint128 rest = scaled - (kept << lost);
            const Uint128 half = static_cast<Uint128>(1) << (lost - 1);
            whole = static_cast<std::uint64_t>(kept);
            up = rest > half || (rest == half && (whole & 1) != 0);
        }
        if (whole >= PowersOfTen[digits]) {
            ++exponent;
            continue;
        }
        if (whole < PowersOfTen[digits - 1]) {
            --exponent;
            continue;
        }
        whole += up;
        if (whole == PowersOfTen[digits]) {
            whole = PowersOfTen[digits - 1];
            ++exponent;
        }
        rounded = {whole, exponent};
        return true;
    }
}

// Shared by both widths: `value` rounded to `digits` significant digits, in plain decimal form
// when its decimal exponent lies in [-4, fixedLimit), in exponent form otherwise.
char* writeGeneral(char* out, double value, int digits, int fixedLimit) {
    if (value == 0.0) return writeText(out, "0");  // also -0
    if (std::isnan(value)) return writeText(out, "NaN");
    if (std::isinf(value)) return writeText(out, value < 0 ? "-Infinity" : "Infinity");
    if (value < 0) {
        *out++ = '-';
        value = -value;
    }

    char mantissa[20];
    int count = 0;
    int exponent = 0;
    RoundedDecimal rounded;
    if (digits <= 15 && roundExactly(value, digits, rounded)) {
        // Exactly `digits` digits, as the significand has.
        count = static_cast<int>(
            std::to_chars(mantissa, mantissa + sizeof mantissa, rounded.significand).ptr -
            mantissa);
        exponent = rounded.exponent;
    } else {
        char sci[48];  // "d.dddddddddddddddde-308"
        const char* const sciEnd =
            std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1)
                .ptr;
        const char* p = sci;
        mantissa[count++] = *p++;
        if (*p == '.') {
            for (++p; *p != 'e'; ++p) mantissa[count++] = *p;
        }
        ++p;  // the 'e'
        const bool negativeExponent = *p++ == '-';
        for (; p != sciEnd; ++p) exponent = exponent * 10 + (*p - '0');
        if (negativeExponent) exponent = -exponent;
    }
    while (count > 1 && mantissa[count - 1] == '0') --count;

    if (exponent < -4 || exponent >= fixedLimit) {
        *out++ = mantissa[0];
        if (count > 1) {
            *out++ = '.';
            out = writeText(out, {mantissa + 1, static_cast<std::size_t>(count - 1)});
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) *out++ = '0';
        return std::to_chars(out, out + 3, magnitude).ptr;
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > exponent; --i) *out++ = '0';
        return writeText(out, {mantissa, static_cast<std::size_t>(count)});
    }
    const int integerDigits = exponent + 1;
    if (count <= integerDigits) {
        out = writeText(out, {mantissa, static_cast<std::size_t>(count)});
        for (int i = count; i < integerDigits; ++i) *out++ = '0';
        return out;
    }
    out = writeText(out, {mantissa, static_cast<std::size_t>(integerDigits)});
    *out++ = '.';
    return writeText(out,
                     {mantissa + integerDigits, static_cast<std::size_t>(count - integerDigits)});
}

int clampedDigits(int digits) { return digits < 1 ? 1 : digits > 17 ? 17 : digits; }

}  // namespace

char* writeGeneralText(char* out, float value) { return writeGeneral(out, value, 7, 7); }

char* writeGeneralText(char* out, double value) { return writeGeneral(out, value, 15, 15); }

char* writeGeneralTextDigits(char* out, double value, int digits) {
    digits = clampedDigits(digits);
    return writeGeneral(out, value, digits, digits);
}

std::string generalText(float value) {
    char text[MaxGeneralTextLength];
    return std::string(text, writeGeneralText(text, value));
}

std::string generalText(double value) {
    char text[MaxGeneralTextLength];
    return std::string(text, writeGeneralText(text, value));
}

std::string generalTextDigits(double value, int digits) {
    char text[MaxGeneralTextLength];
    return std::string(text, writeGeneralTextDigits(text, value, digits));
}

std::string fixedText(std::string_view text, int decimals) {
    const std::optional<DecimalNumber> p = readWholeDecimal(text);
    if (!p) return std::string(text);

    // Work on the significant digits alone: value = 0.<digits> × 10^pointPos.
    std::string digits;
    digits.reserve(p->mantissa.size());
    long long integerDigits = -1;
    for (const char c : p->mantissa) {
        if (c == '.')
            integerDigits = static_cast<long long>(digits.size());
        else
            digits.push_back(c);
    }
    if (integerDigits < 0) integerDigits = static_cast<long long>(digits.size());
    long long pointPos = integerDigits + p->exponent;
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
    const std::optional<DecimalNumber> n = readDecimal(text);
    if (!n) return 0.0;
    double value = 0.0;
    if (readNumber(*n, value) == std::errc::result_out_of_range) {
        const std::optional<long long> e = leadingExponent(*n);
        const double magnitude = (e && *e >= 0) ? std::numeric_limits<double>::infinity() : 0.0;
        return n->negative ? -magnitude : magnitude;
    }
    return value;
}

ParsedSingle parseSingle(std::string_view text) {
    ParsedSingle result;
    const std::optional<DecimalNumber> n = readWholeDecimal(text);
    if (!n) {
        result.error = ParseError::NotANumber;
        return result;
    }
    float value = 0.0f;
    const std::errc ec = readNumber(*n, value);
    if (ec == std::errc::result_out_of_range) {
        const std::optional<long long> e = leadingExponent(*n);
        if (e && *e >= 0) {
            result.error = ParseError::OutOfRange;
            return result;
        }
        // Too small for 32 bits: the nearest value is zero.
        value = n->negative ? -0.0f : 0.0f;
    } else if (ec != std::errc() || !std::isfinite(value)) {
        result.error = ParseError::OutOfRange;
        return result;
    }
    result.value = value;
    return result;
}

}  // namespace numbertext
