#include "cli/calculators.h"

#include <charconv>

#include "core/frictionloss.h"
#include "core/localloss.h"
#include "core/numbertext.h"

namespace {

constexpr std::string_view FrictionInputs[] = {"D", "L", "t", "G", "K"};
constexpr std::string_view FrictionResults[] = {"rho", "nu", "V", "Re", "lambda", "Hf"};
constexpr std::string_view LocalInputs[] = {"zeta", "v", "t"};
constexpr std::string_view LocalResults[] = {"Hf"};

const char* computeFriction(std::span<const float> in,
                            std::array<std::string, Calculator::MaxResults>& texts) {
    const auto outcome = computeFrictionLoss({in[0], in[1], in[2], in[3], in[4]});
    if (!outcome.ok()) return failureCode(outcome.failure());
    const FrictionLossResult& r = outcome.value();
    texts[0] = numbertext::generalText(r.rho);
    texts[1] = sevenDigitText(r.nu);
    texts[2] = numbertext::generalText(r.V);
    texts[3] = numbertext::generalText(r.Re);
    texts[4] = numbertext::generalText(r.lambda);
    texts[5] = numbertext::generalText(r.Hf);
    return nullptr;
}

const char* computeLocal(std::span<const float> in,
                         std::array<std::string, Calculator::MaxResults>& texts) {
    const auto outcome = computeLocalLoss(in[0], in[1], in[2]);
    if (!outcome.ok()) return failureCode(outcome.failure());
    texts[0] = numbertext::generalText(outcome.value());
    return nullptr;
}

constexpr Calculator Calculators[] = {
    {"friction", FrictionInputs, FrictionResults, computeFriction},
    {"local", LocalInputs, LocalResults, computeLocal},
};

}  // namespace

const Calculator* findCalculator(std::string_view command) {
    for (const Calculator& calculator : Calculators) {
        if (calculator.command == command) return &calculator;
    }
    return nullptr;
}

std::string sevenDigitText(double value) {
    if (value == 0) return "0";
    // printf's %.7g rule: exponent form below 1E-04 or from 1E+07 on, trailing zeros dropped,
    // at least two exponent digits; to_chars rounds the exact binary value.
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    std::string text(buffer, error == std::errc() ? end : buffer);
    for (char& c : text) {
        if (c == 'e') c = 'E';
    }
    return text;
}
