#include "cli/calculators.h"

#include "core/lossrecord.h"

namespace {

template <typename Record>
Calculator::Written compute(std::span<const float> in, char* out) {
    const auto outcome = Record::compute(Record::inputFrom(in.first<Record::InputNames.size()>()));
    if (!outcome.ok()) return {nullptr, failureCode(outcome.failure())};
    return {outcome.value().writeResultTexts(out, ','), nullptr};
}

// The screens record the inputs as typed and the results as shown; the same texts here.
ResultRowTexts frictionTableRow(std::span<const std::string_view> in,
                                std::span<const std::string_view> results) {
    return *frictionRow(in[0], in[1], in[2], in[3], in[4], results[2], results[5]);
}

ResultRowTexts localTableRow(std::span<const std::string_view> in,
                             std::span<const std::string_view> results) {
    return *localRow(in[0], in[1], in[2], results[0]);
}

constexpr Calculator Calculators[] = {
    {"friction", FrictionLossRecord::InputNames, FrictionLossRecord::ResultNames,
     compute<FrictionLossRecord>, frictionTableRow, TableKind::Friction},
    {"local", LocalLossRecord::InputNames, LocalLossRecord::ResultNames, compute<LocalLossRecord>,
     localTableRow, TableKind::Local},
};

}  // namespace

const Calculator* findCalculator(std::string_view command) {
    for (const Calculator& calculator : Calculators) {
        if (calculator.command == command) return &calculator;
    }
    return nullptr;
}
