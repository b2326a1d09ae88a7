#include "cli/calculators.h"

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
    // Rounded once from 64 bits: going through a 32-bit value first could change the 7th digit.
    texts[1] = numbertext::generalTextDigits(r.nu, 7);
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
