#include "cli/calculators.h"

#include <algorithm>

#include "core/lossrecord.h"

namespace {

template <typename Record>
const char* compute(std::span<const float> in,
                    std::array<std::string, Calculator::MaxResults>& texts) {
    const auto outcome = Record::compute(Record::inputFrom(in.first<Record::InputNames.size()>()));
    if (!outcome.ok()) return failureCode(outcome.failure());
    const auto results = outcome.value().resultTexts();
    std::copy(results.begin(), results.end(), texts.begin());
    return nullptr;
}

// The screens record the inputs as typed and the results as shown; the same texts here.
ResultRowTexts frictionTableRow(std::span<const std::string_view> in,
                                const std::array<std::string, Calculator::MaxResults>& texts) {
    return *frictionRow(in[0], in[1], in[2], in[3], in[4], texts[2], texts[5]);
}

ResultRowTexts localTableRow(std::span<const std::string_view> in,
                             const std::array<std::string, Calculator::MaxResults>& texts) {
    return *localRow(in[0], in[1], in[2], texts[0]);
}

constexpr Calculator Calculators[] = {
    {"friction", FrictionLossRecord::InputNames, FrictionLossRecord::ResultNames,
     compute<FrictionLossRecord>, frictionTableRow, tablefiles::TableKind::Friction},
    {"local", LocalLossRecord::InputNames, LocalLossRecord::ResultNames, compute<LocalLossRecord>,
     localTableRow, tablefiles::TableKind::Local},
};

}  // namespace

const Calculator* findCalculator(std::string_view command) {
    for (const Calculator& calculator : Calculators) {
        if (calculator.command == command) return &calculator;
    }
    return nullptr;
}
