#include "cli/calculators.h"

#include <algorithm>

#include "core/lossrecord.h"

namespace {

template <typename Record>
const char* compute(std::span<const float> in, std::array<std::string, Calculator::MaxResults>& texts) {
    const auto outcome =
        Record::compute(Record::inputFrom(in.first<Record::InputNames.size()>()));
    if (!outcome.ok()) return failureCode(outcome.failure());
    const auto results = outcome.value().resultTexts();
    std::copy(results.begin(), results.end(), texts.begin());
    return nullptr;
}

constexpr Calculator Calculators[] = {
    {"friction", FrictionLossRecord::InputNames, FrictionLossRecord::ResultNames,
     compute<FrictionLossRecord>},
    {"local", LocalLossRecord::InputNames, LocalLossRecord::ResultNames, compute<LocalLossRecord>},
};

}  // namespace

const Calculator* findCalculator(std::string_view command) {
    for (const Calculator& calculator : Calculators) {
        if (calculator.command == command) return &calculator;
    }
    return nullptr;
}
