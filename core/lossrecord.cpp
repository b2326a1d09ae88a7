#include "core/lossrecord.h"

#include "core/numbertext.h"

CalcOutcome<FrictionLossRecord> FrictionLossRecord::compute(const FrictionLossInput& input) {
    const CalcOutcome<FrictionLossResult> outcome = computeFrictionLoss(input);
    if (!outcome.ok()) return outcome.failure();
    return FrictionLossRecord{input, outcome.value()};
}

FrictionLossRecord::Input FrictionLossRecord::negativeRootCause(const FrictionLossInput& input) {
    if (input.D < 0) return Input::Diameter;
    if (input.G < 0) return Input::Flow;
    return Input::Roughness;
}

std::array<std::string, 6> FrictionLossRecord::resultTexts() const {
    return {numbertext::generalText(result.rho),
            numbertext::generalTextDigits(result.nu, 7),
            velocityText(),
            numbertext::generalText(result.Re),
            numbertext::generalText(result.lambda),
            lossText()};
}

char* FrictionLossRecord::writeResultTexts(char* out, char separator) const {
    out = numbertext::writeGeneralText(out, result.rho);
    *out++ = separator;
    out = numbertext::writeGeneralTextDigits(out, result.nu, 7);
    for (const float value : {result.V, result.Re, result.lambda, result.Hf}) {
        *out++ = separator;
        out = numbertext::writeGeneralText(out, value);
    }
    return out;
}

std::string FrictionLossRecord::velocityText() const { return numbertext::generalText(result.V); }

std::string FrictionLossRecord::lossText() const { return numbertext::generalText(result.Hf); }

CalcOutcome<LocalLossRecord> LocalLossRecord::compute(const LocalLossInput& input) {
    const CalcOutcome<float> outcome = computeLocalLoss(input);
    if (!outcome.ok()) return outcome.failure();
    return LocalLossRecord{input, outcome.value()};
}

std::string LocalLossRecord::lossText() const { return numbertext::generalText(Hf); }

char* LocalLossRecord::writeResultTexts(char* out, char) const {
    return numbertext::writeGeneralText(out, Hf);
}

namespace {

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string line;
    for (const std::string_view part : parts) line += part;
    return line;
}

bool anyEmpty(std::initializer_list<std::string_view> texts) {
    for (const std::string_view text : texts)
        if (text.empty()) return true;
    return false;
}

}  // namespace

std::optional<ResultRowTexts> frictionRow(std::string_view d, std::string_view l,
                                          std::string_view t, std::string_view g,
                                          std::string_view k, std::string_view v,
                                          std::string_view hf) {
    if (anyEmpty({d, l, t, g, k, v, hf})) return std::nullopt;
    // The runs of blanks put each field under its column label in a fixed-pitch font.
    return ResultRowTexts{joined({" ", d, "mm       ", l, "mm    ", t, "℃      ", g, "m^3/h      ",
                                  k, "mm     ", numbertext::fixedText(v, 2), "m/s"}),
                          numbertext::fixedText(hf, 3)};
}

std::optional<ResultRowTexts> localRow(std::string_view zeta, std::string_view v,
                                       std::string_view t, std::string_view hf) {
    if (anyEmpty({zeta, v, t, hf})) return std::nullopt;
    return ResultRowTexts{joined({"   ", zeta, "           ", t, "℃      ", v, "m/s      "}),
                          numbertext::fixedText(hf, 3)};
}

std::string tableTotal(const std::vector<std::string>& resultTexts) {
    std::string total;
    for (auto row = resultTexts.rbegin(); row != resultTexts.rend(); ++row)
        total = numbertext::generalText(numbertext::leadingNumber(*row) +
                                        numbertext::leadingNumber(total));
    return total;
}
